// The short spectrum memory of the chain and the bytes of the spectrum texture.
#pragma once
#include <cstdint>

inline constexpr int spectrum_history_size = 200;
inline constexpr int spectrum_history_centre = 100;
inline constexpr int spectrum_texels = 256;

// Puts this frame's value at the centre and moves both halves one entry outward,
// shrinking by 0.95 per step.
void advance_spectrum_history(float (&history)[spectrum_history_size], float newest);

// One grey byte per value: integer part of v * 255, low 8 bits kept (so 2.0 wraps to
// 254). Non-finite values give 0.
uint8_t spectrum_byte(float v);

// 256 RGB texels (768 bytes) from the first 256 spectrum values.
void fill_spectrum_texels(const float* spectrum, uint8_t (&rgb)[spectrum_texels * 3]);
