#include "demo/scene_curves.h"

#include "post/ease.h"

namespace {

struct zoom_term {
    double weight, start, rate;
};

// Applied in this order; the float store after every term is part of the curve.
constexpr zoom_term zoom_terms[] = {
    {1.0, 32.5, 8.0},   {-1.0, 22.0, 0.3},  {1.0, 26.0, 0.1},   {-1.0, 39.0, 0.1},
    {-1.0, 56.0, 0.3},  {1.0, 64.0, 0.15},  {1.0, 90.0, 8.0},   {-1.0, 97.0, 0.1},
    {1.0, 124.0, 8.0},  {-1.0, 127.0, 8.0}, {-1.0, 173.0, 0.07}, {-1.3, 139.0, 0.3},
    {1.3, 147.0, 0.1},
};

struct ring_colours {
    float base[3], low[3], high[3];
};

constexpr ring_colours first_ring = {{0.462f, 0.616f, 0.77f}, {0.77f, 0.616f, 0.462f},
                                     {2.31f, 0.616f, 0.462f}};
constexpr ring_colours other_rings = {{0.18f, 0.24f, 0.3f}, {0.3f, 0.24f, 0.18f},
                                      {0.9f, 0.24f, 0.18f}};

}  // namespace

float zoom_amount(double t)
{
    float z = 0.0f;
    for (const zoom_term& term : zoom_terms)
        z = static_cast<float>(z + term.weight * ease((t - term.start) * term.rate));
    return z;
}

float zoom_factor(double t)
{
    const float z = zoom_amount(t);
    const float s = z > 0.0f ? 1.0f : (z < 0.0f ? -1.0f : 0.0f);
    float v = z * z * s;
    v = v * -0.3f;
    return v + 1.0f;
}

double field_of_view(double t) { return 45.0 * zoom_factor(t); }

title_letter title_letter_at(int ring, int i, double t)
{
    const double delay = ring == 0 ? 3.0 : 4.5;
    const double x = 3.0 * (t - delay) - i;
    // Conversion toward zero: anything in (-1, 0) still counts as group 0.
    const int g = x > 1e9 ? title_last_group + 1 : (x < -1e9 ? -1000 : static_cast<int>(x));

    const ring_colours& c = ring == 0 ? first_ring : other_rings;
    const float* rgb = c.base;
    if (g < 4) rgb = c.low;
    if (g > 12) rgb = c.high;

    title_letter letter;
    letter.r = rgb[0];
    letter.g = rgb[1];
    letter.b = rgb[2];
    if (g > title_last_group)
        letter.group = title_last_group;
    else if (g >= 0)
        letter.group = g;
    return letter;
}

bool title_letter_repeats(int ring, int i, double t)
{
    if (ring == 0 || i == 0) return false;
    const title_letter a = title_letter_at(ring, i - 1, t);
    const title_letter b = title_letter_at(ring, i, t);
    return a.group == b.group && a.r == b.r && a.g == b.g && a.b == b.b;
}

float title_ring_angle(int ring)
{
    constexpr float angles[title_rings] = {0.0f, 180.0f, 90.0f, 270.0f};
    return angles[ring & 3];
}
