#include "datagen/runner.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "datagen/output_file.h"

namespace fs = std::filesystem;

static std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

static std::string stamp_line(const generator& g) { return g.name + " " + g.version + "\n"; }

// The stamp with g's line replaced by its current one.
static std::string restamp(const std::string& stamp, const generator& g) {
    std::istringstream lines(stamp);
    std::string line, out;
    while (std::getline(lines, line)) {
        if (line.empty() || line.rfind(g.name + " ", 0) == 0) continue;
        out += line + "\n";
    }
    return out + stamp_line(g);
}

bool generator_is_current(const generator& g, const std::string& stamp, const fs::path& out_dir) {
    const std::string line = stamp_line(g);
    bool stamped = stamp.rfind(line, 0) == 0 || stamp.find("\n" + line) != std::string::npos;
    if (!stamped) return false;
    std::error_code ec;
    for (const std::string& output : g.outputs)
        if (!fs::is_regular_file(out_dir / output, ec)) return false;
    return true;
}

int run_generators(const std::vector<generator>& table, const run_options& options) {
    const fs::path stamp_path = options.out_dir / stamp_file_name;
    std::string stamp = read_text(stamp_path);
    for (const generator& g : table) {
        if (!options.force && generator_is_current(g, stamp, options.out_dir)) {
            std::fprintf(stderr, "thornwake-datagen: %s is up to date\n", g.name.c_str());
            continue;
        }
        const auto start = std::chrono::steady_clock::now();
        std::string error;
        if (!g.run(options.out_dir, error)) {
            std::fprintf(stderr, "thornwake-datagen: %s failed: %s\n", g.name.c_str(),
                         error.c_str());
            return 1;
        }
        stamp = restamp(stamp, g);
        if (!write_file_atomic(stamp_path, stamp, error)) {
            std::fprintf(stderr, "thornwake-datagen: %s\n", error.c_str());
            return 1;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::fprintf(stderr, "thornwake-datagen: %s done in %.2f s\n", g.name.c_str(),
                     took.count());
    }
    return 0;
}
