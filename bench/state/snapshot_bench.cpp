// Encoding and decoding one snapshot of the show's size (250,000 main and 90,000 splash
// particles, 250,000 box texels): once spread out, once with every particle at rest.
#include "state/snapshot.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

sim_snapshot show_sized(bool at_rest)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> pos(-4, 4), unit(0, 1);
    sim_snapshot s;
    s.step = 18000;
    auto particles = [&](std::vector<float>& out, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            if (at_rest)
                out.insert(out.end(), {0.0f, 2.4f, 0.0f, 0.0f});
            else
                out.insert(out.end(), {pos(rng), pos(rng), pos(rng), unit(rng)});
        }
    };
    particles(s.main_state, 250000);
    particles(s.splash_state, 90000);
    // The box array: mostly its rest point, about 40% samples along the box's edges.
    while (s.box_positions.size() < 3 * 250000) {
        const float a[3] = {pos(rng), pos(rng), pos(rng)}, b[3] = {pos(rng), pos(rng), pos(rng)};
        const int run = 50 + static_cast<int>(rng() % 400);
        const bool line = unit(rng) < 0.4f;
        for (int k = 0; k < run && s.box_positions.size() < 3 * 250000; ++k) {
            const float t = static_cast<float>(k) / run;
            for (int c = 0; c < 3; ++c) s.box_positions.push_back(line ? a[c] + (b[c] - a[c]) * t : c == 1 ? 2.4f : 0.0f);
        }
    }
    // The colours: the contour colour wherever a sample has landed, the rings' elsewhere.
    for (size_t i = 0; i < s.box_positions.size(); ++i) s.box_colours.push_back(i % 3 == 2 ? 0.2f : 1.0f);
    return s;
}

void BM_Encode(benchmark::State& state)
{
    const sim_snapshot s = show_sized(state.range(0) != 0);
    size_t bytes = 0;
    for (auto _ : state) bytes = encode_snapshot(s, 1).size();
    state.counters["raw_bytes"] = static_cast<double>(4 * (s.main_state.size() + s.splash_state.size() + 2 * s.box_positions.size()) + 32);
    state.counters["encoded_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Encode)->Arg(0)->Arg(1)->ArgName("at_rest")->Unit(benchmark::kMillisecond);

void BM_Decode(benchmark::State& state)
{
    const sim_snapshot s = show_sized(state.range(0) != 0);
    const std::vector<uint8_t> bytes = encode_snapshot(s, 1);
    std::string why;
    for (auto _ : state) benchmark::DoNotOptimize(decode_snapshot(bytes, 1, shape_of(s), why));
}
BENCHMARK(BM_Decode)->Arg(0)->Arg(1)->ArgName("at_rest")->Unit(benchmark::kMillisecond);

}  // namespace
