#include "demo/choreography.h"

#include "post/ease.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

double E(double x) { return ease(x); }

// Moves v towards target by weight w, stored back as a float.
float approach(float v, double target, double w) { return float(v + w * (target - v)); }

}  // namespace

int32_t seq_request_at(double t)
{
    int32_t r = 30;
    if (t > 25 && t < 44) r = 30 * int32_t(t * 0.25) + 120;
    if (t > 50) r = 310;
    if (t > 103) r = 60 * int32_t((t - 100) * 0.5) + 140;
    if (t > 119) r = 140;
    if (t > 140) r = 98;
    if (t > 159) r = 130;
    return r;
}

float quantiser_at(double t)
{
    const double steps = std::trunc(0.2 * t);
    float q = float(steps * steps + 1);
    if (t > 16) q = 1000;
    if (t > 187 && t < 187.2) q = 2;
    if (t > 191 && t < 191.2) q = 2;
    if (t > 195 && t < 195.2) q = 4;
    if (t > 199) q = 2;
    if (t > 200.2) q = 1000;
    if (t > 203) q = 1;
    if (t > 205) q = 0.75f;
    if (t > 209) q = 0.5f;
    // Beat pulses win over everything above.
    if (t > 18 && t < 18.2) q = 2;
    if (t > 95 && t < 95.1) q = 4;
    if (t > 114 && t < 114.1) q = 4;
    if (t > 129 && t < 129.1) q = 3;
    if (t > 176 && t < 176.2) q = 2;
    return q;
}

float clock_interpolate_at(double t)
{
    float c = -0.2f;
    if (t > 16) c = -0.01f;
    c = float(c - 0.1 * E((t - 55) * 0.5));
    c = float(c - E(t - 66));
    c = float(c + 1.1 * E((t - 72) * 0.6));
    return c;
}

float pos_x_main_at(double t)
{
    float x = float(0.1 - E(t - 4));
    x = float(x + E((t - 6) * 0.3));
    if (t > 16) x = -0.15f;
    x = float(x + 0.15 * E((t - 38) * 0.3));
    if (t > 50) x = float(x - 0.1);
    x = float(x + E((t - 52) * 2));
    if (t > 60) x = -0.1f;
    x = float(x - E(t - 60));
    x = float(x + 1.4 * E((t - 63) * 0.5));
    x = float(x + 0.4 * E((t - 75) * 0.2));
    if (t > 84) x = 0.25f;
    if (t > 98) x = 0.4f;
    if (t > 100) x = 0;
    if (t > 119) {
        x = approach(x, -1, E((t - 119) * 0.2));
        x = approach(x, 0.2, E((t - 124) * 0.2));
    }
    if (t > 140) x = float(0.2 * E((t - 140) * 0.5));
    if (t > 146) x = approach(x, 0.01, E((t - 146) * 0.5));
    x = approach(x, -0.03, E((t - 155) * 0.5));
    x = approach(x, 0.02, E((t - 176) * 0.2));
    if (t > 187) x = -0.04f;
    if (t > 199) x = 0.5f;
    if (t > 203) x = 10.5f;
    if (t > 209) x = 1000.5f;
    if (t > 74 && t < 74.1) x = -0.5f;
    if (t > 83 && t < 83.1) x = -0.6f;
    if (t > 127) x = -0.05f;
    return x;
}

float attack_at(double t)
{
    float a = float(13 * E((t - 72) * 0.1) + 1);
    if (t > 78) a = 0.2f;
    if (t > 84) a = float(4 * E((t - 84) * 0.2) + 10);
    if (t > 98) a = 0;
    if (t > 100) a = float(4 * E((t - 100) * 0.2) + 10);
    if (t > 119) a = float(a * (1 - E((t - 119) * 0.2)) + 0.1);
    // One-second bumps that rise and fall back to 0.
    constexpr double pi = std::numbers::pi;
    a = float(a + 20 * std::sin(pi * E(t - 94)));
    a = float(a + 30 * std::sin(pi * E(t - 104)));
    a = float(a + 10 * std::sin(pi * E(t - 110)));
    a = float(a + 10 * std::sin(pi * E(t - 117)));
    if (a > 3) a = float(a * 0.95);
    a = approach(a, -15, E((t - 127) * 0.2));
    if (t < 160) a = approach(a, 0, E((t - 146) * 0.2));
    if (t > 170) a = approach(a, -3, E((t - 170) * 0.2));
    if (t > 189) a = 1;
    return a;
}

