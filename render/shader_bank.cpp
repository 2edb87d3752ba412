#include "render/shader_bank.h"

#include "render/program_build.h"

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

bool shader_bank::build_program(const std::string& vertex_path, const std::string& fragment_path, int slot,
                                const char* captured, path_lines paths)
{
    std::vector<const char*> outputs;
    if (*captured) outputs.push_back(captured);
    const built_program built =
        build_program_from_files({{GL_VERTEX_SHADER, vertex_path}, {GL_FRAGMENT_SHADER, fragment_path}}, outputs, paths);
    vertex_shaders[slot] = built.shaders[0];
    fragment_shaders[slot] = built.shaders[1];
    programs[slot] = built.program;
    return built.ok();
}

bool shader_bank::build_fragment_program(const std::string& fragment_path, int slot)
{
    const built_program built = build_program_from_files({{GL_FRAGMENT_SHADER, fragment_path}});
    fragment_shaders[slot] = built.shaders[0];
    programs[slot] = built.program;
    use_program(slot);
    return built.ok();
}

void shader_bank::use_program(int slot) const { glUseProgram(programs[slot]); }

void shader_bank::unuse_program() { glUseProgram(0); }

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
