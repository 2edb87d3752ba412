// The contour stage: which contours are used, what lands in the emitter, parking, edges,
// and the whole stage on a part without a video frame.
#include "demo/contour_stage.h"

#include "demo/part_start.h"
#include "render/render_engine.h"
#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <memory>

namespace {

// A contour of n points whose first point's x carries its tag.
polyline tagged(int n, float tag)
{
    std::vector<vec3> points;
    for (int i = 0; i < n; ++i) points.push_back(make_vec3(i == 0 ? tag : 0.01f * i, 0.02f * (i % 3), 0));
    return make_polyline(points, true);
}

// The show's generator, counted independently.
struct lcg {
    uint32_t state;
    int next()
    {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7FFF);
    }
};

int sparks_for(int n)
{
    lcg g{uint32_t(n / 10 + 24234)};
    for (int i = 0; i < 6; ++i) g.next();
    int sparks = 0;
    for (int l = 0; l + 1 < n; ++l) sparks += g.next() % 863 == 0;
    return sparks;
}

vec3 texel(const emitter_cloud& c, int i)
{
    return make_vec3(c.positions[3 * i], c.positions[3 * i + 1], c.positions[3 * i + 2]);
}

emitter_cloud small_cloud(int columns, int rows)
{
    emitter_cloud c;
    c.allocate(columns, rows);
    return c;
}

}  // namespace

TEST(ContourSort, FirstPlacesMatchAFullExchangeSort)
{
    std::vector<polyline> full;
    const int counts[] = {5, 9, 9, 3, 12, 9, 5, 12, 1, 7, 9, 3, 12, 8, 8, 2, 9, 5, 11, 4, 9, 6, 12, 7};
    for (int i = 0; i < int(std::size(counts)); ++i) full.push_back(tagged(counts[i], float(i)));
    std::vector<polyline> partial = full;

    for (size_t i = 0; i < full.size(); ++i)
        for (size_t j = i; j < full.size(); ++j)
            if (full[i].count < full[j].count) std::swap(full[i], full[j]);
    sort_longest_first(partial, max_contours);

    // Ties keep the exchange sort's order, which decides each contour's sway and wobble.
    for (int k = 0; k < max_contours; ++k) {
        EXPECT_EQ(partial[k].count, full[k].count) << k;
        EXPECT_EQ(partial[k].points[0].x, full[k].points[0].x) << k;
    }
}

TEST(ContourEmitter, SamplesPerSegmentSparksAndOnlyTheLongest)
{
    std::vector<polyline> contours;
    for (int i = 0; i < 25; ++i) contours.push_back(tagged(10 + i, float(i)));
    contours.push_back(tagged(1, 99));
    emitter_cloud cloud = small_cloud(500, 500);
    contour_scratch scratch;

    const int32_t cursor = emit_contours(contours, 10, {}, cloud, scratch);

    // The 18 longest are 34 points down to 17; m = 20 before 127 s.
    int expected = 0;
    for (int n = 17; n <= 34; ++n) expected += (n - 1 + sparks_for(n)) * 20;
    EXPECT_EQ(cursor, expected);
    EXPECT_FALSE(contours[0].closed);
    EXPECT_TRUE(contours[20].closed);  // unused records are left alone

    // At 130 s every segment writes 70 samples.
    std::vector<polyline> one{tagged(12, 0)};
    EXPECT_EQ(emit_contours(one, 130, {}, cloud, scratch), (11 + sparks_for(12)) * 70);
}

TEST(ContourEmitter, FirstSamplesArePlacedControlPoints)
{
    ASSERT_EQ(sparks_for(30), 0);  // no spark shifts the samples checked below
    const polyline source = tagged(30, 0.3f);
    std::vector<polyline> contours{source};
    emitter_cloud cloud = small_cloud(100, 100);
    contour_scratch scratch;
    emit_contours(contours, 12, {}, cloud, scratch);

    const contour_motion motion = contour_motion_at(12, 0, contour_drift_for(30), {});
    for (int l : {0, 1, 7}) {
        const vec3 want = place_contour_point(source.points[l], motion);
        const vec3 got = texel(cloud, l * 20);
        EXPECT_FLOAT_EQ(got.x, want.x) << l;
        EXPECT_FLOAT_EQ(got.y, want.y) << l;
        EXPECT_EQ(got.z, 0.0f);
    }
}

