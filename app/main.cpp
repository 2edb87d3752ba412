// Entry: options, the setup choice, the window, start-up, the main loop.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

#include "app/capture.h"
#include "app/data_probe.h"
#include "app/demo_state.h"
#include "app/dev_tools.h"
#include "app/setup_dialog.h"
#include "app/frame_rules.h"
#include "app/shell.h"
#include "app/simulation.h"
#include "app/studio_shell.h"
#include "app/video_export.h"
#include "audio/music.h"
#include "platform/platform.h"
#include "base/virtual_keys.h"
#include "render/frame_stats.h"
#include "render/render_engine.h"

#ifndef THORNWAKE_SOURCE_DATA_DIR
#define THORNWAKE_SOURCE_DATA_DIR ""
#endif
#ifndef THORNWAKE_BUILD_DIR
#define THORNWAKE_BUILD_DIR ""
#endif
#ifndef THORNWAKE_VERSION
#define THORNWAKE_VERSION "unknown"
#endif

namespace fs = std::filesystem;

static volatile std::sig_atomic_t g_interrupted = 0;
static void on_interrupt(int) { g_interrupted = 1; }

// The show reads its files by relative paths, so it runs from inside the data folder;
// every output path is made absolute before that.
static bool enter_data_dir(const data_choice& data)
{
    if (!data.found) {
        std::fprintf(stderr, "thornwake: %s\n", data.error.c_str());
        return false;
    }
    std::error_code ec;
    fs::current_path(data.where.dir, ec);
    if (ec) {
        std::fprintf(stderr, "thornwake: cannot use data folder '%s': %s (pass --data DIR)\n", data.where.dir.c_str(),
                     ec.message().c_str());
        return false;
    }
    return true;
}

static data_choice find_data()
{
    return find_show_data(current_data_search(g_options.data_dir, THORNWAKE_BUILD_DIR, THORNWAKE_SOURCE_DATA_DIR));
}

// The developer tools write beside the data unless that folder is read-only or installed.
static void direct_dev_outputs(const data_choice& data)
{
    const std::string dir = output_dir_for(data);
    dev_set_output_dir(dir);
    const bool writes = g_demo.log_enabled || g_demo.record_enabled || g_demo.asset_list_enabled;
    if (!(writes || g_demo.state_enabled) || dir == data.where.dir) return;
    if (dir.empty()) {
        std::fprintf(stderr,
                     "thornwake: %s cannot be written and neither $XDG_STATE_HOME nor $HOME is set: "
                     "developer outputs are off\n",
                     data.where.dir.c_str());
        g_demo.log_enabled = g_demo.record_enabled = g_demo.asset_list_enabled = false;
        return;
    }
    std::fprintf(stderr, "thornwake: developer outputs %s %s\n", writes ? "go to" : "are read from", dir.c_str());
}

static int print_version()
{
    const data_choice data = find_data();
    const std::string report =
        version_report(THORNWAKE_VERSION, data, data.found ? data_fingerprint(data.where.dir) : "");
    std::fputs(report.c_str(), stdout);
    return 0;
}

static std::string absolute(const std::string& p) { return p.empty() ? p : fs::absolute(p).string(); }

static bool prepare_outputs(run_options& o)
{
    o.capture_dir = absolute(o.capture_dir);
    o.video_file = absolute(o.video_file);
    o.stats_file = absolute(o.stats_file);
    std::error_code ec;
    if (!o.capture_dir.empty()) {
        fs::create_directories(o.capture_dir, ec);
        if (!fs::is_directory(o.capture_dir)) {
            std::fprintf(stderr, "thornwake: cannot create capture folder '%s'\n", o.capture_dir.c_str());
            return false;
        }
    }
    if (!o.video_file.empty()) {
        const fs::path parent = fs::path(o.video_file).parent_path();
        if (!parent.empty()) fs::create_directories(parent, ec);
        // Find out now, not after minutes of rendering, that the file cannot be written.
        const bool existed = fs::exists(o.video_file);
        if (!std::ofstream(o.video_file, std::ios::app)) {
            std::fprintf(stderr, "thornwake: cannot write '%s'\n", o.video_file.c_str());
            return false;
        }
        if (!existed) fs::remove(o.video_file, ec);
    }
    return true;
}

