// The layer as a whole: outputs (device, fallback, silent, offline), streams and samples,
// and the show's thread calling in while an output thread mixes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "mp3_fixture.h"
#include "sound/sound_system.h"

namespace {

using namespace std::chrono_literals;

std::string tone_file()
{
    return cached_mp3("tone3s_44100.mp3", 44100, [] { return stereo_sine(44100, 3.0, 1000.0, 0.6f, 0.3f); });
}

sound_settings settings_for(sink_kind kind)
{
    sound_settings s;
    s.rate = 44100;
    s.channels = 32;
    s.options = 2;
    s.output = kind;
    return s;
}

// A clock the test moves by hand, read by the output thread.
struct hand_clock {
    std::atomic<double> seconds{0};
    std::function<double()> reader()
    {
        return [this] { return seconds.load(); };
    }
};

// Waits (at most a few seconds) for the output thread to have played `frames` of channel 1.
bool wait_for_position(const sound_system& sys, uint64_t frames)
{
    for (int i = 0; i < 400 && sys.position(1) < frames; ++i) std::this_thread::sleep_for(10ms);
    return sys.position(1) >= frames;
}

void plays_and_meters(sound_system& sys)
{
    ASSERT_TRUE(sys.play(1, sys.open_stream(tone_file(), 0x130)));
    sys.set_spectrum_enabled(true);
    ASSERT_TRUE(wait_for_position(sys, 4410));
    const stereo_level l = sys.levels(1);
    EXPECT_NEAR(l.left, 0.6f, 0.05f);
    EXPECT_NEAR(l.right, 0.3f, 0.05f);
    float spectrum[spectrum_bins];
    ASSERT_TRUE(sys.spectrum(spectrum));
    EXPECT_GT(spectrum[23], 0.3f);  // 1 kHz sits in bin 23 of 1024 points at 44.1 kHz
}

TEST(SoundSystem, RejectsSettingsNoMixerCanUse)
{
    sound_system sys;
    sound_settings bad = settings_for(sink_kind::offline);
    bad.rate = 0;
    EXPECT_FALSE(sys.start(bad));
    bad = settings_for(sink_kind::offline);
    bad.channels = 0;
    EXPECT_FALSE(sys.start(bad));
    EXPECT_FALSE(sys.running());
    float spectrum[spectrum_bins] = {};
    EXPECT_FALSE(sys.spectrum(spectrum));
    EXPECT_FALSE(sys.open_stream(tone_file()));
}

TEST(SoundSystem, DevicePlaysThroughSdl)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    sound_system sys;
    ASSERT_TRUE(sys.start(settings_for(sink_kind::device)));
    EXPECT_EQ(sys.output_kind(), sink_kind::device);
    plays_and_meters(sys);
}

TEST(SoundSystem, MissingDeviceFallsBackToSilentWithOneLine)
{
    setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
    sound_system sys;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sys.start(settings_for(sink_kind::device)));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(sys.output_kind(), sink_kind::silent);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("silent"), std::string::npos) << said;
    plays_and_meters(sys);
}

TEST(SoundSystem, SilentOutputPlaysExactlyAsFarAsItsClock)
{
    hand_clock clock;
    sound_settings s = settings_for(sink_kind::silent);
    s.clock = clock.reader();
    sound_system sys;
    ASSERT_TRUE(sys.start(s));
    ASSERT_TRUE(sys.play(1, sys.open_stream(tone_file())));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(sys.position(1), 0u);  // the clock stands still: nothing is mixed

    clock.seconds = 0.25;
    ASSERT_TRUE(wait_for_position(sys, 11025));
    std::this_thread::sleep_for(30ms);  // several of the output's ticks: never ahead
    EXPECT_EQ(sys.position(1), 11025u);

    clock.seconds = 1.0;
    ASSERT_TRUE(wait_for_position(sys, 44100));
    EXPECT_EQ(sys.position(1), 44100u);
    clock.seconds = 0.5;  // a clock that went back mixes nothing
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(sys.position(1), 44100u);
}

TEST(SoundSystem, OfflineOutputMovesOnlyWhenAsked)
{
    sound_system sys;
    ASSERT_TRUE(sys.start(settings_for(sink_kind::offline)));
    ASSERT_TRUE(sys.play(1, sys.open_stream(tone_file())));
    sys.set_spectrum_enabled(true);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(sys.position(1), 0u);
    EXPECT_EQ(sys.levels(1).left, 0.0f);
    sys.mix_window_ending_at(1, 44100);
    EXPECT_EQ(sys.position(1), 44100u);
    EXPECT_NEAR(sys.levels(1).left, 0.6f, 0.05f);
    sys.set_volume(1, 0);
    sys.mix_window_ending_at(1, 44100);
    EXPECT_EQ(sys.levels(1).left, 0.0f);
    float spectrum[spectrum_bins];
    ASSERT_TRUE(sys.spectrum(spectrum));
    EXPECT_EQ(*std::max_element(spectrum, spectrum + spectrum_bins), 0.0f);
}

TEST(SoundSystem, SamplesAreDecodedWholeAtTheMixingRate)
{
    sound_system sys;
    ASSERT_TRUE(sys.start(settings_for(sink_kind::offline)));
    const auto sample = sys.load_sample(
        cached_mp3("sine1k_48000.mp3", 48000, [] { return stereo_sine(48000, 1.0, 1000.0, 0.5f, 0.5f); }), 0x130);
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->rate, 44100);
    EXPECT_NEAR(static_cast<double>(sample->frames()), 44100.0, 1.0);
    EXPECT_FALSE(sys.load_sample("no/such.mp3"));
    EXPECT_TRUE(sys.play(2, sample));
    EXPECT_FALSE(sys.play(2, std::shared_ptr<const pcm_sound>()));
    EXPECT_FALSE(sys.play(40, sample));
}

// Under ThreadSanitizer this is the race check: the show's calls against the mixing thread.
TEST(SoundSystem, ShowThreadCallsWhileTheOutputMixes)
{
    sound_system sys;
    ASSERT_TRUE(sys.start(settings_for(sink_kind::silent)));
    ASSERT_TRUE(sys.play(1, sys.open_stream(tone_file())));
    sys.set_spectrum_enabled(true);
    float spectrum[spectrum_bins];
    for (int i = 0; i < 300; ++i) {
        sys.set_volume(1, i % 256);
        sys.levels(1);
        sys.spectrum(spectrum);
        if (i % 50 == 0) sys.set_position(1, static_cast<uint64_t>(i) * 10);
        std::this_thread::sleep_for(1ms);
    }
    sys.close();
    EXPECT_FALSE(sys.running());
}

}  // namespace
