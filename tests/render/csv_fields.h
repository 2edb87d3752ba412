// The comma-separated fields of one CSV line, a trailing empty field kept: both frame
// statistics tests read the file the statistics write.
#pragma once
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> csv_fields(const std::string& line)
{
    std::vector<std::string> out;
    std::stringstream in(line);
    std::string f;
    while (std::getline(in, f, ',')) out.push_back(f);
    if (!line.empty() && line.back() == ',') out.emplace_back();
    return out;
}
