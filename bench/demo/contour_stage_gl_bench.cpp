// The contour stage as the show runs it, GL included: the emitter upload (two 500 × 500
// RGB float images converted to half floats) and the whole stage on a real frame.
#include "demo/contour_stage.h"

#include "demo/part_start.h"
#include "render/render_engine.h"
#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>
#include <opencv2/imgcodecs.hpp>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

bool have_gl() { return gl_test_context::get(); }

void emitter_upload(benchmark::State& state)
{
    if (!have_gl()) return state.SkipWithError("no GL context");
    emitter_cloud cloud;
    cloud.create(500, 500);
    for (auto _ : state) {
        cloud.upload();
        glFinish();
    }
}
BENCHMARK(emitter_upload)->Unit(benchmark::kMillisecond);

void contour_stage_frame(benchmark::State& state)
{
    if (!have_gl()) return state.SkipWithError("no GL context");
    const char* dir = std::getenv("THORNWAKE_DATA");
    const std::string root = dir ? dir : THORNWAKE_SOURCE_DATA_DIR;
    auto part = std::make_unique<part_start>();
    part->seq_frame = cv::imread(root + "/imageseq/00030.jpeg", cv::IMREAD_GRAYSCALE);
    if (part->seq_frame.empty()) return state.SkipWithError("no image sequence: set THORNWAKE_DATA");
    part->path.load_path(root + "/try1.sav");
    part->cloud_box.create(500, 500);
    part->scene_time = double(state.range(0));
    for (auto _ : state) {
        part->seq_frame.copyTo(part->seq_work);
        run_contour_step(*part, part->scene_time);
        glFinish();
    }
}
BENCHMARK(contour_stage_frame)->Arg(10)->Arg(90)->Unit(benchmark::kMillisecond);

}  // namespace
