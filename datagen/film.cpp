#include "datagen/film.h"

#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <numbers>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "datagen/output_file.h"
#include "datagen/parallel.h"

namespace {

constexpr double pi = std::numbers::pi;

// Tones, chosen so that every part differs from what it touches by at least about 60 grey
// levels, and from the background by 100 or more: well above the 150 Canny threshold
// after a 9 x 9 blur.
struct palette {
    bool mask = false;
    double background(int row) const { return mask ? 0 : 22 + 20.0 * row / film_height; }
    double legs() const { return mask ? 255 : 150; }
    double torso() const { return mask ? 255 : 218; }
    double arms() const { return mask ? 255 : 160; }
    double skin() const { return mask ? 255 : 238; }
    double hair() const { return mask ? 255 : 110; }
    double detail() const { return mask ? 255 : 40; }
};

cv::Point2d rotated(cv::Point2d v, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return {c * v.x - s * v.y, s * v.x + c * v.y};
}

// Subpixel drawing: OpenCV takes fixed-point coordinates with this many fractional bits.
constexpr int shift = 4;
cv::Point fixed(cv::Point2d p) { return {int(std::lround(p.x * 16)), int(std::lround(p.y * 16))}; }

void limb(cv::Mat& image, cv::Point2d a, cv::Point2d b, int width, double tone) {
    cv::line(image, fixed(a), fixed(b), cv::Scalar(tone), width, cv::LINE_AA, shift);
}

void disc(cv::Mat& image, cv::Point2d centre, double radius, double tone) {
    cv::circle(image, fixed(centre), int(std::lround(radius * 16)), cv::Scalar(tone), cv::FILLED,
               cv::LINE_AA, shift);
}

void blob(cv::Mat& image, cv::Point2d centre, cv::Size2d axes, double angle, double tone) {
    cv::ellipse(image, fixed(centre), cv::Size(int(axes.width * 16), int(axes.height * 16)),
                angle * 180 / pi, 0, 360, cv::Scalar(tone), cv::FILLED, cv::LINE_AA, shift);
}

void polygon(cv::Mat& image, const std::vector<cv::Point2d>& points, double tone) {
    std::vector<cv::Point> fixed_points;
    for (const auto& p : points) fixed_points.push_back(fixed(p));
    cv::fillConvexPoly(image, fixed_points, cv::Scalar(tone), cv::LINE_AA, shift);
}

struct limb_joints {
    cv::Point2d joint, end;
    // A point a fraction f of the way along the second segment.
    cv::Point2d along(double f) const { return joint + (end - joint) * f; }
};

// A two-segment limb from root, bending at the middle joint.
limb_joints chain(cv::Mat& image, cv::Point2d root, double angle1, double angle2, double length1,
                  double length2, int width, double tone) {
    const cv::Point2d joint = root + rotated({0, length1}, angle1);
    const cv::Point2d end = joint + rotated({0, length2}, angle1 + angle2);
    limb(image, root, joint, width, tone);
    limb(image, joint, end, width, tone);
    return {joint, end};
}

// A dark band across a limb: each one closes off more outline for the contour finder.
void band(cv::Mat& image, const limb_joints& limb_at, double from, double to, int width,
          double tone) {
    limb(image, limb_at.along(from), limb_at.along(to), width, tone);
}

void draw_figure(cv::Mat& image, int frame, const palette& tone) {
    // Five dance cycles per loop: the sequence wraps without a jump.
    const double phase = 2 * pi * frame / (film_frame_count / 5.0);
    const double slow = 2 * pi * frame / film_frame_count;
    const cv::Point2d hip(320 + 40 * std::sin(phase) + 25 * std::sin(slow * 2),
                          300 + 8 * std::sin(2 * phase));
    const double lean = 0.16 * std::sin(phase + 0.4);
    auto body = [&](double x, double y) { return hip + rotated({x, y}, lean); };
    const cv::Point2d neck = body(0, -128);

    // Legs: stepping in turn.
    for (int side = -1; side <= 1; side += 2) {
        const double swing = 0.35 * std::sin(phase + (side > 0 ? 0 : pi));
        const double knee = 0.45 * std::max(0.0, std::sin(phase + (side > 0 ? 0.5 : pi + 0.5)));
        const limb_joints leg = chain(image, body(24 * side, -6), lean - swing,
                                      knee * side * -0.2 + knee, 82, 78, 26, tone.legs());
        band(image, leg, 0.3, 0.38, 26, tone.detail());
        band(image, leg, 0.6, 0.68, 26, tone.detail());
        blob(image, leg.end + cv::Point2d(10 * side, 6), {22, 10}, 0, tone.skin());
    }
    // Torso: shoulders wider than the hips, a belt and three buttons.
    polygon(image, {body(-62, -132), body(62, -132), body(42, 4), body(-42, 4)}, tone.torso());
    polygon(image, {body(-47, -22), body(47, -22), body(44, -6), body(-44, -6)}, tone.detail());
    for (int b = 0; b < 3; ++b) disc(image, body(0, -106 + 27 * b), 7, tone.detail());
    const std::vector<cv::Point2d> pocket = {body(-44, -104), body(-20, -104), body(-20, -80),
                                             body(-44, -80)};
    polygon(image, pocket, tone.detail());
    polygon(image, {body(-40, -100), body(-24, -100), body(-24, -84), body(-40, -84)},
            tone.torso());
    // Arms: waving, out of step with each other.
    for (int side = -1; side <= 1; side += 2) {
        const double raise = 1.6 + 0.9 * std::sin(phase * 1.0 + (side > 0 ? 0 : 2.1));
        const double bend = 0.9 + 0.6 * std::sin(phase * 2 + side);
        const limb_joints arm = chain(image, body(58 * side, -120), lean - side * raise,
                                      -side * bend, 68, 62, 20, tone.arms());
        band(image, arm, 0.7, 0.8, 20, tone.detail());
        disc(image, arm.end, 15, tone.skin());
    }
    // Head: tilting, with hair, eyes and a mouth.
    const double tilt = lean + 0.22 * std::sin(slow * 3 + 1);
    const cv::Point2d head = neck + rotated({0, -50}, tilt);
    limb(image, neck + rotated({0, 6}, lean), head, 24, tone.skin());
    disc(image, head, 44, tone.skin());
    cv::ellipse(image, fixed(head + rotated({0, -14}, tilt)), cv::Size(46 * 16, 36 * 16),
                tilt * 180 / pi, 180, 360, cv::Scalar(tone.hair()), cv::FILLED, cv::LINE_AA, shift);
    for (int side = -1; side <= 1; side += 2) {
        disc(image, head + rotated({16.0 * side, 6}, tilt), 6.5, tone.detail());
        limb(image, head + rotated({9.0 * side, -7}, tilt), head + rotated({24.0 * side, -5}, tilt),
             4, tone.detail());
    }
    disc(image, head + rotated({0, 14}, tilt), 3.5, tone.detail());
    const double smile = 10 + 4 * std::sin(phase);
    blob(image, head + rotated({0, 24}, tilt), {16, smile / 2.2}, tilt, tone.detail());
}

cv::Mat draw(int frame, const palette& tone) {
    cv::Mat image(film_height, film_width, CV_8UC1);
    for (int row = 0; row < film_height; ++row)
        image.row(row).setTo(cv::Scalar(std::lround(tone.background(row))));
    draw_figure(image, frame, tone);
    return image;
}

}  // namespace

