// Capture mode: a fixed time step instead of the clock, and every frame written out.
#pragma once
#include <string>

struct capture_session {
    bool on = false;
    int fps = 60;
    double from = 0, to = 198.0;
    long frames_done = 0;
    std::string png_dir;  // PNG frames, or empty
};
extern capture_session g_capture;

// Show time of frame k: from + (k + 1) / fps, computed directly so no rounding accumulates.
double capture_frame_time(const capture_session& c, long k);
// Reads the window's back buffer and writes DIR/NNNNNN.png; false (with a message) on failure.
bool capture_write_png(const std::string& dir, long index, int width, int height);
std::string capture_png_name(const std::string& dir, long index);
