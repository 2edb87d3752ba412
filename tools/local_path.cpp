#include "tools/local_path.h"

#include <cctype>
#include <filesystem>
#include <system_error>

std::string local_path(const std::string& p)
{
    std::string s = p;
    if (s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':') s.erase(0, 2);
    std::string out;
    for (char c : s) {
        if (c == '\\') c = '/';
        if (c == '/' && (out.empty() || out.back() == '/')) continue;  // no root, no doubled slashes
        out += c;
    }
    return out;
}

std::string output_path(const std::string& root, const std::string& p)
{
    const std::string local = local_path(p);
    if (root.empty()) return local;
    return root.back() == '/' ? root + local : root + "/" + local;
}

std::string prepare_output_path(const std::string& root, const std::string& p)
{
    const std::string path = output_path(root, p);
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    return path;
}
