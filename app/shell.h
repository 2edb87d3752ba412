// The application shell: window and context, start-up, the frame driver, the window
// procedure and the ways the process ends. One thread runs all of it.
#pragma once
#include "app/run_options.h"

struct platform_event;

constexpr const char* window_title = " =  Thornwake by QEL - 2013 = ";

enum class window_result {
    open,      // window, context, GL entry points and limits are all there
    declined,  // the user would not take windowed mode in place of the fullscreen one
    failed,    // said why (with SDL's or the GL's reason); the process should end non-zero
};
window_result open_gl_window(const char* title, int width, int height, int bits, bool fullscreen);
void close_gl_window();
bool init_gl_state();
void resize_view(int width, int height);

// Loads the part and starts the music; 0, or the exit code after a start that failed.
int start_demo();
// One frame: input, the part, the developer tools, the end of the show, the fade. Stops
// after the step that asked the show to end.
void run_frame();

void window_proc(const platform_event& ev);
bool copy_to_clipboard(const char* text);

// Asks the show to end with `code`; the frame stops after the current step and the main
// loop after the frame. The first request wins.
void end_show(bool close_music, int code = 0);
bool show_ending();
// Closes the music (when the ending asked), the window, the part and a video being
// written; returns the exit code: the ending's, or 1 when the video could not be finished.
int close_show();

// How this run was asked to go (command line), read by start-up and the frame driver.
extern run_options g_options;
