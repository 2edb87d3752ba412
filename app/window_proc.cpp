#include "app/window_proc.h"

#include <cstdio>

#include "app/demo_state.h"
#include "app/shell.h"
#include "platform/platform.h"
#include "base/virtual_keys.h"
#include "render/render_engine.h"

int wheel_notches(int wheel_delta) { return wheel_delta / 120; }

static std::string g6(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

std::string dump_text(double cam_x, double cam_y, double cam_z, double pnt_x, double pnt_y, double pnt_z,
                      float eye_x, float eye_y, float eye_z)
{
    return "Cam :" + g6(cam_x) + "," + g6(cam_y) + "," + g6(cam_z) + "  \n" +
           "Pnt :" + g6(pnt_x) + "," + g6(pnt_y) + "," + g6(pnt_z) + "  \n \n" +
           "MCr :" + g6(eye_x) + "," + g6(eye_y) + "," + g6(eye_z) + "  \n \n";
}

// Runs for every event the procedure does not consume, so the nudges happen per event.
static void default_path()
{
    frame_input& f = g_demo.frame;
    if (g_demo.key_down[vk_up]) f.adjust_updown += 1.5 * g_demo.frame_delta;
    if (g_demo.key_down[vk_down]) f.adjust_updown -= 1.5 * g_demo.frame_delta;
    if (g_demo.key_down[vk_a]) f.adjust_aq -= g_demo.frame_delta;
    if (g_demo.key_down[vk_q]) f.adjust_aq += g_demo.frame_delta;
}

static void middle_button_dump()
{
    frame_input& f = g_demo.frame;
    f.points.push_back({1, float(f.pnt_x), float(f.pnt_y), float(f.pnt_z)});
    const vec3& eye = g_render_engine.camera_eye;
    g_demo.clipboard_text += dump_text(f.cam_x, f.cam_y, f.cam_z, f.pnt_x, f.pnt_y, f.pnt_z, eye.x, eye.y, eye.z);
}

void window_proc(const platform_event& ev)
{
    switch (ev.kind) {
    case event_kind::activate: g_demo.active = true; return;
    case event_kind::minimise: g_demo.active = false; return;
    case event_kind::size: resize_view(ev.width, ev.height); return;
    case event_kind::key_down: g_demo.key_down[ev.vk & 0xFF] = 1; return;
    case event_kind::key_up: g_demo.key_down[ev.vk & 0xFF] = 0; return;
    case event_kind::wheel: g_demo.wheel_steps += wheel_notches(ev.wheel_delta); return;
    case event_kind::right_down: g_demo.right_button = true; break;
    case event_kind::right_up: g_demo.right_button = false; break;
    case event_kind::middle_down: middle_button_dump(); break;
    case event_kind::close:  // the main loop sees it and leaves
    case event_kind::none: return;
    default: break;
    }
    default_path();
}

bool copy_to_clipboard(const char* text) { return platform_set_clipboard(text); }
