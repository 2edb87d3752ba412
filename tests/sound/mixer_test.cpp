// Channels, volume, positions, meters and the offline window of the mixer.
#include <gtest/gtest.h>

#include <cmath>

#include "mp3_fixture.h"
#include "sound/mixer.h"
#include "sound/mp3_stream.h"
#include "sound/pcm_sound.h"
#include "sound/silent_pump.h"
#include "sound/spectrum.h"

namespace {

std::unique_ptr<sound_source> tone(float left, float right, double seconds = 2.0, double hz = 440.0) {
    auto s = std::make_shared<pcm_sound>();
    s->stereo = stereo_sine(44100, seconds, hz, left, right);
    return std::make_unique<pcm_cursor>(s);
}

std::vector<float> mix(mixer& m, size_t frames) {
    std::vector<float> out(frames * 2);
    m.mix(out.data(), frames);
    return out;
}

TEST(Mixer, LevelsFollowEachSideOfTheChannel) {
    mixer m(44100, 32);
    ASSERT_TRUE(m.play(1, tone(0.8f, 0.2f)));
    mix(m, 2048);
    const stereo_level l = m.levels(1);
    EXPECT_NEAR(l.left, 0.8f, 0.01f);
    EXPECT_NEAR(l.right, 0.2f, 0.01f);
    // Other channels hear nothing of it.
    EXPECT_EQ(m.levels(2).left, 0.0f);
    EXPECT_EQ(m.levels(99).left, 0.0f);
}

TEST(Mixer, VolumeScalesOutputAndMetersAndZeroSilences) {
    mixer m(44100, 4);
    m.play(1, tone(0.8f, 0.8f));
    m.set_volume(1, 0);
    for (float v : mix(m, 4096))
        ASSERT_EQ(v, 0.0f);
    EXPECT_EQ(m.levels(1).left, 0.0f);
    m.set_volume(1, 300);
    EXPECT_EQ(m.volume(1), max_volume);
    m.set_volume(1, 51);  // a fifth
    mix(m, 4096);
    EXPECT_NEAR(m.levels(1).left, 0.16f, 0.005f);
}

TEST(Mixer, ChannelsAddAndTheSumIsClamped) {
    mixer m(44100, 4);
    m.play(0, tone(0.7f, 0.7f));
    m.play(1, tone(0.7f, 0.7f));
    float peak = 0;
    for (float v : mix(m, 4096))
        peak = std::max(peak, std::fabs(v));
    EXPECT_EQ(peak, 1.0f);
}

TEST(Mixer, HeldOutputIsSilentAndMovesNothing) {
    mixer m(44100, 4);
    m.play(1, tone(0.5f, 0.5f));
    m.set_held(true);
    for (float v : mix(m, 2048))
        ASSERT_EQ(v, 0.0f);
    EXPECT_EQ(m.position(1), 0u);
    m.set_held(false);
    mix(m, 100);
    EXPECT_EQ(m.position(1), 100u);
}

TEST(Mixer, PositionsAdvanceWithMixingAndCanBeSet) {
    mixer m(44100, 4);
    m.play(1, tone(0.5f, 0.5f, 1.0));
    mix(m, 1000);
    mix(m, 3000);
    EXPECT_EQ(m.position(1), 4000u);
    EXPECT_EQ(m.frames_mixed(), 4000u);
    ASSERT_TRUE(m.set_position(1, 44000));
    mix(m, 500);
    // The sound ran out after 100 frames: the channel stops and its meter falls silent.
    EXPECT_EQ(m.position(1), 44100u);
    EXPECT_FALSE(m.playing(1));
    mix(m, 2048);
    EXPECT_EQ(m.levels(1).left, 0.0f);
    // Moving an ended channel back plays it again.
    EXPECT_TRUE(m.set_position(1, 0));
    EXPECT_TRUE(m.playing(1));
    EXPECT_FALSE(m.set_position(3, 0));  // nothing there
}

TEST(Mixer, PacedReadsFollowWhatIsBeingHeard) {
    // 1024 quiet frames, then 1024 loud ones.
    auto s = std::make_shared<pcm_sound>();
    s->stereo = stereo_sine(44100, 1024.0 / 44100, 441.0, 0.2f, 0.2f);
    const auto loud = stereo_sine(44100, 1024.0 / 44100, 441.0, 0.8f, 0.8f);
    s->stereo.insert(s->stereo.end(), loud.begin(), loud.end());
    mixer m(44100, 4);
    double now = 0;
    m.set_clock([&] { return now; });
    m.play(1, std::make_unique<pcm_cursor>(s));
    mix(m, 1024);
    mix(m, 1024);  // the device asks for the next buffer while the first one plays
    EXPECT_NEAR(m.levels(1).left, 0.2f, 0.01f);
    float before[spectrum_fft_size], later[spectrum_fft_size];
    m.recent_mono(before, spectrum_fft_size);
    now = 300.0 / 44100;
    m.recent_mono(later, spectrum_fft_size);
    EXPECT_NE(std::vector<float>(before, before + spectrum_fft_size), std::vector<float>(later, later + spectrum_fft_size));
    now = 1024.0 / 44100;
    EXPECT_NEAR(m.levels(1).left, 0.8f, 0.01f);
    now = 10.0;  // long after: still the end of the mix
    EXPECT_NEAR(m.levels(1).left, 0.8f, 0.01f);
}

TEST(Mixer, OfflineWindowIsTheSpectrumOfThoseSamplesWhateverCameBefore) {
    const std::string path = cached_mp3("sweep52.mp3", 44100, [] { return stereo_sweep(44100, 52.0, 100.0, 3000.0, 0.5f); });
    const reference_decode ref = decode_reference(path);
    ASSERT_GT(ref.stereo.size(), 2u * (2205000 + 44100));
    mixer m(44100, 32);
    ASSERT_TRUE(m.play(1, mp3_stream::open(path)));
    m.set_volume(1, 255);
    spectrum_analyser analyse;

    auto spectrum_at = [&](uint64_t end) {
        m.mix_window_ending_at(1, end, spectrum_fft_size);
        float mono[spectrum_fft_size];
        m.recent_mono(mono, spectrum_fft_size);
        std::vector<float> s(spectrum_bins);
        analyse.compute(mono, s.data());
        return s;
    };
    const uint64_t end = 2205000 + 44100 / 3;
    float expected_mono[spectrum_fft_size];
    for (int i = 0; i < spectrum_fft_size; ++i) {
        const size_t at = (end - spectrum_fft_size + i) * 2;
        expected_mono[i] = 0.5f * (ref.stereo[at] + ref.stereo[at + 1]);
    }
    std::vector<float> expected(spectrum_bins);
    analyse.compute(expected_mono, expected.data());

    const auto direct = spectrum_at(end);
    for (int k = 0; k < spectrum_bins; ++k)
        ASSERT_NEAR(direct[k], expected[k], 1e-3f) << k;
    EXPECT_EQ(m.position(1), end);
    // Same time after other times, forwards and backwards: the same values, bit for bit.
    spectrum_at(end - 735);
    spectrum_at(50000);
    EXPECT_EQ(spectrum_at(end), direct);
    spectrum_at(end - 735);
    EXPECT_EQ(spectrum_at(end), direct);
}

TEST(SilentPump, PositionAdvancesWithTheClock) {
    mixer m(44100, 4);
    m.play(1, tone(0.5f, 0.5f, 5.0));
    silent_pump pump(m);
    pump.advance_to(0.5);
    EXPECT_EQ(m.position(1), 22050u);
    pump.advance_to(0.25);  // clocks never run backwards here: nothing happens
    EXPECT_EQ(m.position(1), 22050u);
    pump.advance_to(2.0);
    EXPECT_EQ(m.position(1), 88200u);
    EXPECT_EQ(pump.frames_done(), 88200u);
    EXPECT_NEAR(m.levels(1).left, 0.5f, 0.01f);
}

}  // namespace
