// The particle stage's control curves against the show's checkpoint table.
#include "demo/choreography.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace {

struct checkpoint {
    double t;
    float quantiser, clock_interpolate, pos_x_main, attack, attract, takeover;
    int seq_request;
};

// cam_x = cam_y = 0; "≈" entries of the table carry a looser tolerance below.
constexpr checkpoint table[] = {
    {0, 1, -0.2f, 0.1f, 1, -0.001f, 0, 30},
    {10, 5, -0.2f, 0.1f, 1, -0.001f, 0, 30},
    {18.1, 2, -0.01f, -0.15f, 1, -0.001f, 0, 30},
    {30, 1000, -0.01f, -0.15f, 1, -0.001f, 0, 330},
    {55, 1000, -0.01f, 0.9f, 1, -0.001f, 0, 310},
    {90, 1000, -0.01f, 0.25f, 13.3f, -0.001f, 0, 310},
    {110, 1000, -0.01f, 0, 13.3f, -0.001f, 0, 440},
    {145, 1000, -0.01f, -0.05f, -15, 11.0f, 0, 98},
    {165, 1000, -0.01f, -0.05f, -15, 0, 10.14f, 130},
    {200, 2, -0.01f, -0.05f, 1, 0, 64.4f, 130},
};

}  // namespace

TEST(ParticleControls, CheckpointTable)
{
    for (const checkpoint& c : table) {
        SCOPED_TRACE(c.t);
        const particle_controls p = particle_controls_at(c.t, 1.0 / 60);
        EXPECT_EQ(p.seq_request, c.seq_request);
        EXPECT_FLOAT_EQ(p.quantiser, c.quantiser);
        EXPECT_NEAR(p.clock_interpolate, c.clock_interpolate, 1e-6);
        EXPECT_NEAR(p.pos_x_main, c.pos_x_main, 1e-6);
        EXPECT_NEAR(p.attack, c.attack, 1e-5);
        EXPECT_NEAR(p.attract, c.attract, 2e-3);
        EXPECT_NEAR(p.takeover, c.takeover, 0.01);
    }
}

TEST(ParticleControls, ValuesAreSinglePrecisionSteps)
{
    // 14 × 0.95 rounded through a float, not the double 13.3.
    EXPECT_EQ(attack_at(90), float(float(4 * 1.0 + 10) * 0.95));
    // 3 − 0.001 is stored before 8 is added.
    EXPECT_EQ(attract_at(145), float(float(3.0 - 0.001) + 8.0));
    EXPECT_EQ(clock_interpolate_at(0), -0.2f);
}

TEST(SeqRequest, StepsAndLaterAssignmentsWin)
{
    EXPECT_EQ(seq_request_at(25), 30);       // the window is open at both ends
    EXPECT_EQ(seq_request_at(26), 300);      // 30 × 6 + 120
    EXPECT_EQ(seq_request_at(43.9), 420);
    EXPECT_EQ(seq_request_at(44), 30);
    EXPECT_EQ(seq_request_at(50.5), 310);
    EXPECT_EQ(seq_request_at(104), 260);
    EXPECT_EQ(seq_request_at(118.9), 680);  // wrapped by the loader, not here
    EXPECT_EQ(seq_request_at(119.5), 140);
    EXPECT_EQ(seq_request_at(150), 98);
}

TEST(Quantiser, GrowsThenPulses)
{
    EXPECT_EQ(quantiser_at(16), 10.0f);  // trunc(3.2)² + 1
    EXPECT_EQ(quantiser_at(16.01), 1000.0f);
    const std::pair<double, float> steps[] = {{187.1, 2}, {195.1, 4}, {195.2, 1000}, {200.5, 1000},
                                              {204, 1}, {206, 0.75f}, {210, 0.5f}, {129.05, 3}, {176.1, 2}};
    for (const auto& [t, q] : steps) EXPECT_EQ(quantiser_at(t), q) << t;
}

TEST(PosXMain, ShortBlipsAndLateOverride)
{
    EXPECT_EQ(pos_x_main_at(74.05), -0.5f);
    EXPECT_EQ(pos_x_main_at(83.05), -0.6f);
    EXPECT_EQ(pos_x_main_at(99), 0.4f);
    // 119 < t < 127: the approach towards −1 is half way at 121.5.
    EXPECT_NEAR(pos_x_main_at(121.5), -0.5f, 1e-6);
    for (double t : {127.01, 160.0, 199.5, 205.0, 215.0}) EXPECT_EQ(pos_x_main_at(t), -0.05f) << t;
}

TEST(Attack, BumpsAndApproaches)
{
    // The bump at 104 is at its peak half a second in: (14 + 30 × 1) × 0.95, from t > 100.
    const float base = float(4 * (1 - std::cos(std::numbers::pi * 0.9)) / 2 + 10);
    EXPECT_NEAR(attack_at(104.5), float(float(base + 30.0) * 0.95), 1e-4);
    EXPECT_EQ(attack_at(80), 0.2f);
    EXPECT_NEAR(attack_at(99), 0.0f, 1e-12);  // the finished bump at 94 leaves 20 sin(π)
    EXPECT_NEAR(attack_at(155), 0.0f, 1e-6);  // approach 0 complete, t < 160
    EXPECT_EQ(attack_at(190), 1.0f);
}

