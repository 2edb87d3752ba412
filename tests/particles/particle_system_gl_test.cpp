#include "particles/emitter_cloud.h"
#include "particles/particle_system.h"
#include "tests/particles/particle_gl_helpers.h"
#include "tests/support/gl_test_context.h"

#include <gtest/gtest.h>

#include <GL/glew.h>

#include <cmath>

namespace {

const char* add_one_to_x =
    "#version 330 compatibility\n"
    "uniform samplerBuffer Self;\n"
    "out vec4 vPosition[4];\n"
    "void main() {\n"
    "    for (int k = 0; k < 4; ++k) vPosition[k] = texelFetch(Self, 4 * gl_VertexID + k) + vec4(1, 0, 0, 0);\n"
    "}\n";

particle_system made_system(int columns, int rows, bool readback)
{
    particle_system s;
    s.configure(columns, rows, readback);
    testing::internal::CaptureStdout();  // the shader log line
    const bool linked = s.create(write_temp_shader("tw_add_one.glsl", add_one_to_x));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(linked) << out;
    return s;
}

void update(particle_system& s)
{
    s.bind_for_update(0, 0, 0);
    s.run_update();
}

GLint buffer_size(uint32_t buffer)
{
    GLint size = 0;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return size;
}

GLint view_buffer(uint32_t view)
{
    GLint buffer = 0;
    glBindTexture(GL_TEXTURE_BUFFER, view);
    glGetTexLevelParameteriv(GL_TEXTURE_BUFFER, 0, GL_TEXTURE_BUFFER_DATA_STORE_BINDING, &buffer);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
    return buffer;
}

}  // namespace

TEST(ParticleSystemGl, TwentyByTwentyHas400ParticlesIn6400ByteBuffersWithMatchingViews)
{
    TW_REQUIRE_GL();
    particle_system s = made_system(20, 20, false);
    EXPECT_EQ(s.count(), 400);
    EXPECT_EQ(buffer_size(s.source_buffer), 6400);
    EXPECT_EQ(buffer_size(s.destination_buffer), 6400);
    EXPECT_NE(s.source_buffer, s.destination_buffer);
    EXPECT_EQ(view_buffer(s.source_view), static_cast<GLint>(s.source_buffer));
    EXPECT_EQ(view_buffer(s.destination_view), static_cast<GLint>(s.destination_buffer));
    GLint format = 0;
    glBindTexture(GL_TEXTURE_BUFFER, s.source_view);
    glGetTexLevelParameteriv(GL_TEXTURE_BUFFER, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
    EXPECT_EQ(format, GL_RGBA32F);
    GLint linked = 0;
    glGetProgramiv(s.program, GL_LINK_STATUS, &linked);
    EXPECT_TRUE(linked);
}

TEST(ParticleSystemGl, UpdateWritesEveryParticleAndSwapsBuffersWithTheirViews)
{
    TW_REQUIRE_GL();
    particle_system s = made_system(20, 20, false);
    std::vector<std::array<float, 4>> start(400);
    for (int i = 0; i < 400; ++i) start[i] = {0.0f, float(i), 0.0f, 1.0f};
    put_state(s.source_buffer, start);
    const uint32_t first_source = s.source_buffer, first_destination = s.destination_buffer;
    const uint32_t first_source_view = s.source_view;

    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, query);
    update(s);
    glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
    GLuint written = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &written);
    EXPECT_EQ(written, 100u);  // four particles a vertex

    // After one update the newest state is in the source buffer, seen through the source view.
    EXPECT_EQ(s.source_buffer, first_destination);
    EXPECT_EQ(view_buffer(s.source_view), static_cast<GLint>(s.source_buffer));
    auto state = get_state(s.source_buffer, 400);
    for (int i = 0; i < 400; ++i) {
        ASSERT_EQ(state[i][0], 1.0f) << i;
        ASSERT_EQ(state[i][1], float(i)) << i;
    }

    update(s);
    EXPECT_EQ(s.source_buffer, first_source);
    EXPECT_EQ(s.destination_buffer, first_destination);
    EXPECT_EQ(s.source_view, first_source_view);
    state = get_state(s.source_buffer, 400);
    EXPECT_EQ(state[0][0], 2.0f);
    EXPECT_EQ(state[399][0], 2.0f);

    // The pass leaves no state behind that would spoil drawing.
    EXPECT_FALSE(glIsEnabled(GL_RASTERIZER_DISCARD));
    GLint array_buffer = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &array_buffer);
    EXPECT_EQ(array_buffer, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ParticleSystemGl, ReadbackFollowsParticleZeroOnlyWhileSwitchedOn)
{
    TW_REQUIRE_GL();
    particle_system s = made_system(4, 4, true);
    put_state(s.source_buffer, std::vector<std::array<float, 4>>(16, {0.5f, 2.0f, 3.0f, 1.0f}));
    EXPECT_EQ(s.lead_particle.state, vec_unset);
    update(s);  // reads (0.5, 2, 3), writes x = 1.5
    EXPECT_EQ(s.lead_particle.state, vec_set);
    EXPECT_EQ(s.lead_particle.x, 0.5f);
    EXPECT_EQ(s.lead_particle.z, 3.0f);
    update(s);  // reads the state just written
    EXPECT_EQ(s.lead_particle.x, 1.5f);

    s.readback = false;
    update(s);
    update(s);
    EXPECT_EQ(s.lead_particle.x, 1.5f);  // kept its last value
    s.readback = true;
    update(s);
    EXPECT_EQ(s.lead_particle.x, 4.5f);
}

