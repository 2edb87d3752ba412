#include "assets/velocity_volume.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string temp_path(const char* name)
{
    return (std::filesystem::temp_directory_path() / name).string();
}

void write_file(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void put_float(std::vector<unsigned char>& bytes, std::size_t offset, float v)
{
    uint32_t w;
    std::memcpy(&w, &v, 4);
    for (int b = 0; b < 4; ++b) bytes[offset + b] = static_cast<unsigned char>(w >> (8 * b));  // little-endian
}

std::size_t float_index(int i, int j, int k) { return volume_byte_offset(i, j, k) / 4; }

}  // namespace

TEST(VelocityVolume, TexelOffsetsRunXThenYThenZ)
{
    EXPECT_EQ(volume_bytes, 50331648u);
    EXPECT_EQ(volume_byte_offset(0, 0, 0), 0u);
    EXPECT_EQ(volume_byte_offset(1, 0, 0), 12u);
    EXPECT_EQ(volume_byte_offset(0, 1, 0), 12u * 128);
    EXPECT_EQ(volume_byte_offset(0, 0, 1), 12u * 128 * 256);
    EXPECT_EQ(volume_byte_offset(127, 255, 127) + 12, volume_bytes);
}

TEST(VelocityVolume, ShortFileKeepsWhatWasReadAndZeroFillsTheRest)
{
    // Long enough to hold texel (3, 2, 1): its three components are 1.5, -2, 0.25.
    const std::size_t at = volume_byte_offset(3, 2, 1);
    std::vector<unsigned char> bytes(at + 12 + 6, 0xAB);
    put_float(bytes, 0, 7.0f);
    put_float(bytes, at, 1.5f);
    put_float(bytes, at + 4, -2.0f);
    put_float(bytes, at + 8, 0.25f);
    const std::string path = temp_path("tw_velocity_short.dat");
    write_file(path, bytes);

    testing::internal::CaptureStdout();
    const volume_data v = read_velocity_file(path);
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();

    ASSERT_EQ(v.texels.size(), volume_floats);
    EXPECT_EQ(v.bytes_read, bytes.size());
    EXPECT_EQ(v.texels[0], 7.0f);
    EXPECT_EQ(v.texels[float_index(3, 2, 1)], 1.5f);
    EXPECT_EQ(v.texels[float_index(3, 2, 1) + 1], -2.0f);
    EXPECT_EQ(v.texels[float_index(3, 2, 1) + 2], 0.25f);
    // Past the last whole float nothing but zeros, up to the last texel.
    for (std::size_t i = float_index(3, 2, 1) + 5; i < volume_floats; i += 4099) EXPECT_EQ(v.texels[i], 0.0f) << i;
    EXPECT_EQ(v.texels.back(), 0.0f);
    // One line, naming the file and how much it held.
    EXPECT_NE(out.find(path), std::string::npos) << out;
    EXPECT_NE(out.find(std::to_string(bytes.size()) + " of 50331648 bytes"), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
    std::filesystem::remove(path);
}

TEST(VelocityVolume, MissingFileGivesAZeroVolumeAndSaysSo)
{
    testing::internal::CaptureStdout();
    const volume_data v = read_velocity_file(temp_path("tw_no_such_velocity.dat"));
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(v.texels.size(), volume_floats);
    EXPECT_EQ(v.bytes_read, 0u);
    EXPECT_EQ(v.texels[12345], 0.0f);
    EXPECT_NE(out.find("tw_no_such_velocity.dat: read 0 of 50331648 bytes"), std::string::npos) << out;
}

TEST(VelocityVolume, WholeFileIsReadSilently)
{
    std::vector<unsigned char> bytes(volume_bytes, 0);
    put_float(bytes, volume_byte_offset(127, 255, 127) + 8, -3.5f);
    const std::string path = temp_path("tw_velocity_whole.dat");
    write_file(path, bytes);

    testing::internal::CaptureStdout();
    const volume_data v = read_velocity_file(path);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(v.bytes_read, volume_bytes);
    EXPECT_EQ(v.texels.back(), -3.5f);
    std::filesystem::remove(path);
}
