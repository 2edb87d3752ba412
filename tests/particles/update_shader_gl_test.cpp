// The shipped update programs, run for real on small populations: what each control
// does to the motion is what the choreography relies on.
#include "particles/emitter_cloud.h"
#include "particles/particle_system.h"
#include "tests/particles/particle_gl_helpers.h"
#include "tests/support/gl_test_context.h"

#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cmath>
#include <limits>

namespace {

using state_t = std::vector<std::array<float, 4>>;

GLuint constant_volume(float vx, float vy, float vz)
{
    std::vector<float> texels(4 * 4 * 4 * 3);
    for (std::size_t i = 0; i < texels.size(); i += 3) {
        texels[i] = vx;
        texels[i + 1] = vy;
        texels[i + 2] = vz;
    }
    GLuint t = 0;
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_3D, t);
    glTexImage3D(GL_TEXTURE_3D, 0, GL_RGB16F, 4, 4, 4, 0, GL_RGB, GL_FLOAT, texels.data());
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_3D, 0);
    return t;
}

GLuint constant_spectrum(float level)
{
    std::vector<float> bins(512, level);
    GLuint t = 0;
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_1D, t);
    glTexImage1D(GL_TEXTURE_1D, 0, GL_R32F, 512, 0, GL_RED, GL_FLOAT, bins.data());
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_1D, 0);
    return t;
}

// Target of texel t: exactly representable in half floats.
vec3 target(int t) { return make_vec3(0.25f * (t % 8), 0.5f * (t / 8) - 1.0f, -0.125f * t); }

class UpdateShader : public testing::Test {
protected:
    void SetUp() override
    {
        TW_REQUIRE_GL();
        cloud.allocate(8, 8);
        for (int t = 0; t < 64; ++t) {
            const vec3 p = target(t);
            cloud.positions[3 * t] = p.x;
            cloud.positions[3 * t + 1] = p.y;
            cloud.positions[3 * t + 2] = p.z;
        }
        const auto positions = cloud.positions;
        cloud.create(8, 8);
        cloud.positions = positions;
        cloud.upload();
        still = constant_volume(0, 0, 0);
        quiet = constant_spectrum(0);
    }

    particle_system make(const char* file, int columns, int rows)
    {
        particle_system s;
        s.configure(columns, rows, false);
        testing::internal::CaptureStdout();
        s.create(shipped_shader(file));
        log = testing::internal::GetCapturedStdout();
        s.volume = still;
        return s;
    }

    void step(particle_system& s, const update_uniforms& u, GLuint spectrum = 0, uint32_t vbo = 0)
    {
        s.bind_for_update(cloud.positions_texture, cloud.colours_texture, cloud.positions_texture);
        if (vbo) {
            glActiveTexture(GL_TEXTURE5);
            glBindTexture(GL_TEXTURE_BUFFER, vbo);
            glUniform1i(glGetUniformLocation(s.program, "TheVBO"), 5);
        }
        glActiveTexture(GL_TEXTURE4);
        glBindTexture(GL_TEXTURE_1D, spectrum ? spectrum : quiet);
        glActiveTexture(GL_TEXTURE0);
        set_update_uniforms(s.program, u);
        s.run_update();
    }

    // A main system whose particles sit at `offset` from their targets, alive.
    particle_system main_at_offset(vec3 offset, float life = 0.5f)
    {
        particle_system s = make("v_material1p.cpp", 8, 8);
        state_t start(64);
        for (int i = 0; i < 64; ++i)
            start[i] = {target(i).x + offset.x, target(i).y + offset.y, target(i).z + offset.z, life};
        put_state(s.source_buffer, start);
        return s;
    }

    emitter_cloud cloud;
    GLuint still = 0, quiet = 0;
    std::string log;
};

