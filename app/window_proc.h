// Pieces of the window procedure that are plain arithmetic or text, tested alone.
#pragma once
#include <string>

// Whole notches of a wheel delta (120 per notch), truncated toward zero.
int wheel_notches(int wheel_delta);
// The three lines the middle button appends to the clipboard text.
std::string dump_text(double cam_x, double cam_y, double cam_z, double pnt_x, double pnt_y, double pnt_z,
                      float eye_x, float eye_y, float eye_z);
