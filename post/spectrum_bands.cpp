#include "post/spectrum_bands.h"

#include <cmath>

namespace {

float texel(const uint8_t* rgb, int count, int i)
{
    const int wrapped = ((i % count) + count) % count;
    return static_cast<float>(rgb[wrapped * 3]) / 255.0f;
}

float linear_read(const uint8_t* rgb, int count, float s)
{
    const float u = s * static_cast<float>(count) - 0.5f;
    const float below = std::floor(u);
    const float f = u - below;
    const int i = static_cast<int>(below);
    return texel(rgb, count, i) * (1.0f - f) + texel(rgb, count, i + 1) * f;
}

}  // namespace

float spectrum_band(const uint8_t* rgb, int count, float from, float to)
{
    float sum = 0;
    for (int k = 0; k < 4; ++k) {
        const float t = (static_cast<float>(k) + 0.5f) / 4.0f;
        sum += linear_read(rgb, count, from + (to - from) * t);
    }
    return sum * 0.25f;
}

spectrum_bands bands_of(const uint8_t* rgb, int count)
{
    return {spectrum_band(rgb, count, 0.0f, 0.06f), spectrum_band(rgb, count, 0.06f, 0.3f)};
}
