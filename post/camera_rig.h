// Where the scenes look from: a slow lift, a wobble along the recorded path and, in two
// stretches of the show, a follow of the main population's lead particle.
#pragma once
#include "particles/vecmath.h"

#include <vector>

struct camera_pose {
    vec3 eye = make_vec3(0, 0, 5);
    vec3 target = make_vec3(0, 0, 0);
    vec3 up = make_vec3(0, 1, 0);
    bool follow = false;  // the lead particle must be read back in the next update
};

// points/channel: the recorded path (equal lengths). A path of fewer than two points
// gives no wobble. lead: the lead particle with its z already forced to 0.
camera_pose place_camera(double T, const std::vector<vec3>& points,
                         const std::vector<double>& channel, vec3 lead);
