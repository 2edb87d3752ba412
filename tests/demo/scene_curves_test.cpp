#include "demo/scene_curves.h"

#include <gtest/gtest.h>

TEST(Zoom, FieldOfViewAtTheCheckpoints)
{
    EXPECT_DOUBLE_EQ(field_of_view(0.0), 45.0);
    EXPECT_DOUBLE_EQ(field_of_view(20.0), 45.0);
    EXPECT_NEAR(zoom_amount(33.0), 0.794, 0.001);
    EXPECT_NEAR(field_of_view(33.0), 36.5, 0.05);
    EXPECT_FLOAT_EQ(zoom_amount(60.0), -1.0f);
    EXPECT_NEAR(field_of_view(60.0), 58.5, 1e-4);
    EXPECT_FLOAT_EQ(zoom_amount(95.0), 1.0f);
    EXPECT_NEAR(field_of_view(95.0), 31.5, 1e-4);
    EXPECT_NEAR(zoom_amount(145.0), -1.3, 1e-5);
    EXPECT_NEAR(field_of_view(145.0), 67.8, 0.05);
}

TEST(Zoom, SnapTermsCompleteWithinAnEighthOfASecond)
{
    // Term 1 (+1 at 32.5, speed 8) rides on the slow terms: the jump is the full unit.
    EXPECT_NEAR(zoom_amount(32.5 + 0.125) - zoom_amount(32.5), 1.0, 0.03);
    // At 124 a +1 snap, undone by the -1 snap at 127.
    EXPECT_NEAR(zoom_amount(124.125) - zoom_amount(124.0), 1.0, 1e-6);
    EXPECT_NEAR(zoom_amount(127.125) - zoom_amount(127.0), -1.0, 1e-6);
    // Negative Z widens: the factor is above 1.
    EXPECT_GT(zoom_factor(60.0), 1.0f);
    EXPECT_LT(zoom_factor(95.0), 1.0f);
}

TEST(TitleLetters, FirstRingWaveRunsThreeLettersPerSecond)
{
    for (int i = 0; i < title_letters_per_ring; ++i)
        EXPECT_EQ(title_letter_at(0, i, 2.6).group, -1) << i;
    // 3 (t - 3) - i in (-1, 0) truncates to 0 and draws group 0.
    EXPECT_EQ(title_letter_at(0, 0, 2.8).group, 0);
    EXPECT_EQ(title_letter_at(0, 0, 5.0).group, 6);
    EXPECT_EQ(title_letter_at(0, 5, 5.0).group, 1);
    EXPECT_EQ(title_letter_at(0, 7, 5.0).group, -1);
    // Past 22 every letter is replaced by the last group.
    EXPECT_EQ(title_letter_at(0, 0, 12.0).group, 22);
    for (int i = 0; i < title_letters_per_ring; ++i)
        EXPECT_EQ(title_letter_at(0, i, 17.34).group, 22) << i;
    EXPECT_NE(title_letter_at(0, 21, 17.3).group, 22);
}

TEST(TitleLetters, OuterRingsFollowOneAndAHalfSecondsLater)
{
    for (int ring = 1; ring < title_rings; ++ring) {
        EXPECT_EQ(title_letter_at(ring, 0, 4.1).group, -1);
        EXPECT_EQ(title_letter_at(ring, 0, 4.2).group, 0);
        EXPECT_EQ(title_letter_at(ring, 21, 18.8).group, 21);
        EXPECT_EQ(title_letter_at(ring, 21, 18.84).group, 22);
    }
}

TEST(TitleLetters, OnlyExactRepeatsInUnflattenedRingsAreSkipped)
{
    // Once the wave has passed, rings 1..3 show the last glyph 22 times in one place.
    for (int ring = 1; ring < title_rings; ++ring) {
        EXPECT_FALSE(title_letter_repeats(ring, 0, 30.0));
        for (int i = 1; i < title_letters_per_ring; ++i) EXPECT_TRUE(title_letter_repeats(ring, i, 30.0)) << i;
    }
    // Ring 0 flattens every letter further, so none is the same draw as the one before.
    for (int i = 0; i < title_letters_per_ring; ++i) EXPECT_FALSE(title_letter_repeats(0, i, 30.0)) << i;
    // During the wave neighbouring letters mostly differ; a repeat is always of the same
    // glyph in the same colour.
    for (double t = 0.0; t < 25.0; t += 0.05)
        for (int ring = 0; ring < title_rings; ++ring)
            for (int i = 1; i < title_letters_per_ring; ++i) {
                if (!title_letter_repeats(ring, i, t)) continue;
                const title_letter a = title_letter_at(ring, i - 1, t), b = title_letter_at(ring, i, t);
                EXPECT_EQ(a.group, b.group);
                EXPECT_EQ(a.r, b.r);
                EXPECT_EQ(a.g, b.g);
                EXPECT_EQ(a.b, b.b);
            }
    EXPECT_FALSE(title_letter_repeats(1, 5, 8.0));
}

TEST(TitleLetters, ColourByGroupWarmLowHotHigh)
{
    // Ring 0 at t = 5, letter i has g = 6 - i.
    title_letter low = title_letter_at(0, 3, 5.0);  // g = 3
    EXPECT_FLOAT_EQ(low.r, 0.77f);
    EXPECT_FLOAT_EQ(low.b, 0.462f);
    title_letter base = title_letter_at(0, 0, 5.0);  // g = 6
    EXPECT_FLOAT_EQ(base.r, 0.462f);
    EXPECT_FLOAT_EQ(base.b, 0.77f);
    title_letter hot = title_letter_at(0, 0, 8.0);  // g = 15
    EXPECT_FLOAT_EQ(hot.r, 2.31f);
    title_letter hidden = title_letter_at(0, 10, 5.0);  // g < 0 still takes the low colour
    EXPECT_EQ(hidden.group, -1);
    EXPECT_FLOAT_EQ(hidden.r, 0.77f);

    title_letter outer = title_letter_at(2, 0, 10.0);  // g = 16
    EXPECT_FLOAT_EQ(outer.r, 0.9f);
    EXPECT_FLOAT_EQ(outer.g, 0.24f);
    EXPECT_FLOAT_EQ(title_ring_angle(1), 180.0f);
    EXPECT_FLOAT_EQ(title_ring_angle(3), 270.0f);
}