TEST_F(UpdateShader, AllThreeLinkWithFourCapturedParticlesAVertex)
{
    for (const char* file : {"v_material1p.cpp", "v_material1p_world.cpp", "v_material1p_splash.cpp"}) {
        SCOPED_TRACE(file);
        particle_system s = make(file, 2, 2);
        GLint linked = 0, varyings = 0;
        glGetProgramiv(s.program, GL_LINK_STATUS, &linked);
        glGetProgramiv(s.program, GL_TRANSFORM_FEEDBACK_VARYINGS, &varyings);
        EXPECT_TRUE(linked) << file << "\n" << log;
        EXPECT_EQ(varyings, 1) << file;
        GLsizei size = 0;
        GLenum type = 0;
        char name[32] = {};
        glGetTransformFeedbackVarying(s.program, 0, sizeof name, nullptr, &size, &type, name);
        EXPECT_STREQ(name, "vPosition") << file;
        EXPECT_EQ(size, particles_per_vertex) << file;
        EXPECT_EQ(type, static_cast<GLenum>(GL_FLOAT_VEC4)) << file;
        // Each control must survive compilation, or its curve would do nothing.
        for (const char* name : {"Self", "Sampler", "DSP", "time", "DeltaT", "PosX", "PosY", "Attract", "ThePS", "Attack",
                                 "ClockInterpolate", "Quantiser"})
            EXPECT_NE(glGetUniformLocation(s.program, name), -1) << file << " lost " << name;
    }
}

TEST_F(UpdateShader, ZeroOrGarbageStateIsBornOnItsOwnTargetTexel)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const std::array<float, 4> junk : {std::array<float, 4>{0, 0, 0, 0}, std::array<float, 4>{nan, 1, 2, 0.5f},
                                           std::array<float, 4>{1e9f, 0, 0, 0.5f}, std::array<float, 4>{0, 0, 0, 7}}) {
        particle_system s = make("v_material1p.cpp", 8, 8);
        put_state(s.source_buffer, state_t(64, junk));
        step(s, {});
        const state_t out = get_state(s.source_buffer, 64);
        for (int i = 0; i < 64; ++i) {
            ASSERT_FLOAT_EQ(out[i][0], target(i).x) << i;
            ASSERT_FLOAT_EQ(out[i][1], target(i).y) << i;
            ASSERT_FLOAT_EQ(out[i][2], target(i).z) << i;
            ASSERT_GT(out[i][3], 0.0f);
            ASSERT_LE(out[i][3], 1.0f);
        }
        // Lives are staggered so rebirths do not all fall on one frame.
        EXPECT_NE(out[0][3], out[1][3]);
    }
}

TEST_F(UpdateShader, AttackPullsTowardsTheTargetFrameRateIndependently)
{
    const vec3 off = make_vec3(1, 0, 0);
    const float ps60 = std::pow(0.000073f, 5.0f / 60.0f), ps30 = std::pow(0.000073f, 5.0f / 30.0f);

    particle_system s = main_at_offset(off);
    update_uniforms u;
    u.ThePS = ps60;
    step(s, u);
    step(s, u);
    const float two_at_60 = get_state(s.source_buffer, 64)[5][0] - target(5).x;
    EXPECT_NEAR(two_at_60, std::pow(ps60, 0.1f), 1e-4f);
    EXPECT_LT(two_at_60, 1.0f);

    particle_system t = main_at_offset(off);
    u.ThePS = ps30;
    u.DeltaT = 2.0f / 3.0f;
    step(t, u);
    EXPECT_NEAR(get_state(t.source_buffer, 64)[5][0] - target(5).x, two_at_60, 1e-4f);

    // No attack: the particle stays put; negative attack pushes it away.
    particle_system r = main_at_offset(off);
    u.Attack = 0;
    step(r, u);
    EXPECT_NEAR(get_state(r.source_buffer, 64)[5][0] - target(5).x, 1.0f, 1e-6f);
    u.Attack = -15;
    step(r, u);
    EXPECT_GT(get_state(r.source_buffer, 64)[5][0] - target(5).x, 1.5f);
}

