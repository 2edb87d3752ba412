#include "post/spectrum_texture.h"

#include <algorithm>
#include <cmath>

uint8_t spectrum_byte(float v)
{
    const double scaled = static_cast<double>(v) * 255.0;
    if (!std::isfinite(scaled)) return 0;
    // Wrapping is intended; clamping first only keeps the integer conversion defined.
    const double bounded = std::clamp(scaled, -9.0e18, 9.0e18);
    return static_cast<uint8_t>(static_cast<int64_t>(bounded) & 0xff);
}

void fill_spectrum_texels(const float* spectrum, uint8_t (&rgb)[spectrum_texels * 3])
{
    for (int i = 0; i < spectrum_texels; ++i) {
        const uint8_t b = spectrum_byte(spectrum[i]);
        rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = b;
    }
}
