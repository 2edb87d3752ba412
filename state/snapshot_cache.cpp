#include "state/snapshot_cache.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr uint64_t missing_file_marker = 0x6D697373696E6721ull;
constexpr const char* temp_marker = ".tmp-";

std::string key_hex(uint64_t key)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(key));
    return text;
}

bool is_key_folder_name(const std::string& name)
{
    return name.size() == 16 &&
           std::all_of(name.begin(), name.end(), [](char ch) { return std::isxdigit(static_cast<unsigned char>(ch)); });
}

// "<digits>.snap" -> step; at most 18 digits so the number cannot overflow.
std::optional<int64_t> step_of_name(const std::string& name)
{
    if (name.size() < 13 || name.size() > 23) return std::nullopt;
    const size_t digits = name.size() - 5;
    if (name.compare(digits, 5, ".snap") != 0) return std::nullopt;
    int64_t step = 0;
    for (size_t i = 0; i < digits; ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
        step = step * 10 + (name[i] - '0');
    }
    return step;
}

// Hash of one file's bytes and length; nullopt when it cannot be read.
std::optional<uint64_t> hash_file(const std::string& path, std::vector<uint8_t>& chunk)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    uint64_t h = 0, size = 0;
    size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), f)) > 0) {
        h = hash_bytes({chunk.data(), got}, h);
        size += got;
    }
    const bool failed = std::ferror(f);  // a folder opens but does not read
    std::fclose(f);
    if (failed) return std::nullopt;
    const uint64_t summary[2] = {h, size};
    return hash_bytes({reinterpret_cast<const uint8_t*>(summary), sizeof summary});
}

void delete_older_key_folders(const fs::path& root, const std::string& keep_name, int keep_other_keys)
{
    struct folder {
        fs::file_time_type time;
        fs::path path;
    };
    std::vector<folder> others;
    std::error_code ec;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code entry_ec;
        if (name == keep_name || !is_key_folder_name(name) || !it->is_directory(entry_ec)) continue;
        others.push_back({fs::last_write_time(it->path(), entry_ec), it->path()});
    }
    std::sort(others.begin(), others.end(), [](const folder& a, const folder& b) {
        return a.time != b.time ? a.time > b.time : a.path < b.path;
    });
    for (size_t i = static_cast<size_t>(std::max(keep_other_keys, 0)); i < others.size(); ++i) {
        std::error_code remove_ec;  // a folder another user owns stays; caching goes on
        fs::remove_all(others[i].path, remove_ec);
    }
}

// A writer that died between writing and renaming leaves its temporary behind.
void delete_stale_temporaries(const fs::path& dir)
{
    const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(10);
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code time_ec;
        if (it->path().filename().string().find(temp_marker) != std::string::npos &&
            fs::last_write_time(it->path(), time_ec) < old && !time_ec)
            fs::remove(it->path(), time_ec);
    }
}

void reject(const std::string& path, const std::string& why)
{
    std::fprintf(stderr, "thornwake: snapshot %s rejected (%s); recomputing it\n", path.c_str(), why.c_str());
    std::error_code ec;
    fs::remove(path, ec);
}

}  // namespace

std::string default_cache_root()
{
    // Relative values are invalid for XDG and ignored.
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && xdg[0] == '/') return (fs::path(xdg) / "thornwake").string();
    const char* home = std::getenv("HOME");
    if (home && home[0]) return (fs::path(home) / ".cache" / "thornwake").string();
    return {};
}

std::string renderer_settings(const char* (*get)(const char*))
{
    // LP_PERF swaps filtering, texturing or depth for cheaper stand-ins; the others change
    // the code llvmpipe generates.
    std::string settings;
    for (const char* name : {"LP_PERF", "LP_NATIVE_VECTOR_WIDTH", "GALLIVM_PERF", "GALLIVM_DEBUG"})
        if (const char* value = get(name); value && *value) settings += std::string(name) + "=" + value + "\n";
    return settings;
}

uint64_t hash_files(const std::vector<std::string>& paths, uint64_t seed)
{
    std::vector<uint8_t> chunk(1 << 20);
    uint64_t h = seed;
    for (const std::string& path : paths) {
        if (const std::optional<uint64_t> content = hash_file(path, chunk)) {
            h = hash_bytes({reinterpret_cast<const uint8_t*>(&*content), sizeof *content}, h);
        } else {
            h = hash_bytes({reinterpret_cast<const uint8_t*>(path.data()), path.size()}, h ^ missing_file_marker);
        }
    }
    return h;
}

