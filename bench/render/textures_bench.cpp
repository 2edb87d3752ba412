// Load-time cost of the show's noise texture (six generator draws per texel of
// 1024 x 1024) and the per-call cost of the easing curve the choreography leans on.
#include "render/screen.h"
#include "render/textures.h"

#include <benchmark/benchmark.h>

static void noise_texture_1024(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(noise_texture_bytes(1024, 1024));
}
BENCHMARK(noise_texture_1024)->Unit(benchmark::kMillisecond);

static void random_texture_1280x720(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(random_texture_bytes(1280, 720));
}
BENCHMARK(random_texture_1280x720)->Unit(benchmark::kMillisecond);

static void cosine_ease_sweep(benchmark::State& state)
{
    const double p = double(state.range(0));
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < 1000; ++i) sum += cosine_ease(i * 0.0013 - 0.2, p);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(cosine_ease_sweep)->Arg(1)->Arg(3);
