#include "render/frame_stats.h"

#include <GL/glew.h>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

constexpr const char* stage_names[frame_stage_count] = {
    "sequence_load", "contours",    "choreography", "emitter_upload", "particle_update", "draw", "draw_segments",
    "draw_lines",    "draw_points", "draw_splash",  "post",           "output",
};

double steady_seconds()
{
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

// Start-up is measured from here: static initialisation runs just before main.
const double program_start = steady_seconds();

// A row waits this many frames for its GPU results before it is written without them.
constexpr int ring_size = 4;
constexpr int queries_per_frame = 32;  // a real-time frame of four steps uses 17

struct pending_frame {
    frame_stats_row row;
    GLuint queries[queries_per_frame] = {};
    frame_stage query_stage[queries_per_frame] = {};
    int used = 0;
    bool waiting = false;
};

struct stats_state {
    std::FILE* file = nullptr;
    bool in_frame = false;
    bool gpu_ready = false, gpu_tried = false;
    bool query_open = false;
    long frames = 0;
    pending_frame ring[ring_size];

    pending_frame& current() { return ring[frames % ring_size]; }
};

stats_state g_stats;

double ms(double seconds) { return seconds * 1000.0; }

void append(std::string& s, const char* format, double v)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, format, v);
    s += ',';
    s += buf;
}

void make_queries()
{
    g_stats.gpu_tried = true;
    // Timer queries are core in 3.3; without them the GPU columns stay empty.
    if (!(GLEW_VERSION_3_3 || GLEW_ARB_timer_query)) return;
    for (pending_frame& p : g_stats.ring) glGenQueries(queries_per_frame, p.queries);
    g_stats.gpu_ready = true;
}

// The GPU timer follows the CPU's innermost stage: one query per stretch of a GPU stage.
void follow_with_gpu(frame_stage s)
{
    if (!g_stats.gpu_ready) return;
    if (g_stats.query_open) {
        glEndQuery(GL_TIME_ELAPSED);
        g_stats.query_open = false;
    }
    pending_frame& p = g_stats.current();
    if (s == frame_stage::count || !frame_stage_on_gpu(s) || p.used == queries_per_frame) return;
    glBeginQuery(GL_TIME_ELAPSED, p.queries[p.used]);
    p.query_stage[p.used++] = s;
    g_stats.query_open = true;
}

// Fills the row's GPU times: all of them, or none when a result is not there yet and
// waiting is not allowed.
void collect_gpu(pending_frame& p, bool wait)
{
    frame_stats_row& r = p.row;
    for (int s = 0; s < frame_stage_count; ++s) r.gpu[s] = g_stats.gpu_ready ? 0.0 : -1.0;
    if (!g_stats.gpu_ready) return;
    if (!wait) {
        for (int i = 0; i < p.used; ++i) {
            GLuint available = GL_FALSE;
            glGetQueryObjectuiv(p.queries[i], GL_QUERY_RESULT_AVAILABLE, &available);
            if (!available) {
                for (double& g : r.gpu) g = -1.0;
                return;
            }
        }
    }
    for (int i = 0; i < p.used; ++i) {
        GLuint64 ns = 0;
        glGetQueryObjectui64v(p.queries[i], GL_QUERY_RESULT, &ns);
        r.gpu[static_cast<int>(p.query_stage[i])] += double(ns) * 1e-9;
    }
}

void write_pending(pending_frame& p, bool wait)
{
    if (!p.waiting) return;
    p.waiting = false;
    collect_gpu(p, wait);
    std::fputs(frame_stats_csv_row(p.row).c_str(), g_stats.file);
    std::fputc('\n', g_stats.file);
    // Rows are few per second; flushing each keeps the file whole if the run is killed.
    std::fflush(g_stats.file);
}

}  // namespace

const char* frame_stage_name(frame_stage s)
{
    const int i = static_cast<int>(s);
    return i >= 0 && i < frame_stage_count ? stage_names[i] : "other";
}

bool frame_stage_on_gpu(frame_stage s)
{
    switch (s) {
    case frame_stage::emitter_upload:
    case frame_stage::particle_update:
    case frame_stage::draw:
    case frame_stage::draw_segments:
    case frame_stage::draw_lines:
    case frame_stage::draw_points:
    case frame_stage::draw_splash:
    case frame_stage::post:
        return true;
    default:
        return false;
    }
}

time_stamp time_now()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return {steady_seconds(), double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9};
}

void stage_clock::start(time_stamp now)
{
    *this = stage_clock{};
    last_ = now;
}

void stage_clock::charge(time_stamp now)
{
    const int i = static_cast<int>(current());
    wall[i] += now.wall - last_.wall;
    cpu[i] += now.cpu - last_.cpu;
    last_ = now;
}

frame_stage stage_clock::current() const { return depth_ > 0 ? stack_[depth_ - 1] : frame_stage::count; }

void stage_clock::push(frame_stage s, time_stamp now)
{
    if (depth_ == max_depth) {
        ++overflow_;
        return;
    }
    charge(now);
    stack_[depth_++] = s;
}

