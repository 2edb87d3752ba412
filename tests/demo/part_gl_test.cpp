// The part end to end on a hidden window: load with and without the show's data, then
// frames at chosen scene times read back from the window.
#include "demo/choreography.h"
#include "demo/part_start.h"
#include "render/render_engine.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/scratch_folder.h"

#include <GL/glew.h>
#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int W = 320, H = 180;

// Runs the body inside dir, then returns to where the test started.
struct in_directory {
    fs::path previous = fs::current_path();
    explicit in_directory(const fs::path& dir) { fs::current_path(dir); }
    ~in_directory() { fs::current_path(previous); }
};

// The generated data: THORNWAKE_DATA_DIR, else the repository's data/ once generated.
fs::path show_data()
{
    if (const char* dir = std::getenv("THORNWAKE_DATA_DIR")) return dir;
    return THORNWAKE_SOURCE_DATA_DIR;
}

bool has_show_data(const fs::path& dir)
{
    return fs::exists(dir / "newneomeshes" / "thornwake.obj") && fs::exists(dir / "try1.sav") &&
           fs::exists(dir / "Materials" / "v_material1p.cpp");
}

void make_targets_once()
{
    static bool made = false;
    if (made) return;
    made = true;
    glViewport(0, 0, W, H);
    // As start-up makes them: set 0 antialiased, sets 1 and 2 single-sample.
    g_render_engine.create_framebuffer_set(0, W, H, 8);
    g_render_engine.create_framebuffer_set(1, W / 2, H / 2, 0);
    g_render_engine.create_framebuffer_set(2, W / 4, H / 4, 0);
    g_render_engine.set_default_filtering();
}

std::unique_ptr<part_start> loaded_part()
{
    make_targets_once();
    auto part = std::make_unique<part_start>();
    part->screen_width = W;
    part->screen_height = H;
    part->load(&g_render_engine);
    part->loaded = 1;
    return part;
}

struct picture {
    std::vector<unsigned char> rgb = std::vector<unsigned char>(W * H * 3);
    int lit(int threshold = 24) const
    {
        int n = 0;
        for (int i = 0; i < W * H; ++i)
            n += rgb[3 * i] + rgb[3 * i + 1] + rgb[3 * i + 2] > threshold;
        return n;
    }
    // Bottom row first, as GL reads it.
    void save(const fs::path& file) const
    {
        cv::Mat image(H, W, CV_8UC3);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                for (int c = 0; c < 3; ++c)
                    image.at<cv::Vec3b>(H - 1 - y, x)[2 - c] = rgb[3 * (y * W + x) + c];
        cv::imwrite(file.string(), image);
    }
    // Mean difference between horizontal neighbours: the targets' start noise scores
    // about 85, a rendered picture far less.
    double roughness() const
    {
        double sum = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x + 1 < W; ++x)
                for (int c = 0; c < 3; ++c)
                    sum += std::abs(rgb[3 * (y * W + x + 1) + c] - rgb[3 * (y * W + x) + c]);
        return sum / (3.0 * H * (W - 1));
    }
    bool one_colour() const
    {
        for (std::size_t i = 3; i < rgb.size(); ++i)
            if (rgb[i] != rgb[i % 3]) return false;
        return true;
    }
};

// The frame at scene time T, after the simulation steps before it: at most the last
// `settle` of them, as a real-time run that cannot keep up takes them.
picture frame_at(part_start& part, double T, frame_input& frame, int settle = 10)
{
    const double show = T / scene_clock_rate;
    const int64_t due = int64_t(std::floor(show * sim_steps_per_second + 1e-6));
    int64_t done = std::llround(part.step_scene_time / scene_clock_rate * sim_steps_per_second);
    done = std::max(done, due - settle);
    for (int64_t j = done + 1; j <= due; ++j)
        part.step(&g_render_engine, double(j) / sim_steps_per_second, frame.spectrum);
    frame.show_time = show;
    double delta = 1.0 / sim_steps_per_second;
    part.render(&delta, &g_render_engine, &frame);
    picture p;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
    return p;
}

}  // namespace

TEST(PartLoad, CompletesWithEveryDataFileMissing)
{
    TW_REQUIRE_GL();
    const fs::path empty = scratch_folder() / "empty";
    fs::create_directories(empty);
    in_directory here(empty);

    auto part = loaded_part();
    EXPECT_EQ(part->seq_request, 30);
    EXPECT_EQ(part->seq_idle, -1);
    EXPECT_EQ(part->slot_material1, 1);
    EXPECT_EQ(part->slot_velocities, 5);
    EXPECT_EQ(part->tex_noise, 27);
    EXPECT_TRUE(part->path.points.empty());
    EXPECT_EQ(part->particles_world.volume, part->particles_main.volume);
    EXPECT_EQ(part->particles_splash.volume, part->particles_main.volume);
    EXPECT_NE(g_render_engine.texture_table[spectrum_texture], 0u);

    // Frames still run: no path (no wobble), no image, no programs.
    frame_input frame;
    frame.spectrum[7] = 0.5f;
    frame_at(*part, 5.0, frame);
    frame_at(*part, 100.0, frame);
    EXPECT_EQ(part->render_count, 2);
    EXPECT_TRUE(part->seq_frame.empty());
    EXPECT_FLOAT_EQ(part->spectrum_history[100], 0.5f);
    EXPECT_DOUBLE_EQ(frame.values[0], part->scene_time);
}

