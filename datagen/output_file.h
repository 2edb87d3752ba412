// Writing generated files safely: a file appears under its final name only once it is
// complete, so an interrupted run never leaves a truncated asset that looks valid.
#pragma once
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// Writes bytes to path through a temporary sibling and a rename; creates missing parent
// folders. On failure returns false with a message naming the path and the reason.
bool write_file_atomic(const std::filesystem::path& path, std::string_view bytes,
                       std::string& error);

// "Permission denied" style text for the current errno.
std::string errno_text();

// write_file_atomic under out_dir/relative, then one progress line on stderr.
bool write_output(const std::filesystem::path& out_dir, const std::string& relative,
                  std::string_view bytes, std::string& error);
