#include "post/chain_curves.h"

#include "base/vecmath.h"

#include <gtest/gtest.h>

TEST(Fade, BlackAtStartClearBetweenAndBlackAgainAtTheEnd)
{
    EXPECT_DOUBLE_EQ(fade_alpha(0.0), 1.0);
    EXPECT_TRUE(fade_visible(fade_alpha(0.0)));
    EXPECT_NEAR(fade_alpha(1.0), 0.5, 1e-12);
    EXPECT_DOUBLE_EQ(fade_alpha(2.0), 0.0);
    EXPECT_FALSE(fade_visible(fade_alpha(2.0)));
    for (double T = 2.0; T <= 209.0; T += 0.5) EXPECT_FALSE(fade_visible(fade_alpha(T))) << T;
    EXPECT_NEAR(fade_alpha(209.0 + 0.5 / 0.35), 0.5, 1e-12);
    EXPECT_DOUBLE_EQ(fade_alpha(212.0), 1.0);
}

TEST(FollowWeight, RisesFallsAndRisesAgainOnItsFourRamps)
{
    EXPECT_DOUBLE_EQ(follow_weight(0.0), 0.0);
    EXPECT_DOUBLE_EQ(follow_weight(74.0), 0.0);
    EXPECT_NEAR(follow_weight(84.0), 0.5, 1e-12);
    EXPECT_DOUBLE_EQ(follow_weight(94.0), 1.0);
    EXPECT_DOUBLE_EQ(follow_weight(100.0), 1.0);
    EXPECT_DOUBLE_EQ(follow_weight(121.0), 0.0);
    EXPECT_DOUBLE_EQ(follow_weight(129.0), 0.0);
    EXPECT_NEAR(follow_weight(129.0 + 1.0 / 0.15), 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(follow_weight(156.0), 1.0);
    EXPECT_NEAR(follow_weight(156.0 + 1.0 / 0.15), 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(follow_weight(200.0), 0.0);
}

TEST(CombineLimit, DependsOnlyOnTimeAndStaysInUnitRange)
{
    const float first = combine_limit(47.25);
    rand_seed(99);
    for (int i = 0; i < 1234; ++i) rand_next();
    EXPECT_EQ(combine_limit(47.25), first);

    // The 101st draw after seeding with trunc(T * 423424), scaled to 0..1.
    rand_seed(static_cast<uint32_t>(static_cast<int64_t>(47.25 * 423424.0)));
    for (int i = 0; i < 100; ++i) rand_next();
    EXPECT_FLOAT_EQ(first, rand_next() / 32767.0f);

    int distinct = 0;
    float previous = -1;
    for (double T = 0; T < 220; T += 1.7) {
        const float v = combine_limit(T);
        EXPECT_GE(v, 0.0f);
        EXPECT_LE(v, 1.0f);
        distinct += v != previous;
        previous = v;
    }
    EXPECT_GT(distinct, 100);
}

TEST(CameraPathIndex, WrapsNegativeTimesAndNeedsTwoPoints)
{
    EXPECT_EQ(camera_path_index(10.0, 0), -1);
    EXPECT_EQ(camera_path_index(10.0, 1), -1);
    EXPECT_EQ(camera_path_index(10.0, 2), 0);
    // T = 1: 35 - 28 = 7 records in.
    EXPECT_EQ(camera_path_index(1.0, 101), 7);
    // T = 0: -28 seen as unsigned 32-bit is 4294967268.
    EXPECT_EQ(camera_path_index(0.0, 11), 4294967268u % 10u);
    EXPECT_EQ(camera_path_index(0.5, 1000), (4294967296u - 10u) % 999u);
    for (double T = 0; T < 230; T += 0.37) {
        const int64_t k = camera_path_index(T, 57);
        EXPECT_GE(k, 0);
        EXPECT_LT(k, 56);
    }
}