std::string film_frame_name(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "imageseq/%05d.jpeg", frame);
    return name;
}

cv::Mat render_film_frame(int frame) { return draw(frame, palette{}); }

cv::Mat film_subject_mask(int frame) {
    cv::Mat mask = draw(frame, palette{true});
    cv::threshold(mask, mask, 0, 255, cv::THRESH_BINARY);
    return mask;
}

std::string encode_film_frame(int frame) {
    std::vector<uchar> bytes;
    cv::imencode(".jpeg", render_film_frame(frame), bytes, {cv::IMWRITE_JPEG_QUALITY, 92});
    return std::string(bytes.begin(), bytes.end());
}

bool generate_film(const std::filesystem::path& out_dir, std::string& error) {
    std::mutex failure;
    std::atomic<size_t> total{0};
    parallel_for(film_frame_count, [&](int frame) {
        std::string bytes = encode_film_frame(frame), why;
        total += bytes.size();
        if (!write_file_atomic(out_dir / film_frame_name(frame), bytes, why)) {
            std::lock_guard lock(failure);
            if (error.empty()) error = why;
        }
    });
    if (!error.empty()) return false;
    std::fprintf(stderr, "thornwake-datagen: wrote imageseq/00000.jpeg .. %05d.jpeg (%d files, %zu bytes)\n",
                 film_frame_count - 1, film_frame_count, total.load());
    return true;
}
