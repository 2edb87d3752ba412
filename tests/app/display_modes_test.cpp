// The setup dialog's rules without a window: which modes are offered, their labels, the
// preselection and what "Run" means. The dialog's window itself is in setup_dialog_test.
#include "app/display_modes.h"
#include "app/setup_dialog.h"

#include <gtest/gtest.h>

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
