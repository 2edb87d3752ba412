// The developer's frame log: frames per second against show time, one slot per tenth of a
// second, smoothed and written when the window closes.
#pragma once
#include <cstdint>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

struct frame_log_slot {
    double time = 0;
    double fps = 0;
    int32_t value = 0;
};

struct frame_log {
    double duration = 0;
    std::vector<frame_log_slot> slots;
    std::ofstream out;
    bool open = false;
};

void open_frame_log(frame_log& log, const std::string& path, double duration);
// The slot keeps the last frame that fell into it; times outside the log are dropped.
void log_frame(frame_log& log, double fps, double time, int32_t value);
// Smooths in place, forwards, each slot from its already smoothed predecessors.
void smooth_frame_log(std::vector<frame_log_slot>& slots);
void write_frame_log(std::ostream& out, std::vector<frame_log_slot>& slots);
void close_frame_log(frame_log& log);
