#include "datagen/music/master.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>

#include "datagen/music/dsp.h"

namespace music {

namespace {

struct biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double z1 = 0, z2 = 0;
    double process(double x) {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two K-weighting stages, derived for our sample rate from their analogue prototypes.
std::array<biquad, 2> k_weighting() {
    biquad shelf, highpass;
    {
        const double f0 = 1681.974450955533, gain_db = 3.999843853973347, q = 0.7071752369554196;
        const double k = std::tan(pi * f0 / sample_rate);
        const double vh = std::pow(10.0, gain_db / 20.0);
        const double vb = std::pow(vh, 0.4996667741545416);
        const double a0 = 1.0 + k / q + k * k;
        shelf.b0 = (vh + vb * k / q + k * k) / a0;
        shelf.b1 = 2.0 * (k * k - vh) / a0;
        shelf.b2 = (vh - vb * k / q + k * k) / a0;
        shelf.a1 = 2.0 * (k * k - 1.0) / a0;
        shelf.a2 = (1.0 - k / q + k * k) / a0;
    }
    {
        const double f0 = 38.13547087602444, q = 0.5003270373238773;
        const double k = std::tan(pi * f0 / sample_rate);
        const double a0 = 1.0 + k / q + k * k;
        highpass.b0 = 1.0, highpass.b1 = -2.0, highpass.b2 = 1.0;
        highpass.a1 = 2.0 * (k * k - 1.0) / a0;
        highpass.a2 = (1.0 - k / q + k * k) / a0;
    }
    return {shelf, highpass};
}

// Mean square of the K-weighted signal per 100 ms, summed over both channels.
std::vector<double> segment_power(const stereo& mix) {
    const size_t seg = sample_rate / 10;
    const size_t n = std::min(mix.left.size(), mix.right.size());
    std::vector<double> power(n / seg, 0.0);
    for (const mono* ch : {&mix.left, &mix.right}) {
        auto k = k_weighting();
        for (size_t s = 0; s < power.size(); ++s) {
            double sum = 0;
            for (size_t i = s * seg; i < (s + 1) * seg; ++i) {
                const double y = k[1].process(k[0].process((*ch)[i]));
                sum += y * y;
            }
            power[s] += sum / static_cast<double>(seg);
        }
    }
    return power;
}

double lufs_of(double power) { return -0.691 + 10.0 * std::log10(std::max(power, 1e-20)); }

// 4x oversampling: three interpolating phases of a Hann-windowed sinc, 12 taps each.
constexpr int half_taps = 6;
using phase_taps = std::array<float, 2 * half_taps>;

std::array<phase_taps, 3> interpolation_taps() {
    std::array<phase_taps, 3> taps{};
    for (int p = 1; p <= 3; ++p) {
        const double frac = p / 4.0;
        for (int k = 0; k < 2 * half_taps; ++k) {
            const double x = (k - half_taps + 1) - frac;  // distance from the tap to the point
            const double sinc = std::sin(pi * x) / (pi * x);
            const double w = 0.5 + 0.5 * std::cos(pi * x / (half_taps + 0.5));
            taps[p - 1][k] = static_cast<float>(sinc * w);
        }
    }
    return taps;
}

// Peak of the oversampled channel around sample i (i itself and the three points after it).
float local_true_peak(const mono& x, size_t i, const std::array<phase_taps, 3>& taps) {
    float peak = std::abs(x[i]);
    if (i + 1 < static_cast<size_t>(half_taps) || i + half_taps >= x.size()) return peak;
    const float* base = &x[i + 1 - half_taps];
    for (const phase_taps& t : taps) {
        float sum = 0;
        for (int k = 0; k < 2 * half_taps; ++k) sum += base[k] * t[k];
        peak = std::max(peak, std::abs(sum));
    }
    return peak;
}

// Interpolation can overshoot its neighbours by at most the taps' absolute sum; below that
// bound the oversampled peak cannot reach the threshold and the filter is skipped.
float overshoot_bound(const std::array<phase_taps, 3>& taps) {
    float bound = 0;
    for (const phase_taps& t : taps) {
        float sum = 0;
        for (float v : t) sum += std::abs(v);
        bound = std::max(bound, sum);
    }
    return bound;
}

// Per-sample oversampled peak of both channels, exact only where it could exceed floor.
std::vector<float> peak_envelope(const stereo& mix, float floor) {
    const auto taps = interpolation_taps();
    const float bound = overshoot_bound(taps);
    const size_t n = std::min(mix.left.size(), mix.right.size());
    constexpr size_t block = 8;  // not below half_taps: a window then spans three blocks
    std::vector<float> env(n, 0.0f);
    std::vector<float> block_max(n / block + 1);
    for (const mono* ch : {&mix.left, &mix.right}) {
        const mono& x = *ch;
        std::fill(block_max.begin(), block_max.end(), 0.0f);
        for (size_t i = 0; i < n; ++i) block_max[i / block] = std::max(block_max[i / block], std::abs(x[i]));
        for (size_t i = 0; i < n; ++i) {
            const size_t b = i / block;
            float near = block_max[b];
            if (b > 0) near = std::max(near, block_max[b - 1]);
            if (b + 1 < block_max.size()) near = std::max(near, block_max[b + 1]);
            const float peak = near * bound < floor ? std::abs(x[i]) : local_true_peak(x, i, taps);
            env[i] = std::max(env[i], peak);
        }
    }
    return env;
}

}  // namespace

double integrated_loudness(const stereo& mix) {
    const std::vector<double> seg = segment_power(mix);
    if (seg.size() < 4) return -70.0;
    std::vector<double> blocks;
    for (size_t i = 0; i + 4 <= seg.size(); ++i) blocks.push_back((seg[i] + seg[i + 1] + seg[i + 2] + seg[i + 3]) / 4.0);
    auto gated_mean = [&](double threshold) {
        double sum = 0;
        size_t count = 0;
        for (double b : blocks) {
            if (lufs_of(b) > threshold) sum += b, ++count;
        }
        return count ? sum / static_cast<double>(count) : 0.0;
    };
    const double absolute = gated_mean(-70.0);
    if (absolute <= 0) return -70.0;
    return lufs_of(gated_mean(lufs_of(absolute) - 10.0));
}

double true_peak(const stereo& mix) {
    // The true peak is at least the sample peak, so only points that could beat it need
    // the oversampling filter.
    float sample_peak = 0;
    for (const mono* ch : {&mix.left, &mix.right})
        for (float v : *ch) sample_peak = std::max(sample_peak, std::abs(v));
    if (sample_peak == 0) return 0;
    const std::vector<float> env = peak_envelope(mix, sample_peak);
    return env.empty() ? 0.0 : *std::max_element(env.begin(), env.end());
}

void limit_true_peak(stereo& mix, float ceiling) {
    const std::vector<float> env = peak_envelope(mix, ceiling);
    const size_t n = env.size();
    constexpr size_t lookahead = 66;
    // need[k]: the lowest gain any sample in [k, k + lookahead] asks for, so the gain is
    // already down when a peak arrives. Sliding minimum with a monotonic queue.
    std::vector<float> need(n, 1.0f);
    std::deque<size_t> window_min;
    auto asked = [&](size_t i) { return env[i] > ceiling ? ceiling / env[i] : 1.0f; };
    for (size_t j = n; j-- > 0;) {
        while (!window_min.empty() && asked(window_min.back()) >= asked(j)) window_min.pop_back();
        window_min.push_back(j);
        if (window_min.front() > j + lookahead) window_min.pop_front();
        need[j] = asked(window_min.front());
    }
    // Averaging over the look-ahead window smooths the attack and never exceeds need.
    const float release = 1.0f - std::exp(-1.0f / (0.08f * sample_rate));
    double window = 0;
    float gain = 1.0f;
    for (size_t i = 0; i < n; ++i) {
        window += need[i];
        if (i >= lookahead + 1) window -= need[i - lookahead - 1];
        const size_t count = std::min(i + 1, lookahead + 1);
        const float smooth = static_cast<float>(window / static_cast<double>(count));
        gain = std::min(smooth, gain + (1.0f - gain) * release);
        mix.left[i] *= gain;
        mix.right[i] *= gain;
    }
}

void remove_dc(stereo& mix) {
    const double r = std::exp(-2.0 * pi * dc_cutoff_hz / sample_rate);
    const double unity = 0.5 * (1.0 + r);  // passband gain 1 instead of 2 / (1 + r)
    for (mono* ch : {&mix.left, &mix.right}) {
        double x1 = 0, y1 = 0;
        for (float& v : *ch) {
            const double y = unity * (v - x1) + r * y1;
            x1 = v;
            y1 = y;
            v = static_cast<float>(y);
        }
    }
}

master_result master_to(stereo& mix, double target_lufs, double ceiling_dbtp) {
    const float ceiling = db_to_gain(static_cast<float>(ceiling_dbtp));
    // Before the limiter: an offset would eat headroom on one side and bias its gain.
    remove_dc(mix);
    const stereo source = mix;
    double gain_db = target_lufs - integrated_loudness(mix);
    // Limiting takes some loudness away; two corrections land within a few hundredths of a dB.
    for (int pass = 0; pass < 3; ++pass) {
        const float g = db_to_gain(static_cast<float>(gain_db));
        for (size_t i = 0; i < mix.left.size(); ++i) {
            mix.left[i] = source.left[i] * g;
            mix.right[i] = source.right[i] * g;
        }
        limit_true_peak(mix, ceiling);
        const double loudness = integrated_loudness(mix);
        if (pass == 2 || std::abs(loudness - target_lufs) < 0.05) break;
        gain_db += target_lufs - loudness;
    }
    // Interpolation between look-ahead steps can leave a hair over the ceiling.
    double peak = true_peak(mix);
    if (peak > ceiling) {
        const float trim = static_cast<float>(ceiling / peak);
        for (size_t i = 0; i < mix.left.size(); ++i) mix.left[i] *= trim, mix.right[i] *= trim;
        peak *= trim;
    }
    return {integrated_loudness(mix), 20.0 * std::log10(std::max(peak, 1e-12))};
}

}  // namespace music
