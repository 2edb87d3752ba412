#include "app/display_modes.h"
#include "app/setup_dialog.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdlib>

static std::vector<display_mode> system_modes(std::initializer_list<std::pair<int, int>> sizes)
{
    std::vector<display_mode> v;
    for (auto [w, h] : sizes) v.push_back({w, h, 32, 60});
    return v;
}

TEST(DisplayModes, RejectsPortraitOversizeAndWideAndDeduplicates)
{
    std::vector<display_mode> sys = system_modes({{1920, 1080}, {1920, 1080}, {2560, 1440}, {1080, 1920},
                                                   {1024, 1024}, {3840, 1080}, {1680, 1050}, {800, 600}});
    sys.push_back({800, 600, 16, 75});  // differs only in depth and refresh
    const auto modes = build_display_modes(sys);
    const std::vector<mode_size> want{{1920, 1080}, {1024, 1024}, {1680, 1050}, {800, 600}};
    EXPECT_EQ(modes, want);
}

TEST(DisplayModes, LabelsCarryTheAspect)
{
    EXPECT_EQ(mode_label({1680, 1050}), " 1680 x 1050  (16:10)");
    EXPECT_EQ(mode_label({1920, 1080}), " 1920 x 1080  (16:9)");
    EXPECT_EQ(mode_label({1366, 768}), " 1366 x 768  (16:9)");
    EXPECT_EQ(mode_label({800, 600}), " 800 x 600       ");
}

TEST(DisplayModes, PreselectionPrefersTheLast1280x720ThenThe1024x768)
{
    EXPECT_EQ(preselected_mode({{800, 600}, {1280, 720}, {1024, 768}, {1280, 720}}), 3);
    EXPECT_EQ(preselected_mode({{800, 600}, {1024, 768}, {1024, 768}}), 2);
    EXPECT_EQ(preselected_mode({{1280, 720}, {1024, 768}}), 1);  // first-position 1280 x 720 does not count
    EXPECT_EQ(preselected_mode({{800, 600}, {1920, 1080}}), 0);
    EXPECT_EQ(preselected_mode({}), 0);
}

TEST(DisplayModes, RunsAtSixteenByNineOfTheChosenWidth)
{
    EXPECT_EQ(run_height(1280), 720);
    EXPECT_EQ(run_height(1366), 768);
    EXPECT_EQ(run_height(1680), 945);
    EXPECT_EQ(run_height(1920), 1080);
    const setup_choice c = choose_setup({{1680, 1050}}, 0, false, false);
    EXPECT_TRUE(c.run);
    EXPECT_TRUE(c.fullscreen);
    EXPECT_FALSE(c.antialiased);
    EXPECT_EQ(c.width, 1680);
    EXPECT_EQ(c.height, 945);
    EXPECT_FALSE(choose_setup({}, 0, true, true).run);  // an empty list cannot run
}

TEST(SetupDialog, ShowsAndRunsOnEnter)
{
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
    const std::vector<mode_size> modes{{1024, 768}, {1280, 720}, {1920, 1080}};
    cv::Mat shot;
    const setup_choice c = run_setup_dialog(modes, [&](const unsigned char* rgb, int w, int h) {
        cv::Mat(h, w, CV_8UC3, const_cast<unsigned char*>(rgb)).copyTo(shot);
        platform_push_key(0x0D, true);
    });
    ASSERT_FALSE(shot.empty());
    cv::cvtColor(shot, shot, cv::COLOR_RGB2BGR);
    cv::imwrite(THORNWAKE_BINARY_DIR "/setup_dialog.png", shot);
    EXPECT_TRUE(c.run);
    EXPECT_EQ(c.width, 1280);
    EXPECT_EQ(c.height, 720);
    EXPECT_TRUE(c.antialiased);
    // Something was drawn: not one flat colour.
    cv::Scalar mean, dev;
    cv::meanStdDev(shot, mean, dev);
    EXPECT_GT(dev[0] + dev[1] + dev[2], 5.0);
}
