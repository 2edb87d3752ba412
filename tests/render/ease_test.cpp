#include "render/screen.h"
#include "render/target_limits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

TEST(CosineEase, PlainRampValues)
{
    EXPECT_DOUBLE_EQ(cosine_ease(0.0, 1), 0.0);
    EXPECT_NEAR(cosine_ease(0.5, 1), 0.5, 1e-15);
    EXPECT_DOUBLE_EQ(cosine_ease(1.0, 1), 1.0);
    EXPECT_NEAR(cosine_ease(0.25, 1), (1 - std::cos(std::numbers::pi / 4)) / 2, 1e-15);
    EXPECT_NEAR(cosine_ease(0.25, 1), 0.1464, 1e-4);
}

TEST(CosineEase, ConstantOutsideItsInterval)
{
    for (double p : {0.5, 1.0, 2.0, 3.0, 7.5}) {
        EXPECT_EQ(cosine_ease(-3.0, p), 0.0) << p;
        EXPECT_EQ(cosine_ease(7.0, p), 1.0) << p;
    }
}

TEST(CosineEase, LargerPowerSharpensTowardTheEnd)
{
    // p = 3: (1 - c^2)^3 with c = (1 + cos(pi a)) / 2.
    const double c = (1 + std::cos(std::numbers::pi * 0.5)) / 2;
    EXPECT_NEAR(cosine_ease(0.5, 3), std::pow(1 - c * c, 3), 1e-15);
    EXPECT_LT(cosine_ease(0.3, 3), cosine_ease(0.3, 1));
    double previous = 0;
    for (int i = 1; i <= 100; ++i) {
        const double v = cosine_ease(i / 100.0, 3);
        EXPECT_GE(v, previous);
        previous = v;
    }
}

TEST(TargetLimits, ClampRules)
{
    EXPECT_EQ(clamp_set_index(16), 15);
    EXPECT_EQ(clamp_set_index(-1), 0);
    EXPECT_EQ(clamp_set_index(7), 7);
    EXPECT_EQ(clamp_draw_count(0), 1);
    EXPECT_EQ(clamp_draw_count(5), 3);
    EXPECT_EQ(clamp_draw_count(2), 2);
    EXPECT_EQ(clamp_attachment(-2), 0);
    EXPECT_EQ(clamp_attachment(3), 2);
}

TEST(TargetLimits, SamplesNeverExceedWhatTheGlAllows)
{
    EXPECT_EQ(clamp_samples(8, 4), 4);
    EXPECT_EQ(clamp_samples(8, 16), 8);
    EXPECT_EQ(clamp_samples(0, 4), 0);
    EXPECT_EQ(clamp_samples(-2, 4), 0);
    EXPECT_EQ(clamp_samples(8, 0), 0);  // no multisampling: single-sample storage
}
