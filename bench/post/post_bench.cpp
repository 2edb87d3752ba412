// CPU cost per frame of the chain's own work: the spectrum memory and texture bytes, the
// camera, the combine threshold, the fade, the zoom and the 88 title letters.
#include "demo/camera_rig.h"
#include "demo/scene_curves.h"
#include "demo/spectrum_history.h"
#include "post/chain_curves.h"
#include "post/spectrum_texture.h"

#include <benchmark/benchmark.h>

#include <vector>

static void BM_ChainFrameCurves(benchmark::State& state)
{
    float history[spectrum_history_size] = {};
    float spectrum[512];
    for (int i = 0; i < 512; ++i) spectrum[i] = (i % 37) / 37.0f;
    std::vector<vec3> path(6300, make_vec3(10, 20, 0));
    std::vector<double> channel(6300, 300.0);
    uint8_t texels[spectrum_texels * 3];
    double T = 0;
    for (auto _ : state) {
        T += 1.113 / 60.0;
        if (T > 220) T = 0;
        advance_spectrum_history(history, spectrum[7]);
        fill_spectrum_texels(spectrum, texels);
        camera_pose pose = place_camera(T, path, channel, make_vec3(0.1f, 0.2f, 0));
        float limit = combine_limit(T);
        double fade = fade_alpha(T);
        double fov = field_of_view(T);
        int groups = 0;
        for (int ring = 0; ring < title_rings; ++ring)
            for (int i = 0; i < title_letters_per_ring; ++i) groups += title_letter_at(ring, i, T).group;
        benchmark::DoNotOptimize(pose);
        benchmark::DoNotOptimize(limit + fade + fov + groups);
        benchmark::DoNotOptimize(texels);
    }
}
BENCHMARK(BM_ChainFrameCurves);