TEST(ContourEmitter, LongContoursAreSmoothedShortOnesNot)
{
    // A zigzag: smoothing pulls its inner points off the raw control points.
    const auto zigzag = [](int n) {
        std::vector<vec3> p;
        for (int i = 0; i < n; ++i) p.push_back(make_vec3(0.02f * i, i % 2 ? 0.1f : -0.1f, 0));
        return make_polyline(p, true);
    };
    for (int n : {40, 41}) {
        ASSERT_EQ(sparks_for(n), 0);
        const polyline source = zigzag(n);
        std::vector<polyline> contours{source};
        emitter_cloud cloud = small_cloud(100, 100);
        contour_scratch scratch;
        emit_contours(contours, 12, {}, cloud, scratch);
        const contour_motion motion = contour_motion_at(12, 0, contour_drift_for(n), {});
        const vec3 raw = place_contour_point(source.points[5], motion);
        const vec3 got = texel(cloud, 5 * 20);
        if (n == 40) {
            EXPECT_FLOAT_EQ(got.y, raw.y);
        } else {
            EXPECT_GT(std::fabs(got.y - raw.y), 0.01f);
        }
    }
}

namespace {

// The first segment of an n-point contour that sparks, or -1.
int first_spark(int n)
{
    lcg g{uint32_t(n / 10 + 24234)};
    for (int i = 0; i < 6; ++i) g.next();
    for (int l = 0; l + 1 < n; ++l)
        if (g.next() % 863 == 0) return l;
    return -1;
}

}  // namespace

// A spark is a straight vertical run of m samples from the segment's first placed point
// up five units, written right after that segment's own samples. The draw is reseeded
// from the contour's length, so the same segment sparks in every frame: while the video
// holds a frame the streak stands still, and the particles on it draw a line from the
// contour figure up out of the picture.
TEST(ContourEmitter, SparksAreStandingVerticalStreaks)
{
    int n = 0, l = -1;
    for (int c = 2; c < 2000 && l < 0; ++c)
        if (sparks_for(c) == 1) l = first_spark(n = c);
    ASSERT_GE(l, 0);
    const polyline source = tagged(n, 0.3f);
    emitter_cloud cloud = small_cloud(500, 500);
    contour_scratch scratch;

    for (double t : {60.0, 60.05, 90.0}) {
        std::vector<polyline> contours{source};
        // n − 1 segments and the one spark.
        ASSERT_EQ(emit_contours(contours, t, {}, cloud, scratch), n * 20) << t;
        const std::vector<vec3>& points = scratch.copies[0].points;
        const contour_motion motion = contour_motion_at(t, 0, contour_drift_for(n), {});
        const vec3 p = place_contour_point(points[size_t(l)], motion);
        const int first = (l + 1) * 20;  // after segments 0 .. l
        for (int i = 0; i < 20; ++i) {
            const vec3 s = texel(cloud, first + i);
            EXPECT_FLOAT_EQ(s.x, p.x) << t << " " << i;
            EXPECT_FLOAT_EQ(s.y, p.y + 5.0f * float(i) / 20.0f) << t << " " << i;
            EXPECT_EQ(s.z, 0.0f);
        }
        // The next segment's samples follow the streak.
        const vec3 q = place_contour_point(points[size_t(l) + 1], motion);
        EXPECT_FLOAT_EQ(texel(cloud, first + 20).x, q.x) << t;
    }
}

TEST(ContourEmitter, DegenerateInputsWriteNothing)
{
    emitter_cloud cloud = small_cloud(10, 10);
    contour_scratch scratch;
    std::vector<polyline> none;
    EXPECT_EQ(emit_contours(none, 10, {}, cloud, scratch), 0);
    std::vector<polyline> points{tagged(1, 0), polyline{}};
    EXPECT_EQ(emit_contours(points, 10, {}, cloud, scratch), 0);

    // A one-point path cannot be indexed modulo P − 1: odd contours simply do not wobble.
    std::vector<vec3> path_points{make_vec3(1, 1, 0)};
    std::vector<double> channel{0.5};
    std::vector<polyline> two{tagged(8, 0), tagged(8, 1)};
    EXPECT_GT(emit_contours(two, 90, {path_points, channel}, cloud, scratch), 0);
}

