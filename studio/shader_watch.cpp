#include "studio/shader_watch.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

static void read_stamp(const std::string& path, fs::file_time_type& mtime, uintmax_t& size)
{
    std::error_code ec;
    mtime = fs::last_write_time(path, ec);
    if (ec) mtime = {};
    size = fs::file_size(path, ec);
    if (ec) size = 0;
}

shader_watch watch_folders(const std::vector<std::string>& folders)
{
    shader_watch w;
    for (const std::string& folder : folders) {
        std::error_code ec;
        for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
            if (!e.is_regular_file(ec)) continue;
            watched_file f;
            f.path = (fs::path(folder) / e.path().filename()).lexically_normal().string();
            read_stamp(f.path, f.mtime, f.size);
            w.files.push_back(f);
        }
    }
    std::sort(w.files.begin(), w.files.end(), [](const watched_file& a, const watched_file& b) { return a.path < b.path; });
    return w;
}

std::vector<std::string> poll_changes(shader_watch& w, double now, double settle, double every)
{
    std::vector<std::string> ready;
    if (w.last_poll >= 0 && now - w.last_poll < every) return ready;
    w.last_poll = now;
    for (watched_file& f : w.files) {
        fs::file_time_type mtime;
        uintmax_t size = 0;
        read_stamp(f.path, mtime, size);
        if (mtime != f.mtime || size != f.size) {
            f.mtime = mtime;
            f.size = size;
            f.changed = true;
            f.changed_at = now;
            continue;
        }
        // A missing file (no time) waits until it is back.
        if (f.changed && mtime != fs::file_time_type{} && now - f.changed_at >= settle) {
            f.changed = false;
            ready.push_back(f.path);
        }
    }
    return ready;
}
