#include "post/camera_rig.h"

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
    expect_vec(pose.up, static_cast<float>(0.4 * std::sin(500.0 * 1.7188733853924696 * 0.000228)),
               1, 0);
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
