// Reading the velocity volume: a raw array of 128 x 256 x 128 texels, each three
// little-endian floats (x, y, z), x index fastest, then y, then z. No GL here; the
// particle system uploads what this returns.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline constexpr int volume_width = 128;
inline constexpr int volume_height = 256;
inline constexpr int volume_depth = 128;
inline constexpr std::size_t volume_floats =
    std::size_t{3} * volume_width * volume_height * volume_depth;  // 12,582,912
inline constexpr std::size_t volume_bytes = volume_floats * sizeof(float);  // 50,331,648

// Byte offset of texel (i, j, k) in the file.
constexpr std::size_t volume_byte_offset(int i, int j, int k)
{
    return std::size_t{12} * (static_cast<std::size_t>(i) +
                              std::size_t{volume_width} * static_cast<std::size_t>(j) +
                              std::size_t{volume_width} * volume_height * static_cast<std::size_t>(k));
}

struct volume_data {
    std::vector<float> texels;   // always volume_floats long; what was not read is zero
    std::size_t bytes_read = 0;  // volume_bytes when the file was whole
};

// Reads up to volume_bytes from an open file in one read and zero-fills the rest.
// The file's floats are little-endian, as the host's (x86-64, arm64) are.
volume_data read_velocity_volume(std::FILE* file);
// Opens path ("rb"); a missing or short file gives a partly or wholly zero volume and
// one console line naming the file and the bytes read.
volume_data read_velocity_file(const std::string& path);
