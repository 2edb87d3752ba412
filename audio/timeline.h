// The fixed table of show-time windows whose value reaches the part every frame.
#pragma once
#include <cstdint>

struct time_window {
    double start = 0;  // inclusive
    double end = 0;    // inclusive
    int32_t value = 0;
};

struct timeline {
    time_window windows[31] = {};
    int32_t count = 0;
};

void fill_timeline(timeline& tl);
// Later windows win over earlier ones; 0 when none contains t.
int32_t window_value_at(const timeline& tl, double t);
