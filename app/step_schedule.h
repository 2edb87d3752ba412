// When the simulation steps. Everything that carries state from frame to frame advances
// in fixed steps of 1/60 s of show time, step j at show time j / 60, however often frames
// are drawn: so a 30 fps export, a 144 Hz display and a seek all see the same states.
#pragma once
#include "demo/choreography.h"

#include <cstdint>

// Steps per frame a real-time run may take before it gives up keeping pace.
inline constexpr int real_time_step_cap = 4;

// Show time of step j, computed from j alone so no rounding accumulates.
double step_show_time(int64_t j);
// The last step due at this show time: the largest j with j / 60 <= show_time (0 before
// the first). Frame times of whole 1/fps multiples land exactly on their step.
int64_t steps_due(double show_time);

struct step_plan {
    int64_t skip = 0;  // steps dropped unrun because the machine cannot keep up
    int64_t run = 0;   // steps to run now, after `done + skip`
};
// Steps to take for a frame at `show_time` when `done` have run. cap 0: every due step
// (offline); otherwise at most `cap` less the `early` ones the frame took while its scene
// was drawn, the older ones skipped.
step_plan plan_steps(int64_t done, double show_time, int cap, int early = 0);

// Capture frames sit at whole multiples of 1/fps from show time 0: the index of the
// multiple nearest `from` (frame k of the capture then shows time (first + k + 1) / fps).
int64_t capture_first_multiple(double from, int fps);
