// The final pass's bands are read on the CPU now; they must be what the GL's linear
// filtering gave when the shader read the texture itself.
#include "post/spectrum_bands.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> grey(const std::vector<int>& values)
{
    std::vector<uint8_t> rgb;
    for (int v : values) rgb.insert(rgb.end(), {uint8_t(v), uint8_t(v), uint8_t(v)});
    return rgb;
}

}  // namespace

TEST(SpectrumBands, EvenTexelsGiveTheirValueAndSilenceGivesZero)
{
    const auto even = grey(std::vector<int>(256, 51));
    EXPECT_NEAR(bands_of(even.data(), 256).bass, 0.2f, 1e-6);
    EXPECT_NEAR(bands_of(even.data(), 256).mids, 0.2f, 1e-6);
    const auto silent = grey(std::vector<int>(256, 0));
    EXPECT_EQ(bands_of(silent.data(), 256).bass, 0.0f);
}

TEST(SpectrumBands, ReadsBetweenTexelCentresBlendLinearly)
{
    // Bass reads at 0.0075, 0.0225, 0.0375, 0.0525 of 256 texels: texel coordinates 1.42,
    // 5.26, 9.1 and 12.94 (less half a texel), so only texels 1..2, 5..6, 9..10, 12..13 count.
    std::vector<int> v(256, 0);
    v[1] = 255;
    const auto one = grey(v);
    EXPECT_NEAR(bands_of(one.data(), 256).bass, (1.0f - 0.42f) / 4.0f, 1e-4);
    EXPECT_EQ(bands_of(one.data(), 256).mids, 0.0f);
    v[1] = 0;
    v[20] = 255;  // between the bass reads and the first mids read (at 24.1)
    const auto gap = grey(v);
    EXPECT_EQ(bands_of(gap.data(), 256).bass, 0.0f);
    EXPECT_EQ(bands_of(gap.data(), 256).mids, 0.0f);
}

TEST(SpectrumBands, ReadsBelowTheFirstTexelCentreWrapAround)
{
    std::vector<int> v(8, 0);
    v[7] = 255;
    const auto rgb = grey(v);
    // One texel of eight spans 0.125: a read at 0.03 lies before texel 0's centre and mixes in
    // the last texel, as repeat wrapping does.
    EXPECT_NEAR(spectrum_band(rgb.data(), 8, 0.0f, 0.0f), 0.5f, 1e-6);
}
