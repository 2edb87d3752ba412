// When the simulation steps: the same steps at every frame rate, and captures whose
// frame times agree bit for bit.
#include "app/capture.h"
#include "app/step_schedule.h"

#include <gtest/gtest.h>

namespace {

// Steps run for each of the first `frames` frames at `hz`, frame k at (k + 1) / hz.
std::vector<int64_t> steps_per_frame(int hz, int frames, int cap = 0)
{
    std::vector<int64_t> out;
    int64_t done = 0;
    for (int k = 0; k < frames; ++k) {
        const step_plan p = plan_steps(done, double(k + 1) / hz, cap);
        done += p.skip + p.run;
        out.push_back(p.run);
    }
    return out;
}

}  // namespace

TEST(StepSchedule, StepsPerFrameFollowTheFrameRate)
{
    EXPECT_EQ(steps_per_frame(60, 600), std::vector<int64_t>(600, 1));
    EXPECT_EQ(steps_per_frame(30, 300), std::vector<int64_t>(300, 2));
    EXPECT_EQ(steps_per_frame(10, 100), std::vector<int64_t>(100, 6));
    // 144 Hz: a step whenever 1/60 s has built up, 60 of them in each second.
    const std::vector<int64_t> fast = steps_per_frame(144, 144 * 5);
    int64_t total = 0;
    for (int64_t n : fast) {
        EXPECT_LE(n, 1);
        total += n;
    }
    EXPECT_EQ(total, 300);
    EXPECT_EQ(fast[0], 0);  // 1/144 s: no step due yet
    EXPECT_EQ(fast[2], 1);  // 3/144 s passes 1/60 s
}

TEST(StepSchedule, EveryFrameTimeLandsOnItsOwnStep)
{
    // n / fps seconds times 60 may round a hair below the whole step; it must still count.
    for (int fps : {10, 12, 15, 20, 30, 60})
        for (int64_t n = 0; n < fps * 200; ++n)
            ASSERT_EQ(steps_due(double(n) / fps), n * 60 / fps) << n << " at " << fps;
    EXPECT_EQ(steps_due(-1.0), 0);
    EXPECT_EQ(steps_due(0.0), 0);
    EXPECT_EQ(step_show_time(8400), 140.0);
}

TEST(StepSchedule, ARealTimeFrameTakesAtMostTheCapAndSkipsTheRest)
{
    step_plan p = plan_steps(0, 1.0, real_time_step_cap);
    EXPECT_EQ(p.run, real_time_step_cap);
    EXPECT_EQ(p.skip, 60 - real_time_step_cap);
    p = plan_steps(0, 1.0, 0);  // offline: every step runs
    EXPECT_EQ(p.run, 60);
    EXPECT_EQ(p.skip, 0);
    p = plan_steps(70, 1.0, 4);  // ahead of the frame (after a seek back): nothing
    EXPECT_EQ(p.run + p.skip, 0);
}

TEST(StepSchedule, StepsTakenWhileTheSceneDrewCountAgainstTheFramesCap)
{
    // Three taken early: one more runs, the rest of the frame's due steps are skipped.
    step_plan p = plan_steps(3, 1.0, real_time_step_cap, 3);
    EXPECT_EQ(p.run, real_time_step_cap - 3);
    EXPECT_EQ(p.skip, 57 - (real_time_step_cap - 3));
    // The whole cap taken early: nothing runs, all due steps are skipped, none is lost twice.
    p = plan_steps(4, 1.0, real_time_step_cap, real_time_step_cap);
    EXPECT_EQ(p.run, 0);
    EXPECT_EQ(p.skip, 56);
    // Offline has no cap, whatever ran early.
    p = plan_steps(4, 1.0, 0, 2);
    EXPECT_EQ(p.run, 56);
    EXPECT_EQ(p.skip, 0);
}

TEST(Capture, FromIsRoundedToAWholeFrameSoTwoCapturesShareTheirTimes)
{
    capture_session whole, part;
    whole.fps = part.fps = 30;
    EXPECT_TRUE(capture_start_at(whole, 0));
    EXPECT_TRUE(capture_start_at(part, 10));
    for (long k = 0; k < 60; ++k) ASSERT_EQ(capture_frame_time(part, k), capture_frame_time(whole, 300 + k));

    EXPECT_FALSE(capture_start_at(part, 10.01));  // not a whole frame: rounded, and said so
    EXPECT_EQ(part.from, 10.0);
    EXPECT_FALSE(capture_start_at(part, 10.02));
    EXPECT_EQ(part.first, 301);
    EXPECT_EQ(capture_frame_time(part, 0), 302.0 / 30);

    // Frame k at 30 fps is frame 2k + 1 at 60 fps, bit for bit.
    capture_session sixty;
    sixty.fps = 60;
    capture_start_at(sixty, 0);
    for (long k = 0; k < 600; ++k) ASSERT_EQ(capture_frame_time(whole, k), capture_frame_time(sixty, 2 * k + 1));
}
