// The recorded camera path ("try1.sav"): headerless 28-byte little-endian records
// {f32 x, y, z; f64 channel; f64 unused}. The tail is bent back toward the start so the
// path loops, and the channel is smoothed when there are enough records.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "base/vecmath.h"

struct recorded_path {
    std::vector<vec3> points;
    std::vector<double> channel;  // same length as points

    // A missing file leaves both empty; a partial last record is ignored.
    void load_path(const std::string& file_name);
    void load_path_bytes(std::string_view bytes);
};

inline constexpr int path_record_bytes = 28;
