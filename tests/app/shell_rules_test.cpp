#include "app/capture.h"
#include "app/clock.h"
#include "app/frame_rules.h"
#include "app/run_options.h"

#include <gtest/gtest.h>

#include <vector>


namespace {
uint64_t fake_now = 0;
uint64_t fake_counter() { return fake_now; }
uint64_t fake_frequency() { return 1000; }
}  // namespace

TEST(Clock, AccumulatesCounterDeltasSinceReset)
{
    clock_state c;
    c.counter = fake_counter;
    c.frequency = fake_frequency;
    fake_now = 5000;
    clock_reset(c);
    EXPECT_EQ(clock_read(c), 0.0);
    fake_now = 5250;
    EXPECT_DOUBLE_EQ(clock_read(c), 0.25);
    fake_now = 6250;
    EXPECT_DOUBLE_EQ(clock_read(c), 1.25);
    EXPECT_DOUBLE_EQ(c.last_reading, 1.25);
    clock_reset(c);
    fake_now = 6260;
    EXPECT_DOUBLE_EQ(clock_read(c), 0.01);
}

TEST(FrameRules, ShowEndsOnlyAfter198)
{
    EXPECT_FALSE(show_is_over(198.0));
    EXPECT_TRUE(show_is_over(198.0 + 1e-9));
    EXPECT_FALSE(show_is_over(0.0));
}

TEST(FrameRules, PartSlotWindowIsInclusive)
{
    EXPECT_EQ(choose_part_slot(51.6, true, true), 1);
    EXPECT_EQ(choose_part_slot(66.3, true, true), 1);
    EXPECT_EQ(choose_part_slot(66.31, true, true), 0);
    EXPECT_EQ(choose_part_slot(51.6, true, false), 0);
    EXPECT_EQ(choose_part_slot(10.0, false, true), -1);
}

TEST(FrameRules, ClosingFadeEndsOnTheFirstFrameWithTheDefaultRate)
{
    const fade_factors start = closing_fade(10.0, 10.0, 100002.5);
    EXPECT_EQ(start.picture, 0.0);
    EXPECT_EQ(start.sound, 1.0);
    EXPECT_EQ(fade_volume(start), 255);
    EXPECT_FALSE(closing_fade_done(start));

    const fade_factors next = closing_fade(10.0 + 1.0 / 60, 10.0, 100002.5);
    EXPECT_EQ(next.picture, 1.0);
    EXPECT_EQ(next.sound, 0.0);
    EXPECT_EQ(fade_volume(next), 0);
    EXPECT_TRUE(closing_fade_done(next));

    // Slow fade: the sound leaves five times sooner than the picture.
    const fade_factors slow = closing_fade(1.0625, 1.0, 2.0);
    EXPECT_EQ(slow.picture, 0.125);
    EXPECT_EQ(slow.sound, 0.375);
    EXPECT_EQ(fade_volume(slow), 223);  // 255 - 31.875, truncated
    // 0.999 as a float is a little above 0.999
    EXPECT_FALSE(closing_fade_done({0.99900001, 0}));
    EXPECT_TRUE(closing_fade_done({0.9990001, 0}));
}

TEST(FrameRules, SeedAndSceneJump)
{
    EXPECT_EQ(frame_seed(0.0), 0u);
    EXPECT_EQ(frame_seed(1.5), 1500000u);
    EXPECT_EQ(frame_seed(5000.0), uint32_t(5000000000ull & 0xFFFFFFFFu));
    EXPECT_EQ(scene_jump_time(1, 3.0), 32.2);
    EXPECT_EQ(scene_jump_time(5, 3.0), 296.88);
    EXPECT_EQ(scene_jump_time(0, 3.0), 3.0);
    EXPECT_EQ(scene_jump_time(-4, 3.0), 3.0);
}

TEST(Capture, FrameTimesAreExactAndTheLastFrameIsAtTo)
{
    capture_session c;
    c.fps = 60;
    c.from = 0;
    c.to = 1.0;
    long written = 0;
    for (long k = 0; capture_frame_time(c, k) <= c.to; ++k) ++written;
    EXPECT_EQ(written, 60);
    capture_start_at(c, 5.0);
    EXPECT_DOUBLE_EQ(capture_frame_time(c, 0), 5.0 + 1.0 / 60);
    EXPECT_EQ(capture_png_name("/tmp/c", 7), "/tmp/c/000007.png");
}

// A render whose frames slow from 0.5 s to 2.5 s must quote the slow pace soon, not the
// average since the start.
TEST(Capture, TheEtaFollowsTheRecentPace)
{
    double pace = 0;
    long done = 0;
    for (; done < 100; ++done) pace = capture_pace(pace, done + 1, done == 0 ? 3.0 : 0.5);
    EXPECT_NEAR(pace, 0.5, 0.03);  // the slow first frame (shader compiles) is forgotten
    for (; done < 400; ++done) pace = capture_pace(pace, done + 1, 2.5);
    EXPECT_NEAR(pace, 2.5, 0.03);  // the average since the start would say 1.75
    EXPECT_EQ(capture_progress(400, 1000, 150.0, 2.5), "frame 400/1000  show 150.00 s  0.4 fps  ETA 25:00");
    EXPECT_EQ(capture_progress(0, 10, 0.0, 0.0), "frame 0/10  show 0.00 s  0.0 fps  ETA 0:00");
}

static int parse(std::vector<const char*> args, run_options& o)
{
    args.insert(args.begin(), "thornwake");
    return parse_run_options(int(args.size()), args.data(), o);
}

TEST(RunOptions, GoodLinesParse)
{
    run_options o;
    EXPECT_EQ(parse({"--capture", "/tmp/c", "--size", "320x180", "--to", "1"}, o), -1);
    EXPECT_EQ(o.width, 320);
    EXPECT_EQ(o.height, 180);
    EXPECT_TRUE(o.capturing());
    EXPECT_EQ(o.to, 1.0);
    EXPECT_TRUE(o.console);

    run_options none;
    EXPECT_EQ(parse({}, none), -1);
    EXPECT_FALSE(none.console);
    EXPECT_EQ(none.fps, 60);
    EXPECT_EQ(none.to, 198.0);
}

TEST(RunOptions, BadValuesExitWithTwo)
{
    for (std::vector<const char*> bad : {
             std::vector<const char*>{"--size", "big"}, {"--size", "0x0"}, {"--fps", "0"},
             {"--seek", "-3"}, {"--windowed", "--fullscreen"}, {"--from", "5", "--to", "2"},
             {"--capture", "a", "--video", "b.mp4"}, {"--no-such-flag"}, {"--fps", "x"},
             {"--capture", "a", "--fps", "30", "--from", "150", "--to", "150.02"}}) {
        run_options o;
        EXPECT_EQ(parse(bad, o), 2) << bad[0];
    }
    run_options one;
    EXPECT_EQ(parse({"--capture", "a", "--fps", "30", "--from", "150", "--to", "150.04"}, one), -1);
    run_options o;
    EXPECT_EQ(parse({"--version"}, o), 0);
}
