// Streaming decode, whole-file decode and seeking, checked against a plain front-to-back decode.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "mp3_fixture.h"
#include "sound/mp3_stream.h"
#include "sound/pcm_sound.h"

namespace {

std::string one_second_sine(int rate) {
    return cached_mp3("sine1k_" + std::to_string(rate) + ".mp3", rate,
                      [rate] { return stereo_sine(rate, 1.0, 1000.0, 0.5f, 0.5f); });
}

// Long enough to seek to 50.0 s, as the show does at start-up.
std::string fifty_two_second_sweep() {
    return cached_mp3("sweep52.mp3", 44100, [] { return stereo_sweep(44100, 52.0, 100.0, 3000.0, 0.5f); });
}

float max_difference(const float* a, const float* b, size_t n) {
    float worst = 0;
    for (size_t i = 0; i < n; ++i)
        worst = std::max(worst, std::fabs(a[i] - b[i]));
    return worst;
}

std::vector<float> read_all(sound_source& s) {
    std::vector<float> out;
    std::vector<float> block(2 * 1000);
    while (const size_t got = s.read(block.data(), 1000))
        out.insert(out.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got * 2));
    return out;
}

TEST(Mp3Stream, DecodesTheEncodedLengthAtTheFilesRate) {
    for (int rate : {44100, 48000}) {
        auto stream = mp3_stream::open(one_second_sine(rate));
        ASSERT_TRUE(stream) << rate;
        EXPECT_EQ(stream->rate(), rate);
        EXPECT_EQ(stream->length(), static_cast<uint64_t>(rate));
        // length() scans the file but must leave the read position alone.
        const std::vector<float> all = read_all(*stream);
        EXPECT_EQ(all.size(), static_cast<size_t>(rate) * 2);
        float peak = 0;
        for (float v : all)
            peak = std::max(peak, std::fabs(v));
        EXPECT_NEAR(peak, 0.5f, 0.05f);
    }
}

TEST(Mp3Stream, SeekLandsOnTheSamplesOfAnIndependentDecode) {
    const std::string path = fifty_two_second_sweep();
    const reference_decode ref = decode_reference(path);
    ASSERT_GE(ref.stereo.size() / 2, 2205000u + 44100u);
    auto stream = mp3_stream::open(path);
    ASSERT_TRUE(stream);
    // Forward far past anything read, then backwards, then to a frame boundary's neighbour.
    for (uint64_t at : {2205000ull, 1000ull, 1152ull * 40 + 1, 2205000ull - 4410}) {
        ASSERT_TRUE(stream->seek(at)) << at;
        std::vector<float> got(2 * 4096);
        ASSERT_EQ(stream->read(got.data(), 4096), 4096u);
        EXPECT_LT(max_difference(got.data(), ref.stereo.data() + at * 2, got.size()), 1e-4f) << "at " << at;
    }
}

TEST(Mp3Stream, SeekPastTheEndReadsNothing) {
    auto stream = mp3_stream::open(one_second_sine(44100));
    ASSERT_TRUE(stream);
    std::vector<float> block(2 * 100);
    if (stream->seek(10 * 44100)) {
        EXPECT_EQ(stream->read(block.data(), 100), 0u);
    }
    ASSERT_TRUE(stream->seek(44100 - 30));
    EXPECT_EQ(stream->read(block.data(), 100), 30u);
}

TEST(Mp3Stream, MissingOrNonMp3FilesDoNotOpen) {
    EXPECT_FALSE(mp3_stream::open("no/such/file.mp3"));
    const auto junk = std::filesystem::temp_directory_path() / ("not-mp3-" + std::to_string(::getpid()) + ".mp3");
    {
        std::ofstream out(junk, std::ios::binary);
        for (int i = 0; i < 5000; ++i)
            out.put(static_cast<char>(i * 7));
    }
    EXPECT_FALSE(mp3_stream::open(junk.string()));
    EXPECT_FALSE(decode_whole_mp3(junk.string()));
    std::filesystem::remove(junk);
}

TEST(Mp3Stream, DamageInTheMiddleDoesNotEndTheStream) {
    const std::string good = cached_mp3("tone3s_44100.mp3", 44100, [] { return stereo_sine(44100, 3.0, 1000.0, 0.6f, 0.3f); });
    std::vector<char> bytes(std::filesystem::file_size(good));
    std::ifstream(good, std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 3000; ++i)
        bytes[i] = static_cast<char>(i * 31);
    const auto damaged = std::filesystem::temp_directory_path() / ("damaged-" + std::to_string(::getpid()) + ".mp3");
    std::ofstream(damaged, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    auto stream = mp3_stream::open(damaged.string());
    ASSERT_TRUE(stream);
    // About 0.12 s of the 3 s are gone; the rest still plays.
    EXPECT_GT(read_all(*stream).size() / 2, 44100u * 5 / 2);
    std::filesystem::remove(damaged);
}

TEST(PcmSound, WholeDecodeMatchesReferenceAndCursorsSeek) {
    const std::string path = one_second_sine(48000);
    const auto sound = decode_whole_mp3(path);
    ASSERT_TRUE(sound);
    const reference_decode ref = decode_reference(path);
    EXPECT_EQ(sound->rate, 48000);
    ASSERT_EQ(sound->stereo.size(), ref.stereo.size());
    EXPECT_EQ(max_difference(sound->stereo.data(), ref.stereo.data(), ref.stereo.size()), 0.0f);

    pcm_cursor a(sound), b(sound);
    ASSERT_TRUE(b.seek(1000));
    EXPECT_FALSE(b.seek(sound->frames() + 1));
    std::vector<float> x(2 * 100), y(2 * 100);
    a.seek(1000);
    a.read(x.data(), 100);
    b.read(y.data(), 100);
    EXPECT_EQ(x, y);
    ASSERT_TRUE(b.seek(sound->frames() - 10));
    EXPECT_EQ(b.read(y.data(), 100), 10u);
}

}  // namespace
