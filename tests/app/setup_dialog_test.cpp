#include "app/display_modes.h"
#include "app/setup_dialog.h"
#include "tests/support/gl_test_context.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdlib>

TEST(SetupDialog, ShowsAndRunsOnEnter)
{
    if (!std::getenv("DISPLAY")) {
        if (gl_test_context::required()) FAIL() << "no display under CI";
        GTEST_SKIP() << "no display";
    }
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
