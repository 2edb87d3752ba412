#include "app/data_probe.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string absolute(const std::string& p)
{
    std::error_code ec;
    return p.empty() ? p : fs::absolute(p, ec).lexically_normal().string();
}

// FNV-1a, 64 bits: no dependency, and fast enough for the ~75 MB of the show's data.
struct fnv1a {
    uint64_t h = 0xcbf29ce484222325ull;
    void add(const void* bytes, size_t n)
    {
        const auto* p = static_cast<const unsigned char*>(bytes);
        for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001b3ull;
    }
};

void add_file(fnv1a& hash, const fs::path& file, const std::string& name)
{
    hash.add(name.data(), name.size() + 1);  // with its terminator: "ab"+"c" is not "a"+"bc"
    std::ifstream in(file, std::ios::binary);
    std::vector<char> buffer(1 << 16);
    uint64_t size = 0;
    while (in) {
        in.read(buffer.data(), std::streamsize(buffer.size()));
        const auto got = size_t(in.gcount());
        hash.add(buffer.data(), got);
        size += got;
    }
    hash.add(&size, sizeof size);
}

}  // namespace

data_search current_data_search(const std::string& option_dir, const std::string& build_dir,
                                const std::string& source_data_dir)
{
    data_search s;
    s.option_dir = absolute(option_dir);
    s.env_dir = absolute(env("THORNWAKE_DATA"));
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) s.program_dir = exe.parent_path().string();
    s.build_dir = build_dir;
    s.source_data_dir = source_data_dir;
    return s;
}

bool folder_holds_data(const std::string& dir)
{
    std::error_code ec;
    return std::all_of(std::begin(data_entries), std::end(data_entries),
                       [&](const char* entry) { return fs::exists(fs::path(dir) / entry, ec); });
}

bool folder_exists(const std::string& dir)
{
    std::error_code ec;
    return fs::is_directory(dir, ec);
}

bool folder_writable(const std::string& dir) { return ::access(dir.c_str(), W_OK) == 0; }

data_choice find_show_data(const data_search& search)
{
    return choose_data_dir(data_candidates(search), folder_holds_data, folder_exists);
}

std::string output_dir_for(const data_choice& data)
{
    return choose_output_dir(data, data.found && folder_writable(data.where.dir), env("XDG_STATE_HOME"),
                             env("HOME"));
}

std::string data_fingerprint(const std::string& dir)
{
    fnv1a hash;
    for (const char* entry : data_entries) {
        const fs::path top = fs::path(dir) / entry;
        std::error_code ec;
        if (!fs::is_directory(top, ec)) {
            if (fs::is_regular_file(top, ec)) add_file(hash, top, entry);
            continue;
        }
        std::vector<std::string> names;  // sorted: directory order differs between copies
        for (fs::recursive_directory_iterator it(top, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec)) names.push_back(it->path().lexically_relative(dir).generic_string());
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) add_file(hash, fs::path(dir) / name, name);
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash.h));
    return std::string(text, 12);
}
