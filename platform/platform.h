// The one place that talks to SDL2: window and GL context, display modes, events,
// message boxes, clipboard, cursor, screen saver and the high-resolution counter.
// Everything else in the program sees only these functions and plain records.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct platform_window;   // opaque: an SDL window
struct platform_context;  // opaque: a GL context

bool platform_init_video();
bool platform_has_display();
// Why the last platform call failed, in SDL's words ("" when it gave none).
std::string platform_last_error();
// The name of SDL's video driver in use ("" before video starts).
std::string platform_video_driver();
void platform_shutdown();
// Keeps memory the process frees for its own reuse. A software GL driver allocates and
// frees tens of megabytes inside each large draw; by default the C library returns that
// to the kernel every time and the next draw faults it back in, page by page. Call it
// first thing in main.
void platform_keep_freed_memory();

struct display_mode {
    int width = 0, height = 0, bits = 0, refresh = 0;
};
// Modes of the primary display as the system lists them.
std::vector<display_mode> platform_display_modes();

enum window_flags : unsigned { window_fullscreen = 1, window_hidden = 2 };
platform_window* platform_create_window(const char* title, int x, int y, int width, int height, unsigned flags);
// Switches a fullscreen window to exactly (width, height); false when no such mode exists.
bool platform_set_fullscreen_mode(platform_window* w, int width, int height, int bits);
void platform_destroy_window(platform_window* w);
void platform_focus_window(platform_window* w);

// Compatibility profile, 24-bit depth, double buffer.
platform_context* platform_create_context(platform_window* w);
bool platform_make_current(platform_window* w, platform_context* c);
void platform_delete_context(platform_context* c);
void platform_set_vsync(bool on);
void platform_swap(platform_window* w);

void platform_show_cursor(bool show);
void platform_inhibit_screensaver(bool inhibit);

enum class message_icon { information, exclamation, stop };
// With no one to click (capture mode, no display) messages go to stderr with their caption
// and the answer is the default: "OK", or Yes for a question.
void platform_messages_to_stderr(bool on);
void platform_message_box(const char* caption, const char* text, message_icon icon);
bool platform_ask_yes_no(const char* caption, const char* text, message_icon icon);

bool platform_set_clipboard(const char* text);

uint64_t platform_counter();
uint64_t platform_counter_frequency();

// Window events, already reduced to what the window procedure acts on.
enum class event_kind {
    none,
    close,
    activate,
    minimise,
    size,
    key_down,
    key_up,
    system_key,
    wheel,
    right_down,
    right_up,
    middle_down,
    other
};
struct platform_event {
    event_kind kind = event_kind::none;
    int vk = 0;           // key events: virtual-key number
    int wheel_delta = 0;  // wheel: 120 per notch, signed
    int width = 0, height = 0;
};
bool platform_poll_event(platform_event& ev);
// Synthesises a key press for tests and scripted runs.
void platform_push_key(int vk, bool down);

// SDL keycode (and whether Alt is held) → the virtual-key number the show uses; 0 when unmapped.
int vk_from_sdl_keycode(int32_t keycode);
