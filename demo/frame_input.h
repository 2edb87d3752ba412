// The per-frame record the shell hands to the part. The part copies it in at the start
// of render and writes its copy back at the end, so any field may hold what the part left.
#pragma once
#include <cstdint>
#include <vector>

struct frame_point {
    int32_t kind = 1;
    float x = 0, y = 0, z = 0;
};

struct frame_input {
    double cam_x = 0, cam_y = 0, cam_z = 0;
    int32_t wheel_steps = 0;
    double adjust_aq = 0;
    double adjust_updown = 0;
    int32_t right_button = 0;
    double pnt_x = 0, pnt_y = 0, pnt_z = 0;
    uint8_t flags_a[32] = {};
    uint8_t flags_b[32] = {};
    double show_time = 0;
    std::vector<frame_point> points;
    int32_t mode = 1;
    float spectrum[512] = {};
    double values[32] = {};  // [0]: the part's scene clock after render; [10]: closing-fade sound factor
    float level = 0;
    int32_t keys[256] = {};
};
