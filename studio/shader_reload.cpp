#include "studio/shader_reload.h"

#include <GL/glew.h>

#include <filesystem>
#include <regex>
#include <sstream>

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

// 0 with the message filled when the file cannot be read or does not compile.
GLuint compile(GLenum kind, const std::string& path, std::string& message)
{
    const std::optional<std::string> text = shader_bank::read_shader_source(path);
    if (!text) {
        message += path + ": cannot be read\n";
        return 0;
    }
    const GLuint shader = glCreateShader(kind);
    const char* source = text->c_str();
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    message += located_log(path, shader_log(shader));
    if (message.empty() || message.back() != '\n') message += path + ": does not compile\n";
    glDeleteShader(shader);
    return 0;
}

}  // namespace

rebuild_result rebuild_program(shader_bank& bank, const program_source& p)
{
    rebuild_result r;
    const GLuint vs = p.vertex.empty() ? 0 : compile(GL_VERTEX_SHADER, p.vertex, r.message);
    const GLuint fs = compile(GL_FRAGMENT_SHADER, p.fragment, r.message);
    if ((!p.vertex.empty() && vs == 0) || fs == 0) {
        if (vs) glDeleteShader(vs);
        if (fs) glDeleteShader(fs);
        return r;
    }
    // Fragment first, as the bank attaches them.
    const GLuint program = glCreateProgram();
    glAttachShader(program, fs);
    if (vs) glAttachShader(program, vs);
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        r.message = "cannot link " + (p.vertex.empty() ? "" : p.vertex + " + ") + p.fragment + ":\n" +
                    located_log(p.fragment, program_log(program));
        glDeleteProgram(program);
        glDeleteShader(fs);
        if (vs) glDeleteShader(vs);
        return r;
    }
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    const GLuint old = bank.programs[p.slot];
    bank.programs[p.slot] = program;
    bank.fragment_shaders[p.slot] = fs;
    if (vs) bank.vertex_shaders[p.slot] = vs;
    if (GLuint(current) == old) glUseProgram(program);
    // The old program goes only now; its shaders may be shared, so they stay with the driver.
    if (old) glDeleteProgram(old);
    r.ok = true;
    return r;
}