TEST(EmitterParking, TailParkedOnlyOutside45To119)
{
    emitter_cloud cloud = small_cloud(50, 40);
    for (float& v : cloud.positions) v = 7;

    park_emitter(cloud, 1000, 60);
    EXPECT_EQ(texel(cloud, 1999).x, 7.0f);

    park_emitter(cloud, 1000, 10);
    EXPECT_EQ(texel(cloud, 999).y, 7.0f);
    for (int i : {1000, 1500, 1999}) {
        EXPECT_EQ(texel(cloud, i).x, 0.0f);
        EXPECT_EQ(texel(cloud, i).y, 2.4f);
        EXPECT_EQ(texel(cloud, i).z, 0.0f);
    }
    park_emitter(cloud, 0, 119.5);
    EXPECT_EQ(texel(cloud, 0).y, 2.4f);
}

TEST(EdgeFinding, InPlaceMatchesSeparateOutput)
{
    cv::Mat image(180, 240, CV_8UC1, cv::Scalar(20));
    cv::circle(image, {120, 90}, 50, cv::Scalar(220), cv::FILLED);
    cv::rectangle(image, {10, 10}, {60, 40}, cv::Scalar(140), cv::FILLED);

    cv::Mat blurred, expected;
    cv::GaussianBlur(image, blurred, {9, 9}, 0, 0, cv::BORDER_REPLICATE);
    cv::Canny(blurred, expected, 20, 150, 3);

    cv::Mat work = image.clone();
    find_edges(work);
    EXPECT_EQ(cv::countNonZero(work != expected), 0);
    EXPECT_GT(cv::countNonZero(work), 100);

    cv::Mat flat(64, 64, CV_8UC1, cv::Scalar(90));
    find_edges(flat);
    EXPECT_EQ(cv::countNonZero(flat), 0);
}

TEST(ContourStageGL, WithoutAVideoFrameTheEmitterIsStillParked)
{
    TW_REQUIRE_GL();
    auto part = std::make_unique<part_start>();
    part->cloud_box.create(64, 64);
    for (float& v : part->cloud_box.positions) v = 5;
    ASSERT_TRUE(part->seq_work.empty());

    run_contour_step(*part, 60);
    EXPECT_EQ(texel(part->cloud_box, 0).x, 5.0f);

    run_contour_step(*part, 10);
    for (int i : {0, 2000, 4095}) EXPECT_EQ(texel(part->cloud_box, i).y, 2.4f) << i;
    draw_contour_stage(10);

    // What the passes after the scene rely on.
    GLint mode = 0, unit = 0, program = -1;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(mode, GL_TEXTURE);
    EXPECT_EQ(unit, GL_TEXTURE0);
    EXPECT_EQ(program, 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

namespace {

// Two rings whose places depend on `variant`: outlines long enough to be smoothed.
cv::Mat ring_frame(int variant)
{
    cv::Mat img(120, 160, CV_8UC1, cv::Scalar(10));
    cv::circle(img, {50 + 10 * variant, 60}, 30, cv::Scalar(220), 6);
    cv::circle(img, {120, 40 + 5 * variant}, 14, cv::Scalar(160), cv::FILLED);
    return img;
}

// The stage's CPU half traced from scratch, as if no frame had come before.
std::vector<float> fresh_emitter(const cv::Mat& frame, double t)
{
    emitter_cloud cloud;
    cloud.allocate(64, 64);
    cv::Mat work = frame.clone();
    find_edges(work);
    std::vector<polyline> contours;
    extract_contours(work, contours, 0);
    contour_scratch scratch;
    const int32_t cursor = emit_contours(contours, t, path_view{}, cloud, scratch);
    park_emitter(cloud, cursor, t);
    return cloud.positions;
}

}  // namespace

TEST(ContourStageGL, AFrameSeenAgainEmitsWhatAFreshTraceEmits)
{
    TW_REQUIRE_GL();
    auto part = std::make_unique<part_start>();
    part->cloud_box.create(64, 64);
    const cv::Mat a = ring_frame(0), b = ring_frame(1);
    const double t = 30;  // before 45 s the whole grid is rewritten each frame
    int step = 0;
    for (const cv::Mat* frame : {&a, &a, &b, &b, &a}) {
        part->seq_frame = frame->clone();
        part->seq_frame.copyTo(part->seq_work);
        run_contour_step(*part, t);
        EXPECT_TRUE(part->cloud_box.positions == fresh_emitter(*frame, t)) << "frame " << step;
        ++step;
    }
}