TEST(PartRender, ClockHistoryCameraAndFrameCopyBack)
{
    TW_REQUIRE_GL();
    const fs::path empty = scratch_folder() / "empty";
    fs::create_directories(empty);
    in_directory here(empty);
    auto part = loaded_part();

    frame_input frame;
    frame.spectrum[7] = 1.0f;
    frame.cam_x = 3.0;
    frame.show_time = 0.5;
    double delta = 0.5;
    part->render(&delta, &g_render_engine, &frame);
    EXPECT_DOUBLE_EQ(part->last_delta, 0.5);
    EXPECT_DOUBLE_EQ(part->scene_time, 0.5 * 1.113);  // from show time, not summed deltas
    EXPECT_DOUBLE_EQ(part->scene_time_shown, part->scene_time);
    EXPECT_EQ(part->frame_copy.cam_x, 3.0);
    EXPECT_EQ(g_render_engine.frame_input, &frame);
    EXPECT_DOUBLE_EQ(frame.values[0], part->scene_time);

    frame.spectrum[7] = 0.0f;
    part->render(&delta, &g_render_engine, &frame);
    EXPECT_FLOAT_EQ(part->spectrum_history[98], 0.95f * 0.95f);
    EXPECT_FLOAT_EQ(part->spectrum_history[102], 0.95f * 0.95f);
    EXPECT_EQ(part->spectrum_history[99], 0.0f);
    EXPECT_EQ(part->spectrum_history[100], 0.0f);

    // The camera looks down -z from z = 5 before the lift and the follow start.
    EXPECT_FLOAT_EQ(g_render_engine.camera_eye.z, 5.0f);
    EXPECT_EQ(g_render_engine.camera_eye.state, vec_set);
    part->step(&g_render_engine, 0.5, frame.spectrum);
    EXPECT_FALSE(part->particles_main.readback);  // no lead to follow yet
    part->step(&g_render_engine, 140.0, frame.spectrum);
    EXPECT_TRUE(part->particles_main.readback);

    // Holding space rebuilds the combine program every frame.
    frame.keys[32] = 1;
    part->render(&delta, &g_render_engine, &frame);
    part->render(&delta, &g_render_engine, &frame);
    EXPECT_EQ(part->rebuild_count, 2);
}

TEST(PartRender, TheShowsCheckpointsLookRight)
{
    TW_REQUIRE_GL();
    const fs::path data = show_data();
    if (!has_show_data(data)) {
        if (gl_test_context::required()) FAIL() << "no generated data in " << data << " under CI";
        GTEST_SKIP() << "no generated data in " << data;
    }
    in_directory here(data);
    auto part = loaded_part();
    frame_input frame;

    // Only the segment program records its output: the draws would carry it in every vertex.
    const auto recorded = [&](int slot) {
        GLint n = -1;
        glGetProgramiv(part->shaders.programs[slot], GL_TRANSFORM_FEEDBACK_VARYINGS, &n);
        return n;
    };
    EXPECT_EQ(recorded(part->slot_material1), 0);
    EXPECT_EQ(recorded(part->slot_segments), 1);

    EXPECT_EQ(frame_at(*part, 0.0, frame).lit(3), 0) << "black at T = 0 from the fade";

    // Walk in small steps so the particles settle as they do in the show.
    picture p;
    for (double T = 0.5; T <= 12.0; T += 0.5) p = frame_at(*part, T, frame);
    EXPECT_GT(p.lit(), W * H / 200) << "title letters and particles around T = 12";
    EXPECT_LT(p.roughness(), 30.0);

    for (double T = 20.5; T <= 205.0; T += 2.5) {
        p = frame_at(*part, T, frame);
        EXPECT_FALSE(p.one_colour()) << "T = " << T;
        EXPECT_LT(p.roughness(), 30.0) << "T = " << T << ": the targets' start noise shows";
    }
}

// Not a check: with THORNWAKE_DUMP_DIR set, writes the show's checkpoints as PNGs to look at.
TEST(PartRender, DumpCheckpoints)
{
    TW_REQUIRE_GL();
    const char* out = std::getenv("THORNWAKE_DUMP_DIR");
    const fs::path data = show_data();
    if (!out || !has_show_data(data)) GTEST_SKIP() << "set THORNWAKE_DUMP_DIR to dump frames";
    in_directory here(data);
    auto part = loaded_part();
    frame_input frame;
    const double checkpoints[] = {1, 10, 20, 33, 47, 60, 90, 110, 130, 145, 165, 200, 210};
    double T = 0;
    for (double c : checkpoints) {
        picture p;
        for (; T < c; T = std::min(c, T + 0.25)) p = frame_at(*part, std::min(c, T + 0.25), frame);
        // Not "T" + to_string + ".png": GCC 12 at -O3 warns falsely (-Wrestrict) about that.
        char name[32];
        std::snprintf(name, sizeof name, "T%d.png", static_cast<int>(c));
        p.save(fs::path(out) / name);
    }
}
