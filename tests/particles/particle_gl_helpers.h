// Helpers shared by the particle GL tests: shader files in a temporary folder, state
// upload/readback and the update uniforms with neutral defaults.
#pragma once
#include "particles/particle_system.h"
#include "tests/support/scratch_folder.h"

#include <GL/glew.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

inline std::string write_temp_shader(const char* name, const std::string& text)
{
    const auto path = scratch_folder() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

inline std::string shipped_shader(const char* file)
{
    return std::string(THORNWAKE_SOURCE_DATA_DIR) + "/Materials/" + file;
}

inline void put_state(uint32_t buffer, const std::vector<std::array<float, 4>>& state)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(state.size() * 16), state.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

inline std::vector<std::array<float, 4>> get_state(uint32_t buffer, int count)
{
    std::vector<std::array<float, 4>> state(static_cast<std::size_t>(count));
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count) * 16, state.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return state;
}

struct update_uniforms {
    float time = 0, DeltaT = 1.0f / 3.0f, PosX = 0, PosY = 0, Attract = 0;
    float ThePS = 0.452f, Attack = 1, ClockInterpolate = 0, Quantiser = 1000;
    float rotation_scale = 1;
};

// Set on the current program, the way the scene does after bind_for_update.
inline void set_update_uniforms(uint32_t program, const update_uniforms& u)
{
    auto set = [program](const char* name, float v) { glUniform1f(glGetUniformLocation(program, name), v); };
    glUniform1i(glGetUniformLocation(program, "DSP"), 4);
    set("time", u.time);
    set("DeltaT", u.DeltaT);
    set("PosX", u.PosX);
    set("PosY", u.PosY);
    set("Attract", u.Attract);
    set("ThePS", u.ThePS);
    set("Attack", u.Attack);
    set("ClockInterpolate", u.ClockInterpolate);
    set("Quantiser", u.Quantiser);
    float m[16] = {};
    m[0] = m[5] = m[10] = m[15] = u.rotation_scale;
    glUniformMatrix4fv(glGetUniformLocation(program, "RotationMatrix"), 1, GL_FALSE, m);
}
