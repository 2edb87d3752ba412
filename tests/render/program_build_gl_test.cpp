#include "render/program_build.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/scratch_folder.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

const char* const good_vertex = "#version 120\n"
                                "void main() { gl_Position = ftransform(); }\n";
const char* const good_fragment = "#version 120\n"
                                  "void main() { gl_FragColor = vec4(1.0); }\n";
const char* const broken_fragment = "#version 120\n"
                                    "void main() { gl_FragColor = vec4(1.0) }\n";  // missing semicolon
const char* const feedback_vertex = "#version 330 compatibility\n"
                                    "layout(location = 0) in vec4 State;\n"
                                    "out vec4 vPosition;\n"
                                    "void main() { vPosition = State; }\n";

std::string write_file(const std::string& name, const std::string& text)
{
    const auto path = scratch_folder() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

std::string compile_log(GLuint shader)
{
    char log[1000] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    return log;
}

std::string link_log(GLuint program)
{
    char log[4096] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    return log;
}

GLint program_value(GLuint program, GLenum what)
{
    GLint v = -1;
    glGetProgramiv(program, what, &v);
    return v;
}

built_program build_quietly(const std::vector<shader_file>& files, const std::vector<const char*>& outputs,
                            path_lines paths, std::string& out)
{
    testing::internal::CaptureStdout();
    built_program built = build_program_from_files(files, outputs, paths);
    out = testing::internal::GetCapturedStdout();
    return built;
}

}  // namespace

TEST(ProgramBuild, GoodFilesLinkAndPrintEachPathThenItsLog)
{
    TW_REQUIRE_GL();
    const std::string v = write_file("v_good.glsl", good_vertex), f = write_file("f_good.glsl", good_fragment);
    std::string out;
    const built_program built =
        build_quietly({{GL_VERTEX_SHADER, v}, {GL_FRAGMENT_SHADER, f}}, {}, path_lines::always, out);

    EXPECT_TRUE(built.ok());
    ASSERT_EQ(built.shaders.size(), 2u);
    EXPECT_EQ(program_value(built.program, GL_LINK_STATUS), GL_TRUE);
    EXPECT_EQ(program_value(built.program, GL_ATTACHED_SHADERS), 2);
    EXPECT_EQ(out, v + "\n" + compile_log(built.shaders[0]) + "\n" + f + "\n" + compile_log(built.shaders[1]) + "\n");
}

TEST(ProgramBuild, ACompileErrorNamesTheFileAndTheLinkFailureIsReported)
{
    TW_REQUIRE_GL();
    const std::string v = write_file("v_good.glsl", good_vertex), f = write_file("f_broken.glsl", broken_fragment);
    std::string out;
    const built_program built =
        build_quietly({{GL_VERTEX_SHADER, v}, {GL_FRAGMENT_SHADER, f}}, {}, path_lines::on_failure, out);

    EXPECT_FALSE(built.ok());
    EXPECT_NE(built.program, 0u);
    EXPECT_EQ(program_value(built.program, GL_LINK_STATUS), GL_FALSE);
    // The good stage prints only its log; the broken one its path first, then the log.
    const std::string expected = compile_log(built.shaders[0]) + "\n" + f + "\n" + compile_log(built.shaders[1]) +
                                 "\n" + "Cannot link program. " + v + ", " + f + "\n" + link_log(built.program) + "\n";
    EXPECT_EQ(out, expected);
    EXPECT_FALSE(compile_log(built.shaders[1]).empty());

    // none: the same failed program, the logs left on the objects, nothing printed.
    const built_program silent =
        build_quietly({{GL_VERTEX_SHADER, v}, {GL_FRAGMENT_SHADER, f}}, {}, path_lines::none, out);
    EXPECT_FALSE(silent.ok());
    EXPECT_EQ(out, "");
    EXPECT_EQ(compile_log(silent.shaders[1]), compile_log(built.shaders[1]));

    // failures: the good stage's log is left out too.
    const built_program failed =
        build_quietly({{GL_VERTEX_SHADER, v}, {GL_FRAGMENT_SHADER, f}}, {}, path_lines::failures, out);
    EXPECT_EQ(out, f + "\n" + compile_log(failed.shaders[1]) + "\n" + "Cannot link program. " + v + ", " + f + "\n" +
                       link_log(failed.program) + "\n");
}

TEST(ProgramBuild, AMissingFileSaysSoThenNamesItAndFails)
{
    TW_REQUIRE_GL();
    std::string out;
    const built_program built =
        build_quietly({{GL_VERTEX_SHADER, "no/such/v_missing.cpp"}}, {"vPosition"}, path_lines::on_failure, out);

    EXPECT_FALSE(built.ok());
    ASSERT_EQ(built.shaders.size(), 1u);
    const std::string head = "Cannot open shader source file.\nno/such/v_missing.cpp\n" +
                             compile_log(built.shaders[0]) + "\nCannot link program. no/such/v_missing.cpp\n";
    EXPECT_EQ(out.substr(0, head.size()), head);
}

TEST(ProgramBuild, CapturedOutputsAreDeclaredBeforeTheLink)
{
    TW_REQUIRE_GL();
    const std::string v = write_file("v_feedback.glsl", feedback_vertex);
    std::string out;
    const built_program built = build_quietly({{GL_VERTEX_SHADER, v}}, {"vPosition"}, path_lines::on_failure, out);

    ASSERT_TRUE(built.ok()) << out;
    EXPECT_EQ(program_value(built.program, GL_TRANSFORM_FEEDBACK_VARYINGS), 1);
    EXPECT_EQ(out, compile_log(built.shaders[0]) + "\n");  // no path line for a good compile

    const built_program quiet = build_quietly({{GL_VERTEX_SHADER, v}}, {"vPosition"}, path_lines::failures, out);
    EXPECT_TRUE(quiet.ok());
    EXPECT_EQ(out, "");
}

TEST(ProgramBuild, AnOutputTheShaderLacksFailsTheLinkWithTheDriversReason)
{
    TW_REQUIRE_GL();
    const std::string v = write_file("v_feedback.glsl", feedback_vertex);
    std::string out;
    const built_program built = build_quietly({{GL_VERTEX_SHADER, v}}, {"vNowhere"}, path_lines::on_failure, out);

    EXPECT_FALSE(built.ok());
    const std::string log = link_log(built.program);
    EXPECT_FALSE(log.empty());
    EXPECT_NE(out.find("Cannot link program. " + v + "\n" + log + "\n"), std::string::npos) << out;
}
