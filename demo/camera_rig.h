// Where the scenes look from: a slow lift, a wobble along the recorded path and, in two
// stretches of the show, a follow of the main population's lead particle.
#pragma once
#include "base/vecmath.h"

#include <vector>

struct camera_pose {
    vec3 eye = make_vec3(0, 0, 5);
    vec3 target = make_vec3(0, 0, 0);
    vec3 up = make_vec3(0, 1, 0);
    bool follow = false;  // the lead particle must be read back in the next update
};

// Above this follow weight the lead particle is read back and followed.
inline constexpr double camera_follow_threshold = 0.000001;

// The lead is followed only within the scene's extent: in the blasts it is flung to the
// edge of the velocity field and reborn, and the view must not go with it.
inline constexpr float lead_follow_bound = 3.0f;
// Share of the remaining distance the followed point closes each simulation step: a time
// constant of about half a second, so a reborn lead pans the view instead of cutting it.
inline constexpr float lead_follow_share = 0.033f;

// One simulation step of the point the camera follows (z 0), from the lead as just read.
vec3 follow_lead(vec3 followed, vec3 lead);

// points/channel: the recorded path (equal lengths). A path of fewer than two points
// gives no wobble. lead: the lead particle with its z already forced to 0.
camera_pose place_camera(double T, const std::vector<vec3>& points, const std::vector<double>& channel, vec3 lead);
