#include "studio/transport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Transport, PauseLandsOnTheStepBelowThenStepsMoveOneSixtieth)
{
    transport t;
    t.time = 10.0 + 0.5 / 60;  // between two steps
    transport_pause(t);
    EXPECT_FALSE(t.playing);
    EXPECT_EQ(t.time, 600.0 / 60);
    EXPECT_EQ(t.jumps, 1u);
    ASSERT_TRUE(transport_step(t, +1));
    EXPECT_EQ(t.time, 601.0 / 60);
    ASSERT_TRUE(transport_step(t, +1));
    EXPECT_EQ(t.time, 602.0 / 60);
    ASSERT_TRUE(transport_step(t, -1));
    EXPECT_EQ(t.time, 601.0 / 60);
    EXPECT_EQ(t.jumps, 4u);
    EXPECT_FALSE(t.playing);
    // Pausing again changes nothing: already on a step.
    transport_pause(t);
    EXPECT_EQ(t.jumps, 4u);
}

TEST(Transport, StepFromBetweenStepsAndAtTheEnds)
{
    transport t;
    ASSERT_TRUE(transport_seek(t, 10.25 + 0.1 / 60));
    ASSERT_TRUE(transport_step(t, -1));  // the step just below, not two down
    EXPECT_EQ(t.time, 615.0 / 60);
    EXPECT_FALSE(t.playing);
    ASSERT_TRUE(transport_seek(t, 0));
    EXPECT_FALSE(transport_step(t, -1));
    EXPECT_EQ(t.time, 0.0);
    ASSERT_TRUE(transport_seek(t, 198.0));
    EXPECT_FALSE(transport_step(t, +1));
    EXPECT_EQ(t.time, 198.0);
}

TEST(Transport, StepIndexMatchesTheScheduleOnEveryGridTime)
{
    for (int64_t j = 0; j <= 198 * 60; ++j) {
        ASSERT_EQ(transport_step_at(transport_step_time(j)), j);
        ASSERT_EQ(transport_step_time(j), double(j) / 60.0);
    }
}

TEST(Transport, LoopWrapsAtItsEndKeepingTheOvershoot)
{
    transport t;
    ASSERT_TRUE(transport_set_loop(t, 10, 12));
    EXPECT_TRUE(t.loop_on);
    ASSERT_TRUE(transport_seek(t, 11.75));
    const uint64_t jumps = t.jumps;
    transport_advance(t, 0.5);
    EXPECT_DOUBLE_EQ(t.time, 10.25);
    EXPECT_EQ(t.jumps, jumps + 1);  // the wrap is a jump: music and simulation follow
    transport_advance(t, 1.0);
    EXPECT_DOUBLE_EQ(t.time, 11.25);
    EXPECT_EQ(t.jumps, jumps + 1);
    // Off: plays on past the old end.
    ASSERT_TRUE(transport_loop_enable(t, false));
    transport_advance(t, 1.0);
    EXPECT_DOUBLE_EQ(t.time, 12.25);
    // Starting after the range, the loop does not pull the time back.
    ASSERT_TRUE(transport_loop_enable(t, true));
    transport_advance(t, 1.0);
    EXPECT_DOUBLE_EQ(t.time, 13.25);
}

TEST(Transport, LoopRangeMustBeInsideTheShowAndOrdered)
{
    transport t;
    EXPECT_FALSE(transport_loop_enable(t, true));  // no range yet
    EXPECT_FALSE(transport_set_loop(t, 12, 10));
    EXPECT_FALSE(transport_set_loop(t, 10, 10));
    EXPECT_FALSE(transport_set_loop(t, -1, 10));
    EXPECT_FALSE(transport_set_loop(t, 10, 199));
    EXPECT_FALSE(t.loop_on);
    EXPECT_TRUE(transport_set_loop(t, 0, 198));
}

TEST(Transport, SpeedScalesPlaybackAndMutesTheMusicOffOne)
{
    transport t;
    EXPECT_TRUE(transport_music_audible(t));
    for (double s : {0.25, 0.5, 2.0, 1.0}) {
        ASSERT_TRUE(transport_set_speed(t, s));
        const double before = t.time;
        transport_advance(t, 0.5);
        EXPECT_DOUBLE_EQ(t.time - before, 0.5 * s);
        EXPECT_EQ(transport_music_audible(t), s == 1.0);
    }
    for (double bad : {0.0, -1.0, 0.3, 4.0, std::nan("")}) EXPECT_FALSE(transport_set_speed(t, bad));
    EXPECT_EQ(t.speed, 1.0);
    transport_pause(t);
    EXPECT_FALSE(transport_music_audible(t));
    const double paused_at = t.time;
    transport_advance(t, 1.0);
    EXPECT_EQ(t.time, paused_at);
}

TEST(Transport, ScrubbingWhilePausedStaysPausedAndEndsInOneJump)
{
    transport t;
    transport_pause(t);
    const uint64_t jumps = t.jumps;
    transport_scrub_begin(t);
    EXPECT_FALSE(transport_music_audible(t));
    EXPECT_FALSE(transport_frame_exact(t));  // a coarse frame while dragging
    EXPECT_TRUE(transport_scrub_to(t, 50));
    EXPECT_TRUE(transport_scrub_to(t, 40.5));
    EXPECT_FALSE(transport_scrub_to(t, 250));
    transport_advance(t, 1.0);  // time stands still under the mouse
    EXPECT_EQ(t.time, 40.5);
    transport_scrub_end(t);
    EXPECT_TRUE(transport_frame_exact(t));
    EXPECT_FALSE(t.playing);
    EXPECT_EQ(t.time, 40.5);
    EXPECT_EQ(t.jumps, jumps + 1);
    EXPECT_FALSE(transport_scrub_to(t, 30));  // not dragging any more
}

TEST(Transport, ScrubbingWhilePlayingResumesOnRelease)
{
    transport t;
    transport_scrub_begin(t);
    EXPECT_FALSE(t.playing);
    ASSERT_TRUE(transport_scrub_to(t, 20));
    transport_scrub_end(t);
    EXPECT_TRUE(t.playing);
    EXPECT_TRUE(transport_music_audible(t));
}

TEST(Transport, SeekingPastTheEndIsRefused)
{
    transport t;
    ASSERT_TRUE(transport_seek(t, 42));
    const uint64_t jumps = t.jumps;
    for (double bad : {198.0001, 1e9, -0.001, std::numeric_limits<double>::infinity(), std::nan("")})
        EXPECT_FALSE(transport_seek(t, bad)) << bad;
    EXPECT_EQ(t.time, 42.0);
    EXPECT_EQ(t.jumps, jumps);
    EXPECT_TRUE(transport_seek(t, 198.0));
}

TEST(Transport, PlayingIntoTheEndPausesThere)
{
    transport t;
    ASSERT_TRUE(transport_seek(t, 197.9));
    transport_advance(t, 0.5);
    EXPECT_EQ(t.time, 198.0);
    EXPECT_FALSE(t.playing);
    transport_play(t);  // nothing left: stays paused
    EXPECT_FALSE(t.playing);
    ASSERT_TRUE(transport_seek(t, 0));
    transport_play(t);
    EXPECT_TRUE(t.playing);
}