std::vector<std::string> files_under(const std::vector<std::string>& folders)
{
    std::vector<std::string> files;
    for (const std::string& folder : folders) {
        std::error_code ec;
        for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
             !ec && it != end; it.increment(ec)) {
            std::error_code type_ec;
            if (it->is_regular_file(type_ec)) files.push_back(it->path().string());
        }
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

snapshot_cache open_snapshot_cache(const std::string& root, uint64_t key, const snapshot_shape& shape,
                                   int keep_other_keys)
{
    snapshot_cache c;
    c.key = key;
    c.shape = shape;
    if (root.empty()) {
        std::fprintf(stderr, "thornwake: no cache folder (neither XDG_CACHE_HOME nor HOME is set); snapshots off\n");
        return c;
    }
    const std::string name = key_hex(key);
    const fs::path dir = fs::path(root) / name;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!ec && ::access(dir.c_str(), W_OK | X_OK) != 0) ec.assign(errno, std::generic_category());
    if (ec) {
        std::fprintf(stderr, "thornwake: cannot use cache folder %s (%s); snapshots off\n", dir.c_str(),
                     ec.message().c_str());
        return c;
    }
    // Opening counts as use: this key is the newest when the next key bounds the root.
    fs::last_write_time(dir, fs::file_time_type::clock::now(), ec);
    delete_older_key_folders(root, name, keep_other_keys);
    delete_stale_temporaries(dir);
    c.dir = dir.string();
    return c;
}

std::string snapshot_path(const snapshot_cache& c, int64_t step)
{
    char name[32];
    std::snprintf(name, sizeof name, "/%08lld.snap", static_cast<long long>(step));
    return c.dir + name;
}

bool cache_has(const snapshot_cache& c, int64_t step)
{
    std::error_code ec;
    return !c.dir.empty() && step >= 0 && fs::is_regular_file(snapshot_path(c, step), ec);
}

bool cache_store(const snapshot_cache& c, const sim_snapshot& s)
{
    if (c.dir.empty()) return false;
    const std::string path = snapshot_path(c, s.step);
    if (s.step < 0 || shape_of(s) != c.shape) {
        std::fprintf(stderr, "thornwake: snapshot %s not saved (step or sizes differ from the cache's)\n",
                     path.c_str());
        return false;
    }
    const std::vector<uint8_t> bytes = encode_snapshot(s, c.key);
    if (bytes.empty()) {
        std::fprintf(stderr, "thornwake: snapshot %s not saved (compression failed)\n", path.c_str());
        return false;
    }
    // Unique per writer, so two processes or threads saving one step never share a file.
    static std::atomic<unsigned> serial{0};
    const std::string temp = path + temp_marker + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    int error = errno;
    if (f && std::fclose(f) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        std::remove(temp.c_str());
        std::fprintf(stderr, "thornwake: snapshot %s not saved (%s)\n", path.c_str(), std::strerror(error));
    }
    return ok;
}

std::optional<sim_snapshot> cache_load_at_or_before(const snapshot_cache& c, int64_t step)
{
    if (c.dir.empty()) return std::nullopt;
    std::vector<int64_t> steps;
    std::error_code ec;
    for (fs::directory_iterator it(c.dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::optional<int64_t> s = step_of_name(it->path().filename().string());
        if (s && *s <= step) steps.push_back(*s);
    }
    std::sort(steps.rbegin(), steps.rend());

    const size_t largest = max_encoded_size(c.shape);
    for (int64_t s : steps) {
        const std::string path = snapshot_path(c, s);
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) continue;  // another process removed it meanwhile
        // Read one byte past the largest possible snapshot, so a longer file reads as such.
        std::vector<uint8_t> bytes(largest + 1);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
        const bool failed = std::ferror(f);
        std::fclose(f);
        std::string why;
        std::optional<sim_snapshot> snap;
        if (failed)
            why = "unreadable";
        else if (bytes.size() > largest)
            why = "longer than any snapshot of this size";
        else if ((snap = decode_snapshot(bytes, c.key, c.shape, why)) && snap->step != s)
            why = "holds step " + std::to_string(snap->step);
        if (snap && snap->step == s) return snap;
        reject(path, why);
    }
    return std::nullopt;
}

uint64_t cache_bytes(const snapshot_cache& c)
{
    uint64_t total = 0;
    if (c.dir.empty()) return total;
    std::error_code ec;
    for (fs::directory_iterator it(c.dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code size_ec;
        if (it->is_regular_file(size_ec)) {
            const uintmax_t size = it->file_size(size_ec);
            if (!size_ec) total += size;
        }
    }
    return total;
}
