#include "render/shader_bank.h"

#include <GL/glew.h>

#include <cstdio>
#include <fstream>
#include <iterator>

std::optional<std::string> shader_bank::read_shader_source(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fputs("Cannot open shader source file.\n", stdout);
        std::fflush(stdout);
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A missing file still gets a shader object, compiled from an empty text, so the slot
// holds a fresh (failed) shader and the driver's log says why.
static GLuint compile_shader(GLenum kind, const std::string& path)
{
    const std::string text = shader_bank::read_shader_source(path).value_or(std::string());
    const GLuint shader = glCreateShader(kind);
    const char* source = text.c_str();  // zero-terminated: an embedded zero ends the source
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

static void print_path(const std::string& path)
{
    std::fputs(path.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void shader_bank::compile_fragment_shader(const std::string& path, int slot)
{
    fragment_shaders[slot] = compile_shader(GL_FRAGMENT_SHADER, path);
    print_path(path);
    print_shader_log(slot, shader_kind::fragment);
}

void shader_bank::compile_vertex_shader(const std::string& path, int slot)
{
    vertex_shaders[slot] = compile_shader(GL_VERTEX_SHADER, path);
    print_path(path);
    print_shader_log(slot, shader_kind::vertex);
}

void shader_bank::link_program(int slot)
{
    programs[slot] = glCreateProgram();
    glAttachShader(programs[slot], fragment_shaders[slot]);
    glAttachShader(programs[slot], vertex_shaders[slot]);
    glLinkProgram(programs[slot]);
}

void shader_bank::build_program(const std::string& vertex_path, const std::string& fragment_path, int slot)
{
    compile_vertex_shader(vertex_path, slot);
    compile_fragment_shader(fragment_path, slot);
    link_program(slot);
}

void shader_bank::build_fragment_program(const std::string& fragment_path, int slot)
{
    compile_fragment_shader(fragment_path, slot);
    programs[slot] = glCreateProgram();
    glAttachShader(programs[slot], fragment_shaders[slot]);
    glLinkProgram(programs[slot]);
    use_program(slot);
}

void shader_bank::use_program(int slot) const
{
    glUseProgram(programs[slot]);
}

void shader_bank::unuse_program()
{
    glUseProgram(0);
}

void shader_bank::set_uniform_1f(int slot, const char* name, float x) const
{
    glUniform1f(glGetUniformLocation(programs[slot], name), x);
}

void shader_bank::set_uniform_3f(int slot, const char* name, float x, float y, float z) const
{
    glUniform3f(glGetUniformLocation(programs[slot], name), x, y, z);
}

void shader_bank::set_sampler(uint32_t target, int slot, int unit, const char* name, uint32_t texture) const
{
    const GLint location = glGetUniformLocation(programs[slot], name);
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(target, texture);
    glUniform1i(location, unit);
}

void shader_bank::print_shader_log(int slot, shader_kind kind) const
{
    const GLuint shader = kind == shader_kind::fragment ? fragment_shaders[slot] : vertex_shaders[slot];
    char log[1000] = {};
    GLsizei length = 0;
    glGetShaderInfoLog(shader, sizeof log, &length, log);
    std::fputs(log, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