static void apply_options(const run_options& o)
{
    g_demo.log_enabled = o.dev_log;
    g_demo.record_enabled = o.dev_record;
    g_demo.state_enabled = o.dev_state;
    g_demo.asset_list_enabled = o.dev_asset_list;
    g_demo.effects_enabled = o.dev_effects;
    g_demo.start_scene = o.start_scene;
    const bool asked_window = o.width || o.windowed || o.fullscreen;
    if (o.no_setup || asked_window || o.capturing() || o.bake || !platform_has_display())
        g_demo.show_setup_dialog = false;
    g_demo.antialiased = !o.no_aa;
    g_capture.on = o.capturing();
    g_capture.fps = o.fps;
    const double from = o.from > 0 ? o.from : o.seek;
    if (g_capture.on && !capture_start_at(g_capture, from))
        std::fprintf(stderr, "thornwake: starting at show time %.6g s, the whole frame at %d fps nearest %.6g s\n",
                     g_capture.from, g_capture.fps, from);
    g_capture.to = o.to;
    g_capture.png_dir = o.capture_dir;
    g_capture.video = !o.video_file.empty();
}

static void use_asked_size()
{
    g_demo.screen_width = g_demo.view_width = g_options.width ? g_options.width : 1280;
    g_demo.screen_height = g_demo.view_height = g_options.height ? g_options.height : 720;
    g_demo.fullscreen = g_options.fullscreen;
}

static bool choose_size()
{
    if (!g_demo.show_setup_dialog) {
        use_asked_size();
        return true;
    }
    const setup_choice c = run_setup_dialog(build_display_modes(platform_display_modes()));
    if (c.dialog_failed) {
        use_asked_size();
        std::fprintf(stderr, "thornwake: the setup dialog cannot open (%s); running at %dx%d\n", c.why.c_str(),
                     g_demo.screen_width, g_demo.screen_height);
        return true;
    }
    if (!c.run) return false;  // "Quit", Escape or the close box
    g_demo.antialiased = c.antialiased;
    g_demo.fullscreen = c.fullscreen;
    g_demo.screen_width = g_demo.view_width = c.width;
    g_demo.screen_height = g_demo.view_height = c.height;
    return true;
}

static double wall_seconds() { return double(platform_counter()) / double(platform_counter_frequency()); }

// After frame number `written` (1-based) was written out; its last line ends the report.
static void report_progress(long written)
{
    const long total = capture_frame_count(g_capture);
    const bool last = written >= total;
    const double elapsed = wall_seconds() - g_capture.wall_start;
    const bool tty = isatty(2);
    if (!last && elapsed - g_capture.last_report < (tty ? 0.25 : 5.0)) return;
    g_capture.last_report = elapsed;
    const std::string line = capture_progress(written, total, capture_frame_time(g_capture, written - 1),
                                              g_capture.seconds_per_frame);
    std::fprintf(stderr, tty ? "\r%s\033[K%s" : "%s%s", line.c_str(), tty && !last ? "" : "\n");
}

// In capture mode the frame drawn last waits to be written out and shown until the next
// frame is about to draw to the window (before_final_pass). The GL has finished it by then
// without the main thread waiting: a CPU renderer draws its passes while that thread
// prepares the next scene. A frame that cannot be written sets g_capture.broken. (In real
// time that gained nothing measurable and would show every frame later.)
static bool g_frame_waiting = false;

static void deliver_waiting_frame()
{
    if (!g_frame_waiting) return;
    g_frame_waiting = false;
    frame_stage_timer timer(frame_stage::output);
    const long written = g_capture.frames_done;
    const int w = g_demo.screen_width, h = g_demo.screen_height;
    if (!g_capture.png_dir.empty() && !capture_write_png(g_capture.png_dir, written - 1, w, h))
        g_capture.broken = true;
    if (g_capture.video && !video_write_frame()) g_capture.broken = true;
    platform_swap(g_demo.window);
    if (g_capture.broken) return;
    const double now = wall_seconds();
    g_capture.seconds_per_frame =
        capture_pace(g_capture.seconds_per_frame, written, now - g_capture.last_frame_end);
    g_capture.last_frame_end = now;
    report_progress(written);
}

