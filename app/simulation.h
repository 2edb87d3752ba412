// The frame driver's side of the fixed-step simulation. Before each frame's draws it runs
// the steps due at the frame's show time (most of them while the last frame's scene was
// being drawn); an exact run saves a snapshot whenever it passes a snapshot step; a seek
// loads the nearest snapshot at or before its target and steps on from there, so every
// start time shows the frames a continuous run shows.
#pragma once
#include <cstdint>
#include <string>

class part_start;
struct render_engine;

// Snapshots are kept every this many steps (5 s of show time).
inline constexpr int64_t snapshot_every_steps = 300;

// Hashes the show's inputs for the cache key in the background; call with the data folder
// current and the GL context made. use_cache false: no snapshots are read or written.
void simulation_start(part_start& part, render_engine& engine, bool use_cache);
// Runs the steps due at show_time. real_time: at most a few a frame, skipping the rest
// (one console line says so), and the run is no longer exact enough to save snapshots.
void simulation_advance(double show_time, bool real_time);
// Real time, while the frame's scene is drawn: the steps due by show_time, within the
// frame's allowance; the next simulation_advance counts them against its own.
void simulation_step_early(double show_time);
// Exactly the state a continuous run has at show_time, with a progress line when slow.
void simulation_seek(double show_time);
// Fills the cache for the whole show; false when the cache cannot be used.
bool simulation_bake(double show_end);
// Steps run since the last call, for the stats.
int64_t simulation_steps_taken();
// The snapshot cache in one line for the studio's stats panel: snapshots held out of the
// show's, the folder, and whether this run is exact enough to add to it.
std::string simulation_cache_summary();
// Waits for snapshot writes still in flight.
void simulation_finish();
