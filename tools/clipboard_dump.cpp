#include "tools/clipboard_dump.h"

#include "tools/local_path.h"

#include <filesystem>
#include <fstream>

std::string write_clipboard_dump(const std::string& root, const std::string& text)
{
    if (text.empty()) return "";
    std::string path = prepare_output_path(root, clipboard_dump_file);
    std::ofstream out(path, std::ios::out | std::ios::trunc | std::ios::binary);
    out << text;
    out.close();
    if (!out) return "";
    std::error_code ec;
    if (const auto full = std::filesystem::absolute(path, ec); !ec) path = full.string();
    return path;
}
