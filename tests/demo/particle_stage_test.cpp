// The particle stage on a small part: real update and drawing programs, tiny populations.
#include "demo/particle_stage.h"

#include "demo/choreography.h"
#include "demo/part_start.h"
#include "render/frame_stats.h"
#include "render/render_engine.h"
#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string material(const char* name)
{
    return std::string(THORNWAKE_SOURCE_DATA_DIR) + "/Materials/" + name;
}

// Populations far smaller than the show's, so the strips must be cut to fit.
std::unique_ptr<part_start> small_part()
{
    auto part = std::make_unique<part_start>();
    part->screen_width = 320;
    part->screen_height = 180;
    part->particles_main.configure(40, 40, true);
    part->particles_main.create(material("v_material1p.cpp"));
    part->particles_splash.configure(20, 20, false);
    part->particles_splash.create(material("v_material1p_splash.cpp"));
    part->cloud_box.create(32, 32);
    part->cloud_head.create(32, 32);
    part->slot_material1 = 1;
    part->slot_segments = 24;
    part->shaders.build_program(material("v_material1d.cpp"), material("f_material1.cpp"), 1);
    part->shaders.build_program(material("v_material1d.cpp"), material("f_material1.cpp"), 24, main_segments_output);
    return part;
}

// The value a program holds for a float uniform; NaN when the program has no such uniform.
float uniform_value(uint32_t program, const char* name)
{
    const GLint at = glGetUniformLocation(program, name);
    float v = std::nanf("");
    if (at >= 0) glGetUniformfv(program, at, &v);
    return v;
}

}  // namespace

TEST(ParticleStageGL, RunsAFrameAndAsksForTheNextImage)
{
    TW_REQUIRE_GL();
    auto part = small_part();
    while (glGetError() != GL_NO_ERROR) {
    }

    const uint32_t before = part->particles_main.source_buffer;
    for (double t : {35.0, 55.0}) {  // the splash is drawn at 55 s, not at 35
        run_particle_step(*part, g_render_engine, t);
        part->step_scene_time = t;
        draw_particle_stage(*part, t);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << t;
    }
    EXPECT_EQ(part->seq_request, 310);
    // Two updates: the buffers are back where they started.
    EXPECT_EQ(part->particles_main.source_buffer, before);
    EXPECT_EQ(part->particles_main.lead_particle.state, 1u);

    GLint mode = 0, unit = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
    EXPECT_EQ(mode, GL_TEXTURE);
    EXPECT_EQ(unit, GL_TEXTURE0);
}

TEST(ParticleStageGL, EachProgramGetsItsOwnValues)
{
    TW_REQUIRE_GL();
    auto part = small_part();
    const double t = 55;
    part->frame_copy.spectrum[1] = 0.5f;
    run_particle_step(*part, g_render_engine, t);
    part->step_scene_time = t;
    draw_particle_stage(*part, t);

    // A misspelt name would be silently ignored by GL: read the values back.
    const uint32_t main = part->particles_main.program, splash = part->particles_splash.program;
    EXPECT_EQ(uniform_value(main, "PosX"), pos_x_main_at(t));
    EXPECT_EQ(uniform_value(splash, "PosX"), pos_x_splash_at(t));
    EXPECT_EQ(uniform_value(main, "Attack"), attack_at(t));
    EXPECT_EQ(uniform_value(main, "Quantiser"), quantiser_at(t));
    EXPECT_EQ(uniform_value(main, "ClockInterpolate"), clock_interpolate_at(t));
    // Every update is one fixed step, whatever the frame rate.
    EXPECT_EQ(uniform_value(main, "ThePS"), the_ps_for(step_seconds));
    EXPECT_EQ(uniform_value(splash, "DeltaT"), delta_t_for(step_seconds));

    // The drawing program keeps what the splash draw, the last one, gave it; the main
    // draw before it was not shifted.
    const uint32_t draw = part->shaders.programs[part->slot_material1];
    EXPECT_EQ(uniform_value(draw, "TheMode"), 1.0f);
    EXPECT_EQ(uniform_value(draw, "transform"), 1.0f);
    EXPECT_FLOAT_EQ(uniform_value(draw, "DatX"), 0.3f * pos_x_splash_at(t));
    EXPECT_FLOAT_EQ(uniform_value(draw, "Dsp"), 0.3f);
    EXPECT_EQ(uniform_value(draw, "takeover"), takeover_at(t));
}

