#include "post/chain_curves.h"

#include "base/vecmath.h"
#include "post/ease.h"

#include <cmath>

double fade_alpha(double T)
{
    return (1.0 - ease(T * 0.5)) + ease((T - 209.0) * 0.35);
}

bool fade_visible(double alpha) { return alpha > 0.001; }

double follow_weight(double T)
{
    return ease((T - 74.0) * 0.05) - ease(T - 120.0) + ease((T - 129.0) * 0.15)
           - ease((T - 156.0) * 0.15);
}

float combine_limit(double T)
{
    rand_seed(static_cast<uint32_t>(static_cast<int64_t>(T * 423424.0)));
    for (int i = 0; i < 100; ++i) rand_next();
    return static_cast<float>(rand_next()) / 32767.0f;
}

int64_t camera_path_index(double T, std::size_t path_count)
{
    if (path_count < 2) return -1;
    // Negative early in the show: the wrap to unsigned keeps the index in range.
    const uint32_t raw = static_cast<uint32_t>(static_cast<int64_t>(T * 35.0 - 28.0));
    return static_cast<int64_t>(raw % static_cast<uint32_t>(path_count - 1));
}
