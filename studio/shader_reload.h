// Rebuilds the shader bank's programs from their files while the show runs, keeping the
// last good program: a new program replaces the slot's only once it compiled and linked.
// The message of a failure names the file and line of every driver error.
#pragma once
#include <string>
#include <vector>

struct shader_bank;

struct program_source {
    int slot = 0;
    std::string vertex;    // "" for a fragment-only program (fixed-function vertex stage)
    std::string fragment;
    std::string captured{};  // the vertex output transform feedback records; "" for none
};

// The programs whose files include `path` (paths compared after normalising "a//b").
std::vector<program_source> programs_using(const std::vector<program_source>& programs, const std::string& path);

// Driver log lines of the forms "0:12(3): error: ..." (Mesa) and "0(12) : error ..."
// rewritten as "path:12:3: error: ..." / "path:12: error ...", other lines as they are.
std::string located_log(const std::string& path, const std::string& log);

struct rebuild_result {
    bool ok = false;
    std::string message;  // "" when ok; otherwise the located logs of what failed
};
// Needs a current GL context. The current program stays current (or its replacement).
rebuild_result rebuild_program(shader_bank& bank, const program_source& p);
