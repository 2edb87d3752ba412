// A folder of this test process's own under the temporary directory: ctest runs test
// executables side by side, and a file rewritten while another process reads it reads back
// empty. Made on first use; removed with everything in it when the process exits, so
// test runs leave nothing behind.
#pragma once
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

inline const std::filesystem::path& scratch_folder()
{
    struct owned {
        std::filesystem::path path;
        ~owned()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const owned folder{[] {
        auto p = std::filesystem::temp_directory_path() / ("thornwake-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        return p;
    }()};
    return folder.path;
}
