// The show's CPU stages for every frame of the whole show, without the particles: the
// sequence load, the choreography curves and the contour stage with its emitter upload,
// timed by the same stage timers as the show and written as the same CSV. The mean of a
// stage over all frames is its cost amortised over the show.
//
//   bench_show_cpu_walk --data DIR --stats FILE.csv [--fps N] [--from S] [--to S]
#include "demo/choreography.h"
#include "demo/contour_stage.h"
#include "demo/part_start.h"
#include "platform/platform.h"
#include "render/frame_stats.h"
#include "render/render_engine.h"
#include "tests/support/gl_test_context.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

struct options {
    std::string data = THORNWAKE_SOURCE_DATA_DIR;
    std::string stats;
    int fps = 60;
    double from = 0, to = 198.0;
};

bool parse(int argc, char** argv, options& o)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const char* v = argv[i + 1];
        if (key == "--data") o.data = v;
        else if (key == "--stats") o.stats = v;
        else if (key == "--fps") o.fps = std::atoi(v);
        else if (key == "--from") o.from = std::atof(v);
        else if (key == "--to") o.to = std::atof(v);
        else return false;
    }
    return (argc % 2) == 1 && !o.stats.empty() && o.fps > 0 && o.from < o.to;
}

// What render_scene does before the stages: serve last frame's request, then give the
// contour stage a fresh copy of the frame.
void serve_sequence(part_start& part)
{
    frame_stage_timer timer(frame_stage::sequence_load);
    part.load_sequence_frame();
    if (!part.seq_frame.empty()) part.seq_frame.copyTo(part.seq_work);
}

}  // namespace

int main(int argc, char** argv)
{
    platform_keep_freed_memory();  // as the program does, so the draws cost the same
    options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: bench_show_cpu_walk --data DIR --stats FILE.csv [--fps N] [--from S] [--to S]\n");
        return 2;
    }
    o.stats = std::filesystem::absolute(o.stats).string();
    std::error_code ec;
    std::filesystem::current_path(o.data, ec);
    if (ec || !gl_test_context::get() || !frame_stats_open(o.stats)) {
        std::fprintf(stderr, "bench_show_cpu_walk: needs the data folder (%s) and a GL context\n", o.data.c_str());
        return 1;
    }
    auto part = std::make_unique<part_start>();
    part->path.load_path("try1.sav");
    part->cloud_box.create(500, 500);
    part->seq_request = 30;
    const double dt = 1.0 / o.fps;
    for (long k = 0;; ++k) {
        const double show = o.from + double(k + 1) / o.fps;
        if (show > o.to) break;
        frame_stats_begin_frame();
        part->last_delta = dt;
        part->scene_time = 1.113 * show;
        serve_sequence(*part);
        {
            frame_stage_timer timer(frame_stage::choreography);
            part->seq_request = particle_controls_at(part->scene_time, dt).seq_request;
        }
        run_contour_step(*part, part->scene_time);
        glFinish();  // as the buffer swap would, so uploads do not pile up
        frame_stats_end_frame(show, part->scene_time);
    }
    frame_stats_close();
    return 0;
}
