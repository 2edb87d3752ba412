// E(x): the cosine ramp the chain's curves are written in (cosine_ease with p = 1):
// 0 for x <= 0, 1 for x >= 1, an S-curve between.
#pragma once
#include <algorithm>
#include <cmath>
#include <numbers>

inline double ease(double x)
{
    const double a = std::clamp(x, 0.0, 1.0);
    return (1.0 - std::cos(std::numbers::pi * a)) / 2.0;
}
