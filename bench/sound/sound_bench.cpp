// Decode speed (as a multiple of real time) and the per-frame cost of the spectrum and of
// an offline capture frame. The input is encoded with LAME when the program starts.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "mp3_fixture.h"
#include "sound/mp3_stream.h"
#include "sound/resampler.h"
#include "sound/sound_system.h"

namespace {

constexpr double track_seconds = 30.0;

// A sweep under broadband noise: closer to music than a pure tone for the decoder's sake.
std::vector<float> busy_signal(int rate) {
    std::vector<float> s = stereo_sweep(rate, track_seconds, 60.0, 8000.0, 0.4f);
    uint32_t state = 12345;
    for (float& v : s) {
        state = state * 214013u + 2531011u;
        v += 0.1f * (static_cast<float>((state >> 16) & 0x7fff) / 16384.0f - 1.0f);
    }
    return s;
}

const std::string& track(int rate) {
    static const std::string at44 = cached_mp3("bench_busy_44100.mp3", 44100, [] { return busy_signal(44100); });
    static const std::string at48 = cached_mp3("bench_busy_48000.mp3", 48000, [] { return busy_signal(48000); });
    return rate == 44100 ? at44 : at48;
}

void decode_whole(benchmark::State& state, int rate) {
    track(rate);  // encode outside the timing
    std::vector<float> block(2 * 4096);
    for (auto _ : state) {
        auto stream = at_rate(mp3_stream::open(track(rate)), 44100);
        size_t frames = 0;
        while (const size_t got = stream->read(block.data(), 4096))
            frames += got;
        benchmark::DoNotOptimize(frames);
    }
    // Seconds of music per second of CPU time on this thread.
    state.counters["x_realtime"] = benchmark::Counter(track_seconds, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Decode44k(benchmark::State& state) { decode_whole(state, 44100); }
void BM_Decode48kResampled(benchmark::State& state) { decode_whole(state, 48000); }
BENCHMARK(BM_Decode44k)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Decode48kResampled)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

sound_settings offline_settings() {
    sound_settings s;
    s.output = sink_kind::offline;
    return s;
}

// What the show pays each frame for the 512 values.
void BM_SpectrumPerFrame(benchmark::State& state) {
    sound_system sys;
    sys.start(offline_settings());
    sys.play(1, sys.open_stream(track(44100)));
    sys.set_spectrum_enabled(true);
    sys.mix_window_ending_at(1, 10 * 44100);
    float out[spectrum_bins];
    for (auto _ : state) {
        sys.spectrum(out);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_SpectrumPerFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A capture frame at 60 fps: seek, decode the window before the frame time, spectrum.
void BM_OfflineCaptureFrame(benchmark::State& state) {
    sound_system sys;
    sys.start(offline_settings());
    sys.play(1, sys.open_stream(track(44100)));
    sys.set_spectrum_enabled(true);
    float out[spectrum_bins];
    uint64_t end = 44100;
    for (auto _ : state) {
        sys.mix_window_ending_at(1, end);
        sys.spectrum(out);
        benchmark::DoNotOptimize(out);
        end = end + 735 < 25 * 44100 ? end + 735 : 44100;
    }
}
BENCHMARK(BM_OfflineCaptureFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
