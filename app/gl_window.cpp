#include <GL/glew.h>
#include <GL/glu.h>

#include "app/demo_state.h"
#include "app/dev_tools.h"
#include "app/shell.h"
#include "platform/platform.h"

static void report(const char* text) { platform_message_box("ERROR", text, message_icon::exclamation); }
static void report_shutdown(const char* text)
{
    platform_message_box("SHUTDOWN ERROR", text, message_icon::information);
}

static bool fail(const char* text)
{
    close_gl_window();
    report(text);
    return false;
}

bool open_gl_window(const char* title, int width, int height, int bits, bool fullscreen)
{
    g_demo.fullscreen = fullscreen;
    if (!platform_init_video()) {
        report("Failed To Register The Window Class.");
        return false;
    }
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
                return false;
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
    // Capture mode runs at the fixed step, never at the display's pace.
    platform_set_vsync(!g_options.capturing());
    if (!g_options.capturing()) platform_focus_window(g_demo.window);
    resize_view(width, height);
    if (!init_gl_state()) return fail("Initialization Failed.");
    return true;
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
    start_demo();
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
