// Resampling and spectrum on synthetic signals held in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "mp3_fixture.h"
#include "sound/mp3_stream.h"
#include "sound/pcm_sound.h"
#include "sound/resampler.h"
#include "sound/spectrum.h"

namespace {

std::shared_ptr<const pcm_sound> sine_sound(int rate, double seconds, double hz, float amp) {
    auto s = std::make_shared<pcm_sound>();
    s->rate = rate;
    s->stereo = stereo_sine(rate, seconds, hz, amp, amp);
    return s;
}

std::vector<float> mono_sine(double hz, float amp, int offset = 0, int rate = 44100) {
    std::vector<float> out(spectrum_fft_size);
    for (int i = 0; i < spectrum_fft_size; ++i)
        out[i] = amp * static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * (i + offset) / rate));
    return out;
}

std::vector<float> spectrum_of(const std::vector<float>& mono) {
    spectrum_analyser a;
    std::vector<float> out(spectrum_bins);
    a.compute(mono.data(), out.data());
    return out;
}

int peak_bin(const std::vector<float>& s) {
    return static_cast<int>(std::max_element(s.begin(), s.end()) - s.begin());
}

constexpr double bin_hz = 44100.0 / spectrum_fft_size;

TEST(Spectrum, FullScaleSineReadsOneInItsBinAndNothingElsewhere) {
    const auto s = spectrum_of(mono_sine(23 * bin_hz, 1.0f));
    EXPECT_EQ(peak_bin(s), 23);
    EXPECT_NEAR(s[23], 1.0f, 0.01f);
    for (int k = 0; k < spectrum_bins; ++k) {
        EXPECT_GE(s[k], 0.0f);
        EXPECT_LE(s[k], 1.0f);
        if (std::abs(k - 23) > 1) {
            EXPECT_LT(s[k], 0.01f) << k;
        }
    }
    EXPECT_NEAR(spectrum_of(mono_sine(100 * bin_hz, 0.25f))[100], 0.25f, 0.005f);
    // An off-bin tone still reads close to its amplitude (Hann scalloping is under 1.5 dB).
    const auto between = spectrum_of(mono_sine(40.5 * bin_hz, 1.0f));
    EXPECT_GT(*std::max_element(between.begin(), between.end()), 0.8f);
}

TEST(Spectrum, ConstantToneGivesTheSameSpectrumWhereverTheWindowFalls) {
    const auto first = spectrum_of(mono_sine(1000.0, 0.7f));
    for (int offset : {1, 137, 735, 4410}) {
        const auto later = spectrum_of(mono_sine(1000.0, 0.7f, offset));
        EXPECT_EQ(peak_bin(later), peak_bin(first));
        for (int k = 0; k < spectrum_bins; ++k)
            EXPECT_NEAR(later[k], first[k], 0.02f) << "bin " << k << " offset " << offset;
    }
}

TEST(Resampler, KeepsPitchAmplitudeAndDuration) {
    resampled_source r(std::make_unique<pcm_cursor>(sine_sound(48000, 1.0, 23 * bin_hz, 0.8f)), 44100);
    std::vector<float> all;
    std::vector<float> block(2 * 777);
    while (const size_t got = r.read(block.data(), 777))
        all.insert(all.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got * 2));
    EXPECT_NEAR(static_cast<double>(all.size() / 2), 44100.0, 1.0);
    std::vector<float> mono(spectrum_fft_size);
    for (int i = 0; i < spectrum_fft_size; ++i)
        mono[i] = all[(10000 + i) * 2];
    const auto s = spectrum_of(mono);
    EXPECT_EQ(peak_bin(s), 23);
    EXPECT_NEAR(s[23], 0.8f, 0.02f);
}

TEST(Resampler, SeekGivesExactlyWhatAContinuousReadGives) {
    const auto sound = sine_sound(48000, 0.5, 3000, 0.9f);
    resampled_source continuous(std::make_unique<pcm_cursor>(sound), 44100);
    std::vector<float> all(2 * 22050);
    ASSERT_EQ(continuous.read(all.data(), 22050), 22050u);
    resampled_source seeker(std::make_unique<pcm_cursor>(sound), 44100);
    for (uint64_t at : {0ull, 1ull, 147ull, 9999ull, 20000ull}) {
        ASSERT_TRUE(seeker.seek(at));
        std::vector<float> got(2 * 50);
        ASSERT_EQ(seeker.read(got.data(), 50), 50u);
        for (size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(got[i], all[at * 2 + i]) << "seek " << at << " sample " << i;
    }
}

TEST(Resampler, Mp3At48kPlaysAtTheMixingRate) {
    const std::string path = cached_mp3("sine1k_48000.mp3", 48000, [] { return stereo_sine(48000, 1.0, 1000.0, 0.5f, 0.5f); });
    auto stream = at_rate(mp3_stream::open(path), 44100);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->rate(), 44100);
    size_t frames = 0;
    std::vector<float> block(2 * 1024);
    while (const size_t got = stream->read(block.data(), 1024))
        frames += got;
    EXPECT_NEAR(static_cast<double>(frames), 44100.0, 1.0);
}

}  // namespace
