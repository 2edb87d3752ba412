// Capture mode: a fixed time step instead of the clock, and every frame written out.
#pragma once
#include <string>

#include "app/frame_rules.h"

struct capture_session {
    bool on = false;
    int fps = 60;
    double from = 0, to = show_end_time;  // from: first / fps, see capture_start_at
    long first = 0;
    long frames_done = 0;  // drawn; the last of them may still wait to be written
    bool broken = false;   // a frame could not be written
    std::string png_dir;  // PNG frames, or empty
    bool video = false;   // frames go to the video encoder
    double wall_start = 0;
    double last_report = -1;
    double last_frame_end = 0;     // wall clock, seconds
    double seconds_per_frame = 0;  // recent pace, see capture_pace
};
extern capture_session g_capture;

// Starts the capture at the whole multiple of 1/fps nearest `from`, so that two captures'
// show times agree bit for bit; false when that moved it.
bool capture_start_at(capture_session& c, double from);
// Show time of frame k: (first + k + 1) / fps, computed directly so no rounding accumulates.
double capture_frame_time(const capture_session& c, long k);
// Frames from..to holds: those whose show time is at most to.
long capture_frame_count(const capture_session& c);
// The pace after frame number `done` (1-based) took `frame_seconds`: the plain average over
// the first 64 frames, then a moving average over about the last 64. The show grows heavier
// as it goes, so an ETA from the average since the start would promise too much late on.
double capture_pace(double seconds_per_frame, long done, double frame_seconds);
// "frame 12/60  show 0.20 s  31.5 fps  ETA 0:02", fps and ETA from the pace.
std::string capture_progress(long done, long total, double show_time, double seconds_per_frame);
// Reads the window's back buffer and writes DIR/NNNNNN.png; false (with a message) on failure.
bool capture_write_png(const std::string& dir, long index, int width, int height);
std::string capture_png_name(const std::string& dir, long index);