// Runs frames until something asks the show to end: its end, Escape's fade, the window's
// close box, Ctrl-C (130) or a captured frame that could not be written (1).
static void main_loop()
{
    for (;;) {
        if (g_interrupted) {
            std::fprintf(stderr, "\nthornwake: interrupted\n");
            if (g_capture.video) video_abort();
            end_show(g_demo.music_enabled, 130);
            return;
        }
        platform_event ev;
        if (platform_poll_event(ev)) {
            if (ev.kind == event_kind::close) {
                end_show(g_demo.music_enabled);
                return;
            }
            if (studio_on() && studio_take_event(ev)) continue;
            window_proc(ev);
            continue;
        }
        if (g_demo.active) {
            frame_stats_begin_frame();
            run_frame();
            deliver_waiting_frame();  // when the frame never reached its final pass
            if (g_capture.broken) {
                end_show(g_demo.music_enabled, 1);
                return;
            }
            if (show_ending()) return;
            if (g_capture.on) ++g_capture.frames_done;
            if (g_demo.key_down[vk_escape] && !g_demo.fading) {
                g_demo.fading = true;
                g_demo.fade_start = g_demo.show_time;
            }
        }
        if (studio_on() && g_demo.active) studio_end_frame();
        if (g_capture.on && g_demo.active) {
            g_frame_waiting = true;
        } else {
            frame_stage_timer timer(frame_stage::output);
            platform_swap(g_demo.window);
        }
        frame_stats_end_frame(g_demo.show_time, g_demo.frame.values[0]);
        if (g_demo.key_down[vk_f1]) g_demo.key_down[vk_f1] = 0;
    }
}

static bool start_video()
{
    video_settings v;
    v.output = g_options.video_file;
    v.music = "music/PS.mp3";
    v.music_start = music_offset_seconds + g_capture.from;
    v.seconds = double(capture_frame_count(g_capture)) / g_capture.fps;
    v.width = g_demo.screen_width;
    v.height = g_demo.screen_height;
    v.fps = g_capture.fps;
    return video_open(v);
}

int main(int argc, char** argv)
{
    platform_keep_freed_memory();
    const int parsed = parse_run_options(argc, argv, g_options);
    if (parsed == 0 && g_options.version) return print_version();
    if (parsed >= 0) return parsed;
    if (g_options.console) std::setvbuf(stdout, nullptr, _IONBF, 0);
    apply_options(g_options);
    const data_choice data = find_data();
    if (!prepare_outputs(g_options) || !enter_data_dir(data)) return 1;
    direct_dev_outputs(data);
    if (!g_options.stats_file.empty() && !frame_stats_open(g_options.stats_file)) return 1;
    g_capture.png_dir = g_options.capture_dir;
    if (g_capture.on || g_options.bake || !platform_has_display()) platform_messages_to_stderr(true);
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);

    if (!choose_size()) return 0;
    switch (open_gl_window(window_title, g_demo.screen_width, g_demo.screen_height, 32, g_demo.fullscreen)) {
    case window_result::open: break;
    case window_result::declined: return 0;
    case window_result::failed: return 1;
    }
    if (const int code = start_demo(); code != 0) {
        close_gl_window();
        return code;
    }
    if (g_options.bake) {
        const bool baked = simulation_bake(g_options.to);
        close_gl_window();
        return baked ? 0 : 1;
    }
    if (g_capture.video && !start_video()) return 1;
    g_capture.wall_start = g_capture.last_frame_end = wall_seconds();
    if (g_capture.on) g_render_engine.before_final_pass = deliver_waiting_frame;
    platform_inhibit_screensaver(true);
    main_loop();
    return close_show();
}