TEST(ParticleStageGL, TheMainCloudIsNotShiftedByTheSplash)
{
    TW_REQUIRE_GL();
    auto part = small_part();
    const double t = 55;  // the splash is shifted sideways here
    ASSERT_GT(pos_x_splash_at(t), 1.0f);
    run_particle_step(*part, g_render_engine, t);
    part->step_scene_time = t;
    draw_particle_stage(*part, t);  // leaves the splash's shift in the program
    draw_main_particles(*part, particle_controls_at(t, step_seconds));
    EXPECT_EQ(uniform_value(part->shaders.programs[part->slot_material1], "DatX"), 0.0f);
}

// --stats charges each particle draw to its own stage, so their cost can be told apart.
TEST(ParticleStageGL, EachParticleDrawIsTimedAsItsOwnStage)
{
    TW_REQUIRE_GL();
    auto part = small_part();
    const double t = 55;  // the splash is drawn here
    ASSERT_TRUE(frame_stats_open(std::string(THORNWAKE_BINARY_DIR) + "/particle_stage_stats.csv"));
    frame_stats_begin_frame();
    run_particle_step(*part, g_render_engine, t);
    part->step_scene_time = t;
    draw_particle_stage(*part, t);
    frame_stats_end_frame(t, t);
    frame_stats_row row;
    const bool ended = frame_stats_last_row(row);
    frame_stats_close();
    ASSERT_TRUE(ended);
    for (frame_stage s : {frame_stage::draw, frame_stage::draw_segments, frame_stage::draw_lines,
                          frame_stage::draw_points, frame_stage::draw_splash})
        EXPECT_GT(row.stages.wall[int(s)], 0.0) << frame_stage_name(s);
}

