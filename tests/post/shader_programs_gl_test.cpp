// The drawing and post programs are data files: they must build on the GL we run on and
// keep every uniform the chain and the scenes set, or a pass silently draws nothing.
#include "render/shader_bank.h"
#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string data(const char* relative) { return std::string(THORNWAKE_SOURCE_DATA_DIR) + "/" + relative; }

bool linked(GLuint program)
{
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2000] = {};
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        ADD_FAILURE() << log;
    }
    return ok != 0;
}

void expect_uniforms(GLuint program, const std::vector<const char*>& names)
{
    for (const char* name : names) EXPECT_GE(glGetUniformLocation(program, name), 0) << name;
}

}  // namespace

TEST(ShaderPrograms, ParticleDrawingProgramsLinkWithTheirUniforms)
{
    TW_REQUIRE_GL();
    static shader_bank bank;
    bank.build_program(data("Materials/v_material1d.cpp"), data("Materials/f_material1.cpp"), 1);
    bank.build_program(data("Materials/v_material1d.cpp"), data("Materials/f_material1b.cpp"), 23);
    for (int slot : {1, 23}) {
        ASSERT_TRUE(linked(bank.programs[slot])) << slot;
        expect_uniforms(bank.programs[slot],
                        {"PosY", "PP", "time", "GlobalResolution", "RenderedRGB", "RenderedRGB2",
                         "takeover", "transform", "TheVBO", "TheMode", "Dsp", "DatX", "LineSegments"});
    }
    bank.build_program(data("Materials/v_material2d.cpp"), data("Materials/f_material2.cpp"), 22);
    EXPECT_TRUE(linked(bank.programs[22]));
}

TEST(ShaderPrograms, ChainPassesLinkOnTheFixedVertexStage)
{
    TW_REQUIRE_GL();
    static shader_bank bank;
    bank.build_fragment_program(data("PostProcessing/f_combineSSAO.cpp"), 3);
    ASSERT_TRUE(linked(bank.programs[3]));
    expect_uniforms(bank.programs[3], {"Limit", "texture2d_1", "texture2d_2", "texture2d_random",
                                       "texture2d_glow"});

    bank.build_fragment_program(data("PostProcessing/f_blurpass.cpp"), 4);
    ASSERT_TRUE(linked(bank.programs[4]));
    expect_uniforms(bank.programs[4], {"texture2d_1", "texture2d_velocities", "texture2d_random",
                                       "texture1d_dsp", "texture2d_bloom", "Limit", "time", "bass",
                                       "mids"});

    bank.build_fragment_program(data("PostProcessing/f_godrays.cpp"), 7);
    ASSERT_TRUE(linked(bank.programs[7]));
    expect_uniforms(bank.programs[7], {"texture2d_3", "time"});
    bank.build_fragment_program(data("PostProcessing/f_simpleblur.cpp"), 13);
    ASSERT_TRUE(linked(bank.programs[13]));
    expect_uniforms(bank.programs[13], {"texture2d_1", "texture2d_glow"});
    bank.build_fragment_program(data("PostProcessing/f_blurhighlights.cpp"), 6);
    ASSERT_TRUE(linked(bank.programs[6]));
    expect_uniforms(bank.programs[6], {"texture2d_1", "texture2d_2"});
    shader_bank::unuse_program();
}

TEST(ShaderPrograms, SpareProgramsBuildToo)
{
    TW_REQUIRE_GL();
    static shader_bank bank;
    bank.build_program(data("PostProcessing/v_velocities.cpp"),
                       data("PostProcessing/f_velocities.cpp"), 5);
    EXPECT_TRUE(linked(bank.programs[5]));
    shader_bank::unuse_program();
}
