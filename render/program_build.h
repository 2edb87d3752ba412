// The one place that turns GLSL files into a program: compile each file, declare the
// captured outputs (transform feedback), link, and say on stdout what went wrong. The
// shader bank and the particle systems both build through it. Needs a current GL context.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct shader_file {
    uint32_t kind = 0;  // GL_VERTEX_SHADER, GL_FRAGMENT_SHADER
    std::string path;
};

struct built_program {
    uint32_t program = 0;           // created even when a stage fails, never 0 with a context
    std::vector<uint32_t> shaders;  // one per file, in the order given
    bool linked = false;            // false: drawing with it does nothing useful

    bool ok() const { return linked; }
};

// none prints no path, compile log or link message: the caller reads the logs from the
// objects itself (the studio shows them in its overlay while the show keeps its console).
// failures prints only what failed: a failed compile's path and log, a failed link.
enum class path_lines { always, on_failure, failures, none };

// Compiles the files in order and attaches them in that order; names the outputs to
// capture, if any, before linking. After each compile the file's path (always, or only
// when the compile failed) and then the driver's compile log are printed. A program that
// fails to link prints "Cannot link program." with the file paths, then the link log.
// A missing file prints "Cannot open shader source file." and compiles as empty text,
// so its stage fails and the log says so.
built_program build_program_from_files(const std::vector<shader_file>& files,
                                       const std::vector<const char*>& captured_outputs = {},
                                       path_lines paths = path_lines::always);

// At most 1000 characters of a shader's compile log, then a newline.
void print_compile_log(uint32_t shader);
