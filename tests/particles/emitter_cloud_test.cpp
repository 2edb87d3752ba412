#include "particles/emitter_cloud.h"

#include <gtest/gtest.h>

namespace {

vec3 texel_position(const emitter_cloud& c, int t)
{
    return make_vec3(c.positions[3 * t], c.positions[3 * t + 1], c.positions[3 * t + 2]);
}

vec3 texel_colour(const emitter_cloud& c, int t)
{
    return make_vec3(c.colours[3 * t], c.colours[3 * t + 1], c.colours[3 * t + 2]);
}

polygon unit_quad()
{
    return {make_vec3(-1, -1, 0), make_vec3(1, -1, 0), make_vec3(1, 1, 0), make_vec3(-1, 1, 0)};
}

}  // namespace

TEST(SampleSegment, WritesFromATowardsBButNeverB)
{
    emitter_cloud c;
    c.allocate(20, 20);
    int cursor = 0;
    c.sample_segment(make_vec3(0, 0, 0), make_vec3(1, 0, 0), cursor, 15, make_vec3(0.5f, 0.25f, 1));
    EXPECT_EQ(cursor, 15);
    for (int i = 0; i < 15; ++i) {
        EXPECT_FLOAT_EQ(c.positions[3 * i], static_cast<float>(i) / 15.0f) << i;
        EXPECT_EQ(c.positions[3 * i + 1], 0.0f);
        EXPECT_NE(c.positions[3 * i], 1.0f);
    }
    // The colour lands on the same texel as the position; later texels stay untouched.
    EXPECT_FLOAT_EQ(texel_colour(c, 14).y, 0.25f);
    EXPECT_EQ(texel_colour(c, 15).x, 0.0f);
    EXPECT_EQ(texel_position(c, 15).x, 0.0f);
}

TEST(SampleSegment, CursorWrapsAtCapacity)
{
    emitter_cloud c;
    c.allocate(4, 3);
    int cursor = c.capacity() - 1;
    c.sample_segment(make_vec3(5, 0, 0), make_vec3(7, 0, 0), cursor, 2, make_vec3(1, 1, 1));
    EXPECT_FLOAT_EQ(texel_position(c, 11).x, 5.0f);  // last texel
    EXPECT_FLOAT_EQ(texel_position(c, 0).x, 6.0f);   // next sample wrapped to texel 0
    EXPECT_EQ(cursor, 1);
}

TEST(SampleSegment, NothingToWriteLeavesGridAndCursorAlone)
{
    emitter_cloud c;
    c.allocate(4, 4);
    int cursor = 3;
    c.sample_segment(make_vec3(1, 1, 1), make_vec3(2, 2, 2), cursor, 0, make_vec3(1, 1, 1));
    c.sample_segment(make_vec3(1, 1, 1), make_vec3(2, 2, 2), cursor, -4, make_vec3(1, 1, 1));
    EXPECT_EQ(cursor, 3);
    for (float v : c.positions) EXPECT_EQ(v, 0.0f);

    emitter_cloud empty;  // never allocated: must not write anywhere
    int cursor2 = 0;
    empty.sample_segment(make_vec3(0, 0, 0), make_vec3(1, 0, 0), cursor2, 5, make_vec3(1, 1, 1));
    EXPECT_EQ(cursor2, 0);
}

TEST(SampleRings, QuadWithThirtyRingsAndDensityThirtyGives1800Samples)
{
    emitter_cloud c;
    c.allocate(500, 500);
    c.faces = {unit_quad()};
    EXPECT_EQ(c.sample_rings(30, 30, make_vec3(1.0f, 0.7f, 0.4f)), 1800);
    // Texel 1800 is the first one not written.
    EXPECT_EQ(texel_position(c, 1800).x, 0.0f);
    EXPECT_EQ(texel_colour(c, 1800).x, 0.0f);
    EXPECT_NE(texel_colour(c, 1799).x, 0.0f);
}

