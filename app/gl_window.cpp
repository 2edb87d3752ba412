#include <GL/glew.h>
#include <GL/glu.h>

#include "app/demo_state.h"
#include "app/dev_tools.h"
#include "app/shell.h"
#include "demo/choreography.h"
#include "assets/velocity_volume.h"
#include "platform/platform.h"
#include "render/gl_limits.h"

#include <algorithm>
#include <string>

static void report(const std::string& text)
{
    platform_message_box("ERROR", text.c_str(), message_icon::exclamation);
}
static void report_shutdown(const char* text)
{
    platform_message_box("SHUTDOWN ERROR", text, message_icon::information);
}

// The message, then SDL's own reason on the next line, so the fix can be found.
static window_result fail(const char* text)
{
    const std::string reason = platform_last_error();
    close_gl_window();
    report(reason.empty() ? std::string(text) : std::string(text) + "\n" + reason);
    return window_result::failed;
}

// A conformant driver with smaller limits would draw a wrong picture without a word.
static std::string gl_shortfall_for_the_show()
{
    gl_needs need;
    need.texture_buffer_size = main_particle_count;
    need.texture_3d_size = std::max({volume_width, volume_height, volume_depth});
    return gl_shortfall(read_gl_limits(), need);
}

window_result open_gl_window(const char* title, int width, int height, int bits, bool fullscreen)
{
    g_demo.fullscreen = fullscreen;
    if (!platform_init_video()) return fail("Failed To Register The Window Class.");
    unsigned flags = g_options.capturing() ? window_hidden : 0u;
    if (g_demo.fullscreen) {
        g_demo.window = platform_create_window(title, 0, 0, width, height, window_fullscreen | flags);
        if (g_demo.window && !platform_set_fullscreen_mode(g_demo.window, width, height, bits)) {
            platform_destroy_window(g_demo.window);
            g_demo.window = nullptr;
            if (!platform_ask_yes_no("QEL GL",
                                     "The Requested Fullscreen Mode Is Not Supported \n by your Video Card. "
                                     "Or it may be that this demo \nwas made for 16:9 aspect ratio only. \n \n"
                                     "Use Windowed Mode Instead?",
                                     message_icon::exclamation)) {
                platform_message_box("ERROR", "Program Will Now Close.", message_icon::stop);
                return window_result::declined;
            }
            g_demo.fullscreen = false;
        }
    }
    if (g_demo.fullscreen) platform_show_cursor(false);
    else g_demo.window = platform_create_window(title, 50, 50, width, height, flags);
    if (!g_demo.window) return fail("Window Creation Error.");
    g_demo.render_context = platform_create_context(g_demo.window);
    if (!g_demo.render_context) return fail("Can't Create A GL Rendering Context.");
    if (!platform_make_current(g_demo.window, g_demo.render_context))
        return fail("Can't Activate The GL Rendering Context.");
    glewExperimental = GL_TRUE;
    const GLenum glew = glewInit();
    if (glew != GLEW_OK) {
        close_gl_window();
        // Without a display SDL may fall back to a driver whose context GLEW cannot load from.
        report(std::string("Initialization Failed.\nglewInit: ") +
               reinterpret_cast<const char*>(glewGetErrorString(glew)) + " (GLEW error " + std::to_string(glew) +
               ", SDL video driver '" + platform_video_driver() + "')");
        return window_result::failed;
    }
    glGetError();  // glewInit can leave an enum error behind on core-capable drivers
    if (const std::string shortfall = gl_shortfall_for_the_show(); !shortfall.empty()) {
        close_gl_window();
        report(shortfall);
        return window_result::failed;
    }
    // Capture mode runs at the fixed step, never at the display's pace.
    platform_set_vsync(!g_options.capturing());
    if (!g_options.capturing()) platform_focus_window(g_demo.window);
    resize_view(width, height);
    if (!init_gl_state()) return fail("Initialization Failed.");
    return window_result::open;
}

void close_gl_window()
{
    dev_close_frame_log();
    if (g_demo.fullscreen) platform_show_cursor(true);
    if (g_demo.render_context) {
        if (!platform_make_current(nullptr, nullptr)) report_shutdown("Release Of DC And RC Failed.");
        platform_delete_context(g_demo.render_context);
        g_demo.render_context = nullptr;
    }
    if (g_demo.window) {
        platform_destroy_window(g_demo.window);
        g_demo.window = nullptr;
    }
}

bool init_gl_state()
{
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return true;
}

void resize_view(int width, int height)
{
    if (height == 0) height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(width) / double(height), double(0.1f), 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