TEST(ParticleSystemGl, MissingShaderStillGivesAProgramAndSaysSo)
{
    TW_REQUIRE_GL();
    particle_system s;
    s.configure(2, 2, false);
    testing::internal::CaptureStdout();
    const bool linked = s.create("/nonexistent/v_material1p.cpp");
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Cannot open shader source file.\n/nonexistent/v_material1p.cpp\n", 0), 0u) << out;
    EXPECT_NE(out.find("Cannot link program. /nonexistent/v_material1p.cpp\n"), std::string::npos) << out;
    EXPECT_FALSE(linked);
    EXPECT_FALSE(s.program_linked);
    EXPECT_NE(s.program, 0u);
    update(s);  // runs with whatever the driver made of it, without crashing
    glGetError();
}

TEST(ParticleSystemGl, APopulationThatIsNotAMultipleOfFourIsRefusedAndSaysSo)
{
    TW_REQUIRE_GL();
    particle_system s;
    s.configure(3, 3, false);
    testing::internal::CaptureStdout();
    const bool made = s.create(write_temp_shader("tw_add_one.glsl", add_one_to_x));
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(made);
    EXPECT_NE(out.find("9 particles are not a multiple of 4"), std::string::npos) << out;
    update(s);  // updates the first eight, without crashing
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ParticleSystemGl, MissingVelocityFileGivesAZeroVolumeOfTheFullSize)
{
    TW_REQUIRE_GL();
    particle_system s;
    s.configure(2, 2, false);
    testing::internal::CaptureStdout();
    s.load_velocity_volume("/nonexistent/Velocity.dat");
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("read 0 of 50331648 bytes"), std::string::npos) << out;
    ASSERT_NE(s.volume, 0u);
    GLint w = 0, h = 0, d = 0, wrap = 0;
    glBindTexture(GL_TEXTURE_3D, s.volume);
    glGetTexLevelParameteriv(GL_TEXTURE_3D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_3D, 0, GL_TEXTURE_HEIGHT, &h);
    glGetTexLevelParameteriv(GL_TEXTURE_3D, 0, GL_TEXTURE_DEPTH, &d);
    glGetTexParameteriv(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, &wrap);
    std::vector<float> corner(3 * 128 * 256 * 128, 1.0f);
    glGetTexImage(GL_TEXTURE_3D, 0, GL_RGB, GL_FLOAT, corner.data());
    glBindTexture(GL_TEXTURE_3D, 0);
    EXPECT_EQ(w, 128);
    EXPECT_EQ(h, 256);
    EXPECT_EQ(d, 128);
    EXPECT_EQ(wrap, GL_REPEAT);
    EXPECT_EQ(corner.front(), 0.0f);
    EXPECT_EQ(corner.back(), 0.0f);
}

TEST(EmitterCloudGl, UploadMirrorsBothArraysAndLeavesTheColoursBound)
{
    TW_REQUIRE_GL();
    emitter_cloud c;
    c.create(4, 2);
    GLint filter = 0, format = 0;
    glBindTexture(GL_TEXTURE_2D, c.positions_texture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(filter, GL_NEAREST);
    EXPECT_EQ(format, GL_RGB16F);

    int cursor = 6;
    c.sample_segment(make_vec3(0.5f, -2, 3), make_vec3(1, -2, 3), cursor, 2, make_vec3(0.25f, 0.5f, 1));
    c.upload();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(c.colours_texture));

    std::vector<float> back(8 * 3, -1.0f);
    glBindTexture(GL_TEXTURE_2D, c.positions_texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, back.data());
    EXPECT_EQ(back[3 * 6], 0.5f);
    EXPECT_EQ(back[3 * 7], 0.75f);
    EXPECT_EQ(back[3 * 7 + 2], 3.0f);
    EXPECT_EQ(back[0], 0.0f);
    glBindTexture(GL_TEXTURE_2D, c.colours_texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, back.data());
    EXPECT_EQ(back[3 * 7 + 1], 0.5f);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST(EmitterCloudGl, ColoursAreResentOnlyWhenTheyChangeAndEveryChangeArrives)
{
    TW_REQUIRE_GL();
    emitter_cloud c;
    c.create(4, 2);
    std::vector<float> back(8 * 3, 1.0f);
    const auto read_colours = [&] {
        glBindTexture(GL_TEXTURE_2D, c.colours_texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_FLOAT, back.data());
    };

    glBindTexture(GL_TEXTURE_2D, 0);
    c.upload();  // nothing changed: not sent, but still left bound
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(c.colours_texture));

    int cursor = 1;
    c.sample_segment(make_vec3(0, 0, 0), make_vec3(1, 0, 0), cursor, 1, make_vec3(0.25f, 0.5f, 1));
    c.upload();
    read_colours();
    EXPECT_EQ(back[3 + 1], 0.5f);

    c.upload();
    read_colours();
    EXPECT_EQ(back[3 + 1], 0.5f);

    c.colours[0] = -0.0f;  // equal to 0 as a float, yet a different texel
    c.upload();
    read_colours();
    EXPECT_TRUE(std::signbit(back[0]));
    glBindTexture(GL_TEXTURE_2D, 0);
}
