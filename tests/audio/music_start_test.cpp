// The show's music sequence against real files in a scratch working directory, with no
// GL and no sound card: start-up failures, the silent output and the offline output.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "audio/music.h"
#include "mp3_fixture.h"
#include "sound/spectrum.h"

namespace {

namespace fs = std::filesystem;

std::string sweep_file()
{
    return cached_mp3("sweep52.mp3", 44100, [] { return stereo_sweep(44100, 52.0, 100.0, 3000.0, 0.5f); });
}
std::string effects_source()
{
    return cached_mp3("tone3s_44100.mp3", 44100, [] { return stereo_sine(44100, 3.0, 1000.0, 0.6f, 0.3f); });
}

int peak_bin(const float* s) { return static_cast<int>(std::max_element(s, s + 512) - s); }

class MusicStart : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        home_ = fs::current_path();
        dir_ = fs::temp_directory_path() / ("thornwake-music-" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "music");
        fs::current_path(dir_);
    }
    void TearDown() override
    {
        music_close();
        fs::current_path(home_);
        fs::remove_all(dir_);
    }
    void add_music() { fs::copy_file(sweep_file(), dir_ / "music" / "PS.mp3"); }
    void add_effects() { fs::copy_file(effects_source(), dir_ / "music" / "Kelpwander sfx.mp3"); }

    fs::path home_, dir_;
};

TEST(MusicStatus, MessagesAndExitCodes)
{
    EXPECT_STREQ(music_status_message(music_status::init_failed),
                 "Problem initializing FMod. \nProgram will now exit.");
    EXPECT_STREQ(music_status_message(music_status::no_music_file), "Problem initializing FMod. \nNo sound file.");
    EXPECT_STREQ(music_status_message(music_status::no_effects_file), "Problem initializing FMod. \nNo sfx file.");
    EXPECT_STREQ(music_status_message(music_status::ok), "");
    EXPECT_EQ(music_status_exit_code(music_status::init_failed), 1);
    EXPECT_EQ(music_status_exit_code(music_status::no_music_file), 1);
    EXPECT_EQ(music_status_exit_code(music_status::no_effects_file), 1);
    EXPECT_EQ(music_status_exit_code(music_status::ok), 0);
}

TEST_F(MusicStart, MissingMusicFileFailsInEveryOutputAndLeavesFramesAlone)
{
    for (sound_output out : {sound_output::device, sound_output::silent, sound_output::offline}) {
        EXPECT_EQ(music_start(false, out), music_status::no_music_file);
        float level = 0.25f;
        float spectrum[512];
        std::fill(spectrum, spectrum + 512, 0.5f);
        music_set_offline_time(60.0);
        music_read_frame(level, spectrum);
        EXPECT_EQ(level, 0.25f);
        EXPECT_EQ(spectrum[100], 0.5f);
    }
}

TEST_F(MusicStart, EffectsFileIsNeededOnlyWhenEffectsAreOn)
{
    add_music();
    EXPECT_EQ(music_start(false, sound_output::offline), music_status::ok);
    EXPECT_EQ(music_start(true, sound_output::offline), music_status::no_effects_file);
    add_effects();
    EXPECT_EQ(music_start(true, sound_output::offline), music_status::ok);
}

TEST_F(MusicStart, SilentOutputPlaysFromFiftySeconds)
{
    add_music();
    // The silent output's clock, moved by hand: 0.1 s in, the music has played 0.1 s from 50 s.
    static std::atomic<double> now{0};
    now = 0;
    ASSERT_EQ(music_start(false, sound_output::silent, [] { return now.load(); }), music_status::ok);
    now = 0.1;
    float level = 0;
    float spectrum[512] = {};
    // Polls rather than sleeping a fixed time: a loaded machine may run the mixer late.
    auto read_until = [&](auto done) {
        for (int i = 0; i < 300; ++i) {
            music_read_frame(level, spectrum);
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    };
    // At 50 s the sweep is near 100 + 2900 * 50 / 52 Hz = 2888 Hz, bin 67; 0.1 s from the
    // track's start it would still be at bin 2.
    EXPECT_TRUE(read_until([&] { return std::abs(peak_bin(spectrum) - 67) <= 2 && spectrum[67] > 0.3f; }))
        << peak_bin(spectrum);
    EXPECT_NEAR(level, 0.5f, 0.05f);
    music_set_volume(1, 0);
    now = 0.2;
    EXPECT_TRUE(read_until([&] { return level == 0.0f; })) << level;
}

TEST_F(MusicStart, OfflineFramesAreTheSpectrumOfTheMusicAtThatTime)
{
    add_music();
    const reference_decode ref = decode_reference(sweep_file());
    ASSERT_EQ(music_start(false, sound_output::offline), music_status::ok);
    spectrum_analyser analyse;
    for (double show_time : {0.0, 0.5, 1.0 / 3.0, 1.25}) {
        const double track = 50.0 + show_time;
        music_set_offline_time(track);
        float level = 0;
        float spectrum[512] = {};
        music_read_frame(level, spectrum);

        const auto end = static_cast<size_t>(std::llround(track * 44100));
        float mono[spectrum_fft_size];
        float peak_l = 0, peak_r = 0;
        for (size_t i = 0; i < spectrum_fft_size; ++i) {
            const size_t at = (end - spectrum_fft_size + i) * 2;
            mono[i] = 0.5f * (ref.stereo[at] + ref.stereo[at + 1]);
            if (i >= spectrum_fft_size - 882) {
                peak_l = std::max(peak_l, std::fabs(ref.stereo[at]));
                peak_r = std::max(peak_r, std::fabs(ref.stereo[at + 1]));
            }
        }
        float expected[512];
        analyse.compute(mono, expected);
        for (int k = 0; k < 512; ++k) ASSERT_NEAR(spectrum[k], expected[k], 1e-3f) << "bin " << k << " at " << track;
        EXPECT_NEAR(level, 0.5f * (peak_l + peak_r), 1e-4f);
    }
    // The closing fade's volume reaches the offline frames too.
    music_set_volume(1, 0);
    music_set_offline_time(51.0);
    float level = 1;
    float spectrum[512];
    music_read_frame(level, spectrum);
    EXPECT_EQ(level, 0.0f);
    EXPECT_EQ(*std::max_element(spectrum, spectrum + 512), 0.0f);
}

}  // namespace
