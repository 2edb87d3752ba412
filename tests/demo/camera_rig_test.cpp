#include "demo/camera_rig.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

void expect_vec(vec3 v, float x, float y, float z)
{
    EXPECT_EQ(v.state, vec_set);
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

}  // namespace

TEST(CameraRig, StartsLookingDownTheZAxisWithoutAPath)
{
    const camera_pose pose = place_camera(0.0, {}, {}, make_vec3(3, 4, 0));
    expect_vec(pose.eye, 0, 0, 5);
    expect_vec(pose.target, 0, 0, 0);
    expect_vec(pose.up, 0, 1, 0);
    EXPECT_FALSE(pose.follow);
}

TEST(CameraRig, LiftsByAFifthAfterT25)
{
    const camera_pose pose = place_camera(30.0, {}, {}, make_vec3(0, 0, 0));
    expect_vec(pose.eye, 0, 0.2f, 5);
    expect_vec(pose.target, 0, 0.2f, 0);
}

TEST(CameraRig, PathWobbleMovesTargetSidewaysAndTiltsUp)
{
    // One record per index: every index gives the same wobble.
    const std::vector<vec3> points(50, make_vec3(1000, 2000, 7));
    const std::vector<double> channel(50, 500.0);
    const camera_pose pose = place_camera(60.0, points, channel, make_vec3(0, 0, 0));
    expect_vec(pose.eye, 0, 0.2f, 5);
    // Looking down -z with y up, the right vector is +x.
    expect_vec(pose.target, 0.228f, 0.2f + 0.456f, 0);
    expect_vec(pose.up, static_cast<float>(0.4 * std::sin(500.0 * 1.7188733853924696 * 0.000228)), 1, 0);
}

TEST(CameraRig, FollowsTheLeadParticleWhileTheWeightIsOn)
{
    const camera_pose full = place_camera(100.0, {}, {}, make_vec3(1, 2, 0));
    EXPECT_TRUE(full.follow);
    expect_vec(full.eye, 1, 2.2f, 5);
    expect_vec(full.target, 1, 2.2f, 0);

    const camera_pose off = place_camera(125.0, {}, {}, make_vec3(1, 2, 0));
    EXPECT_FALSE(off.follow);
    expect_vec(off.eye, 0, 0.2f, 5);
}

// In the blasts the lead is flung to the edge of the field and reborn at its target a few
// times a second. The point the camera follows must stay in the scene and move a little
// each step, never jump with it.
TEST(CameraRig, TheFollowedLeadStaysInTheSceneAndNeverJumps)
{
    vec3 followed = make_vec3(0, 0, 0);
    float largest_step = 0;
    for (int step = 0; step < 600; ++step) {
        // Flung to ±24 and back, every 20 steps, with some depth that is never followed.
        const float far = (step / 20) % 2 ? 24.0f : -24.0f;
        const vec3 next = follow_lead(followed, make_vec3(far, -far, 7));
        largest_step = std::max(largest_step, std::hypot(next.x - followed.x, next.y - followed.y));
        followed = next;
        ASSERT_LE(std::fabs(followed.x), lead_follow_bound);
        ASSERT_LE(std::fabs(followed.y), lead_follow_bound);
        ASSERT_EQ(followed.z, 0.0f);
    }
    // A whole swing across the bound takes dozens of steps, not one.
    EXPECT_LT(largest_step, 2 * lead_follow_bound * std::sqrt(2.0f) * 0.05f);

    // A lead that holds still is reached; a lost one (NaN) leaves the view where it is.
    followed = make_vec3(0, 0, 0);
    for (int step = 0; step < 600; ++step) followed = follow_lead(followed, make_vec3(1, -2, 0));
    expect_vec(followed, 1, -2, 0);
    const vec3 kept = follow_lead(followed, make_vec3(std::nanf(""), 0, 0));
    expect_vec(kept, 1, -2, 0);
}