// Draws the main population from this state into the cleared window, with identity
// matrices, so positions are clip coordinates.
static void draw_main_on_screen(part_start& part, const std::vector<std::array<float, 4>>& state)
{
    glBindBuffer(GL_ARRAY_BUFFER, part.particles_main.source_buffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(state.size() * 16), state.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    for (GLenum m : {GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(m);
        glLoadIdentity();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glViewport(0, 0, 320, 180);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw_main_particles(part, particle_controls{});
}

// Brightest channel of the window's pixels at x, y - 1 and y (from the bottom left): a
// line along a pixel edge may land on either row.
static int lit(int x, int y)
{
    unsigned char rgba[8] = {};
    glReadPixels(x, y - 1, 1, 2, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return std::max({rgba[0], rgba[1], rgba[2], rgba[4], rgba[5], rgba[6]});
}

TEST(ParticleStageGL, StripsDropTheSegmentsThatJumpAndNothingElse)
{
    TW_REQUIRE_GL();
    auto part = small_part();
    // Two short segments (0, 1) and (2, 3) joined by a jump across the middle; every other
    // particle is lost, so the strips end at 3. Identity matrices: positions are on screen.
    std::vector<std::array<float, 4>> state(1600, {1e30f, 0, 0, 1});
    state[0] = {-0.8f, -0.5f, 0, 1};
    state[1] = {-0.6f, -0.5f, 0, 1};
    state[2] = {0.6f, 0.5f, 0, 1};
    state[3] = {0.8f, 0.5f, 0, 1};
    draw_main_on_screen(*part, state);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    EXPECT_GT(lit(48, 45), 0) << "segment (0, 1)";
    EXPECT_GT(lit(272, 135), 0) << "segment (2, 3)";
    // The jump from (64, 45) to (256, 135) would cross the middle of the screen.
    for (int x = 100; x <= 220; x += 10) {
        const int y = 45 + (x - 64) * 90 / 192;
        EXPECT_EQ(std::max(lit(x, y), lit(x, y + 1)), 0) << x;
    }
}

// Window depth at pixel x, y (from the bottom left).
static float depth_at(int x, int y)
{
    float d = -1;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &d);
    return d;
}

TEST(ParticleStageGL, FourSegmentsWithinAPixelDrawAsOneWithoutTheirInnerPoints)
{
    TW_REQUIRE_GL();
    auto part = small_part();
    // Particles 0 to 4 within a pixel at (160, 90), the inner three nearer than the ends;
    // particle 5 sixteen pixels away and near. The rest are lost.
    std::vector<std::array<float, 4>> state(1600, {1e30f, 0, 0, 1});
    const float x = 160.5f / 160 - 1, y = 90.5f / 90 - 1;
    for (int i = 0; i < 5; ++i) state[size_t(i)] = {x + 0.0005f * float(i), y, i == 0 || i == 4 ? 0.2f : 0.0f, 1};
    state[5] = {x - 0.1f, y, 0.0f, 1};
    draw_main_on_screen(*part, state);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    std::array<GLuint, 12> list{};
    glBindBuffer(GL_ARRAY_BUFFER, part->main_segments);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, sizeof list, list.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    const std::array<GLuint, 12> expected{0, 4, 1600, 1600, 1600, 1600, 1600, 1600, 4, 5, 1600, 1600};
    EXPECT_EQ(list, expected);
    // Nothing of particles 1 to 3 reached the pixel: it holds the ends' depth (0.6), not
    // theirs (0.5). Particle 5's group spans more than a pixel, so its point is drawn.
    EXPECT_NEAR(depth_at(160, 90), 0.6f, 0.01f);
    EXPECT_NEAR(depth_at(144, 90), 0.5f, 0.01f);
}

TEST(ParticleStage, PointsGoInBatchesOnlyOnCpuRenderers)
{
    EXPECT_GT(point_draw_batch("llvmpipe (LLVM 15.0.6, 256 bits)"), 0);
    EXPECT_GT(point_draw_batch("softpipe"), 0);
    EXPECT_EQ(point_draw_batch("NVIDIA GeForce RTX 4090/PCIe/SSE2"), 0);
    EXPECT_EQ(point_draw_batch("AMD Radeon RX 7900 XTX (radeonsi, navi31, LLVM 15.0.6, DRM 3.54)"), 0);
    EXPECT_EQ(point_draw_batch(nullptr), 0);
}

TEST(ParticleStageGL, BatchedPointsDrawTheSamePixelsAsOneCall)
{
    TW_REQUIRE_GL();
    auto part = small_part();
    // A grid over the screen, up to the last particle; a lost one ends each row.
    std::vector<std::array<float, 4>> state(1600, {1e30f, 0, 0, 1});
    for (int i = 0; i < 1600; ++i)
        if (i % 50 != 49) state[size_t(i)] = {-0.9f + 0.037f * float(i % 50), -0.9f + 0.056f * float(i / 50), 0, 1};
    std::vector<unsigned char> pixels[2];
    for (int k = 0; k < 2; ++k) {
        part->point_batch = k == 0 ? 0 : 7;  // 7: the last call is a short one
        draw_main_on_screen(*part, state);
        ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        pixels[k].resize(320 * 180 * 4);
        glReadPixels(0, 0, 320, 180, GL_RGBA, GL_UNSIGNED_BYTE, pixels[k].data());
    }
    EXPECT_GT(std::count_if(pixels[0].begin(), pixels[0].end(), [](unsigned char c) { return c > 0; }), 1000);
    EXPECT_TRUE(pixels[0] == pixels[1]);
}
