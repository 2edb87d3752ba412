// Per-contour motion of the contour stage and the dust points.
#include "demo/choreography.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// An independent copy of the show's generator, to count draws.
struct lcg {
    uint32_t state;
    int next()
    {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7FFF);
    }
    double unit() { return next() / 32767.0; }
};

void expect_vec(vec3 v, double x, double y, double z, double tol = 1e-5)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

contour_motion still_motion()
{
    contour_motion m;
    m.drift = make_vec3(0, 0, 0);
    return m;
}

}  // namespace

TEST(ContourDrift, SeededByLengthWithExactDrawCount)
{
    lcg g{uint32_t(412 / 10 + 24234)};
    g.unit(), g.unit(), g.unit();
    const double speed = 0.5 * g.unit();
    const double phase = 100 * g.unit();
    g.unit();

    rand_seed(999);
    const contour_drift d = contour_drift_for(412);
    EXPECT_DOUBLE_EQ(d.speed, speed);
    EXPECT_DOUBLE_EQ(d.phase, phase);
    // The spark draws continue from here.
    EXPECT_EQ(rand_state(), g.state);
    EXPECT_EQ(spark_due(), g.next() % 863 == 0);

    // Lengths with the same tenth drift alike.
    const contour_drift a = contour_drift_for(410), b = contour_drift_for(419);
    EXPECT_EQ(a.speed, b.speed);
    EXPECT_EQ(a.phase, b.phase);
}

TEST(ContourSway, AngleAndPivots)
{
    EXPECT_DOUBLE_EQ(contour_sway_angle(0, 0), -1.0);
    const double a = std::sin(0.1 * 7 + 0.02 * 3);
    EXPECT_NEAR(contour_sway_angle(7, 3), 2 * a * a - 1, 1e-12);
    const double a0 = std::sin(0.24 * 7);
    EXPECT_NEAR(contour_sway_angle(7, 0), 2 * a0 * a0 - 1, 1e-12);

    // Contour 0 at t = 0 turns by −1 radian around (0, 2, 0).
    contour_motion m = contour_motion_at(0, 0, {}, {});
    m.drift = make_vec3(0, 0, 0);
    // (0.5, 0.25) → ×2 → y × 1.3 → swapped → × 0.76 = (0.494, 0.76)
    const double x = 0.494, y = 0.76 - 2, c = std::cos(-1.0), s = std::sin(-1.0);
    expect_vec(place_contour_point(make_vec3(0.5f, 0.25f, 0), m), x * c - y * s, x * s + y * c + 2, 0);

    // Contour 3 turns by a + 1 around (0, 3, 0); contours 1, 2, 4… are not swayed.
    const contour_motion m3 = contour_motion_at(7, 3, {}, {});
    EXPECT_TRUE(m3.swayed);
    EXPECT_FLOAT_EQ(m3.pivot.y, 3.0f);
    EXPECT_NEAR(m3.sway.at(1, 0), std::sin(contour_sway_angle(7, 3) + 1), 1e-6);
    for (int k : {1, 2, 4, 17}) EXPECT_FALSE(contour_motion_at(7, k, {}, {}).swayed) << k;
}

TEST(ContourPlacement, ScaleSwapAndDrift)
{
    contour_motion m = still_motion();
    expect_vec(place_contour_point(make_vec3(0.5f, 0.25f, 0.7f), m), 0.494, 0.76, 0);

    const contour_drift d{0.25, 3.0};
    m = contour_motion_at(10, 1, d, {});
    const double theta = 0.25 * 10 + 3.0;
    expect_vec(m.drift, 0.1 * std::sin(theta), 0.1 * std::cos(theta), 0);
    expect_vec(place_contour_point(make_vec3(0, 0, 0), m), 0.1 * std::sin(theta), 0.1 * std::cos(theta), 0);
}

TEST(PathWobble, WeightOnlyForOddContours)
{
    for (double t : {0.0, 85.0, 100.0}) EXPECT_EQ(path_wobble_weight(t, 2), 0.0) << t;
    EXPECT_DOUBLE_EQ(path_wobble_weight(10, 1), 0.15);
    EXPECT_NEAR(path_wobble_weight(85, 3), 0.9, 1e-12);
    EXPECT_NEAR(path_wobble_weight(123.4, 5), 0.15, 1e-12);
    EXPECT_GT(path_wobble_weight(121, 5), 0.15);
}

