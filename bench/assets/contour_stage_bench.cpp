// One frame of the contour stage (two decodes, 9x9 Gaussian, Canny 20/150/3, contours,
// smoothing of the 18 longest lines) against a bare OpenCV loop of the same calls. Our
// own code should add next to nothing on top of OpenCV's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "assets/image_sequence.h"

namespace fs = std::filesystem;

namespace {

constexpr int frame_number = 30;

// A 640x480 grey frame like the video's: a bright subject with clean outlines over a
// cluttered backdrop and film grain, so Canny finds edges everywhere.
const std::string& sequence_root()
{
    static const std::string root = [] {
        fs::path dir = fs::temp_directory_path() / "thornwake_bench_seq";
        fs::create_directories(dir / "imageseq");
        cv::Mat img(480, 640, CV_8UC1, cv::Scalar(50));
        std::mt19937 rng(7);
        auto r = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        // A lit subject (head-sized ellipse with features) in front of a cluttered backdrop.
        for (int i = 0; i < 24; ++i)
            cv::rectangle(img, {r(0, 600), r(0, 440)}, {r(0, 639), r(0, 479)}, cv::Scalar(r(30, 120)), cv::FILLED);
        for (int i = 0; i < 30; ++i)
            cv::line(img, {r(0, 639), r(0, 479)}, {r(0, 639), r(0, 479)}, cv::Scalar(r(0, 160)), r(1, 4));
        cv::ellipse(img, {320, 230}, {120, 160}, 0, 0, 360, cv::Scalar(210), cv::FILLED);
        for (int i = 0; i < 16; ++i)
            cv::circle(img, {r(230, 410), r(120, 340)}, r(6, 30), cv::Scalar(r(90, 250)), r(0, 1) ? cv::FILLED : 2);
        cv::putText(img, "thornwake", {200, 440}, cv::FONT_HERSHEY_SIMPLEX, 1.5, cv::Scalar(240), 3);
        cv::Mat grain(480, 640, CV_8UC1);
        cv::randn(grain, 0, 6);
        img += grain;
        cv::imwrite((dir / sequence_frame_name(frame_number)).string(), img, {cv::IMWRITE_JPEG_QUALITY, 90});
        return dir.string() + "/";
    }();
    return root;
}

// The generated show frame when the data is there (run thornwake-datagen; THORNWAKE_DATA_DIR
// points elsewhere than data/), else nothing.
std::string show_root()
{
    const char* dir = std::getenv("THORNWAKE_DATA_DIR");
    std::string root = std::string(dir ? dir : THORNWAKE_SOURCE_DATA_DIR) + "/";
    return fs::exists(root + sequence_frame_name(frame_number)) ? root : std::string();
}

std::string root_for(const benchmark::State& state) { return state.range(0) ? show_root() : sequence_root(); }

void smooth_longest(std::vector<polyline>& lines)
{
    const size_t used = std::min<size_t>(lines.size(), 18);
    std::partial_sort(lines.begin(), lines.begin() + long(used), lines.end(),
                      [](const polyline& a, const polyline& b) { return a.count > b.count; });
    for (size_t k = 0; k < used; ++k) {
        polyline copy = lines[k];
        copy.closed = false;
        const int n = copy.count;
        if (n > 40) {
            copy.resample(n / 10, 3);
            copy.resample(n, 3);
        }
        benchmark::DoNotOptimize(copy.points.data());
    }
}

void contour_stage(benchmark::State& state)
{
    const std::string root = root_for(state);
    if (root.empty()) return state.SkipWithError("no generated show data");
    cv::Mat frame, work;
    size_t lines_found = 0, points = 0;
    for (auto _ : state) {
        int request = frame_number;
        serve_sequence_request(request, -1, frame, work, root);
        cv::GaussianBlur(work, work, {9, 9}, 0);
        cv::Canny(work, work, 20, 150, 3);
        std::vector<polyline> lines;
        extract_contours(work, lines, 0);
        lines_found = lines.size();
        smooth_longest(lines);
        points = 0;
        for (const polyline& l : lines) points += l.points.size();
    }
    state.counters["contours"] = double(lines_found);
    state.counters["points"] = double(points);
}

void bare_opencv(benchmark::State& state)
{
    const std::string root = root_for(state);
    if (root.empty()) return state.SkipWithError("no generated show data");
    const std::string path = root + sequence_frame_name(frame_number);
    cv::Mat frame, work;
    size_t lines_found = 0;
    for (auto _ : state) {
        frame = cv::imread(path, cv::IMREAD_GRAYSCALE);
        work = cv::imread(path, cv::IMREAD_GRAYSCALE);
        cv::GaussianBlur(work, work, {9, 9}, 0);
        cv::Canny(work, work, 20, 150, 3);
        std::vector<std::vector<cv::Point>> contours;
        cv::findContours(work, contours, cv::RETR_LIST, cv::CHAIN_APPROX_NONE);
        lines_found = contours.size();
    }
    state.counters["contours"] = double(lines_found);
}

// The pieces on their own, to see where the frame goes.
void resample_longest(benchmark::State& state)
{
    cv::Mat frame, work;
    int request = frame_number;
    serve_sequence_request(request, -1, frame, work, sequence_root());
    cv::GaussianBlur(work, work, {9, 9}, 0);
    cv::Canny(work, work, 20, 150, 3);
    std::vector<polyline> lines;
    extract_contours(work, lines, 0);
    for (auto _ : state) {
        std::vector<polyline> copy = lines;
        smooth_longest(copy);
    }
}

void extract_only(benchmark::State& state)
{
    cv::Mat frame, work;
    int request = frame_number;
    serve_sequence_request(request, -1, frame, work, sequence_root());
    cv::GaussianBlur(work, work, {9, 9}, 0);
    cv::Canny(work, work, 20, 150, 3);
    for (auto _ : state) {
        std::vector<polyline> lines;
        extract_contours(work, lines, 0);
        benchmark::DoNotOptimize(lines.data());
    }
}

void find_contours_only(benchmark::State& state)
{
    cv::Mat frame, work;
    int request = frame_number;
    serve_sequence_request(request, -1, frame, work, sequence_root());
    cv::GaussianBlur(work, work, {9, 9}, 0);
    cv::Canny(work, work, 20, 150, 3);
    for (auto _ : state) {
        std::vector<std::vector<cv::Point>> contours;
        cv::findContours(work, contours, cv::RETR_LIST, cv::CHAIN_APPROX_NONE);
        benchmark::DoNotOptimize(contours.data());
    }
}

// OpenCV's worker threads would make the timings depend on what else the (shared) machine
// runs; one thread keeps CPU time an honest measure of the whole frame.
const int single_thread = (cv::setNumThreads(1), 0);

}  // namespace

// Argument 0: the synthetic frame; 1: frame 30 of the generated video.
BENCHMARK(bare_opencv)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(contour_stage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(resample_longest)->Unit(benchmark::kMillisecond);
BENCHMARK(extract_only)->Unit(benchmark::kMillisecond);
BENCHMARK(find_contours_only)->Unit(benchmark::kMillisecond);