TEST_F(UpdateShader, QuantiserSnapsTargetsToItsGridAndRotationMatrixScalesThem)
{
    particle_system s = make("v_material1p.cpp", 8, 8);
    put_state(s.source_buffer, state_t(64, {0, 0, 0, 0}));
    update_uniforms u;
    u.Quantiser = 1;
    step(s, u);
    state_t out = get_state(s.source_buffer, 64);
    EXPECT_FLOAT_EQ(out[3][0], 1.0f);    // 0.75 snaps to 1
    EXPECT_FLOAT_EQ(out[9][0], 0.0f);    // 0.25 snaps to 0
    EXPECT_FLOAT_EQ(out[9][1], 0.0f);    // -0.5 rounds up to 0
    EXPECT_FLOAT_EQ(out[9][2], -1.0f);   // -1.125 snaps to -1

    particle_system r = make("v_material1p.cpp", 8, 8);
    put_state(r.source_buffer, state_t(64, {0, 0, 0, 0}));
    u.Quantiser = 1000;
    u.rotation_scale = 0.5f;
    step(r, u);
    out = get_state(r.source_buffer, 64);
    EXPECT_NEAR(out[3][0], 0.375f, 1e-3f);
    EXPECT_NEAR(out[9][2], -0.5625f, 1e-3f);
}

TEST_F(UpdateShader, FlowCarriesParticlesByPosXAndByTheSpectrum)
{
    const GLuint wind = constant_volume(1, 0, 0);
    particle_system s = main_at_offset(make_vec3(0, 0, 0));
    s.volume = wind;
    update_uniforms u;
    u.Attack = 0;
    u.PosX = 2;
    step(s, u);
    EXPECT_NEAR(get_state(s.source_buffer, 64)[7][0] - target(7).x, 2 * 0.05f / 3, 1e-5f);
    u.PosX = -2;
    step(s, u);
    EXPECT_NEAR(get_state(s.source_buffer, 64)[7][0] - target(7).x, 0.0f, 1e-5f);

    // No flow strength, but a loud spectrum still moves them along the flow.
    u.PosX = 0;
    step(s, u, constant_spectrum(1));
    EXPECT_NEAR(get_state(s.source_buffer, 64)[7][0] - target(7).x, 0.5f * 0.05f / 3, 1e-5f);
}

TEST_F(UpdateShader, AttractGathersTowardsTheOrigin)
{
    particle_system s = main_at_offset(make_vec3(0, 0, 0));
    update_uniforms u;
    u.Attack = 0;
    u.Attract = 11;
    step(s, u);
    const state_t out = get_state(s.source_buffer, 64);
    EXPECT_NEAR(out[7][0], target(7).x * std::pow(0.452f, 0.22f), 1e-4f);
    EXPECT_LT(std::abs(out[63][2]), std::abs(target(63).z));
}

TEST_F(UpdateShader, NegativeClockInterpolateAgesParticlesUntilTheyAreReborn)
{
    particle_system s = main_at_offset(make_vec3(0.5f, 0, 0), 0.05f);
    update_uniforms u;
    u.Attack = 0;
    u.ClockInterpolate = -0.3f;  // 0.01 of life per step at DeltaT 1/3
    step(s, u);
    state_t out = get_state(s.source_buffer, 64);
    EXPECT_NEAR(out[2][3], 0.04f, 1e-6f);
    EXPECT_FLOAT_EQ(out[2][0], target(2).x + 0.5f);
    for (int k = 0; k < 4; ++k) step(s, u);
    out = get_state(s.source_buffer, 64);
    EXPECT_FLOAT_EQ(out[2][0], target(2).x);  // reborn on the outline with a full life
    EXPECT_FLOAT_EQ(out[2][3], 1.0f);

    u.ClockInterpolate = 0.5f;  // positive: immortal
    step(s, u);
    EXPECT_FLOAT_EQ(get_state(s.source_buffer, 64)[2][3], 1.0f);
}

