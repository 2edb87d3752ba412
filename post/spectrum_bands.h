// The two spectrum bands the final pass reacts to. They are the same for every pixel, so
// they are worked out once per frame here instead of eight texture reads per pixel.
#pragma once
#include <cstdint>

struct spectrum_bands {
    float bass = 0;  // the lowest 6 % of the spectrum texture
    float mids = 0;  // 6 % to 30 %
};

// Average of four linearly filtered reads spread evenly over [from, to) of a 1D texture of
// `count` RGB texels (only R is read), as the GL reads a texture with linear filtering and
// repeat wrapping.
float spectrum_band(const uint8_t* rgb, int count, float from, float to);

spectrum_bands bands_of(const uint8_t* rgb, int count);
