// The synthesiser's building blocks and voices: the properties the music depends on.
#include <gtest/gtest.h>
#include <kiss_fftr.h>

#include <cmath>
#include <numeric>

#include "datagen/music/drums.h"
#include "datagen/music/dsp.h"
#include "datagen/music/voices.h"

using namespace music;

namespace {

std::vector<float> magnitudes(const std::vector<float>& x, size_t n) {
    kiss_fftr_cfg cfg = kiss_fftr_alloc(static_cast<int>(n), 0, nullptr, nullptr);
    std::vector<float> in(n);
    for (size_t i = 0; i < n; ++i) in[i] = x[i] * (0.5f - 0.5f * std::cos(2.0f * static_cast<float>(pi) * i / n));
    std::vector<kiss_fft_cpx> out(n / 2 + 1);
    kiss_fftr(cfg, in.data(), out.data());
    kiss_fftr_free(cfg);
    std::vector<float> mag(out.size());
    for (size_t k = 0; k < out.size(); ++k) mag[k] = std::hypot(out[k].r, out[k].i);
    return mag;
}

float band_energy(const std::vector<float>& x, float lo_hz, float hi_hz) {
    const size_t n = 8192;
    std::vector<float> padded(x);
    padded.resize(n, 0.0f);
    const std::vector<float> mag = magnitudes(padded, n);
    float sum = 0;
    for (size_t k = 0; k < mag.size(); ++k) {
        const float hz = static_cast<float>(k) * sample_rate / n;
        if (hz >= lo_hz && hz < hi_hz) sum += mag[k] * mag[k];
    }
    return sum;
}

float peak_of(const std::vector<float>& x) {
    float p = 0;
    for (float v : x) p = std::max(p, std::abs(v));
    return p;
}

}  // namespace

// Energy between the harmonics of hz relative to the energy on them, in dB.
double alias_db(const std::vector<float>& x, float hz) {
    const std::vector<float> mag = magnitudes(x, x.size());
    const double bin_hz = static_cast<double>(sample_rate) / x.size();
    double harmonic = 0, alias = 0;
    for (size_t k = 2; k < mag.size(); ++k) {
        const double f = k * bin_hz;
        const double nearest = std::round(f / hz) * hz;
        const double e = static_cast<double>(mag[k]) * mag[k];
        (std::abs(f - nearest) < 3 * bin_hz ? harmonic : alias) += e;
    }
    return 10 * std::log10(alias / harmonic);
}

TEST(Oscillators, SawHarmonicsDoNotFoldBack) {
    // A high note: the naive saw sprays aliases between its harmonics.
    const float hz = 3000.0f;
    saw_osc osc;
    std::vector<float> smooth(16384), naive(16384);
    float phase = 0;
    for (size_t i = 0; i < smooth.size(); ++i) {
        smooth[i] = osc.next(hz);
        naive[i] = 2 * phase - 1;
        phase = std::fmod(phase + hz / sample_rate, 1.0f);
    }
    EXPECT_LT(alias_db(smooth, hz), -25.0);
    EXPECT_LT(alias_db(smooth, hz), alias_db(naive, hz) - 10.0);
}

TEST(Oscillators, NoiseIsReproducibleAndCentred) {
    noise a(5), b(5), c(6);
    double sum = 0;
    bool differs = false;
    for (int i = 0; i < 100000; ++i) {
        const float x = a.next();
        ASSERT_EQ(x, b.next());
        differs |= x != c.next();
        ASSERT_GE(x, -1.0f);
        ASSERT_LT(x, 1.0f);
        sum += x;
    }
    EXPECT_TRUE(differs);
    EXPECT_NEAR(sum / 100000, 0.0, 0.01);
}

