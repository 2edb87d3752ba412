// Capture mode: a fixed time step instead of the clock, and every frame written out.
#pragma once
#include <string>

struct capture_session {
    bool on = false;
    int fps = 60;
    double from = 0, to = 198.0;
    long frames_done = 0;
    std::string png_dir;  // PNG frames, or empty
    bool video = false;   // frames go to the video encoder
    double wall_start = 0;
    double last_report = -1;
};
extern capture_session g_capture;

// Show time of frame k: from + (k + 1) / fps, computed directly so no rounding accumulates.
double capture_frame_time(const capture_session& c, long k);
// Frames from..to holds: those whose show time is at most to.
long capture_frame_count(const capture_session& c);
// "frame 12/60  show 0.20 s  31.5 fps  ETA 0:02"
std::string capture_progress(long done, long total, double show_time, double wall_seconds);
// Reads the window's back buffer and writes DIR/NNNNNN.png; false (with a message) on failure.
bool capture_write_png(const std::string& dir, long index, int width, int height);
std::string capture_png_name(const std::string& dir, long index);