TEST(Takeover, ZeroUntil154ThenGrows)
{
    EXPECT_EQ(takeover_at(0), 0.0f);
    EXPECT_EQ(takeover_at(154), 0.0f);
    EXPECT_NEAR(takeover_at(180), 36.4f, 0.05);
}

TEST(SplashPosX, PositiveOnlyInsideItsWindows)
{
    struct { double t; bool shown; } cases[] = {
        {10, false}, {21.5, true}, {31.9, true}, {32.1, false}, {42.5, true}, {60.9, true},
        {61.1, false}, {100, false}, {138.5, true}, {150.4, true}, {150.6, false},
        {193.5, true}, {198.01, false}, {199, false}, {200.5, true}, {203.01, false}, {215, false},
    };
    for (const auto& c : cases) EXPECT_EQ(splash_drawn(pos_x_splash_at(c.t)), c.shown) << c.t;
    EXPECT_NEAR(pos_x_splash_at(31), 1.5f, 1e-6);
    EXPECT_NEAR(pos_x_splash_at(25), 3 * (1 - std::cos(std::numbers::pi * 0.4)) / 2, 1e-6);
}

TEST(Transform, MorphWindows)
{
    EXPECT_EQ(transform_at(0), 0.0f);
    EXPECT_NEAR(transform_at(45), 0.5f, 1e-6);
    EXPECT_NEAR(transform_at(47), 1.0f, 1e-6);
    for (double t : {60.0, 100.0, 166.0}) EXPECT_EQ(transform_at(t), 0.0f) << t;
    EXPECT_NEAR(transform_at(168), 0.5f, 1e-6);
    EXPECT_NEAR(transform_at(173.86), 0.0f, 1e-6);
    EXPECT_EQ(transform_at(180), 0.0f);
}

TEST(FrameRateTerms, DeltaTAndThePS)
{
    EXPECT_NEAR(delta_t_for(1.0 / 60), 1.0f / 3, 1e-6);
    EXPECT_EQ(delta_t_for(0), 0.0f);
    EXPECT_NEAR(the_ps_for(1.0 / 60), 0.452f, 1e-3);
    EXPECT_NEAR(the_ps_for(1.0 / 30), 0.204f, 1e-3);
    EXPECT_NEAR(the_ps_for(0), 1.0f, 1e-5);
    // Same damping per second at any frame rate.
    EXPECT_NEAR(std::pow(the_ps_for(1.0 / 60), 60), std::pow(the_ps_for(1.0 / 25), 25), 1e-5);
}

// Every segment the strips lay out is drawn once, at the widest width any strip gives it,
// and nothing else is drawn; for the show's population and for ones that cut the strips.
TEST(MainDraw, EachSegmentOnceAtItsWidestWidth)
{
    for (int n : {main_particle_count, 1000, 20001, 150, 2, 0}) {
        std::vector<float> widest(size_t(std::max(n, 1)), 0.0f);
        for (const strip_draw& s : main_line_strips(n))
            for (int a = s.first; a < s.first + s.count - 1; ++a) widest[size_t(a)] = std::max(widest[size_t(a)], s.line_width);
        std::vector<float> drawn(widest.size(), 0.0f);
        for (const strip_draw& d : main_line_draws(n)) {
            ASSERT_GE(d.count, 2) << n;
            ASSERT_LE(d.first + d.count, n) << n;
            for (int a = d.first; a < d.first + d.count - 1; ++a) {
                EXPECT_EQ(drawn[size_t(a)], 0.0f) << n << " segment " << a << " drawn twice";
                drawn[size_t(a)] = d.line_width;
            }
        }
        EXPECT_EQ(drawn, widest) << n;
    }
    // The show's thin strip leaves out what the 2- and 4-wide strips draw.
    size_t thin = 0;
    for (const strip_draw& d : main_line_draws(main_particle_count))
        if (d.line_width == 1) thin += size_t(d.count - 1);
    EXPECT_EQ(thin, size_t(main_particle_count - 1) - (32500 - 1) - (5000 - 1));
}

TEST(RotationMatrix, ScaledIdentityAtAnyTime)
{
    for (double t : {0.0, 37.5, 219.0}) {
        const mat4 m = rotation_matrix_at(t);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(m.m[i], i % 5 == 0 ? 0.7f : 0.0f) << i;
    }
}

TEST(MainDraw, StripFirstsAndCounts)
{
    constexpr auto s = main_line_strips(main_particle_count);
    constexpr int firsts[] = {0, 100, 20000, 200000}, counts[] = {250000, 32500, 2500, 5000};
    constexpr float widths[] = {1, 2, 4, 4};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s[i].first, firsts[i]);
        EXPECT_EQ(s[i].count, counts[i]);
        EXPECT_EQ(s[i].line_width, widths[i]);
    }
    // A small population never draws past its end.
    for (const strip_draw& d : main_line_strips(1000)) {
        EXPECT_LE(d.first + d.count, 1000) << d.first;
        EXPECT_GE(d.count, 0);
    }
}
