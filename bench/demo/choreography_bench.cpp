// Per-frame CPU cost of the scene's choreography and of the contour stage. The contour
// stage is measured against a bare OpenCV loop of the same calls on the same frame: what
// we add on top (polylines, sorting, smoothing, placing and sampling into the emitter)
// should stay small next to the image work.
#include "demo/choreography.h"
#include "demo/contour_stage.h"

#include "assets/image_sequence.h"

#include <benchmark/benchmark.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdlib>
#include <random>
#include <string>

namespace {

// The video frames the show asks for most; a drawn stand-in when the data is not there.
cv::Mat sequence_frame(int number)
{
    // THORNWAKE_DATA points at generated data outside the source tree.
    const char* dir = std::getenv("THORNWAKE_DATA");
    const std::string path = std::string(dir ? dir : THORNWAKE_SOURCE_DATA_DIR) + "/" + sequence_frame_name(number);
    cv::Mat image = cv::imread(path, cv::IMREAD_GRAYSCALE);
    if (!image.empty()) return image;
    image = cv::Mat(480, 640, CV_8UC1, cv::Scalar(40));
    std::mt19937 rng{uint32_t(number)};
    auto r = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int i = 0; i < 14; ++i)
        cv::ellipse(image, {r(120, 520), r(60, 420)}, {r(15, 90), r(10, 60)}, r(0, 180), 0, 360,
                    cv::Scalar(r(90, 250)), cv::FILLED);
    cv::Mat noise(image.size(), CV_8UC1);
    cv::randu(noise, 0, 12);
    image += noise;
    return image;
}

std::vector<vec3> wavy_path()
{
    std::vector<vec3> p;
    for (int i = 0; i < 2000; ++i) p.push_back(make_vec3(std::sin(i * 0.01f), std::cos(i * 0.013f), 0));
    return p;
}

void particle_controls(benchmark::State& state)
{
    double t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(particle_controls_at(t, 1.0 / 60));
        benchmark::DoNotOptimize(rotation_matrix_at(t));
        t = t > 220 ? 0 : t + 0.0187;
    }
}
BENCHMARK(particle_controls);

void dust_points(benchmark::State& state)
{
    double t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dust_points_at(t));
        t = t > 220 ? 0 : t + 0.0187;
    }
}
BENCHMARK(dust_points);

// Frame numbers as requested at 10 s, 110 s and 150 s of scene time.
constexpr int frames[] = {30, 440, 98};

void bare_opencv(benchmark::State& state)
{
    const cv::Mat frame = sequence_frame(frames[state.range(0)]);
    cv::Mat work;
    std::vector<std::vector<cv::Point>> found;
    std::vector<cv::Vec4i> hierarchy;
    for (auto _ : state) {
        frame.copyTo(work);
        cv::GaussianBlur(work, work, cv::Size(9, 9), 0, 0, cv::BORDER_REPLICATE);
        cv::Canny(work, work, 20, 150, 3);
        cv::findContours(work, found, hierarchy, cv::RETR_LIST, cv::CHAIN_APPROX_NONE);
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["contours"] = double(found.size());
}
BENCHMARK(bare_opencv)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Everything the stage does on the CPU: edges, contours, emitter samples, parking.
void contour_stage_cpu(benchmark::State& state)
{
    const cv::Mat frame = sequence_frame(frames[state.range(0)]);
    const std::vector<vec3> path_points = wavy_path();
    const std::vector<double> channel(path_points.size(), 0.3);
    emitter_cloud cloud;
    cloud.allocate(500, 500);
    cv::Mat work;
    std::vector<polyline> contours;
    contour_scratch scratch;
    int32_t cursor = 0;
    const double t = state.range(1);
    for (auto _ : state) {
        frame.copyTo(work);
        find_edges(work);
        contours.clear();
        extract_contours(work, contours, 0);
        cursor = emit_contours(contours, t, {path_points, channel}, cloud, scratch);
        park_emitter(cloud, cursor, t);
        benchmark::DoNotOptimize(cloud.positions.data());
    }
    state.counters["samples"] = cursor;
}
// 10 s (20 samples per segment, parked) and 130 s (70 per segment).
BENCHMARK(contour_stage_cpu)->ArgsProduct({{0, 1, 2}, {10, 130}})->Unit(benchmark::kMillisecond);

// The emitter half alone, from contours already extracted.
void emit_only(benchmark::State& state)
{
    cv::Mat work = sequence_frame(frames[0]).clone();
    find_edges(work);
    std::vector<polyline> extracted;
    extract_contours(work, extracted, 0);
    emitter_cloud cloud;
    cloud.allocate(500, 500);
    std::vector<polyline> contours;
    contour_scratch scratch;
    const double t = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        contours = extracted;
        state.ResumeTiming();
        park_emitter(cloud, emit_contours(contours, t, {}, cloud, scratch), t);
        benchmark::DoNotOptimize(cloud.positions.data());
    }
}
BENCHMARK(emit_only)->Arg(10)->Arg(130)->Unit(benchmark::kMicrosecond);

}  // namespace
