// The one global application record: settings, developer switches, window and input state,
// the clock and show time, the part slots, the frame record and the timeline.
#pragma once
#include <cstdint>
#include <string>

#include "audio/timeline.h"
#include "demo/frame_input.h"

class parts;
struct platform_window;
struct platform_context;

// High-resolution clock; the counter is injectable so the arithmetic can be tested.
struct clock_state {
    int64_t last_count = 0;
    double accumulated = 0;
    double last_reading = 0;
    uint64_t (*counter)() = nullptr;  // null: the platform counter
    uint64_t (*frequency)() = nullptr;
};

struct demo_state {
    // Settings
    bool show_setup_dialog = true;
    bool antialiased = true;
    bool fullscreen = false;
    bool music_enabled = true;
    int32_t screen_width = 0, screen_height = 0;
    int32_t view_width = 0, view_height = 0;

    // Developer switches: each gates a whole feature.
    bool effects_enabled = false;
    bool log_enabled = false;
    bool record_enabled = false;
    bool state_enabled = false;
    bool asset_list_enabled = false;
    int32_t start_scene = -4;

    // Window and input
    platform_window* window = nullptr;
    platform_context* render_context = nullptr;
    bool active = true;
    uint8_t key_down[256] = {};
    bool right_button = false;
    int32_t wheel_steps = 0;
    std::string clipboard_text;

    // Time, music and the show
    double load_seconds = 0;
    double previous_clock = 0;
    double frame_delta = 0;
    double show_time = 0;
    int32_t frame_count = 0;
    bool fading = false;
    double fade_start = 0;
    double fade_rate = 100002.5;
    parts* part_slots[9] = {};
    frame_input frame;
    timeline timeline_table;
    clock_state clock;
};

extern demo_state g_demo;
