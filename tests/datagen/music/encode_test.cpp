// MP3 encoding: what goes in comes out of the sound layer at the same samples, the bytes
// repeat exactly, and files appear whole or not at all.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "datagen/music/dsp.h"
#include "datagen/music/encode.h"
#include "tests/datagen/music/analysis.h"

using namespace music;
namespace fs = std::filesystem;

namespace {

fs::path scratch(const std::string& name) {
    const fs::path dir = fs::path(THORNWAKE_BINARY_DIR) / "test-datagen-music" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// Quiet tone with one sharp click: the click's position survives encoding only if the
// encoder delay is removed on decoding.
stereo clicked_tone(size_t frames, size_t click_at) {
    stereo s{mono(frames), mono(frames)};
    for (size_t i = 0; i < frames; ++i) {
        s.left[i] = 0.1f * static_cast<float>(std::sin(2 * pi * 220 * static_cast<double>(i) / sample_rate));
        s.right[i] = -s.left[i];
    }
    for (size_t i = click_at; i < click_at + 40; ++i) s.left[i] = s.right[i] = 0.8f;
    return s;
}

}  // namespace

TEST(Encoding, DecodesToTheSameLengthAndAlignment) {
    const size_t frames = 3 * sample_rate + 123, click = 50000;
    std::vector<unsigned char> bytes;
    std::string error;
    ASSERT_TRUE(encode_mp3(clicked_tone(frames, click), 256, bytes, error)) << error;
    const fs::path file = scratch("align") / "tone.mp3";
    ASSERT_TRUE(write_file_atomically(file, bytes, error)) << error;

    const decoded_audio d = decode_mp3_file(file.string());
    EXPECT_EQ(d.rate, 44100);
    EXPECT_EQ(d.channels, 2);
    EXPECT_EQ(d.left.size(), frames);
    size_t loudest = 0;
    for (size_t i = 0; i < d.left.size(); ++i)
        if (std::abs(d.left[i]) > std::abs(d.left[loudest])) loudest = i;
    EXPECT_NEAR(static_cast<double>(loudest), static_cast<double>(click), 40.0);
    // Both channels kept apart: joint stereo must not fold our anti-phase tone to mono.
    EXPECT_LT(d.left[20000] * d.right[20000], 0.0f);
}

TEST(Encoding, SameInputSameBytes) {
    const stereo s = clicked_tone(sample_rate, 1000);
    std::vector<unsigned char> a, b;
    std::string error;
    ASSERT_TRUE(encode_mp3(s, 192, a, error));
    ASSERT_TRUE(encode_mp3(s, 192, b, error));
    EXPECT_EQ(a, b);
    // 192 kbit/s for one second, within a frame or two.
    EXPECT_NEAR(static_cast<double>(a.size()), 192000.0 / 8, 2000.0);
}

TEST(Encoding, RefusedSettingsAreReported) {
    std::vector<unsigned char> bytes;
    std::string error;
    EXPECT_FALSE(encode_mp3(clicked_tone(1000, 10), 7, bytes, error));
    EXPECT_NE(error.find("7 kbit/s"), std::string::npos) << error;
}

TEST(FileWriting, ReplacesWholeAndLeavesNoTemporary) {
    const fs::path dir = scratch("write");
    const fs::path file = dir / "music" / "x.mp3";
    std::string error;
    ASSERT_TRUE(write_file_atomically(file, {1, 2, 3}, error)) << error;
    ASSERT_TRUE(write_file_atomically(file, {4, 5}, error)) << error;
    EXPECT_EQ(fs::file_size(file), 2u);
    for (const auto& entry : fs::directory_iterator(file.parent_path()))
        EXPECT_EQ(entry.path().filename(), "x.mp3");
}

TEST(FileWriting, UnwritablePlaceGivesAMessage) {
    const fs::path dir = scratch("blocked");
    // A file where the folder should be.
    std::string error;
    ASSERT_TRUE(write_file_atomically(dir / "music", {1}, error));
    EXPECT_FALSE(write_file_atomically(dir / "music" / "PS.mp3", {1, 2}, error));
    EXPECT_NE(error.find("music"), std::string::npos) << error;
}