TEST(SampleRings, RingZeroIsTheScaledOutlineAndLaterRingsShrinkTowardsTheCentroid)
{
    emitter_cloud c;
    c.allocate(100, 100);
    c.faces = {unit_quad()};
    c.sample_rings(30, 30, make_vec3(1, 1, 1));
    // Ring 0, edge 0 starts at the first corner, scaled by 0.75.
    EXPECT_FLOAT_EQ(texel_position(c, 0).x, -0.75f);
    EXPECT_FLOAT_EQ(texel_position(c, 0).y, -0.75f);
    // Edge 1 of ring 0 starts at the second corner (15 samples per edge).
    EXPECT_FLOAT_EQ(texel_position(c, 15).x, 0.75f);
    // Ring 29 (u = 29/30) starts 1/30 of the way from the centroid to the corner.
    const vec3 last_ring = texel_position(c, 29 * 60);
    EXPECT_NEAR(last_ring.x, -0.75f / 30.0f, 1e-6f);
    EXPECT_NEAR(last_ring.y, -0.75f / 30.0f, 1e-6f);
}

TEST(SampleRings, EdgeColourIsBaseColourTimesHalfLambertShade)
{
    emitter_cloud c;
    c.allocate(100, 100);
    // Counter-clockwise in the xy plane: normal +z, so s = 0.5 + 0.5 * 0.707.
    c.faces = {unit_quad()};
    c.sample_rings(1, 2, make_vec3(1.0f, 0.7f, 0.4f));
    const float s = 0.5f + 0.5f * 0.707f;
    EXPECT_FLOAT_EQ(texel_colour(c, 0).x, 1.0f * s);
    EXPECT_FLOAT_EQ(texel_colour(c, 3).y, 0.7f * s);
    EXPECT_FLOAT_EQ(texel_colour(c, 3).z, 0.4f * s);

    // Facing away from the light direction (normal -x): s = 0.5 - 0.5 * 0.707.
    c.faces = {{make_vec3(0, 0, 0), make_vec3(0, 0, 1), make_vec3(0, 1, 1), make_vec3(0, 1, 0)}};
    c.sample_rings(1, 2, make_vec3(1, 1, 1));
    EXPECT_NEAR(texel_colour(c, 0).x, 0.5f - 0.5f * 0.707f, 1e-6f);
}

TEST(SampleRings, CursorIsSharedAcrossFacesAndWrapsWhenTheGridIsFull)
{
    emitter_cloud c;
    c.allocate(10, 10);
    c.faces = {unit_quad(), unit_quad()};
    // Each quad gives 30 rings x 4 edges x 15 = 1800 samples; the second face follows on.
    EXPECT_EQ(c.sample_rings(30, 30, make_vec3(1, 1, 1)), 3600);
    // Sample 3500 is the last to reach texel 0: second face, ring 28, edge 1, step 5.
    const float shrink = 1.0f - 28.0f / 30.0f;
    EXPECT_NEAR(texel_position(c, 0).x, 0.75f * shrink, 1e-5f);
    EXPECT_NEAR(texel_position(c, 0).y, 0.75f * -shrink / 3.0f, 1e-5f);
}

TEST(SampleRings, DegenerateFacesAreSkippedOrHarmless)
{
    emitter_cloud c;
    c.allocate(50, 50);
    c.faces = {{}, {make_vec3(1, 2, 3)}, {make_vec3(0, 0, 0), make_vec3(1, 0, 0)}};
    // The two-point face still has two edges; its normal is zero, so s = 0.5.
    EXPECT_EQ(c.sample_rings(2, 4, make_vec3(1, 1, 1)), 2 * 2 * 2);
    EXPECT_FLOAT_EQ(texel_colour(c, 0).x, 0.5f);
    EXPECT_EQ(c.sample_rings(0, 30, make_vec3(1, 1, 1)), 0);
    EXPECT_EQ(c.sample_rings(5, 1, make_vec3(1, 1, 1)), 0);  // trunc(0.5) = 0 per edge
}
