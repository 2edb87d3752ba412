// Runs the table of generators into one output folder. A stamp file remembers which
// generator version wrote what, so a second run with everything in place does nothing.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

using generator_fn = bool (*)(const std::filesystem::path& out_dir, std::string& error);

struct generator {
    std::string name;
    // Bump when the generator's output changes: a stale stamp line makes it run again.
    std::string version;
    // Paths under the output folder that must all exist for the generator to be skipped.
    std::vector<std::string> outputs;
    generator_fn run = nullptr;
};

inline const char* stamp_file_name = ".datagen-stamp";

struct run_options {
    std::filesystem::path out_dir;
    bool force = false;
};

// Returns 0 when every generator is up to date or ran successfully, 1 at the first failure
// (its message already printed on stderr).
int run_generators(const std::vector<generator>& table, const run_options& options);

// Whether this generator can be skipped, given the stamp's text.
bool generator_is_current(const generator& g, const std::string& stamp,
                          const std::filesystem::path& out_dir);
