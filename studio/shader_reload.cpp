#include "studio/shader_reload.h"

#include <GL/glew.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "render/program_build.h"
#include "render/shader_bank.h"

static std::string normal(const std::string& p) { return std::filesystem::path(p).lexically_normal().string(); }

std::vector<program_source> programs_using(const std::vector<program_source>& programs, const std::string& path)
{
    const std::string want = normal(path);
    std::vector<program_source> out;
    for (const program_source& p : programs)
        if ((!p.vertex.empty() && normal(p.vertex) == want) || normal(p.fragment) == want) out.push_back(p);
    return out;
}

std::string located_log(const std::string& path, const std::string& log)
{
    static const std::regex mesa(R"(^\d+:(\d+)\((\d+)\): (.*)$)");
    static const std::regex paren(R"(^\d+\((\d+)\) ?: (.*)$)");
    std::istringstream in(log);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) continue;
        std::smatch m;
        if (std::regex_match(line, m, mesa)) line = path + ":" + m[1].str() + ":" + m[2].str() + ": " + m[3].str();
        else if (std::regex_match(line, m, paren)) line = path + ":" + m[1].str() + ": " + m[2].str();
        out += line + "\n";
    }
    return out;
}

namespace {

std::string shader_log(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(size_t(length > 1 ? length : 1), '\0');
    glGetShaderInfoLog(shader, GLsizei(log.size()), nullptr, log.data());
    return log.c_str();
}

std::string program_log(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(size_t(length > 1 ? length : 1), '\0');
    glGetProgramInfoLog(program, GLsizei(log.size()), nullptr, log.data());
    return log.c_str();
}

bool compiled(GLuint shader)
{
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    return ok == GL_TRUE;
}

// What failed, located: each stage that did not compile (or could not be read), else the link.
std::string failure_message(const built_program& built, const std::vector<shader_file>& files, const program_source& p)
{
    std::string message;
    for (size_t i = 0; i < files.size(); ++i) {
        if (compiled(built.shaders[i])) continue;
        const std::string& path = files[i].path;
        if (!std::ifstream(path)) {
            message += path + ": cannot be read\n";
            continue;
        }
        message += located_log(path, shader_log(built.shaders[i]));
        if (message.empty() || message.back() != '\n') message += path + ": does not compile\n";
    }
    if (!message.empty()) return message;
    return "cannot link " + (p.vertex.empty() ? "" : p.vertex + " + ") + p.fragment + ":\n" +
           located_log(p.fragment, program_log(built.program));
}

}  // namespace

rebuild_result rebuild_program(shader_bank& bank, const program_source& p)
{
    // The bank's own order, so a reloaded program is built as the first one was.
    std::vector<shader_file> files;
    if (!p.vertex.empty()) files.push_back({GL_VERTEX_SHADER, p.vertex});
    files.push_back({GL_FRAGMENT_SHADER, p.fragment});
    std::vector<const char*> outputs;
    if (!p.captured.empty()) outputs.push_back(p.captured.c_str());
    const built_program built = build_program_from_files(files, outputs, path_lines::none);
    rebuild_result r;
    if (!built.ok()) {
        r.message = failure_message(built, files, p);
        glDeleteProgram(built.program);
        for (const GLuint shader : built.shaders) glDeleteShader(shader);
        return r;
    }
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    const GLuint old = bank.programs[p.slot];
    bank.programs[p.slot] = built.program;
    bank.fragment_shaders[p.slot] = built.shaders.back();
    if (!p.vertex.empty()) bank.vertex_shaders[p.slot] = built.shaders.front();
    if (GLuint(current) == old) glUseProgram(built.program);
    // The old program goes only now; its shaders may be shared, so they stay with the driver.
    if (old) glDeleteProgram(old);
    r.ok = true;
    return r;
}
