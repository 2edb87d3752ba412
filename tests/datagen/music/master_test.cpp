// Loudness and peak measurement against known signals, and the mastering that relies on it.
#include <gtest/gtest.h>

#include <cmath>

#include "datagen/music/dsp.h"
#include "datagen/music/fx.h"
#include "datagen/music/master.h"

using namespace music;

namespace {

stereo sine(double hz, double amplitude, double seconds, double phase = 0) {
    const size_t n = static_cast<size_t>(seconds * sample_rate);
    stereo s{mono(n), mono(n)};
    for (size_t i = 0; i < n; ++i) {
        const float v = static_cast<float>(amplitude * std::sin(2 * pi * hz * static_cast<double>(i) / sample_rate + phase));
        s.left[i] = s.right[i] = v;
    }
    return s;
}

stereo loud_noise(double seconds) {
    const size_t n = static_cast<size_t>(seconds * sample_rate);
    stereo s{mono(n), mono(n)};
    noise a(1), b(2);
    for (size_t i = 0; i < n; ++i) {
        const float burst = (i / 4410) % 3 == 0 ? 3.0f : 0.3f;
        s.left[i] = burst * a.next();
        s.right[i] = burst * b.next();
    }
    return s;
}

double mean(const mono& x) {
    double sum = 0;
    for (float v : x) sum += v;
    return x.empty() ? 0.0 : sum / static_cast<double>(x.size());
}

double rms(const mono& x, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

}  // namespace

TEST(Loudness, ReferenceSineReadsItsLevel) {
    // 1 kHz at -23 dBFS on both channels is -23 LUFS by definition of the scale.
    EXPECT_NEAR(integrated_loudness(sine(1000, std::pow(10.0, -23.0 / 20), 20)), -23.0, 0.1);
    EXPECT_NEAR(integrated_loudness(sine(1000, std::pow(10.0, -33.0 / 20), 20)), -33.0, 0.1);
}

TEST(Loudness, SilenceIsGatedOut) {
    stereo tone = sine(1000, std::pow(10.0, -20.0 / 20), 10);
    stereo with_gap = tone;
    with_gap.left.resize(with_gap.left.size() * 3, 0.0f);
    with_gap.right.resize(with_gap.right.size() * 3, 0.0f);
    EXPECT_NEAR(integrated_loudness(with_gap), integrated_loudness(tone), 0.1);
    EXPECT_LE(integrated_loudness(sine(1000, 0, 5)), -70.0);
}

TEST(TruePeak, FindsThePeakBetweenSamples) {
    // A quarter of the sample rate, sampled 45 degrees off its crests: every sample reads
    // 0.707 while the waveform reaches 1.
    const stereo s = sine(sample_rate / 4.0, 1.0, 1.0, pi / 4);
    float sample_peak = 0;
    for (float v : s.left) sample_peak = std::max(sample_peak, std::abs(v));
    EXPECT_NEAR(sample_peak, 0.707f, 0.001f);
    EXPECT_NEAR(true_peak(s), 1.0, 0.03);
}

TEST(Limiter, HoldsTheCeilingAndLeavesQuietPartsAlone) {
    stereo s = loud_noise(3.0);
    const stereo original = s;
    limit_true_peak(s, 0.5f);
    EXPECT_LE(true_peak(s), 0.5 * 1.01);
    // The quiet stretches (0.3) sit below the ceiling: once the gain has recovered from a
    // burst they pass untouched.
    const size_t quiet = 4410 * 3 - 230;
    EXPECT_NEAR(s.left[quiet], original.left[quiet], 0.01f);
}

TEST(Mastering, ReachesTheTargetUnderTheCeiling) {
    stereo s = loud_noise(20.0);
    const master_result r = master_to(s, -14.0, -1.8);
    EXPECT_NEAR(r.loudness_lufs, -14.0, 0.2);
    EXPECT_NEAR(integrated_loudness(s), r.loudness_lufs, 0.01);
    EXPECT_LE(20 * std::log10(true_peak(s)), -1.8 + 0.01);
}

TEST(Mastering, RemovesTheDcOffsetOfEachChannel) {
    // Like the arpeggio's narrow pulse: an offset that comes and goes with the notes, and
    // more of it on one side.
    stereo s = loud_noise(20.0);
    for (size_t i = 0; i < s.left.size(); ++i) {
        const float note = (i / 2205) % 4 == 0 ? 1.0f : 0.2f;
        s.left[i] -= 0.06f * note;
        s.right[i] -= 0.03f * note;
    }
    ASSERT_LT(mean(s.left), -0.02);
    const master_result r = master_to(s, -14.0, -1.8);
    EXPECT_NEAR(mean(s.left), 0.0, 0.0005);
    EXPECT_NEAR(mean(s.right), 0.0, 0.0005);
    EXPECT_NEAR(r.loudness_lufs, -14.0, 0.2);
    EXPECT_LE(r.true_peak_dbtp, -1.8 + 0.01);
}

TEST(Mastering, DcBlockerLeavesTheSubBassAndAboveAlone) {
    // 20.6 Hz is the sub octave of the lowest bass root, 47 Hz the kick's body.
    for (double hz : {20.6, 47.0, 1000.0, 15000.0}) {
        stereo s = sine(hz, 0.5, 4.0);
        const double before = rms(s.left, sample_rate, s.left.size());
        remove_dc(s);
        const double after = rms(s.left, sample_rate, s.left.size());
        EXPECT_NEAR(20 * std::log10(after / before), 0.0, hz < 30 ? 0.3 : 0.05) << hz << " Hz";
    }
    stereo step{mono(sample_rate, 0.25f), mono(sample_rate, -0.25f)};
    remove_dc(step);
    EXPECT_LT(std::abs(step.left.back()), 1e-4f);
    EXPECT_LT(std::abs(step.right.back()), 1e-4f);
}

TEST(Effects, ReverbAndEchoTailsFollowTheSend) {
    const size_t n = sample_rate * 3;
    mono send(n, 0.0f), l(n, 0.0f), r(n, 0.0f);
    send[100] = 1.0f;
    add_echo(send, l, r, {1000, 0.5f, 1.0f});
    EXPECT_FLOAT_EQ(l[1100], 1.0f);          // first repeat on the left
    EXPECT_EQ(r[1100], 0.0f);
    EXPECT_GT(std::abs(r[2100]), 0.1f);      // the second crosses to the right
    mono rl(n, 0.0f), rr(n, 0.0f);
    add_reverb(send, rl, rr, {});
    double early = 0, late = 0;
    for (size_t i = 0; i < sample_rate / 2; ++i) early += rl[i] * rl[i];
    for (size_t i = 2 * sample_rate; i < n; ++i) late += rl[i] * rl[i];
    EXPECT_GT(early, 0.0);
    EXPECT_LT(late, early * 0.05);
    EXPECT_NE(rl, rr);  // a wide image, not mono
}
