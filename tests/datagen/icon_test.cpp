#include "datagen/icon.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include "temp_dir.h"

namespace {

const uint8_t* pixel(const rgba_image& im, int col, int row) { return &im.pixels[(size_t(row) * im.width + col) * 4]; }

}  // namespace

TEST(Icon, RoundedOpaqueSquareWithTheLetterBrightAndCentred)
{
    for (int n : icon_sizes) {
        rgba_image im;
        std::string error;
        ASSERT_TRUE(render_icon(n, im, error)) << error;
        ASSERT_EQ(im.width, n);
        ASSERT_EQ(im.height, n);
        ASSERT_EQ(im.pixels.size(), size_t(n) * n * 4);
        // Rounded corners see through; the middle and the edges' midpoints do not.
        EXPECT_EQ(pixel(im, 0, 0)[3], 0) << n;
        EXPECT_EQ(pixel(im, n - 1, n - 1)[3], 0) << n;
        EXPECT_EQ(pixel(im, n / 2, n / 2)[3], 255) << n;
        EXPECT_EQ(pixel(im, n / 2, 0)[3], 255) << n;

        // The letter: the near-white pixels, a fair share of the square, around its centre.
        double count = 0, sx = 0, sy = 0;
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c) {
                const uint8_t* p = pixel(im, c, r);
                if (p[0] > 230 && p[1] > 210 && p[2] > 170) {
                    ++count;
                    sx += c + 0.5;
                    sy += r + 0.5;
                }
            }
        const double share = count / (double(n) * n);
        EXPECT_GT(share, 0.05) << n;
        EXPECT_LT(share, 0.35) << n;
        EXPECT_NEAR(sx / count, n / 2.0, 0.08 * n) << n;
        EXPECT_NEAR(sy / count, n / 2.0, 0.12 * n) << n;  // a T's mass sits high
    }
}

TEST(Icon, SamePixelsEveryTimeAndThePngKeepsThem)
{
    rgba_image a, b;
    std::string error;
    ASSERT_TRUE(render_icon(64, a, error)) << error;
    ASSERT_TRUE(render_icon(64, b, error)) << error;
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(encode_png(a), encode_png(b));

    // Decoded again, channel for channel: a swapped red and blue would turn the glow blue.
    const std::string png = encode_png(a);
    const cv::Mat decoded = cv::imdecode(std::vector<uchar>(png.begin(), png.end()), cv::IMREAD_UNCHANGED);
    ASSERT_EQ(decoded.type(), CV_8UC4);
    ASSERT_EQ(decoded.cols, 64);
    size_t differing = 0;
    for (int r = 0; r < 64; ++r)
        for (int c = 0; c < 64; ++c) {
            const cv::Vec4b d = decoded.at<cv::Vec4b>(r, c);
            const uint8_t* p = pixel(a, c, r);
            differing += d[2] != p[0] || d[1] != p[1] || d[0] != p[2] || d[3] != p[3];
        }
    EXPECT_EQ(differing, 0u);
}

TEST(Icon, WritesTheHicolorLayout)
{
    temp_dir dir;
    std::string error;
    ASSERT_TRUE(write_icons(dir.path, error)) << error;
    for (int n : icon_sizes) {
        const auto file = dir.path / "hicolor" / (std::to_string(n) + "x" + std::to_string(n)) / "apps/thornwake.png";
        const cv::Mat m = cv::imread(file.string(), cv::IMREAD_UNCHANGED);
        EXPECT_EQ(m.cols, n) << file;
        EXPECT_EQ(m.rows, n) << file;
    }
}
