#include <gtest/gtest.h>

#include <cmath>

#include "assets/polyline.h"

namespace {

polyline line_of(std::initializer_list<vec3> pts, bool closed)
{
    return make_polyline(std::vector<vec3>(pts), closed);
}

polyline zigzag(int n, bool closed)
{
    std::vector<vec3> pts;
    for (int i = 0; i < n; ++i) pts.push_back(make_vec3(float(i), float(i % 2), float(i * i) * 0.1f));
    return make_polyline(std::move(pts), closed);
}

void expect_same(vec3 a, vec3 b)
{
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
}

}  // namespace

TEST(polyline_evaluate, passes_through_every_control_point)
{
    for (bool closed : {false, true}) {
        polyline p = zigzag(9, closed);
        for (int t = 3; t < 7; ++t) expect_same(p.evaluate(float(t)), p.points[size_t(t)]);
    }
    // The closed curve reaches the wrap-around points as well.
    polyline c = zigzag(6, true);
    for (int t : {0, 1, 5}) {
        vec3 v = c.evaluate(float(t));
        EXPECT_NEAR(v.x, c.points[size_t(t)].x, 1e-3f);
        EXPECT_NEAR(v.z, c.points[size_t(t)].z, 1e-3f);
    }
}

TEST(polyline_evaluate, open_ends_hold_the_end_points)
{
    polyline p = zigzag(5, false);
    p.points[0].state = 7;  // the end point comes back whole, state word included
    vec3 first = p.evaluate(-1.0f);
    EXPECT_EQ(first.state, 7u);
    expect_same(first, p.points[0]);
    expect_same(p.evaluate(6.0f), p.points[4]);
    expect_same(p.evaluate(0.0f), p.points[0]);
}

TEST(polyline_evaluate, closed_curve_wraps_and_never_reads_outside)
{
    polyline p = zigzag(8, true);
    vec3 a = p.evaluate(7.5f), b = p.evaluate(-0.5f);
    EXPECT_NEAR(a.x, b.x, 1e-2f);
    EXPECT_NEAR(a.y, b.y, 1e-2f);
    // Fewer points than the curve needs, and parameters from corrupt data.
    polyline tiny = zigzag(2, true);
    for (float t : {-1e30f, -3.0f, 0.0f, 1.5f, 1e30f, NAN, INFINITY}) {
        tiny.evaluate(t);
        tiny.closed = false;
        tiny.evaluate(t);
        tiny.closed = true;
    }
    polyline empty;
    EXPECT_EQ(empty.evaluate(1.0f).x, 0.0f);
}

TEST(polyline_evaluate, long_contours_index_beyond_16_bits)
{
    // Video contours can pass 32767 points; indices must not wrap into negative numbers.
    polyline p = zigzag(40000, true);
    vec3 v = p.evaluate(35000.0f);
    EXPECT_EQ(v.x, 35000.0f);
    vec3 tail = p.evaluate(39999.5f);
    EXPECT_TRUE(std::isfinite(tail.x));
    p.resample(100, 1);
    EXPECT_EQ(p.count, 100);
}

TEST(polyline_resample, needs_four_points_and_a_positive_rate)
{
    polyline three = line_of({make_vec3(0, 0, 0), make_vec3(1, 0, 0), make_vec3(1, 1, 0)}, true);
    three.resample(50, 3);
    EXPECT_EQ(three.count, 3);
    EXPECT_EQ(three.points.size(), 3u);
    polyline p = zigzag(6, false);
    p.resample(20, 0);
    EXPECT_EQ(p.count, 6);
    p.resample(20, -2);
    EXPECT_EQ(p.count, 6);
    p.resample(0, 3);
    EXPECT_EQ(p.count, 0);
    EXPECT_TRUE(p.points.empty());
}

TEST(polyline_resample, closed_square_by_chords)
{
    polyline sq = line_of({make_vec3(0, 0, 0), make_vec3(1, 0, 0), make_vec3(1, 1, 0), make_vec3(0, 1, 0)}, true);
    polyline reference = sq;
    sq.resample(8, 1);
    ASSERT_EQ(sq.count, 8);
    ASSERT_EQ(sq.points.size(), 8u);
    for (int k = 0; k < 8; ++k) {
        vec3 want = reference.evaluate(0.5f * float(k));
        EXPECT_NEAR(sq.points[size_t(k)].x, want.x, 1e-6f) << k;
        EXPECT_NEAR(sq.points[size_t(k)].y, want.y, 1e-6f) << k;
    }
    expect_same(sq.points[0], reference.points[0]);
    expect_same(sq.points[2], reference.points[1]);
}

TEST(polyline_resample, points_are_evenly_spaced_along_the_curve)
{
    std::vector<vec3> pts;
    for (int i = 0; i < 30; ++i) pts.push_back(make_vec3(float(i * i) * 0.05f, 0, 0));  // bunched at the start
    polyline p = make_polyline(std::move(pts), false);
    p.resample(10, 8);
    ASSERT_EQ(p.count, 10);
    for (int k = 1; k < 9; ++k) {
        float step = p.points[size_t(k + 1)].x - p.points[size_t(k)].x;
        float before = p.points[size_t(k)].x - p.points[size_t(k - 1)].x;
        EXPECT_NEAR(step, before, 0.05f * before) << k;
    }
}
