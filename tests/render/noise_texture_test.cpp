#include "base/vecmath.h"
#include "render/textures.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

// An independent copy of the generator rule, so the test does not trust vecmath's.
struct reference_lcg {
    uint32_t state;
    int next()
    {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 32767);
    }
    int up_to_256()
    {
        int r;
        do r = next() / 127;  // 32767 / 257
        while (r > 256);
        return r;
    }
};

reference_lcg after_warm_up()
{
    reference_lcg g{24234234};
    for (int i = 0; i < 10000; ++i) g.next();
    return g;
}

}  // namespace

TEST(NoiseTexture, FirstTexelFromTheFourthToSixthDrawAfterWarmUp)
{
    reference_lcg g = after_warm_up();
    std::array<int, 6> draws;
    for (int& d : draws) d = g.up_to_256();
    const std::vector<uint8_t> bytes = noise_texture_bytes(4, 3);
    ASSERT_EQ(bytes.size(), 4u * 3u * 3u);
    EXPECT_EQ(bytes[0], uint8_t(draws[3]));
    EXPECT_EQ(bytes[1], uint8_t(draws[4]));
    EXPECT_EQ(bytes[2], uint8_t(draws[5]));
}

TEST(NoiseTexture, ColumnsAreVisitedFirstAndEveryByteMatches)
{
    const int width = 5, height = 3;  // odd sizes catch a swapped stride
    reference_lcg g = after_warm_up();
    std::vector<uint8_t> expected(width * height * 3);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            for (int i = 0; i < 3; ++i) g.up_to_256();
            for (int c = 0; c < 3; ++c) expected[(y * width + x) * 3 + c] = uint8_t(g.up_to_256());
        }
    EXPECT_EQ(noise_texture_bytes(width, height), expected);
}

TEST(NoiseTexture, IdenticalOnEveryCallWhateverTheGeneratorHeld)
{
    const std::vector<uint8_t> first = noise_texture_bytes(64, 32);
    rand_seed(99);
    rand_next();
    EXPECT_EQ(noise_texture_bytes(64, 32), first);
}

TEST(NoiseTexture, ZeroIsTwiceAsFrequentBecause256Wraps)
{
    const std::vector<uint8_t> bytes = noise_texture_bytes(256, 256);
    std::array<double, 256> counts{};
    for (uint8_t b : bytes) counts[b] += 1;
    double others = 0;
    for (int v = 1; v < 256; ++v) others += counts[v];
    const double mean_other = others / 255;
    EXPECT_NEAR(counts[0] / mean_other, 2.0, 0.1);
}

TEST(NoiseTexture, DegenerateSizesGiveEmptyBuffers)
{
    EXPECT_TRUE(noise_texture_bytes(0, 10).empty());
    EXPECT_TRUE(noise_texture_bytes(-4, 10).empty());
}

TEST(RandomTexture, ContinuesTheGeneratorAfterTheNoise)
{
    noise_texture_bytes(3, 2);
    const uint32_t state = rand_state();
    const std::vector<uint8_t> bytes = random_texture_bytes(2, 2);
    reference_lcg g{state};
    ASSERT_EQ(bytes.size(), 16u);
    for (uint8_t b : bytes) EXPECT_EQ(b, g.next() % 255);
}
