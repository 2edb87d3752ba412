#include "demo/spectrum_history.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(SpectrumHistory, ZeroSpectrumKeepsItZero)
{
    float h[spectrum_history_size] = {};
    for (int f = 0; f < 300; ++f) advance_spectrum_history(h, 0.0f);
    for (float v : h) EXPECT_EQ(v, 0.0f);
}

TEST(SpectrumHistory, ASpikeTravelsOutwardShrinkingAndLeaves)
{
    float h[spectrum_history_size] = {};
    const float s = 1.0f;
    advance_spectrum_history(h, s);  // frame n
    EXPECT_EQ(h[100], s);
    EXPECT_FLOAT_EQ(h[99], 0.95f * s);
    EXPECT_FLOAT_EQ(h[101], 0.95f * s);

    for (int m = 1; m <= 100; ++m) {
        advance_spectrum_history(h, 0.0f);  // frame n + m
        EXPECT_EQ(h[100], 0.0f);
        const float expected = std::pow(0.95f, static_cast<float>(m + 1)) * s;
        if (100 - (m + 1) >= 0) {
            EXPECT_NEAR(h[100 - (m + 1)], expected, 1e-5f) << m;
        }
        if (100 + (m + 1) < 200) {
            EXPECT_NEAR(h[100 + (m + 1)], expected, 1e-5f) << m;
        }
        int nonzero = 0;
        for (float v : h) nonzero += v != 0.0f;
        // Reaches entry 199 in frame n + 98 and entry 0 in frame n + 99.
        const int expected_nonzero = (m + 1 <= 99 ? 1 : 0) + (m + 1 <= 100 ? 1 : 0);
        EXPECT_EQ(nonzero, expected_nonzero) << m;
    }
}
