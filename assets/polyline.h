// Catmull-Rom control polygon with arc-length resampling. Contour lines of the video and the
// recorded path's channel are smoothed with it (shrink to few points, then sample densely).
#pragma once
#include <cstdint>
#include <vector>

#include "base/vecmath.h"

struct polyline {
    std::vector<vec3> points;
    bool closed = true;
    // Kept equal to points.size() by everything that fills a polyline; the curve code uses it.
    int32_t count = 0;

    // Curve point at parameter t (integer t = control point t). Meant for count >= 4;
    // smaller polylines still never read outside `points`.
    vec3 evaluate(float t) const;
    // n points evenly spaced by arc length, measured with `a` samples per segment (a <= 1:
    // straight chords). No change with fewer than 4 points or a <= 0.
    void resample(int32_t n, int32_t a);
};

// Fills a polyline from points and keeps `count` in step.
polyline make_polyline(std::vector<vec3> points, bool closed);
