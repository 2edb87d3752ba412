#include "studio/transport.h"

#include <cmath>

int64_t transport_step_at(double t)
{
    // The same rounding as the simulation's schedule: j / 60 <= t, nudged so that a time
    // computed as j / 60.0 lands on j and not one below.
    const double j = std::floor(t * transport_steps_per_second + 1e-7);
    return j < 0 ? 0 : int64_t(j);
}

double transport_step_time(int64_t j) { return double(j) / transport_steps_per_second; }

static bool inside(const transport& t, double v) { return std::isfinite(v) && v >= 0 && v <= t.end; }

static void jump_to(transport& t, double to)
{
    t.time = to;
    ++t.jumps;
}

void transport_play(transport& t)
{
    if (t.time >= t.end && !t.loop_on) return;  // nothing left to play
    t.playing = true;
}

void transport_pause(transport& t)
{
    if (!t.playing) return;
    t.playing = false;
    const double on_step = transport_step_time(transport_step_at(t.time));
    if (on_step != t.time) jump_to(t, on_step);
}

void transport_toggle_play(transport& t)
{
    if (t.playing) transport_pause(t);
    else transport_play(t);
}

bool transport_seek(transport& t, double to)
{
    if (!inside(t, to)) return false;
    jump_to(t, to);
    return true;
}

bool transport_step(transport& t, int n)
{
    int64_t j = transport_step_at(t.time);
    const bool between = transport_step_time(j) != t.time;
    if (n < 0 && between) ++j;  // the step below a between-time is one back, not two
    const double to = transport_step_time(j + n);
    if (!inside(t, to)) return false;
    t.playing = false;
    jump_to(t, to);
    return true;
}

bool transport_set_speed(transport& t, double speed)
{
    if (speed != 0.25 && speed != 0.5 && speed != 1 && speed != 2) return false;
    t.speed = speed;
    return true;
}

bool transport_set_loop(transport& t, double a, double b)
{
    if (!inside(t, a) || !inside(t, b) || !(a < b)) return false;
    t.loop_a = a;
    t.loop_b = b;
    t.loop_on = true;
    return true;
}

bool transport_loop_enable(transport& t, bool on)
{
    if (on && !(t.loop_a < t.loop_b)) return false;
    t.loop_on = on;
    return true;
}

void transport_reload(transport& t) { ++t.reloads; }

void transport_scrub_begin(transport& t)
{
    if (t.scrubbing) return;
    t.scrubbing = true;
    t.resume_after_scrub = t.playing;
    t.playing = false;
}

bool transport_scrub_to(transport& t, double to)
{
    if (!t.scrubbing || !inside(t, to)) return false;
    t.time = to;
    return true;
}

void transport_scrub_end(transport& t)
{
    if (!t.scrubbing) return;
    t.scrubbing = false;
    t.playing = t.resume_after_scrub;
    ++t.jumps;
}

void transport_advance(transport& t, double wall_seconds)
{
    if (!t.playing || t.scrubbing || !(wall_seconds > 0)) return;
    const double next = t.time + wall_seconds * t.speed;
    if (t.loop_on && t.time < t.loop_b && next >= t.loop_b) {
        const double span = t.loop_b - t.loop_a;
        jump_to(t, t.loop_a + std::fmod(next - t.loop_b, span));
        return;
    }
    if (next >= t.end) {
        t.time = t.end;
        t.playing = false;
        return;
    }
    t.time = next;
}

bool transport_music_audible(const transport& t) { return t.playing && !t.scrubbing && t.speed == 1; }

bool transport_frame_exact(const transport& t) { return !t.scrubbing; }
