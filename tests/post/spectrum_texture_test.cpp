#include "post/spectrum_texture.h"

#include <gtest/gtest.h>
#include <limits>

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
