// The finished files, decoded through the sound layer: one full generation per run, checked
// the way the show and a listener will meet them.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>

#include "datagen/music/cues.h"
#include "datagen/music/master.h"
#include "datagen/music/music.h"
#include "tests/datagen/music/analysis.h"

using namespace music;
namespace fs = std::filesystem;

namespace {

struct generated {
    decoded_audio song, effects;
    double seconds = 0;
    std::string error;
};

generated generate_once()
{
    generated g;
    const fs::path dir = fs::path(THORNWAKE_BINARY_DIR) / "test-datagen-music" / "full";
    fs::remove_all(dir);
    const auto t0 = std::chrono::steady_clock::now();
    if (!generate_music(dir, g.error)) return g;
    g.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    g.song = decode_mp3_file((dir / "music" / "PS.mp3").string());
    g.effects = decode_mp3_file((dir / "music" / "Kelpwander sfx.mp3").string());
    return g;
}

stereo as_stereo(const decoded_audio& a) { return {a.left, a.right}; }

// Strength of the low bins through the beat: the mean of bins 1 and 2 at 16 points of the
// beat, averaged over every beat of the show. Returns max / min of that profile.
double low_bin_beat_swing(const std::vector<float>& mono, int rate, int bin)
{
    constexpr int phases = 16;
    std::vector<double> profile(phases, 0.0);
    const double beat = beat_scene_s / scene_clock_rate;
    for (double t = 0; t < 209.0; t += beat_scene_s) {
        for (int p = 0; p < phases; ++p) {
            const double at = track_time_of(t) + beat * (p + 0.5) / phases;
            profile[static_cast<size_t>(p)] += spectrum_bin_at(mono, rate, at, bin);
        }
    }
    const auto [lo, hi] = std::minmax_element(profile.begin(), profile.end());
    return *hi / std::max(*lo, 1e-9);
}

}  // namespace

TEST(Soundtrack, FullTrackAsTheShowAndAListenerMeetIt)
{
    const generated g = generate_once();
    ASSERT_TRUE(g.error.empty()) << g.error;
    RecordProperty("generation_seconds", std::to_string(g.seconds));
    const decoded_audio& a = g.song;

    ASSERT_EQ(a.rate, 44100);
    EXPECT_EQ(a.channels, 2);
    ASSERT_GE(a.left.size(), static_cast<size_t>(250 * 44100));

    float sample_peak = 0;
    for (const auto* ch : {&a.left, &a.right})
        for (float v : *ch) sample_peak = std::max(sample_peak, std::abs(v));
    EXPECT_LT(sample_peak, 1.0f);
    const double peak_db = 20 * std::log10(true_peak(as_stereo(a)));
    const double lufs = integrated_loudness(as_stereo(a));
    EXPECT_LE(peak_db, -1.0);
    EXPECT_NEAR(lufs, -14.0, 1.0);
    // No DC offset after the master, on either side.
    for (const auto* ch : {&a.left, &a.right}) {
        double sum = 0;
        for (float v : *ch) sum += v;
        EXPECT_NEAR(sum / static_cast<double>(ch->size()), 0.0, 0.0005);
    }

    const std::vector<float> mono = mono_mix(a);
    std::vector<double> expected;
    for (const cue& c : show_cues()) expected.push_back(track_time_of(c.scene_time));
    const double hit = fraction_hit(detect_onsets(mono, a.rate), expected, 0.020);
    EXPECT_GE(hit, 0.9);

    // The intro, which only the file's listener hears, plays throughout.
    EXPECT_GT(rms_db(mono, 0, 50 * 44100), -30.0);
    for (int s = 2; s < 50; s += 4) EXPECT_GT(rms_db(mono, s * 44100, (s + 4) * 44100), -45.0) << s;

    const double swing1 = low_bin_beat_swing(mono, a.rate, 1);
    const double swing2 = low_bin_beat_swing(mono, a.rate, 2);
    EXPECT_GT(swing1, 1.5);
    EXPECT_GT(swing2, 1.5);
    std::printf("generation %.1f s, true peak %.2f dBTP, loudness %.2f LUFS, cues hit %.0f%%, "
                "low-bin swing %.2f / %.2f\n",
                g.seconds, peak_db, lufs, 100 * hit, swing1, swing2);

    // The effects track runs in show time: a hit at each of its moments, silence between.
    const decoded_audio& e = g.effects;
    ASSERT_EQ(e.rate, 44100);
    EXPECT_EQ(e.channels, 2);
    EXPECT_GE(e.left.size(), static_cast<size_t>(198 * 44100));
    const std::vector<float> fx = mono_mix(e);
    const size_t hit_at = static_cast<size_t>(16 / scene_clock_rate * 44100);
    EXPECT_GT(rms_db(fx, hit_at, hit_at + 8820), -30.0);
    EXPECT_LT(rms_db(fx, 2 * 44100, 10 * 44100), -80.0);
    EXPECT_LT(20 * std::log10(true_peak(as_stereo(e))), -1.0);
}