TEST_F(UpdateShader, SplashIsBornOnTheMainParticlesItIsPointedAt)
{
    particle_system parents = make("v_material1p.cpp", 8, 8);
    state_t main_state(64);
    for (int i = 0; i < 64; ++i) main_state[i] = {0.25f * i, 0.5f, -2.0f, 1.0f};
    put_state(parents.source_buffer, main_state);

    particle_system splash = make("v_material1p_splash.cpp", 6, 6);
    put_state(splash.source_buffer, state_t(36, {0, 0, 0, 0}));
    step(splash, {}, 0, parents.source_view);
    const state_t out = get_state(splash.source_buffer, 36);
    for (int i = 0; i < 36; ++i) {
        ASSERT_FLOAT_EQ(out[i][0], 0.25f * (i * 25 / 9 % 64)) << i;
        ASSERT_FLOAT_EQ(out[i][1], 0.5f);
        ASSERT_GT(out[i][3], 0.0f);
    }
}

TEST_F(UpdateShader, WorldSpreadsItsFewParticlesOverTheWholeGrid)
{
    particle_system s = make("v_material1p_world.cpp", 4, 4);
    put_state(s.source_buffer, state_t(16, {0, 0, 0, 0}));
    step(s, {});
    const state_t out = get_state(s.source_buffer, 16);
    // 64 texels over 16 particles: every fourth texel.
    for (int i = 0; i < 16; ++i) ASSERT_FLOAT_EQ(out[i][2], target(4 * i).z) << i;
}

TEST_F(UpdateShader, PassRunsEvenWhenTheCallerNeverPointsDspAtItsUnit)
{
    // Left at its default, DSP would share unit 0 with the 3D volume and every draw would fail.
    particle_system s = make("v_material1p.cpp", 8, 8);
    put_state(s.source_buffer, state_t(64, {0, 0, 0, 0}));
    glGetError();
    s.bind_for_update(cloud.positions_texture, cloud.colours_texture, cloud.positions_texture);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glUniformMatrix4fv(glGetUniformLocation(s.program, "RotationMatrix"), 1, GL_FALSE, identity);
    s.run_update();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_FLOAT_EQ(get_state(s.source_buffer, 64)[9][0], target(9).x);
}

TEST_F(UpdateShader, AtShowSizeEveryParticleFindsItsOwnTexelAndSplashItsParent)
{
    emitter_cloud grid;
    grid.allocate(500, 500);
    for (int t = 0; t < 250000; ++t) {
        grid.positions[3 * t] = float(t % 500) / 32.0f;  // exact in half floats
        grid.positions[3 * t + 1] = float(t / 500) / 32.0f;
    }
    const auto positions = grid.positions;
    grid.create(500, 500);
    grid.positions = positions;
    grid.upload();

    particle_system s = make("v_material1p.cpp", 500, 500);
    put_state(s.source_buffer, state_t(250000, {0, 0, 0, 0}));
    update_uniforms u;
    u.Quantiser = 0;
    s.bind_for_update(grid.positions_texture, grid.colours_texture, grid.positions_texture);
    glActiveTexture(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_1D, quiet);
    glActiveTexture(GL_TEXTURE0);
    set_update_uniforms(s.program, u);
    s.run_update();
    const state_t out = get_state(s.source_buffer, 250000);
    for (int i = 0; i < 250000; ++i) {
        ASSERT_EQ(out[i][0], float(i % 500) / 32.0f) << i;
        ASSERT_EQ(out[i][1], float(i / 500) / 32.0f) << i;
    }

    particle_system splash = make("v_material1p_splash.cpp", 300, 300);
    put_state(splash.source_buffer, state_t(90000, {0, 0, 0, 0}));
    step(splash, u, 0, s.source_view);
    const state_t spray = get_state(splash.source_buffer, 90000);
    for (int i = 0; i < 90000; ++i) {
        const int j = i * 25 / 9;
        ASSERT_EQ(spray[i][0], float(j % 500) / 32.0f) << i;
        ASSERT_EQ(spray[i][1], float(j / 500) / 32.0f) << i;
    }
}

}  // namespace
