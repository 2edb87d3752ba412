// Entry: options, the setup choice, the window (start-up runs inside it), the main loop.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/capture.h"
#include "app/demo_state.h"
#include "app/setup_dialog.h"
#include "app/shell.h"
#include "platform/platform.h"

#ifndef THORNWAKE_SOURCE_DATA_DIR
#define THORNWAKE_SOURCE_DATA_DIR "data"
#endif


// The show reads its files by relative paths, so it runs from inside the data folder.
static bool enter_data_dir(const std::string& wanted)
{
    const std::string dir = wanted.empty() ? THORNWAKE_SOURCE_DATA_DIR : wanted;
    std::error_code ec;
    std::filesystem::current_path(dir, ec);
    if (ec) {
        std::fprintf(stderr, "thornwake: cannot use data folder '%s': %s (pass --data DIR)\n", dir.c_str(),
                     ec.message().c_str());
        return false;
    }
    return true;
}

static bool prepare_capture_dir()
{
    if (g_capture.png_dir.empty()) return true;
    std::error_code ec;
    std::filesystem::create_directories(g_capture.png_dir, ec);
    if (ec || !std::filesystem::is_directory(g_capture.png_dir)) {
        std::fprintf(stderr, "thornwake: cannot create capture folder '%s'\n", g_capture.png_dir.c_str());
        return false;
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
    if (o.no_setup || asked_window || o.capturing() || !platform_has_display())
        g_demo.show_setup_dialog = false;
    g_demo.antialiased = !o.no_aa;
    g_capture.on = o.capturing();
    g_capture.fps = o.fps;
    g_capture.from = o.from > 0 ? o.from : o.seek;
    g_capture.to = o.to;
    g_capture.png_dir = o.capture_dir;
}

static void main_loop()
{
    for (;;) {
        platform_event ev;
        if (platform_poll_event(ev)) {
            if (ev.kind == event_kind::close) return;
            window_proc(ev);
            continue;
        }
        if (g_demo.active) {
            const bool keep_running = run_frame();
            if (g_capture.on && !g_capture.png_dir.empty())
                capture_write_png(g_capture.png_dir, g_capture.frames_done, g_demo.screen_width,
                                  g_demo.screen_height);
            if (g_capture.on) ++g_capture.frames_done;
            if ((!keep_running || g_demo.key_down[0x1B]) && !g_demo.fading) {
                g_demo.fading = true;
                g_demo.fade_start = g_demo.show_time;
            }
        }
        platform_swap(g_demo.window);
        if (g_demo.key_down[0x70]) g_demo.key_down[0x70] = 0;
    }
}

int main(int argc, char** argv)
{
    const int parsed = parse_run_options(argc, argv, g_options);
    if (parsed >= 0) return parsed;
    if (g_options.console) std::setvbuf(stdout, nullptr, _IONBF, 0);
    apply_options(g_options);
    if (!prepare_capture_dir() || !enter_data_dir(g_options.data_dir)) return 1;
    if (g_capture.on || !platform_has_display()) platform_messages_to_stderr(true);

    const std::vector<mode_size> modes = build_display_modes(platform_display_modes());
    if (g_demo.show_setup_dialog) {
        const setup_choice c = run_setup_dialog(modes);
        if (!c.run) return 0;  // "Quit", Escape or the close box
        g_demo.antialiased = c.antialiased;
        g_demo.fullscreen = c.fullscreen;
        g_demo.engine_option = c.engine_option;
        g_demo.screen_width = g_demo.view_width = c.width;
        g_demo.screen_height = g_demo.view_height = c.height;
    } else {
        g_demo.screen_width = g_demo.view_width = g_options.width ? g_options.width : 1280;
        g_demo.screen_height = g_demo.view_height = g_options.height ? g_options.height : 720;
        g_demo.fullscreen = g_options.fullscreen;
    }

    if (!open_gl_window(window_title, g_demo.screen_width, g_demo.screen_height, 32, g_demo.fullscreen))
        return 0;
    platform_inhibit_screensaver(true);
    main_loop();
    close_gl_window();
    return 0;
}
