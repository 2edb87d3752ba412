// Watches the shader files for saves by polling their modification time and size (a stat
// per file, a few times a second: cheap for a few dozen files and the same on every
// filesystem). A change is reported once it has held still for a moment, so an editor's
// write in several pieces gives one rebuild; a file caught half-written only fails to
// compile, and the reload keeps the old program then. No GL.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct watched_file {
    std::string path;  // as listed: folder/name
    std::filesystem::file_time_type mtime{};
    uintmax_t size = 0;
    bool changed = false;  // seen to change, not yet reported
    double changed_at = 0;
};

struct shader_watch {
    std::vector<watched_file> files;
    double last_poll = -1;
};

// Every regular file directly in these folders (missing folders are skipped), sorted.
shader_watch watch_folders(const std::vector<std::string>& folders);
// Files that changed and have stayed unchanged for `settle` seconds since, at time `now`
// (seconds, any clock); polls at most every `every` seconds. A file that disappears is
// reported when it comes back.
std::vector<std::string> poll_changes(shader_watch& w, double now, double settle = 0.15, double every = 0.1);
