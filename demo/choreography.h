// The time curves of the particle and contour stages, as pure functions of scene time:
// time (and the frame delta) in, plain values out. The GL stages only send what these
// return, so everything the viewer sees of the particles can be checked without a context.
//
// Control values are single-precision: every step is computed in double and stored back
// as a float, so the values match a float accumulator step for step.
// Functions that draw random numbers say so; they reseed the shared generator first.
#pragma once
#include "base/show_clock.h"
#include "base/vecmath.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// ---- particle stage --------------------------------------------------------------

inline double scene_time_at(double show_time) { return show_time * scene_clock_rate; }

// The simulation advances in fixed steps of show time, whatever the frame rate: every
// update takes DeltaT and ThePS for one step.
inline constexpr int sim_steps_per_second = 60;
inline constexpr double step_seconds = 1.0 / sim_steps_per_second;

struct particle_controls {
    int32_t seq_request = 30;
    float quantiser = 4;
    float clock_interpolate = 0;
    float pos_x_main = 0;
    float pos_x_splash = 0;
    float attack = 1;
    float attract = -0.001f;
    float takeover = 0;
    float transform = 0;
    float delta_t = 0;
    float the_ps = 0;
};

int32_t seq_request_at(double t);
float quantiser_at(double t);
float clock_interpolate_at(double t);
float pos_x_main_at(double t);
float attack_at(double t);
float attract_at(double t);
float takeover_at(double t);
float pos_x_splash_at(double t);
float transform_at(double t);
// dt is the frame delta in seconds.
float delta_t_for(double dt);
// Per-frame damping whose product over one second is the same at any frame rate.
float the_ps_for(double dt);
// 0.7 on the diagonal: the angles are all t × 0, so it scales and never rotates.
mat4 rotation_matrix_at(double t);

particle_controls particle_controls_at(double t, double dt);

inline constexpr int main_particle_count = 250000;
inline constexpr int splash_particle_count = 90000;

struct strip_draw {
    float line_width;
    int first;
    int count;
};

// Line strips over a main population of n particles, drawn before its points. For the
// show's 250,000 the firsts are 0, 100, 20,000 and 200,000; a smaller population gets
// the strips cut to its end instead of reads past its buffer.
constexpr std::array<strip_draw, 4> main_line_strips(int n)
{
    std::array<strip_draw, 4> s{{
        {1, 0, n},
        {2, 100, int(n * 0.13)},
        {4, 20000, int(n * 0.01)},
        {4, 200000, int(n * 0.02)},
    }};
    for (strip_draw& d : s) {
        if (d.first > n) d.first = n;
        if (d.count > n - d.first) d.count = n - d.first;
    }
    return s;
}

// The segments of the strips above, each once and at the widest width a strip gives it,
// in the strips' order: a narrower line under a wider one could only win depth ties.
// Segment a joins particles a and a + 1, so a draw of count c holds c - 1 segments.
std::vector<strip_draw> main_line_draws(int n);

// The splash population is always updated but shown only while its PosX is positive.
inline bool splash_drawn(float pos_x_splash) { return pos_x_splash > 0; }

// ---- contour stage ---------------------------------------------------------------

inline constexpr int max_contours = 18;
// Longer contours are smoothed by resampling down to a tenth and back up.
inline constexpr int contour_smoothing_threshold = 40;

struct contour_drift {
    double speed = 0;
    double phase = 0;
};

// Seeds the shared generator from the contour's length and draws the drift; the
// generator is left where the per-segment spark draws continue.
contour_drift contour_drift_for(int n);

// 2 sin²(...) − 1: contour 0 on its own slower clock.
double contour_sway_angle(double t, int k);
// w of the path wobble; zero for even k.
double path_wobble_weight(double t, int k);

struct path_indices {
    uint32_t offset;   // into the path's points
    uint32_t heading;  // into the path's channel
};
// Indices wrap modulo path_size − 1; the caller makes sure path_size ≥ 2.
path_indices path_wobble_indices(double t, int half, size_t path_size);

int samples_per_segment(double t);
// Before 45 s and after 119 s the unused tail of the emitter is parked at one point.
bool parks_emitter(double t);
inline constexpr vec3 park_position{vec_set, 0.0f, 2.4f, 0.0f};
inline constexpr vec3 contour_colour{vec_set, 1.0f, 1.0f, 0.2f};
inline constexpr vec3 spark_rise{vec_set, 0.0f, 5.0f, 0.0f};
// One draw of the shared generator per segment: true roughly once in 863.
bool spark_due();

struct path_view {
    std::span<const vec3> points;
    std::span<const double> channel;
};

// Everything that moves contour k at time t, worked out once per contour.
struct contour_motion {
    vec3 drift{vec_set, 0, 0, 0};
    bool swayed = false;
    mat4 sway = identity();
    vec3 pivot{vec_set, 0, 0, 0};
    bool wobbled = false;
    vec3 wobble_offset{vec_set, 0, 0, 0};
    mat4 wobble = identity();
};

// A path of fewer than two points has no valid wobble index: the wobble is skipped.
contour_motion contour_motion_at(double t, int k, const contour_drift& drift, path_view path);
// Maps a contour point (normalised image coordinates) to its emitter position.
vec3 place_contour_point(vec3 p, const contour_motion& motion);

// ---- dust points -----------------------------------------------------------------

struct dust_point {
    float x, y, z;
    float size;
};
inline constexpr int dust_count = 33;
inline constexpr vec3 dust_colour{vec_set, 0.4f, 0.3f, 0.2f};
// Reseeds the shared generator (twice).
std::array<dust_point, dust_count> dust_points_at(double t);
