#include "datagen/icon.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <opencv2/imgcodecs.hpp>

#include "datagen/glyphs.h"
#include "datagen/output_file.h"
#include "datagen/title_mesh.h"

namespace {

using colour = std::array<float, 3>;  // sRGB, 0..1

constexpr colour sky_top{0.08f, 0.10f, 0.20f};
constexpr colour sky_bottom{0.02f, 0.02f, 0.06f};
constexpr colour star_colour{0.16f, 0.58f, 0.66f};
constexpr colour glow_colour{1.0f, 0.52f, 0.12f};
constexpr colour letter_colour{1.0f, 0.93f, 0.80f};

constexpr float corner = 0.18f;    // rounding radius, fraction of the size
constexpr float star_em = 0.86f;   // star diameter
constexpr float letter_em = 0.66f; // font pixel size
constexpr float glow_em = 0.035f;  // blur radius of the letter's glow

float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

void mix(colour& c, const colour& over, float amount)
{
    for (int k = 0; k < 3; ++k) c[k] += (over[k] - c[k]) * amount;
}

// Coverage of a square of side n with rounded corners: distance to the rounded edge,
// a one-pixel ramp across it.
float rounded_square(int n, int col, int row)
{
    const float r = corner * n, half = n / 2.0f;
    const float x = std::abs(col + 0.5f - half) - (half - r), y = std::abs(row + 0.5f - half) - (half - r);
    const float outside = std::hypot(std::max(x, 0.0f), std::max(y, 0.0f)) + std::min(std::max(x, y), 0.0f);
    return clamp01(r - outside + 0.5f);
}

// Places a coverage image centred on an n x n canvas.
coverage_image centred(const coverage_image& src, int n)
{
    coverage_image out{n, n, std::vector<float>(size_t(n) * n)};
    const int x0 = (n - src.width) / 2, y0 = (n - src.height) / 2;
    for (int r = 0; r < src.height; ++r)
        for (int c = 0; c < src.width; ++c) {
            const int x = x0 + c, y = y0 + r;
            if (x >= 0 && y >= 0 && x < n && y < n) out.value[size_t(y) * n + x] = src.value[size_t(r) * src.width + c];
        }
    return out;
}

// Two box passes each way: close enough to a Gaussian, and exact in every build.
coverage_image blurred(const coverage_image& in, int radius)
{
    coverage_image a = in, b = in;
    const int n = in.width;
    auto pass = [&](const coverage_image& from, coverage_image& to, bool across) {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int t = std::clamp(j + k, 0, n - 1);
                    sum += across ? from.value[size_t(i) * n + t] : from.value[size_t(t) * n + i];
                }
                (across ? to.value[size_t(i) * n + j] : to.value[size_t(j) * n + i]) = sum / float(2 * radius + 1);
            }
    };
    for (int k = 0; k < 2; ++k) {
        pass(a, b, true);
        pass(b, a, false);
    }
    return a;
}

}  // namespace

bool render_icon(int n, rgba_image& image, std::string& error)
{
    std::vector<glyph_image> glyphs;
    if (!render_glyphs(title_font_path, std::max(8, int(letter_em * n)), U"T", glyphs, error)) return false;
    const glyph_image& t = glyphs[0];
    const coverage_image letter = centred(t.coverage, n);
    const coverage_image glow = blurred(letter, std::max(1, int(std::lround(glow_em * n))));
    const coverage_image star = centred(closing_mark(std::max(8, int(star_em * n))), n);

    image.width = image.height = n;
    image.pixels.assign(size_t(n) * n * 4, 0);
    for (int row = 0; row < n; ++row)
        for (int col = 0; col < n; ++col) {
            const size_t i = size_t(row) * n + col;
            colour c = sky_top;
            mix(c, sky_bottom, (row + 0.5f) / n);
            mix(c, star_colour, 0.55f * star.value[i]);
            for (int k = 0; k < 3; ++k) c[k] += glow_colour[k] * 0.9f * glow.value[i];
            mix(c, letter_colour, letter.value[i]);
            uint8_t* p = &image.pixels[i * 4];
            for (int k = 0; k < 3; ++k) p[k] = uint8_t(std::lround(255 * clamp01(c[k])));
            p[3] = uint8_t(std::lround(255 * rounded_square(n, col, row)));
        }
    return true;
}

std::string encode_png(const rgba_image& image)
{
    cv::Mat bgra(image.height, image.width, CV_8UC4);
    for (int row = 0; row < image.height; ++row)
        for (int col = 0; col < image.width; ++col) {
            const uint8_t* p = &image.pixels[(size_t(row) * image.width + col) * 4];
            bgra.at<cv::Vec4b>(row, col) = {p[2], p[1], p[0], p[3]};
        }
    std::vector<uchar> bytes;
    cv::imencode(".png", bgra, bytes, {cv::IMWRITE_PNG_COMPRESSION, 9});
    return std::string(bytes.begin(), bytes.end());
}

bool write_icons(const std::filesystem::path& dir, std::string& error)
{
    for (int n : icon_sizes) {
        rgba_image image;
        if (!render_icon(n, image, error)) return false;
        const std::string size = std::to_string(n) + "x" + std::to_string(n);
        if (!write_output(dir, "hicolor/" + size + "/apps/thornwake.png", encode_png(image), error)) return false;
    }
    return true;
}
