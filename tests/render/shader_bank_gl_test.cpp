#include "render/render_engine.h"
#include "render/screen.h"
#include "render/shader_bank.h"
#include "tests/render/gl_helpers.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/scratch_folder.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace {

const char* const vertex_source =
    "#version 120\n"
    "void main() { gl_Position = ftransform(); gl_TexCoord[0] = gl_MultiTexCoord0; }\n";
const char* const fragment_source =
    "#version 120\n"
    "uniform float Limit;\n"
    "uniform vec3 tint;\n"
    "uniform sampler2D texture2d_1;\n"
    "void main() { gl_FragColor = vec4(tint * Limit, 1.0) + texture2D(texture2d_1, gl_TexCoord[0].st); }\r\n";

std::string write_shader(const std::string& name, const std::string& text)
{
    const auto path = scratch_folder() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

std::string shader_log(GLuint shader)
{
    char log[1000] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    return log;
}

GLint program_value(GLuint program, GLenum what)
{
    GLint v = -1;
    glGetProgramiv(program, what, &v);
    return v;
}

GLint current_program()
{
    GLint p = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &p);
    return p;
}

class ShaderBank : public testing::Test {
protected:
    void SetUp() override
    {
        TW_REQUIRE_GL();
        vertex_path = write_shader("v_test.cpp", vertex_source);
        fragment_path = write_shader("f_test.cpp", fragment_source);
        glUseProgram(0);
    }
    std::unique_ptr<shader_bank> bank = std::make_unique<shader_bank>();
    std::string vertex_path, fragment_path;
};

}  // namespace

TEST_F(ShaderBank, BuildPrintsEachPathBeforeItsLogAndLinks)
{
    testing::internal::CaptureStdout();
    EXPECT_TRUE(bank->build_program(vertex_path, fragment_path, 10127));
    const std::string out = testing::internal::GetCapturedStdout();

    const std::string expected = vertex_path + "\n" + shader_log(bank->vertex_shaders[10127]) + "\n" +
                                 fragment_path + "\n" + shader_log(bank->fragment_shaders[10127]) + "\n";
    EXPECT_EQ(out, expected);
    EXPECT_EQ(program_value(bank->programs[10127], GL_LINK_STATUS), GL_TRUE);
    EXPECT_EQ(program_value(bank->programs[10127], GL_ATTACHED_SHADERS), 2);
    EXPECT_EQ(current_program(), 0);  // build_program leaves the current program alone
}

TEST_F(ShaderBank, MissingFileSaysSoAndTheProgramFailsToLink)
{
    testing::internal::CaptureStdout();
    EXPECT_FALSE(bank->build_program(vertex_path, "no/such/f_missing.cpp", 0));
    const std::string out = testing::internal::GetCapturedStdout();

    ASSERT_NE(bank->fragment_shaders[0], 0u);  // created and stored all the same
    GLint compiled = -1;
    glGetShaderiv(bank->fragment_shaders[0], GL_COMPILE_STATUS, &compiled);
    EXPECT_EQ(compiled, GL_FALSE);
    EXPECT_EQ(program_value(bank->programs[0], GL_LINK_STATUS), GL_FALSE);
    // Then the link failure, named, with the driver's reason.
    const std::string middle = "Cannot open shader source file.\nno/such/f_missing.cpp\n" +
                               shader_log(bank->fragment_shaders[0]) + "\nCannot link program. " + vertex_path +
                               ", no/such/f_missing.cpp\n";
    EXPECT_NE(out.find(middle), std::string::npos) << out;
    EXPECT_EQ(out.rfind(vertex_path + "\n", 0), 0u);
}

TEST_F(ShaderBank, FragmentProgramIsLeftCurrentAndDrawsThroughFixedFunctionVertices)
{
    testing::internal::CaptureStdout();
    bank->build_fragment_program(fragment_path, 3);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, fragment_path + "\n" + shader_log(bank->fragment_shaders[3]) + "\n");
    EXPECT_EQ(current_program(), GLint(bank->programs[3]));
    EXPECT_EQ(program_value(bank->programs[3], GL_LINK_STATUS), GL_TRUE);
    EXPECT_EQ(program_value(bank->programs[3], GL_ATTACHED_SHADERS), 1);

    // Draw the full-screen quad with it: uniforms and sampler decide the colour.
    auto engine = std::make_unique<render_engine>();
    engine->create_framebuffer_set(0, 16, 16, 0);
    engine->select_draw_buffers(0, 1);
    glViewport(0, 0, 16, 16);
    GLuint black = 0;
    const uint8_t texel[4] = {0, 0, 0, 0};
    glGenTextures(1, &black);
    glBindTexture(GL_TEXTURE_2D, black);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    bank->set_uniform_1f(3, "Limit", 0.5f);
    bank->set_uniform_3f(3, "tint", 0, 2, 0);
    bank->set_sampler(GL_TEXTURE_2D, 3, 0, "texture2d_1", black);
    bank->set_uniform_1f(3, "not_in_the_shader", 1.0f);  // ignored by the GL
    load_identity_matrices();
    glDisable(GL_DEPTH_TEST);
    draw_sprite_quad(0.0, 1.0, 1.0, false, 1.0f);
    shader_bank::unuse_program();
    EXPECT_EQ(current_program(), 0);

    uint8_t px[4] = {};
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(8, 8, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[1], 255);
    EXPECT_EQ(px[2], 0);
}

TEST_F(ShaderBank, SamplerLeavesTheActiveUnitAtTheUnitPassed)
{
    testing::internal::CaptureStdout();
    bank->build_program(vertex_path, fragment_path, 1);
    testing::internal::GetCapturedStdout();
    bank->use_program(1);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    bank->set_sampler(GL_TEXTURE_2D, 1, 3, "texture2d_1", texture);

    GLint active = 0, bound = 0, unit = -1;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetUniformiv(bank->programs[1], glGetUniformLocation(bank->programs[1], "texture2d_1"), &unit);
    EXPECT_EQ(active, GL_TEXTURE3);
    EXPECT_EQ(GLuint(bound), texture);
    EXPECT_EQ(unit, 3);

    bank->set_uniform_3f(1, "tint", 1, 2, 3);
    float tint[3] = {};
    glGetUniformfv(bank->programs[1], glGetUniformLocation(bank->programs[1], "tint"), tint);
    EXPECT_EQ(tint[2], 3.0f);
    glActiveTexture(GL_TEXTURE0);
    shader_bank::unuse_program();
}

TEST_F(ShaderBank, RebuildingASlotReplacesItsObjects)
{
    testing::internal::CaptureStdout();
    bank->build_fragment_program(fragment_path, 3);
    const GLuint first_program = bank->programs[3], first_shader = bank->fragment_shaders[3];
    bank->build_fragment_program(fragment_path, 3);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(bank->programs[3], first_program);
    EXPECT_NE(bank->fragment_shaders[3], first_shader);
    EXPECT_TRUE(glIsProgram(first_program));  // left allocated, never deleted
    EXPECT_EQ(current_program(), GLint(bank->programs[3]));
    shader_bank::unuse_program();
}
