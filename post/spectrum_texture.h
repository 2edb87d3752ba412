// The bytes of the spectrum texture the chain samples.
#pragma once
#include <cstdint>

inline constexpr int spectrum_texels = 256;

// One grey byte per value: integer part of v * 255, low 8 bits kept (so 2.0 wraps to
// 254). Non-finite values give 0.
uint8_t spectrum_byte(float v);

// 256 RGB texels (768 bytes) from the first 256 spectrum values.
void fill_spectrum_texels(const float* spectrum, uint8_t (&rgb)[spectrum_texels * 3]);
