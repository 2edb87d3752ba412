// The recorded camera path "try1.sav": 28-byte records (x, y, z float; channel double;
// time double), a looping hand-held sway.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

struct path_record {
    float x = 0, y = 0, z = 0;
    double channel = 0;
    double seconds = 0;
};

inline constexpr int path_record_count = 6300;  // 180 s at the 35 records/s the show reads
inline constexpr int sav_record_bytes = 28;

// Periodic in the record index: record i and record i + path_record_count coincide.
path_record path_record_at(int i);
std::vector<path_record> make_path();
std::string encode_path(const std::vector<path_record>& records);

bool generate_path(const std::filesystem::path& out_dir, std::string& error);
