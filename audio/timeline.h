// The fixed table of show-time windows; the studio marks their starts as cues.
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
