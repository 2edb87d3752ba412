// Single precision throughout, in the order the curve was tuned with: the choreography's
// look depends on these exact roundings.
#include "assets/polyline.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// trunc toward zero into an int; NaN and huge values (from corrupt input) must not reach
// an out-of-range float-to-int conversion.
int64_t trunc_index(float v)
{
    if (!(v == v)) return 0;
    constexpr float limit = 4.0e12f;
    return static_cast<int64_t>(std::clamp(v, -limit, limit));
}

int64_t wrap(int64_t i, int64_t n) { return ((i % n) + n) % n; }

float catmull_rom(float p0, float p1, float p2, float p3, float u)
{
    float m1 = (p2 - p0) * 0.5f;
    float m2 = (p3 - p1) * 0.5f;
    float u2 = u * u;
    float u3 = u2 * u;
    return p1 + u * m1 + u2 * (3.0f * (p2 - p1) - 2.0f * m1 - m2) + u3 * (2.0f * (p1 - p2) + m1 + m2);
}

[[gnu::always_inline]] inline vec3 blend(const vec3& p0, const vec3& p1, const vec3& p2, const vec3& p3, float u)
{
    return make_vec3(catmull_rom(p0.x, p1.x, p2.x, p3.x, u), catmull_rom(p0.y, p1.y, p2.y, p3.y, u),
                     catmull_rom(p0.z, p1.z, p2.z, p3.z, u));
}

float distance(const vec3& a, const vec3& b)
{
    float dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The curve code proper, kept inline so resample's two loops (a few thousand points per
// contour, every frame) do not pay a call and the count checks per sample.
[[gnu::always_inline]] inline vec3 curve_point(const vec3* points, int64_t n, bool closed, float t)
{
    int64_t f, e;
    float u;
    if (t > 2.0f && t < float(n - 2)) {
        f = static_cast<int64_t>(t);
        u = t - float(f);
        e = f;
        // Interior: all four neighbours exist, open or closed.
        if (e > 0 && e < n - 2) return blend(points[e - 1], points[e], points[e + 1], points[e + 2], u);
    } else if (closed) {
        float x = t + 10000.0f * float(n);
        f = trunc_index(x);
        u = x - float(f);
        e = wrap(f, n);
    } else {
        if (t > float(n)) return points[n - 1];
        if (t < 0.0f) return points[0];
        f = trunc_index(t);
        u = t - float(f);
        e = std::clamp<int64_t>(f, 0, n - 1);
    }

    int64_t i[4];
    if (closed) {
        if (e > 0 && e < n - 2) {
            i[0] = e - 1, i[1] = e, i[2] = e + 1, i[3] = e + 2;
        } else if (e != 0) {
            i[0] = e - 1, i[1] = e, i[2] = (e + 1) % n, i[3] = (e + 2) % n;
        } else {
            i[0] = wrap(f - 1, n), i[1] = 0, i[2] = 1, i[3] = 2;
        }
        // Only a polyline shorter than the 4 points the curve needs gets here out of range.
        for (int64_t& k : i) k = wrap(k, n);
    } else {
        for (int k = 0; k < 4; ++k) i[k] = std::clamp<int64_t>(e - 1 + k, 0, n - 1);
    }
    return blend(points[i[0]], points[i[1]], points[i[2]], points[i[3]], u);
}

}  // namespace

polyline make_polyline(std::vector<vec3> points, bool closed)
{
    polyline p;
    p.count = static_cast<int32_t>(points.size());
    p.points = std::move(points);
    p.closed = closed;
    return p;
}

vec3 polyline::evaluate(float t) const
{
    const int64_t n = std::min<int64_t>(count, static_cast<int64_t>(points.size()));
    if (n <= 0) return make_vec3(0, 0, 0);
    return curve_point(points.data(), n, closed, t);
}

void polyline::resample(int32_t n, int32_t a)
{
    const int64_t c = std::min<int64_t>(count, static_cast<int64_t>(points.size()));
    // A negative sample rate would index the length table backwards; treat it like 0.
    if (c < 4 || a <= 0) return;

    const int64_t segments = a > 1 ? int64_t(a) * c : c;
    std::vector<float> length(size_t(segments) + 1, 0.0f);
    const vec3* p = points.data();
    if (a > 1) {
        const float fa = float(a);
        vec3 previous = curve_point(p, c, closed, 0.0f / fa);
        float sum = 0.0f;  // kept in a register: the table is the hot loop
        for (int64_t i = 0; i < segments; ++i) {
            vec3 next = curve_point(p, c, closed, float(i + 1) / fa);
            sum += distance(previous, next);
            length[size_t(i) + 1] = sum;
            previous = next;
        }
    } else {
        for (int64_t i = 0; i < c; ++i)
            length[size_t(i) + 1] = length[size_t(i)] + distance(points[size_t(i)], points[size_t((i + 1) % c)]);
    }
    const float total = length[size_t(segments)];

    std::vector<vec3> resampled;
    resampled.reserve(size_t(std::max(n, 0)));
    int64_t i = 0;
    for (int32_t k = 0; k < n; ++k) {
        float s = (float(k) / float(n)) * total;
        while (i < segments - 1 && !(length[size_t(i)] <= s && s <= length[size_t(i) + 1])) ++i;
        float d = length[size_t(i) + 1] - length[size_t(i)];
        if (d <= 0.001f) d = 0.001f;
        vec3 q = curve_point(p, c, closed, ((s - length[size_t(i)]) / d + float(i)) / float(a));
        q.state = vec_set;
        resampled.push_back(q);
    }
    points = std::move(resampled);
    count = static_cast<int32_t>(points.size());
}
