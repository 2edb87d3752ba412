#include "app/step_schedule.h"

#include <algorithm>
#include <cmath>

double step_show_time(int64_t j) { return double(j) / sim_steps_per_second; }

int64_t steps_due(double show_time)
{
    if (!(show_time > 0)) return 0;
    // n / fps times 60 can land a hair below the whole number it stands for.
    return int64_t(std::floor(show_time * sim_steps_per_second + 1e-6));
}

step_plan plan_steps(int64_t done, double show_time, int cap, int early)
{
    const int64_t due = steps_due(show_time);
    step_plan p;
    if (due <= done) return p;
    p.run = due - done;
    const int64_t allowed = std::max(cap - early, 0);
    if (cap > 0 && p.run > allowed) {
        p.skip = p.run - allowed;
        p.run = allowed;
    }
    return p;
}

int64_t capture_first_multiple(double from, int fps)
{
    if (!(from > 0) || fps <= 0) return 0;
    return std::llround(from * fps);
}
