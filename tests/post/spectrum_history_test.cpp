#include "post/spectrum_history.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

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

TEST(SpectrumTexture, BytesKeepTheLowEightBitsOfTheIntegerPart)
{
    EXPECT_EQ(spectrum_byte(0.0f), 0);
    EXPECT_EQ(spectrum_byte(1.0f), 255);
    EXPECT_EQ(spectrum_byte(0.5f), 127);
    EXPECT_EQ(spectrum_byte(2.0f), 254);
    EXPECT_EQ(spectrum_byte(0.0039f), 0);
    EXPECT_EQ(spectrum_byte(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(spectrum_byte(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(spectrum_byte(1e30f), 0);  // bounded, no undefined conversion
}

TEST(SpectrumTexture, FillsGreyTexelsFromTheFirst256Values)
{
    float spectrum[512];
    for (int i = 0; i < 512; ++i) spectrum[i] = i / 255.0f;
    uint8_t rgb[spectrum_texels * 3];
    fill_spectrum_texels(spectrum, rgb);
    for (int i = 0; i < spectrum_texels; ++i) {
        EXPECT_EQ(rgb[3 * i], rgb[3 * i + 1]);
        EXPECT_EQ(rgb[3 * i], rgb[3 * i + 2]);
    }
    EXPECT_EQ(rgb[3 * 255], 255);
    EXPECT_EQ(rgb[3 * 128], 128);
}
