// Per-frame timings for --stats: wall and thread-CPU time of the frame's stages, and GPU
// time of the GL work inside them from GL_TIME_ELAPSED queries that are read back a few
// frames later, so measuring never waits for the GPU. One CSV row per frame.
//
// Stages are marked with frame_stage_timer in the frame code. Time is exclusive: a nested
// timer pauses the one around it, and time inside no stage is counted as "other". With
// stats off every call returns at its first test. GL thread only.
//
// On a software rasteriser the draw stages' CPU time is the main thread's vertex shading
// and primitive setup. Their GPU times there overlap: llvmpipe times a query from the
// first tile that reaches it to the last, so stages of one scene can add up to more
// than the frame.
#pragma once
#include <cstdint>
#include <string>

enum class frame_stage : int {
    sequence_load,
    contours,
    choreography,
    emitter_upload,
    particle_update,
    draw,           // the scene's draws, less the particle draws below
    draw_segments,  // the main population's segment list, written by transform feedback
    draw_lines,     // its line segments
    draw_points,    // its points
    draw_splash,    // the splash population's points
    post,
    output,  // buffer swap and capture/video output
    count,
};
inline constexpr int frame_stage_count = static_cast<int>(frame_stage::count);
// Column-name part of each stage, e.g. "contours".
const char* frame_stage_name(frame_stage s);
// Stages whose GL work gets a GPU timer query.
bool frame_stage_on_gpu(frame_stage s);

// One point in time on both clocks, in seconds.
struct time_stamp {
    double wall = 0;
    double cpu = 0;  // this thread's CPU time
};
time_stamp time_now();

// Attributes elapsed time to the innermost open stage (or to "other").
struct stage_clock {
    static constexpr int max_depth = 8;

    double wall[frame_stage_count + 1] = {};  // last entry: "other"
    double cpu[frame_stage_count + 1] = {};

    void start(time_stamp now);
    void push(frame_stage s, time_stamp now);
    void pop(time_stamp now);
    // Replaces the innermost stage: for stretches of code that share one scope.
    void switch_to(frame_stage s, time_stamp now);
    // Charges the open stretch; the totals are then complete up to `now`.
    void settle(time_stamp now) { charge(now); }
    // The innermost open stage, or frame_stage::count when none is open.
    frame_stage current() const;

private:
    void charge(time_stamp now);
    frame_stage stack_[max_depth] = {};
    int depth_ = 0;
    int overflow_ = 0;  // pushes beyond max_depth, ignored but balanced
    time_stamp last_;
};

// Everything one CSV row holds. GPU times are negative when no result came back.
struct frame_stats_row {
    long frame = 0;
    double show_time = 0, scene_time = 0;
    double since_start = 0;  // program start to the end of this frame, seconds
    time_stamp span;         // the whole frame
    stage_clock stages;
    double gpu[frame_stage_count] = {};
};

std::string frame_stats_header();
std::string frame_stats_csv_row(const frame_stats_row& row);

// Opens (truncates) the CSV and writes its header; false with a message on stderr.
bool frame_stats_open(const std::string& path);
bool frame_stats_enabled();
// Reads back what the GPU still owes (this may wait), writes the remaining rows and
// closes the file. Call it while the GL context is still current. Safe to call twice.
void frame_stats_close();

// The last ended frame's row (its GPU times may not be back yet); false before the first
// or with stats off. For a live display such as the studio's stats panel.
bool frame_stats_last_row(frame_stats_row& out);

void frame_stats_begin_frame();
void frame_stats_end_frame(double show_time, double scene_time);

class frame_stage_timer {
public:
    explicit frame_stage_timer(frame_stage s);
    ~frame_stage_timer();
    frame_stage_timer(const frame_stage_timer&) = delete;
    frame_stage_timer& operator=(const frame_stage_timer&) = delete;
    void switch_to(frame_stage s);

private:
    bool active_ = false;
};
