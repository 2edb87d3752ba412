#include <GL/glew.h>

#include "app/capture.h"
#include "app/clock.h"
#include "app/demo_state.h"
#include "app/dev_tools.h"
#include "app/frame_rules.h"
#include "app/shell.h"
#include "app/simulation.h"
#include "app/studio_shell.h"
#include "app/video_export.h"
#include "audio/music.h"
#include "demo/parts.h"
#include "base/vecmath.h"
#include "platform/platform.h"
#include "render/frame_stats.h"
#include "render/render_engine.h"
#include "render/screen.h"

#include <cstdio>

demo_state g_demo;
run_options g_options;

static void destroy_part()
{
    delete g_demo.part_slots[0];
    g_demo.part_slots[0] = nullptr;
}

// How the show ends: asked for mid-frame, carried out once by close_show after the frame.
struct show_end {
    bool due = false;
    bool close_music = false;
    int code = 0;
};
static show_end g_end;

void end_show(bool close_music, int code)
{
    if (g_end.due) return;  // the first reason to end is the one the process reports
    g_end = {true, close_music, code};
}

bool show_ending() { return g_end.due; }

int close_show()
{
    if (g_end.close_music) music_close();
    simulation_finish();
    frame_stats_close();  // its last GPU results need the context
    close_gl_window();
    destroy_part();
    // No SDL_Quit: it unloads the GL driver, whose remaining allocations then show up as
    // leaks nobody can name; the process ends right after this anyway.
    // A video is only finished once the encoder has written the whole file.
    if (g_capture.video && !video_close() && g_end.code == 0) return 1;
    return g_end.code;
}

// In capture mode the step is fixed; otherwise the clock's delta since the last frame.
static double next_frame_delta()
{
    if (g_capture.on) {
        const double target = capture_frame_time(g_capture, g_capture.frames_done);
        g_demo.previous_clock = clock_read(g_demo.clock);
        return target - g_demo.show_time;
    }
    const double delta = clock_read(g_demo.clock) - g_demo.previous_clock;
    g_demo.previous_clock = clock_read(g_demo.clock);
    return delta;
}

// Under the identity projection the quad sits outside the clip volume and changes no
// pixel; the pass stays for the GL state it leaves, which the next frame starts from.
static void draw_fade_overlay(double f)
{
    glViewport(0, 0, g_demo.view_width, g_demo.view_height);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    g_render_engine.bind_default_framebuffer();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glPushMatrix();
    reset_gl_state();
    gluLookAt(0, 3, 0, 0, 0, 0, 0, 0, 1);
    glScalef(1, 1, 0.7f);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glColor3d(f, f, f);
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) m[4 * c + r] = c == r ? 1.0f : 0.0f;
    glLoadMatrixf(m);
    glBegin(GL_QUADS);
    glVertex3f(-50, -50, 0);
    glVertex3f(50, -50, 0);
    glVertex3f(50, 50, 0);
    glVertex3f(-50, 50, 0);
    glEnd();
    glPopMatrix();
    glPopAttrib();
    glFlush();
}

// The developer scene jump: picture, simulation and music move together. A scene past the
// show's end would only end it, so it is refused.
static void jump_to_scene(int scene)
{
    const double to = scene_jump_time(scene, g_demo.show_time);
    if (to == g_demo.show_time) return;
    if (show_is_over(to)) {
        std::fprintf(stderr, "thornwake: scene %d starts at show time %.2f s, after the show's end; not jumping\n",
                     scene, to);
        return;
    }
    g_demo.show_time = to;
    simulation_seek(to);
    if (g_demo.music_enabled) music_set_position(1, music_track_sample(to));
    // The seek's time is not the show's: the next frame starts here.
    g_demo.previous_clock = clock_read(g_demo.clock);
}

// Input: the frame's time step, its random sequence, the frame record from the keys and the
// mouse, the show time (clock, capture grid or studio transport), the music and the
// simulation up to that time.
static void read_input(frame_input& frame)
{
    g_demo.frame_delta = next_frame_delta();
    if (g_demo.frame_delta < 0) g_demo.frame_delta = 0;

    if (g_demo.music_enabled) {
        rand_seed(frame_seed(g_demo.show_time));
        for (int i = 0; i < 50; ++i) rand_next();
    }

    dev_log_frame();

    frame.cam_x = frame.cam_y = frame.cam_z = 0;
    ++g_demo.frame_count;
    frame.wheel_steps = g_demo.wheel_steps;
    frame.right_button = g_demo.right_button ? 1 : 0;

    for (int i = 0; i < 256; ++i) frame.keys[i] = g_demo.key_down[i];
    frame.mode = 1;
    if (studio_on()) {
        studio_begin_frame(frame, g_demo.frame_delta);
    } else {
        // A capture frame lands on its whole multiple of 1/fps exactly, not on a sum of deltas.
        g_demo.show_time =
            g_capture.on ? capture_frame_time(g_capture, g_capture.frames_done) : g_demo.show_time + g_demo.frame_delta;
        if (g_demo.music_enabled) {
            if (g_capture.on) music_set_offline_time(music_offset_seconds + g_demo.show_time);
            music_read_frame(frame.level, frame.spectrum);
        }
        frame.show_time = g_demo.show_time;
        simulation_advance(g_demo.show_time, !g_capture.on);
    }
}

static void run_part(frame_input& frame)
{
    const int slot =
        choose_part_slot(g_demo.show_time, g_demo.part_slots[0] != nullptr, g_demo.part_slots[1] != nullptr);
    if (slot >= 0) g_demo.part_slots[slot]->render(&g_demo.frame_delta, &g_render_engine, &frame);
}

// Recording, bookmarks and the start-scene jump of the first frame.
static void run_dev_tools()
{
    dev_record_frame();
    dev_apply_bookmarks();
    if (g_demo.start_scene > -1 && g_demo.frame_count == 1) jump_to_scene(g_demo.start_scene);
}

// The show's end, the end of a capture's range, or the part asking to stop.
static void end_show_when_due(const frame_input& frame)
{
    const bool capture_over = g_capture.on && g_demo.show_time > g_capture.to;
    if (show_is_over(g_demo.show_time) || capture_over) end_show(true);
    else if (frame.flags_b[3] != 0) end_show(g_demo.music_enabled);
}

// The closing fade after Escape: picture and music down together, then the end.
static void run_fade(frame_input& frame)
{
    if (!g_demo.fading) return;
    dev_write_state_file();
    const fade_factors f = closing_fade(g_demo.show_time, g_demo.fade_start, g_demo.fade_rate);
    frame.values[10] = f.sound;
    if (g_demo.music_enabled) music_set_volume(1, fade_volume(f));
    draw_fade_overlay(f.picture);
    if (closing_fade_done(f)) {
        copy_to_clipboard(g_demo.clipboard_text.c_str());
        dev_write_clipboard_dump(g_demo.clipboard_text);
        end_show(g_demo.music_enabled);
    }
}

void run_frame()
{
    frame_input& frame = g_demo.frame;
    read_input(frame);
    if (show_ending()) return;  // a studio script's quit
    run_part(frame);
    run_dev_tools();
    end_show_when_due(frame);
    if (show_ending()) return;
    run_fade(frame);
}
