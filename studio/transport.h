// The studio's command layer: play, pause, seek, step, speed, loop and reload as a pure
// state machine over show time. The overlay, the keys and the tests all drive it; the
// shell reads it each frame (time, whether the frame must be exact, whether the music
// plays) and acts on the counters (a jump to resync, a reload to run). No GL, no SDL.
#pragma once
#include "base/show_clock.h"

#include <cstdint>

// The step of the simulation, and so of a single-frame step: 1/60 s of show time.
inline constexpr int transport_steps_per_second = 60;

struct transport {
    double end = show_end_time;  // the show's last moment; seeks past it are refused
    double time = 0;             // show time of the frame to draw
    bool playing = true;
    double speed = 1;  // one of 0.25, 0.5, 1, 2
    bool scrubbing = false;
    bool resume_after_scrub = false;
    bool loop_on = false;
    double loop_a = 0, loop_b = 0;
    // Bumped by every discontinuity (seek, step, loop wrap, scrub release): the shell
    // moves the simulation and the music when it sees a new value.
    uint64_t jumps = 0;
    uint64_t reloads = 0;  // bumped by transport_reload
};

// Step index at or before t, and the show time of step j, both from j alone.
int64_t transport_step_at(double t);
double transport_step_time(int64_t j);

void transport_play(transport& t);
// Stops on the step at or before the current time, so the frame is one an export at
// 60 fps also draws.
void transport_pause(transport& t);
void transport_toggle_play(transport& t);
// Jumps to exactly `to`; false (nothing changes) outside 0..end or for a non-number.
bool transport_seek(transport& t, double to);
// Pauses, then moves `n` steps from the step at or before the current time (a time
// between steps counts as the step below it when going back). False past either end.
bool transport_step(transport& t, int n);
// Only 0.25, 0.5, 1 and 2 are accepted.
bool transport_set_speed(transport& t, double speed);
// A range a < b inside 0..end; sets it and turns the loop on.
bool transport_set_loop(transport& t, double a, double b);
// Turning it on needs a range; false otherwise.
bool transport_loop_enable(transport& t, bool on);
void transport_reload(transport& t);

// Dragging on the timeline: the show pauses while the drag lasts, each move is a seek
// (a coarse frame is fine), and the release is one more jump that the exact frame follows.
void transport_scrub_begin(transport& t);
bool transport_scrub_to(transport& t, double to);
void transport_scrub_end(transport& t);

// Advances by `wall_seconds` of real time at the current speed when playing. A loop wraps
// back into its range (a jump); the end of the show pauses there without a loop.
void transport_advance(transport& t, double wall_seconds);

// The music plays only at speed 1 and while playing; otherwise it is muted (no pitched
// playback at other speeds).
bool transport_music_audible(const transport& t);
// Whether the frame must be the exact one for its time: everything except a drag in progress.
bool transport_frame_exact(const transport& t);
