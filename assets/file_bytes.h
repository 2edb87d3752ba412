// Whole-file reads for the asset readers: they parse from memory, so the file's size is the
// only bound on what they can be asked to allocate.
#pragma once
#include <optional>
#include <string>

// nullopt when the file cannot be opened or read.
std::optional<std::string> read_file_bytes(const std::string& path);
