#include <GL/glew.h>

#include "app/capture.h"
#include "app/clock.h"
#include "app/demo_state.h"
#include "app/dev_tools.h"
#include "app/shell.h"
#include "app/simulation.h"
#include "app/studio_shell.h"
#include "audio/music.h"
#include "demo/part_start.h"
#include "platform/platform.h"
#include "render/render_engine.h"

#include <cstdio>

static void swap_window_buffers() { platform_swap(g_demo.window); }

static sound_output chosen_output()
{
    if (g_capture.on || g_options.bake) return sound_output::offline;
    return g_options.silent ? sound_output::silent : sound_output::device;
}

// Without its music the show cannot keep time, so a failed start ends the run.
static int start_music()
{
    const music_status s = music_start(g_demo.effects_enabled, chosen_output());
    if (s == music_status::ok) return 0;
    platform_message_box("QEL  ", music_status_message(s), message_icon::information);
    return music_status_exit_code(s);
}

// Seeking starts the show later, exactly as if it had run there: the simulation steps its
// way there (from the nearest snapshot) before the music starts.
static void apply_seek(double seconds)
{
    if (seconds <= 0) return;
    g_demo.show_time = seconds;
    simulation_seek(seconds);
}

// Steps the next frame would take run while the GL rasterises this frame's scene. Offline
// they are those of the next frame's time; in real time those due by now.
static void step_while_scene_draws()
{
    if (studio_on()) return;
    if (g_capture.on) {
        const double next = capture_frame_time(g_capture, g_capture.frames_done + 1);
        if (next <= g_capture.to) simulation_advance(next, false);
        return;
    }
    simulation_step_early(g_demo.show_time + clock_read(g_demo.clock) - g_demo.previous_clock);
}

int start_demo()
{
    dev_read_state_file();
    dev_open_asset_list();
    render_engine& engine = g_render_engine;
    engine.swap_buffers = swap_window_buffers;
    engine.while_scene_draws = step_while_scene_draws;

    engine.create_framebuffer_set(0, g_demo.screen_width, g_demo.screen_height, g_demo.antialiased ? 8 : 0);
    engine.create_framebuffer_set(1, g_demo.view_width / 2, g_demo.view_height / 2, 0);
    engine.create_framebuffer_set(2, g_demo.screen_width / 4, g_demo.screen_height / 4, 0);

    g_demo.clipboard_text.clear();
    engine.set_default_filtering();

    const double start_mark = clock_read(g_demo.clock);
    // The part replaces this pointer on its first frame: a heap copy would be orphaned there.
    static frame_input engine_frame;
    engine_frame = frame_input();
    engine_frame.mode = 1;
    engine.frame_input = &engine_frame;
    engine.swap_buffers();

    for (int i = 0; i < 4; ++i) g_demo.part_slots[i] = nullptr;
    auto* part = new part_start();
    part->screen_width = g_demo.screen_width;
    part->screen_height = g_demo.screen_height;
    g_demo.part_slots[0] = part;
    part->load(&engine);
    part->loaded = 1;
    simulation_start(*part, engine, !g_options.no_cache);
    apply_seek(g_capture.on ? g_capture.from : g_options.seek);

    if (g_demo.music_enabled)
        if (const int code = start_music(); code != 0) return code;
    if (g_demo.music_enabled) music_set_position(1, music_track_sample(g_demo.show_time));
    dev_write_asset_list();

    g_demo.load_seconds = clock_read(g_demo.clock) - start_mark;
    clock_reset(g_demo.clock);
    g_demo.previous_clock = clock_read(g_demo.clock);
    fill_timeline(g_demo.timeline_table);
    dev_open_frame_log();

    frame_input& f = g_demo.frame;
    f.pnt_x = f.pnt_y = f.pnt_z = 0;
    for (int i = 0; i < 32; ++i) f.flags_a[i] = f.flags_b[i] = 0;
    f.flags_a[0] = 1;
    f.adjust_updown = 0;
    return 0;
}
