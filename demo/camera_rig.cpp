#include "demo/camera_rig.h"

#include "post/chain_curves.h"
#include "post/ease.h"

#include <algorithm>
#include <cmath>

namespace {

vec3 plus_scaled(vec3 a, vec3 b, float s) { return make_vec3(a.x + b.x * s, a.y + b.y * s, a.z + b.z * s); }

}  // namespace

camera_pose place_camera(double T, const std::vector<vec3>& points, const std::vector<double>& channel, vec3 lead)
{
    camera_pose pose;
    const float lift = static_cast<float>(0.2 * ease((T - 15.0) * 0.1));
    pose.eye = make_vec3(0, lift, 5);
    pose.target = make_vec3(0, lift, 0);
    pose.up = make_vec3(0, 1, 0);

    const vec3 d = normalise(subtract(pose.target, pose.eye));
    const vec3 r = cross(d, pose.up);

    const std::size_t n = std::min(points.size(), channel.size());
    const int64_t k = camera_path_index(T, n);
    if (k >= 0) {
        const vec3 p = points[static_cast<std::size_t>(k)];
        pose.target = plus_scaled(pose.target, r, p.x * 0.000228f);
        pose.target = plus_scaled(pose.target, pose.up, p.y * 0.000228f);
        pose.up.x +=
            static_cast<float>(0.4 * std::sin(channel[static_cast<std::size_t>(k)] * 1.7188733853924696 * 0.000228));
    }

    const double w = follow_weight(T);
    pose.follow = w > camera_follow_threshold;
    const float wf = static_cast<float>(w);
    pose.eye = plus_scaled(pose.eye, lead, wf);
    pose.target = plus_scaled(pose.target, lead, wf);
    return pose;
}

vec3 follow_lead(vec3 followed, vec3 lead)
{
    // A lost particle (NaN) leaves the view where it is.
    if (!std::isfinite(lead.x) || !std::isfinite(lead.y)) return make_vec3(followed.x, followed.y, 0.0f);
    const float x = std::clamp(lead.x, -lead_follow_bound, lead_follow_bound);
    const float y = std::clamp(lead.y, -lead_follow_bound, lead_follow_bound);
    return make_vec3(followed.x + (x - followed.x) * lead_follow_share,
                     followed.y + (y - followed.y) * lead_follow_share, 0.0f);
}