void stage_clock::pop(time_stamp now)
{
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    if (depth_ == 0) return;
    charge(now);
    --depth_;
}

void stage_clock::switch_to(frame_stage s, time_stamp now)
{
    if (overflow_ > 0 || depth_ == 0) return;
    charge(now);
    stack_[depth_ - 1] = s;
}

std::string frame_stats_header()
{
    std::string h = "frame,show_time,scene_time,since_start_ms,frame_ms,frame_cpu_ms";
    for (int s = 0; s <= frame_stage_count; ++s) {
        const std::string name = frame_stage_name(static_cast<frame_stage>(s));
        h += "," + name + "_ms," + name + "_cpu_ms";
    }
    for (int s = 0; s < frame_stage_count; ++s)
        if (frame_stage_on_gpu(static_cast<frame_stage>(s)))
            h += std::string(",gpu_") + frame_stage_name(static_cast<frame_stage>(s)) + "_ms";
    return h;
}

std::string frame_stats_csv_row(const frame_stats_row& r)
{
    std::string s = std::to_string(r.frame);
    append(s, "%.4f", r.show_time);
    append(s, "%.4f", r.scene_time);
    append(s, "%.3f", ms(r.since_start));
    append(s, "%.3f", ms(r.span.wall));
    append(s, "%.3f", ms(r.span.cpu));
    for (int i = 0; i <= frame_stage_count; ++i) {
        append(s, "%.3f", ms(r.stages.wall[i]));
        append(s, "%.3f", ms(r.stages.cpu[i]));
    }
    for (int i = 0; i < frame_stage_count; ++i) {
        if (!frame_stage_on_gpu(static_cast<frame_stage>(i))) continue;
        if (r.gpu[i] < 0)
            s += ',';  // no result: an empty field, not a made-up zero
        else
            append(s, "%.3f", ms(r.gpu[i]));
    }
    return s;
}

bool frame_stats_open(const std::string& path)
{
    frame_stats_close();
    g_stats = stats_state{};
    g_stats.file = std::fopen(path.c_str(), "w");
    if (!g_stats.file) {
        std::fprintf(stderr, "thornwake: cannot write the stats file '%s'\n", path.c_str());
        return false;
    }
    std::fprintf(g_stats.file, "%s\n", frame_stats_header().c_str());
    return true;
}

bool frame_stats_enabled() { return g_stats.file != nullptr; }

void frame_stats_close()
{
    if (!g_stats.file) return;
    if (g_stats.in_frame && g_stats.query_open) glEndQuery(GL_TIME_ELAPSED);
    g_stats.in_frame = g_stats.query_open = false;
    for (long f = g_stats.frames - ring_size; f < g_stats.frames; ++f)
        if (f >= 0) write_pending(g_stats.ring[f % ring_size], true);
    if (g_stats.gpu_ready)
        for (pending_frame& p : g_stats.ring) glDeleteQueries(queries_per_frame, p.queries);
    std::fclose(g_stats.file);
    g_stats = stats_state{};
}

bool frame_stats_last_row(frame_stats_row& out)
{
    if (!g_stats.file || g_stats.frames == 0) return false;
    out = g_stats.ring[(g_stats.frames - 1) % ring_size].row;
    return true;
}

void frame_stats_begin_frame()
{
    if (!g_stats.file || g_stats.in_frame) return;
    if (!g_stats.gpu_tried) make_queries();
    pending_frame& p = g_stats.current();
    write_pending(p, false);  // the frame this slot held, ring_size frames ago
    p.row = frame_stats_row{};
    p.row.frame = g_stats.frames;
    p.used = 0;
    const time_stamp now = time_now();
    p.row.span = now;
    p.row.stages.start(now);
    g_stats.in_frame = true;
}

void frame_stats_end_frame(double show_time, double scene_time)
{
    if (!g_stats.in_frame) return;
    follow_with_gpu(frame_stage::count);
    pending_frame& p = g_stats.current();
    frame_stats_row& r = p.row;
    const time_stamp now = time_now();
    r.stages.settle(now);
    r.span = {now.wall - r.span.wall, now.cpu - r.span.cpu};
    r.since_start = now.wall - program_start;
    r.show_time = show_time;
    r.scene_time = scene_time;
    p.waiting = true;
    g_stats.in_frame = false;
    ++g_stats.frames;
}

frame_stage_timer::frame_stage_timer(frame_stage s)
{
    if (!g_stats.in_frame) return;
    active_ = true;
    stage_clock& c = g_stats.current().row.stages;
    c.push(s, time_now());
    follow_with_gpu(c.current());
}

frame_stage_timer::~frame_stage_timer()
{
    if (!active_ || !g_stats.in_frame) return;
    stage_clock& c = g_stats.current().row.stages;
    c.pop(time_now());
    follow_with_gpu(c.current());
}

void frame_stage_timer::switch_to(frame_stage s)
{
    if (!active_ || !g_stats.in_frame) return;
    stage_clock& c = g_stats.current().row.stages;
    c.switch_to(s, time_now());
    follow_with_gpu(c.current());
}
