// The studio's Dear ImGui overlay: transport buttons, the timeline with the music's
// envelope, cue marks and the loop, the stats panel and the shader messages. It only
// draws and calls the command layer; the shell owns the transport and acts on it.
// Call between platform_overlay_begin_frame and platform_overlay_end_frame.
#pragma once
#include <string>
#include <vector>

#include "studio/cues.h"
#include "studio/transport.h"

struct overlay_stats {
    double frame_ms = 0;         // wall time of the last whole frame
    double overlay_ms = 0;       // CPU time the overlay itself took last frame
    std::vector<std::pair<std::string, double>> stages;  // --stats stage names, ms
    long steps_last_frame = 0;
    std::string cache;           // the snapshot cache's state, one line
};

struct overlay_view {
    const cue_marks* cues = nullptr;
    const std::vector<float>* envelope = nullptr;  // loudness 0..1, evenly over 0..end
    double scene_time = 0;
    overlay_stats stats;
    std::string shader_watch;    // how shader files are watched, one line
    std::string shader_error;    // the failing file's path and the driver's log; "" when fine
};

// Where the timeline bar landed this frame, in display pixels (for tests and tools).
struct overlay_layout {
    float bar_x0 = 0, bar_y0 = 0, bar_x1 = 0, bar_y1 = 0;
};
overlay_layout studio_overlay_draw(transport& t, const overlay_view& v);