TEST(Envelopes, AttackSustainRelease) {
    const adsr shape{0.01f, 0.05f, 0.5f, 0.02f};
    const int gate = sample_rate / 2;
    envelope env(shape, gate);
    std::vector<float> y(sample_rate);
    for (float& v : y) v = env.next();
    EXPECT_NEAR(y[static_cast<size_t>(0.01f * sample_rate) - 1], 1.0f, 1e-3);
    EXPECT_NEAR(y[gate - 1], 0.5f, 0.01f);
    EXPECT_LT(y[gate + static_cast<int>(0.2f * sample_rate)], 1e-3f);
    for (size_t i = 1; i < y.size(); ++i) ASSERT_LE(std::abs(y[i] - y[i - 1]), 0.01f) << i;
}

TEST(Filters, LowPassKeepsTheLowAndCutsTheHigh) {
    auto through = [](float hz) {
        svf f;
        f.set(500.0f, 0.707f);
        sine_osc s;
        float peak = 0;
        for (int i = 0; i < sample_rate / 4; ++i) {
            const float y = f.low(s.next(hz));
            if (i > sample_rate / 8) peak = std::max(peak, std::abs(y));
        }
        return peak;
    };
    EXPECT_NEAR(through(100.0f), 1.0f, 0.05f);
    EXPECT_LT(through(8000.0f), 0.01f);
}

TEST(Filters, SweepingCutoffStaysBounded) {
    svf f;
    noise n(3);
    for (int i = 0; i < sample_rate; ++i) {
        f.set(20.0f + 19000.0f * static_cast<float>(i % 4410) / 4410.0f, 8.0f);
        ASSERT_LT(std::abs(f.low(n.next())), 20.0f) << i;
    }
}

TEST(Voices, KickSitsInTheLowBinsAndHatsAtTheTop) {
    const mono k = kick(1.0f);
    EXPECT_GT(band_energy(k, 30, 200), 20 * band_energy(k, 2000, 20000));
    const mono h = hat(1.0f, false, 1);
    EXPECT_GT(band_energy(h, 5000, 20000), 20 * band_energy(h, 20, 500));
}

TEST(Voices, EveryVoiceIsFiniteBoundedAndEndsQuiet) {
    const float chord[3] = {57, 60, 64};
    const std::vector<mono> hits = {
        kick(1), snare(1, 2), clap(1, 3), hat(1, true, 4), crash(1, 5), tom(1, 90), impact(1, 6),
        riser(2.0f, 1, 7), sub_drop(1), bass(33, 0.5f, 1, 0.8f), pluck(69, 1, 1), lead(76, 0.5f, 1),
        stab(chord, 1), pad(57, 1.0f, 1, 1).left,
    };
    for (size_t v = 0; v < hits.size(); ++v) {
        const mono& x = hits[v];
        ASSERT_GT(x.size(), 1000u) << v;
        for (float s : x) ASSERT_TRUE(std::isfinite(s)) << v;
        EXPECT_LT(peak_of(x), 2.0f) << v;
        EXPECT_GT(peak_of(x), 0.05f) << v;
        // Cut-off tails would click when the next note starts.
        if (v != 7) {
            EXPECT_LT(std::abs(x.back()), 0.01f) << v;
        }
    }
}

TEST(Voices, SameSeedSameHit) {
    EXPECT_EQ(snare(0.8f, 11), snare(0.8f, 11));
    EXPECT_NE(snare(0.8f, 11), snare(0.8f, 12));
}

TEST(Voices, RiserPeaksThenBreathesBeforeTheHit) {
    const mono r = riser(1.0f, 1.0f, 3);
    EXPECT_EQ(r.size(), static_cast<size_t>(sample_rate));
    const auto energy = [&](size_t from) {
        double s = 0;
        for (size_t i = from; i < from + 2205; ++i) s += r[i] * r[i];
        return s;
    };
    EXPECT_GT(energy(r.size() - 3 * 2205), 10 * energy(sample_rate / 4));
    EXPECT_EQ(energy(r.size() - 2205), 0.0);
}
