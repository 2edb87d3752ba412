#include "app/dev_tools.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "app/demo_state.h"
#include "assets/asset_registry.h"
#include "demo/parts.h"
#include "tools/asset_list.h"
#include "tools/clipboard_dump.h"
#include "tools/frame_log.h"
#include "tools/local_path.h"
#include "tools/state_file.h"

namespace {
frame_log g_frame_log;
recording_state g_recording;
std::ofstream g_asset_list;
std::string g_output_dir;

void slot_values(double values[9], bool filled[9])
{
    for (int k = 0; k < 9; ++k) {
        filled[k] = g_demo.part_slots[k] != nullptr;
        values[k] = filled[k] ? g_demo.part_slots[k]->state_value : 0.0;
    }
}
}  // namespace

void dev_set_output_dir(const std::string& dir) { g_output_dir = dir; }

void dev_read_state_file()
{
    if (!g_demo.state_enabled) return;
    std::ifstream in(output_path(g_output_dir, "state.txt"));
    read_state_file(in, g_recording);
}

void dev_open_asset_list()
{
    if (!g_demo.asset_list_enabled) return;
    set_asset_registry_enabled(true);
    g_asset_list.open(prepare_output_path(g_output_dir, "c://3dsjpglist4.txt"), std::ios::out | std::ios::trunc);
}

void dev_write_asset_list()
{
    if (!g_demo.asset_list_enabled) return;
    write_asset_list(g_asset_list, asset_table(), g_demo.load_seconds, output_path(g_output_dir, "C:/grainwell/"));
    g_asset_list.close();
}

void dev_open_frame_log()
{
    if (g_demo.log_enabled) open_frame_log(g_frame_log, prepare_output_path(g_output_dir, "c://logs//shiftling2.log"), 240.0);
}

void dev_log_frame()
{
    if (g_demo.log_enabled)
        log_frame(g_frame_log, 1.0 / std::max(g_demo.frame_delta, double(0.00001f)), g_demo.show_time, 0);
}

void dev_record_frame()
{
    if (!g_demo.record_enabled) return;
    double values[9];
    bool filled[9];
    slot_values(values, filled);
    record_frame(g_recording, g_demo.show_time, g_demo.frame.flags_a, g_demo.frame.flags_b, values);
}

void dev_apply_bookmarks()
{
    if (!g_demo.state_enabled) return;
    double values[9];
    bool filled[9];
    slot_values(values, filled);
    apply_bookmarks(g_recording, g_demo.key_down, g_demo.frame.flags_a, g_demo.frame.flags_b, values, filled);
    for (int k = 0; k < 8; ++k)
        if (filled[k]) g_demo.part_slots[k]->state_value = values[k];
}

void dev_write_state_file()
{
    if (!g_demo.record_enabled) return;
    std::ofstream out(prepare_output_path(g_output_dir, "state.txt"), std::ios::out | std::ios::trunc);
    write_state_file(out, g_recording);
}

void dev_close_frame_log()
{
    if (g_demo.log_enabled) close_frame_log(g_frame_log);
}

std::string dev_write_clipboard_dump(const std::string& text)
{
    if (text.empty()) return "";
    const std::string path = write_clipboard_dump(g_output_dir, text);
    if (path.empty())
        std::fprintf(stderr, "thornwake: cannot write the camera dump to %s\n",
                     output_path(g_output_dir, clipboard_dump_file).c_str());
    else
        std::fprintf(stderr, "thornwake: the camera dump is also in %s\n", path.c_str());
    return path;
}
