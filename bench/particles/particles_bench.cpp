// Load-time CPU work of the emitter clouds and the velocity volume, and the per-frame
// cost of the update passes on whatever GL the machine gives (llvmpipe under Xvfb).
#include "particles/emitter_cloud.h"
#include "particles/particle_system.h"
#include "assets/velocity_volume.h"
#include "tests/support/gl_test_context.h"

#include <benchmark/benchmark.h>

#include <GL/glew.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// A closed surface of quads roughly the size of the show's meshes.
polygon_list sphere_of_quads(int bands, int segments)
{
    polygon_list faces;
    auto at = [&](int b, int s) {
        const float th = 3.14159265f * b / bands, ph = 6.2831853f * s / segments;
        return make_vec3(std::sin(th) * std::cos(ph), std::cos(th), std::sin(th) * std::sin(ph));
    };
    for (int b = 0; b < bands; ++b)
        for (int s = 0; s < segments; ++s)
            faces.push_back({at(b, s), at(b + 1, s), at(b + 1, s + 1), at(b, s + 1)});
    return faces;
}

void BM_SampleRingsBox(benchmark::State& state)
{
    emitter_cloud c;
    c.allocate(500, 500);
    c.faces = sphere_of_quads(8, 12);  // 96 faces x 30 rings x 4 edges x 15 = 172,800 samples
    for (auto _ : state) benchmark::DoNotOptimize(c.sample_rings(30, 30, make_vec3(1.0f, 0.7f, 0.4f)));
}
BENCHMARK(BM_SampleRingsBox)->Unit(benchmark::kMillisecond);

void BM_AllocateCloud(benchmark::State& state)
{
    for (auto _ : state) {
        emitter_cloud c;
        c.allocate(500, 500);
        benchmark::DoNotOptimize(c.positions.data());
    }
}
BENCHMARK(BM_AllocateCloud)->Unit(benchmark::kMillisecond);

void BM_ReadVelocityFile(benchmark::State& state)
{
    const std::string path = std::string(THORNWAKE_SOURCE_DATA_DIR) + "/binaries/Velocity.dat";
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
    } else {
        state.SkipWithError("no data/binaries/Velocity.dat: run thornwake-datagen");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(read_velocity_file(path).bytes_read);
}
BENCHMARK(BM_ReadVelocityFile)->Unit(benchmark::kMillisecond);

bool have_gl() { return gl_test_context::get(); }

void BM_UploadVelocityVolume(benchmark::State& state)
{
    if (!have_gl()) return state.SkipWithError("no GL context");
    // Reading included; a missing file still uploads a full (zero) volume.
    const std::string path = std::string(THORNWAKE_SOURCE_DATA_DIR) + "/binaries/Velocity.dat";
    for (auto _ : state) {
        particle_system s;
        s.load_velocity_volume(path);
        glFinish();
        benchmark::DoNotOptimize(s.volume);
    }
}
BENCHMARK(BM_UploadVelocityVolume)->Unit(benchmark::kMillisecond)->Iterations(3);

// One frame of the show's two update passes: 500 x 500 main, 300 x 300 splash.
void BM_UpdatePasses(benchmark::State& state)
{
    if (!have_gl()) return state.SkipWithError("no GL context");
    const std::string dir = std::string(THORNWAKE_SOURCE_DATA_DIR) + "/Materials/";
    particle_system main, splash;
    emitter_cloud cloud;
    main.configure(500, 500, true);
    main.load_velocity_volume(std::string(THORNWAKE_SOURCE_DATA_DIR) + "/binaries/Velocity.dat");
    main.create(dir + "v_material1p.cpp");
    splash.configure(300, 300, false);
    splash.volume = main.volume;
    splash.create(dir + "v_material1p_splash.cpp");
    cloud.create(500, 500);
    cloud.faces = sphere_of_quads(8, 12);
    cloud.build_rings(30, 30, make_vec3(1, 1, 1));
    auto uniforms = [](particle_system& s, float posx) {
        auto set = [&](const char* n, float v) { glUniform1f(glGetUniformLocation(s.program, n), v); };
        set("DeltaT", 1.0f / 3.0f);
        set("PosX", posx);
        set("ThePS", 0.452f);
        set("Attack", 1.0f);
        set("ClockInterpolate", -0.01f);
        set("Quantiser", 1000.0f);
        float m[16] = {0.7f, 0, 0, 0, 0, 0.7f, 0, 0, 0, 0, 0.7f, 0, 0, 0, 0, 0.7f};
        glUniformMatrix4fv(glGetUniformLocation(s.program, "RotationMatrix"), 1, GL_FALSE, m);
    };
    for (auto _ : state) {
        main.bind_for_update(cloud.positions_texture, cloud.colours_texture, cloud.positions_texture);
        uniforms(main, 0.1f);
        main.run_update();
        splash.bind_for_update(cloud.positions_texture, cloud.colours_texture, cloud.positions_texture);
        glActiveTexture(GL_TEXTURE5);
        glBindTexture(GL_TEXTURE_BUFFER, main.source_view);
        glActiveTexture(GL_TEXTURE0);
        uniforms(splash, 1.0f);
        splash.run_update();
        glFinish();
    }
    state.counters["particles"] = 340000;
}
BENCHMARK(BM_UpdatePasses)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