TEST(PathWobble, IndicesWrapThroughUnsigned)
{
    // At t = 0 both indices are −28: its 32-bit form is 4294967268.
    const path_indices i = path_wobble_indices(0, 0, 101);
    EXPECT_EQ(i.offset, 4294967268u % 100);
    EXPECT_EQ(i.heading, 4294967268u % 100);
    // 0.7 × 100 × 45.2 − 28 + 3 = 3139 and 3 + 0.7 × 100 × 30.2 − 28 = 2089, both mod 999.
    const path_indices j = path_wobble_indices(100, 3, 1000);
    EXPECT_EQ(j.offset, 142u);
    EXPECT_EQ(j.heading, 91u);
    EXPECT_EQ(path_wobble_indices(55, 8, 2).offset, 0u);
}

TEST(PathWobble, OffsetThenTurnForOddContours)
{
    std::vector<vec3> points(50, make_vec3(2, -4, 9));
    std::vector<double> channel(50, 30.0);
    const path_view path{points, channel};

    contour_motion m = contour_motion_at(10, 1, {}, path);
    ASSERT_TRUE(m.wobbled);
    m.drift = make_vec3(0, 0, 0);
    const double s = 0.01 * 0.15;
    const double ox = 0.494 + 0.7 * s * 2, oy = 0.76 + 0.7 * s * -4, a = s * 30;
    expect_vec(place_contour_point(make_vec3(0.5f, 0.25f, 0), m),
               ox * std::cos(a) - oy * std::sin(a), ox * std::sin(a) + oy * std::cos(a), 0);

    EXPECT_FALSE(contour_motion_at(10, 2, {}, path).wobbled);
}

TEST(PathWobble, ShortPathSkipsWobble)
{
    std::vector<vec3> one{make_vec3(1, 1, 1)};
    std::vector<double> channel{1.0};
    EXPECT_FALSE(contour_motion_at(90, 1, {}, {one, channel}).wobbled);
    EXPECT_FALSE(contour_motion_at(90, 1, {}, {}).wobbled);
}

TEST(ContourStageTimes, SamplesAndParking)
{
    EXPECT_EQ(samples_per_segment(100), 20);
    EXPECT_EQ(samples_per_segment(130), 70);
    EXPECT_EQ(samples_per_segment(151), 30);
    EXPECT_EQ(samples_per_segment(153), 20);
    EXPECT_TRUE(parks_emitter(44.9));
    EXPECT_FALSE(parks_emitter(45));
    EXPECT_FALSE(parks_emitter(119));
    EXPECT_TRUE(parks_emitter(119.1));
}

TEST(DustPoints, FixedSeedsAndDrift)
{
    lcg g{24234};
    const double r1 = g.unit();
    const auto a = dust_points_at(12.5);
    EXPECT_FLOAT_EQ(a[0].z, float(-3 - 7 * r1));
    const double d = 6 * g.unit() - 3, e = 2 * g.unit() - 1, r4 = g.unit();
    EXPECT_FLOAT_EQ(a[0].y, float(std::sin(0.1 * 12.5) + d));
    EXPECT_FLOAT_EQ(a[0].x, float(8 - 16 * std::fmod((r4 + 0.2) * 0.25 + e, 1.0)));

    lcg h{124234};
    EXPECT_FLOAT_EQ(a[30].z, float(-3 - 7 * h.unit()));
    EXPECT_FLOAT_EQ(a[30].y, float(6 * h.unit() - 3));
    for (int j = 0; j < dust_count; ++j) EXPECT_EQ(a[j].size, j < 30 ? 2.0f : 3.0f) << j;

    // Every point keeps its random values from frame to frame and drifts towards −x.
    const auto b = dust_points_at(12.6);
    int moved_left = 0;
    for (int j = 0; j < dust_count; ++j) {
        EXPECT_EQ(a[j].z, b[j].z);
        if (b[j].x < a[j].x) ++moved_left;
    }
    EXPECT_GE(moved_left, dust_count - 2);  // a wrap may jump one back
}
