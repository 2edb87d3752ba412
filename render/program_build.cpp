#include "render/program_build.h"

#include "render/shader_bank.h"

#include <GL/glew.h>

#include <cstdio>

static void print_line(const std::string& text)
{
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void print_compile_log(uint32_t shader)
{
    char log[1000] = {};
    GLsizei length = 0;
    glGetShaderInfoLog(shader, sizeof log, &length, log);
    print_line(log);
}

static std::string link_log(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, log.data());
    log.resize(log.find('\0') == std::string::npos ? log.size() : log.find('\0'));
    return log;
}

// A missing file still gets a shader object, compiled from an empty text, so the caller
// holds a fresh (failed) shader and the driver's log says why.
static GLuint compile_file(const shader_file& file, path_lines paths)
{
    const std::string text = shader_bank::read_shader_source(file.path).value_or(std::string());
    const GLuint shader = glCreateShader(file.kind);
    const char* source = text.c_str();  // zero-terminated: an embedded zero ends the source
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (paths == path_lines::none || (paths == path_lines::failures && compiled == GL_TRUE)) return shader;
    if (paths == path_lines::always || compiled != GL_TRUE) print_line(file.path);
    print_compile_log(shader);
    return shader;
}

built_program build_program_from_files(const std::vector<shader_file>& files,
                                       const std::vector<const char*>& captured_outputs, path_lines paths)
{
    built_program built;
    for (const shader_file& file : files) built.shaders.push_back(compile_file(file, paths));
    built.program = glCreateProgram();
    for (const GLuint shader : built.shaders) glAttachShader(built.program, shader);
    if (!captured_outputs.empty())
        glTransformFeedbackVaryings(built.program, static_cast<GLsizei>(captured_outputs.size()),
                                    captured_outputs.data(), GL_INTERLEAVED_ATTRIBS);
    glLinkProgram(built.program);
    GLint linked = GL_FALSE;
    glGetProgramiv(built.program, GL_LINK_STATUS, &linked);
    built.linked = linked == GL_TRUE;
    if (!built.linked && paths != path_lines::none) {
        std::string names;
        for (const shader_file& file : files) names += (names.empty() ? "" : ", ") + file.path;
        print_line("Cannot link program. " + names);
        print_line(link_log(built.program));
    }
    return built;
}
