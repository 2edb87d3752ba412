// Numbered GLSL program slots read from text files. Thin on purpose: no uniform-location
// cache, nothing deleted. Programs are built by build_program_from_files
// (render/program_build.h), which prints each file's path and the driver's logs on
// stdout, the developer console. Slot numbers are 0..shader_bank_slots-1; the bank does
// not check them.
#pragma once
#include "render/program_build.h"

#include <cstdint>
#include <optional>
#include <string>

inline constexpr int shader_bank_slots = 10128;

struct shader_bank {
    shader_bank() = default;
    shader_bank(const shader_bank&) = delete;
    shader_bank& operator=(const shader_bank&) = delete;

    uint32_t fragment_shaders[shader_bank_slots] = {};
    uint32_t vertex_shaders[shader_bank_slots] = {};
    uint32_t programs[shader_bank_slots] = {};

    // The file byte for byte (binary, no line-end translation). A missing file prints
    // "Cannot open shader source file." and gives no text. Needs no GL.
    static std::optional<std::string> read_shader_source(const std::string& path);

    // Vertex, fragment, link, each shader and the program stored in the slot; the
    // current program is left as it was. A missing file still yields a (failing) shader
    // so the slot is never left stale. False when the program did not link. `captured`
    // names a vertex output that transform feedback may record ("" for none).
    bool build_program(const std::string& vertex_path, const std::string& fragment_path, int slot,
                       const char* captured = "", path_lines paths = path_lines::always);
    // A fragment-only program (fixed-function vertex stage); leaves it current.
    bool build_fragment_program(const std::string& fragment_path, int slot);

    void use_program(int slot) const;
    static void unuse_program();
    // These act on the current program: use_program(slot) first.
    void set_uniform_1f(int slot, const char* name, float x) const;
    void set_uniform_3f(int slot, const char* name, float x, float y, float z) const;
    // Binds texture to target on unit and points the sampler at it. The active unit
    // stays at unit afterwards.
    void set_sampler(uint32_t target, int slot, int unit, const char* name, uint32_t texture) const;
};
