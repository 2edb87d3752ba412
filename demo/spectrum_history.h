// The part's short spectrum memory: this frame's value in the middle, older ones outward.
#pragma once

inline constexpr int spectrum_history_size = 200;
inline constexpr int spectrum_history_centre = 100;

// Puts this frame's value at the centre and moves both halves one entry outward,
// shrinking by 0.95 per step.
void advance_spectrum_history(float (&history)[spectrum_history_size], float newest);
