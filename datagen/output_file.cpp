#include "datagen/output_file.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace fs = std::filesystem;

std::string errno_text() { return std::strerror(errno); }

static bool fail(std::string& error, const fs::path& path, const std::string& why) {
    error = "cannot write " + path.string() + ": " + why;
    return false;
}

bool write_file_atomic(const fs::path& path, std::string_view bytes, std::string& error) {
    std::error_code ec;
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path(), ec);
        if (ec) return fail(error, path, ec.message());
    }
    // A name of its own per process and call: two runs filling the same folder at once
    // (the run and test scripts both generate into data/) must never share a temporary.
    static std::atomic<unsigned> serial{0};
    fs::path temp = path;
    temp += ".part-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return fail(error, path, errno_text());
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::string why = ok ? "" : errno_text();
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        why = errno_text();
    }
    if (ok) {
        fs::rename(temp, path, ec);
        if (ec) {
            ok = false;
            why = ec.message();
        }
    }
    if (!ok) {
        fs::remove(temp, ec);
        return fail(error, path, why);
    }
    return true;
}

bool write_output(const fs::path& out_dir, const std::string& relative, std::string_view bytes,
                  std::string& error) {
    if (!write_file_atomic(out_dir / relative, bytes, error)) return false;
    std::fprintf(stderr, "thornwake-datagen: wrote %s (%zu bytes)\n", relative.c_str(),
                 bytes.size());
    return true;
}
