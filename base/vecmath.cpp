#include "base/vecmath.h"

#include <algorithm>
#include <cmath>

static bool both_set(vec3 a, vec3 b) { return a.state != vec_unset && b.state != vec_unset; }

vec3 add(vec3 a, vec3 b) { return both_set(a, b) ? make_vec3(a.x + b.x, a.y + b.y, a.z + b.z) : make_vec3(0, 0, 0); }

vec3 subtract(vec3 a, vec3 b)
{
    return both_set(a, b) ? make_vec3(a.x - b.x, a.y - b.y, a.z - b.z) : make_vec3(0, 0, 0);
}

vec3 cross(vec3 a, vec3 b)
{
    if (!both_set(a, b)) return make_vec3(0, 0, 0);
    return make_vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

vec3 scale(vec3 v, float s)
{
    if (v.state == vec_unset) return make_vec3(0, 0, 0);
    return {v.state, v.x * s, v.y * s, v.z * s};
}

vec3 normalise(vec3 v)
{
    if (v.state != vec_set) return v;
    const float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (len < 1e-8f) return {vec_normalised, 0, 0, 0};
    const float inv = 1.0f / len;
    return {vec_normalised, v.x * inv, v.y * inv, v.z * inv};
}

mat4 identity()
{
    mat4 r;
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
    return r;
}

void from_euler(mat4& m, float ax, float ay, float az)
{
    const float cx = std::cos(ax), sx = std::sin(ax);
    const float cy = std::cos(ay), sy = std::sin(ay);
    const float cz = std::cos(az), sz = std::sin(az);
    m.at(0, 0) = cy * cz;
    m.at(0, 1) = -cy * sz;
    m.at(0, 2) = sy;
    m.at(1, 0) = cx * sz + sx * sy * cz;
    m.at(1, 1) = cx * cz - sx * sy * sz;
    m.at(1, 2) = -sx * cy;
    m.at(2, 0) = sx * sz - cx * sy * cz;
    m.at(2, 1) = sx * cz + cx * sy * sz;
    m.at(2, 2) = cx * cy;
}

mat4 scaled(const mat4& m, float s)
{
    mat4 r;
    for (int i = 0; i < 16; ++i) r.m[i] = m.m[i] * s;
    return r;
}

vec3 rotate(const mat4& m, vec3 v)
{
    return make_vec3(m.at(0, 0) * v.x + m.at(0, 1) * v.y + m.at(0, 2) * v.z,
                     m.at(1, 0) * v.x + m.at(1, 1) * v.y + m.at(1, 2) * v.z,
                     m.at(2, 0) * v.x + m.at(2, 1) * v.y + m.at(2, 2) * v.z);
}

double response_curve(double x)
{
    const double c = x > 0 ? x : 0;
    const double b = std::pow(c * 0.5, 2.2);
    const double w = std::clamp(0.3 * c, 0.0, 1.0);
    return c + (b - c) * (1 - w);
}

static uint32_t g_rand_state = 0;

void rand_seed(uint32_t s) { g_rand_state = s; }

int rand_next()
{
    g_rand_state = g_rand_state * 214013u + 2531011u;
    return int((g_rand_state >> 16) & 0x7FFF);
}

double rand01() { return rand_next() / 32767.0; }

uint32_t rand_state() { return g_rand_state; }
