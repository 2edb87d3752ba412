// A fresh folder under the system's temporary directory, removed with everything in it.
#pragma once
#include <filesystem>
#include <random>
#include <string>

struct temp_dir {
    std::filesystem::path path;
    temp_dir() {
        std::random_device seed;
        path = std::filesystem::temp_directory_path() /
               ("thornwake-datagen-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path);
    }
    ~temp_dir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    temp_dir(const temp_dir&) = delete;
    temp_dir& operator=(const temp_dir&) = delete;
};
