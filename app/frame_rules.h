// The frame driver's decisions as pure functions of show time, so they are tested alone.
#pragma once
#include "base/show_clock.h"

#include <cstdint>

struct fade_factors {
    double picture = 0;  // 0 → 1 over the fade
    double sound = 1;    // 1 → 0, five times faster
};
fade_factors closing_fade(double show_time, double fade_start, double fade_rate);
// The fade ends once the picture factor passes the single-precision 0.999.
bool closing_fade_done(const fade_factors& f);
int fade_volume(const fade_factors& f);

bool show_is_over(double show_time);
// Slot 1 is consulted between 51.6 s and 66.3 s inclusive, slot 0 otherwise; -1 when empty.
int choose_part_slot(double show_time, bool slot0_filled, bool slot1_filled);
// Every frame that starts at the same show time sees the same random sequence.
uint32_t frame_seed(double show_time);
// Developer scene jump: the show time for start_scene 1..5, or the time unchanged.
double scene_jump_time(int start_scene, double show_time);
