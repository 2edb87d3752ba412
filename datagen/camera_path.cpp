#include "datagen/camera_path.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "datagen/output_file.h"
#include "datagen/seeded.h"

namespace {

// Sway amplitudes: the camera multiplies x, y by 0.000228 (a slight drift), the contour
// wobble by at most 0.0063, which keeps the contours within about a unit.
constexpr double sway_x = 120, sway_y = 90, sway_z = 10, channel_swing = 40;

struct wave {
    int cycles;  // whole cycles per loop, so the path closes on itself
    double amplitude, phase;
};

// A slow drift, a breathing sway and a faint hand tremor; amplitudes fall with frequency.
std::vector<wave> make_waves(uint64_t seed, int slow_cycles, int tremor_cycles,
                             int tremors = 6) {
    seeded_random random{seed};
    std::vector<wave> waves;
    for (int n = 1; n <= slow_cycles; ++n)
        waves.push_back({n, 1.0 / std::pow(n, 1.2), random.range(0, 2 * std::numbers::pi)});
    for (int k = 0; k < tremors; ++k) {
        int n = tremor_cycles + int(random.range(0, tremor_cycles));
        waves.push_back({n, 0.03, random.range(0, 2 * std::numbers::pi)});
    }
    return waves;
}

double sum_waves(const std::vector<wave>& waves, int i) {
    const double phase = 2 * std::numbers::pi * double(i) / path_record_count;
    double v = 0;
    for (const wave& w : waves) v += w.amplitude * std::sin(w.cycles * phase + w.phase);
    return v;
}

struct path_shape {
    std::vector<wave> x = make_waves(11, 30, 150);
    std::vector<wave> y = make_waves(23, 30, 150);
    std::vector<wave> z = make_waves(37, 8, 60);
    // No tremor in the channel: it wanders slowly.
    std::vector<wave> channel = make_waves(51, 5, 0, 0);
    // Peak of each sum over the loop, so the amplitudes above are the true extremes.
    std::array<double, 4> peak{};

    path_shape() {
        for (int i = 0; i < path_record_count; ++i) {
            const double v[4] = {sum_waves(x, i), sum_waves(y, i), sum_waves(z, i),
                                 sum_waves(channel, i)};
            for (int c = 0; c < 4; ++c) peak[c] = std::max(peak[c], std::abs(v[c]));
        }
    }
};

const path_shape& shape() {
    static const path_shape s;
    return s;
}

}  // namespace

path_record path_record_at(int i) {
    const path_shape& s = shape();
    i %= path_record_count;
    if (i < 0) i += path_record_count;
    path_record r;
    r.x = float(sway_x * sum_waves(s.x, i) / s.peak[0]);
    r.y = float(sway_y * sum_waves(s.y, i) / s.peak[1]);
    r.z = float(sway_z * sum_waves(s.z, i) / s.peak[2]);
    r.channel = channel_swing * sum_waves(s.channel, i) / s.peak[3];
    r.seconds = i / 35.0;
    return r;
}

std::vector<path_record> make_path() {
    std::vector<path_record> records(path_record_count);
    for (int i = 0; i < path_record_count; ++i) records[i] = path_record_at(i);
    return records;
}

// Little-endian, as the reader expects; this tool only builds on little-endian hosts.
std::string encode_path(const std::vector<path_record>& records) {
    std::string bytes(records.size() * sav_record_bytes, '\0');
    char* out = bytes.data();
    for (const path_record& r : records) {
        std::memcpy(out + 0, &r.x, 4);
        std::memcpy(out + 4, &r.y, 4);
        std::memcpy(out + 8, &r.z, 4);
        std::memcpy(out + 12, &r.channel, 8);
        std::memcpy(out + 20, &r.seconds, 8);
        out += sav_record_bytes;
    }
    return bytes;
}

bool generate_path(const std::filesystem::path& out_dir, std::string& error) {
    return write_output(out_dir, "try1.sav", encode_path(make_path()), error);
}