float attract_at(double t)
{
    float a = float(3 * E((t - 127) * 0.2) - 0.001);
    if (t > 140) a = float(a + 8 * E((t - 140) * 0.2));
    if (t > 146) a = approach(a, 0, E((t - 146) * 0.3));
    return a;
}

float takeover_at(double t) { return float(10 * response_curve((t - 154) * 0.14)); }

float pos_x_splash_at(double t)
{
    double s = 3 * E((t - 21) * 0.1);
    s -= 3 * E((t - 30) * 0.5);
    s += 3 * E((t - 42) * 0.1);
    s -= 3 * E((t - 60.5) * 2);
    s += 1.5 * E((t - 138) * 0.3);
    s -= 1.5 * E((t - 150) * 2);
    s += 1.5 * E(t - 193);
    s -= 1.5 * E((t - show_end_time) * 200);
    s += 1.5 * E(t - 200);
    s -= 1.5 * E((t - 203) * 200);
    return float(s);
}

float transform_at(double t)
{
    double s = E((t - 43) * 0.25);
    s -= E((t - 48) * 0.3);
    s += E((t - 50) * 0.25);
    s -= E((t - 55) * 0.2);
    s += E((t - 166) * 0.25);
    s -= E((t - 171) * 0.35);
    return float(s);
}

float delta_t_for(double dt) { return float(dt / 0.05); }

float the_ps_for(double dt)
{
    const float x = float(dt < 1e-7 ? 1e-7 : dt);
    const float fps = 1.0f / x;
    const float k = fps / 20.0f * 4.0f;
    return float(std::pow(0.000073, 1.0 / double(k)));
}

mat4 rotation_matrix_at(double t)
{
    mat4 m = identity();
    const float angle = float(t * 0.0);
    from_euler(m, angle, angle, angle);
    return scaled(m, 0.7f);
}

particle_controls particle_controls_at(double t, double dt)
{
    particle_controls c;
    c.seq_request = seq_request_at(t);
    c.quantiser = quantiser_at(t);
    c.clock_interpolate = clock_interpolate_at(t);
    c.pos_x_main = pos_x_main_at(t);
    c.attack = attack_at(t);
    c.attract = attract_at(t);
    c.takeover = takeover_at(t);
    c.pos_x_splash = pos_x_splash_at(t);
    c.transform = transform_at(t);
    c.delta_t = delta_t_for(dt);
    c.the_ps = the_ps_for(dt);
    return c;
}

// ---- contour stage ---------------------------------------------------------------

contour_drift contour_drift_for(int n)
{
    rand_seed(uint32_t(n / 10 + 24234));
    rand01();
    rand01();
    rand01();
    contour_drift d;
    d.speed = 0.5 * rand01();
    d.phase = 100 * rand01();
    rand01();
    return d;
}

double contour_sway_angle(double t, int k)
{
    const double a = k == 0 ? std::sin(0.24 * t) : std::sin(0.1 * t + 0.02 * k);
    return (a * a * 0.5 - 0.25) * 4;
}

double path_wobble_weight(double t, int k)
{
    if (k % 2 == 0) return 0;
    double w = 0.75 * E((t - 80) * 0.2) + 0.15;
    return w - 0.75 * E((t - 120) * 0.3);
}

path_indices path_wobble_indices(double t, int half, size_t path_size)
{
    // Negative indices wrap through their unsigned 32-bit form: the wobble's path points, and
    // so the picture early in the show, depend on that wrap.
    const auto wrap = [&](double x) { return uint32_t(int64_t(x)) % uint32_t(path_size - 1); };
    return {wrap(0.7 * t * 45.2 - 28 + half), wrap(half + (0.7 * t * 30.2 - 28))};
}

int samples_per_segment(double t)
{
    int m = 20;
    if (t > 127) m = 70;
    if (t > 150) m = 30;
    if (t > 152) m = 20;
    return m;
}

bool parks_emitter(double t) { return t < 45 || t > 119; }

bool spark_due() { return rand_next() % 863 == 0; }

