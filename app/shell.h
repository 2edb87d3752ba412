// The application shell: window and context, start-up, the frame driver, the window
// procedure and the ways the process ends. One thread runs all of it.
#pragma once
#include "app/run_options.h"

struct platform_event;

constexpr const char* window_title = " =  Thornwake by QEL - 2013 = ";

bool open_gl_window(const char* title, int width, int height, int bits, bool fullscreen);
void close_gl_window();
bool init_gl_state();
void resize_view(int width, int height);

void start_demo();
bool run_frame();

void window_proc(const platform_event& ev);
bool copy_to_clipboard(const char* text);

// Closes the music (when asked), the window and the part, then exits with code 0.
[[noreturn]] void end_show(bool close_music);

// How this run was asked to go (command line), read by start-up and the frame driver.
extern run_options g_options;