namespace {

mat4 z_rotation(double angle)
{
    mat4 m = identity();
    from_euler(m, 0, 0, float(angle));
    return m;
}

}  // namespace

contour_motion contour_motion_at(double t, int k, const contour_drift& drift, path_view path)
{
    contour_motion m;
    const double theta = drift.speed * t + drift.phase;
    m.drift = make_vec3(float(0.1 * std::sin(theta)), float(0.1 * std::cos(theta)), 0);

    const double a = contour_sway_angle(t, k);
    if (k == 0) {
        m.swayed = true;
        m.sway = z_rotation(a);
        m.pivot = make_vec3(0, 2, 0);
    } else if (k == 3) {
        m.swayed = true;
        m.sway = z_rotation(a + 1);
        m.pivot = make_vec3(0, 3, 0);
    }

    // Even contours have zero wobble weight: skipping them changes nothing.
    const size_t P = std::min(path.points.size(), path.channel.size());
    if (P >= 2 && k % 2 == 1) {
        const double s = 0.01 * path_wobble_weight(t, k);
        const path_indices i = path_wobble_indices(t, k / 2, P);
        const vec3 at = path.points[i.offset];
        m.wobbled = true;
        m.wobble_offset = make_vec3(float(0.7 * (s * at.x)), float(0.7 * (s * at.y)), 0);
        m.wobble = z_rotation(s * path.channel[i.heading]);
    }
    return m;
}

vec3 place_contour_point(vec3 p, const contour_motion& m)
{
    // Runs once per contour point per frame, so the vec3 calls of the plain steps are
    // spelled out: scale by 2, stretch y, swap x and y, scale by 0.76, add the drift.
    if (p.state == vec_unset) p = make_vec3(0, 0, 0);
    const float x = p.x * 2.0f, y = float((p.y * 2.0f) * 1.3), z = p.z * 2.0f;
    p = make_vec3(y * 0.76f + m.drift.x, x * 0.76f + m.drift.y, z * 0.76f + m.drift.z);
    if (m.swayed) p = add(rotate(m.sway, subtract(p, m.pivot)), m.pivot);
    if (m.wobbled) p = rotate(m.wobble, add(p, m.wobble_offset));
    p.z = 0;
    return p;
}

std::vector<strip_draw> main_line_draws(int n)
{
    const auto strips = main_line_strips(n);
    std::vector<strip_draw> draws;
    for (const strip_draw& s : strips) {
        if (s.count < 2) continue;
        // Segments [from, to) of this strip, less those of every wider strip.
        int from = s.first;
        const int to = s.first + s.count - 1;
        std::vector<std::pair<int, int>> wider;
        for (const strip_draw& w : strips)
            if (w.line_width > s.line_width && w.count >= 2) wider.emplace_back(w.first, w.first + w.count - 1);
        std::sort(wider.begin(), wider.end());
        for (const auto& [a, b] : wider) {
            if (b <= from || a >= to) continue;
            if (a > from) draws.push_back({s.line_width, from, a - from + 1});
            from = std::max(from, b);
        }
        if (to > from) draws.push_back({s.line_width, from, to - from + 1});
    }
    return draws;
}

// ---- dust points -----------------------------------------------------------------

namespace {

// x slides towards −x and wraps every 16 units; fmod keeps the sign of u.
float dust_x(double r, double e, double t)
{
    const double u = (r + 0.2) * (0.02 * t) + e;
    return float(8 - 16 * std::fmod(u, 1.0));
}

}  // namespace

std::array<dust_point, dust_count> dust_points_at(double t)
{
    std::array<dust_point, dust_count> out{};
    rand_seed(24234);
    for (int j = 0; j < 30; ++j) {
        const double z = -3 - 7 * rand01();
        const double d = 6 * rand01() - 3;
        const double e = 2 * rand01() - 1;
        const double y = std::sin(0.1 * j + 0.1 * t) + d;
        out[j] = {dust_x(rand01(), e, t), float(y), float(z), 2};
    }
    rand_seed(124234);
    for (int j = 30; j < dust_count; ++j) {
        const double z = -3 - 7 * rand01();
        const double y = 6 * rand01() - 3;
        const double e = 2 * rand01() - 1;
        out[j] = {dust_x(rand01(), e, t), float(y), float(z), 3};
    }
    return out;
}
