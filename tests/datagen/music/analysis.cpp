#include "tests/datagen/music/analysis.h"

#include <kiss_fftr.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>

#include "sound/mp3_stream.h"
#include "sound/spectrum.h"

namespace {

int stored_channels(const std::string& path) {
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    if (!h) return 0;
    int channels = 0;
    long rate = 0;
    int encoding = 0;
    if (mpg123_open(h, path.c_str()) == MPG123_OK) mpg123_getformat(h, &rate, &channels, &encoding);
    mpg123_close(h);
    mpg123_delete(h);
    return channels;
}

constexpr int frame_size = 1024;
constexpr int hop = 256;

}  // namespace

decoded_audio decode_mp3_file(const std::string& path) {
    decoded_audio out;
    auto stream = mp3_stream::open(path);
    if (!stream) return out;
    out.rate = stream->rate();
    out.channels = stored_channels(path);
    std::vector<float> block(2 * 8192);
    for (;;) {
        const size_t got = stream->read(block.data(), 8192);
        for (size_t i = 0; i < got; ++i) {
            out.left.push_back(block[2 * i]);
            out.right.push_back(block[2 * i + 1]);
        }
        if (got < 8192) break;
    }
    return out;
}

std::vector<float> mono_mix(const decoded_audio& a) {
    std::vector<float> m(a.left.size());
    for (size_t i = 0; i < m.size(); ++i) m[i] = 0.5f * (a.left[i] + a.right[i]);
    return m;
}

double rms_db(const std::vector<float>& x, size_t from, size_t to) {
    to = std::min(to, x.size());
    if (from >= to) return -200.0;
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(x[i]) * x[i];
    return 10.0 * std::log10(std::max(sum / static_cast<double>(to - from), 1e-20));
}

std::vector<double> detect_onsets(const std::vector<float>& mono, int rate) {
    std::vector<double> onsets;
    if (mono.size() < frame_size || rate <= 0) return onsets;
    kiss_fftr_cfg cfg = kiss_fftr_alloc(frame_size, 0, nullptr, nullptr);
    std::vector<float> window(frame_size), frame(frame_size);
    for (int i = 0; i < frame_size; ++i) window[i] = 0.5f - 0.5f * std::cos(2.0f * 3.14159265f * i / frame_size);
    std::vector<kiss_fft_cpx> bins(frame_size / 2 + 1);
    std::vector<float> previous(frame_size / 2 + 1, 0.0f);
    std::vector<double> flux;
    for (size_t start = 0; start + frame_size <= mono.size(); start += hop) {
        for (int i = 0; i < frame_size; ++i) frame[i] = mono[start + i] * window[i];
        kiss_fftr(cfg, frame.data(), bins.data());
        double sum = 0;
        for (size_t k = 1; k < bins.size(); ++k) {
            // Log magnitude: a quiet hat counts as much as a loud kick of the same rise.
            const float mag = std::log1p(1000.0f * std::hypot(bins[k].r, bins[k].i));
            sum += std::max(0.0f, mag - previous[k]);
            previous[k] = mag;
        }
        flux.push_back(sum);
    }
    kiss_fftr_free(cfg);
    constexpr int context = 12;
    for (size_t i = 1; i + 1 < flux.size(); ++i) {
        if (flux[i] < flux[i - 1] || flux[i] <= flux[i + 1]) continue;
        const size_t lo = i >= context ? i - context : 0;
        const size_t hi = std::min(flux.size(), i + context + 1);
        std::vector<double> around(flux.begin() + static_cast<long>(lo), flux.begin() + static_cast<long>(hi));
        std::nth_element(around.begin(), around.begin() + static_cast<long>(around.size() / 2), around.end());
        const double median = around[around.size() / 2];
        if (flux[i] > 1.5 * median + 1.0) {
            // A rise is seen once the attack enters the window: its front edge plus a little.
            onsets.push_back((static_cast<double>(i) * hop + frame_size * 0.5) / rate);
        }
    }
    return onsets;
}

double fraction_hit(const std::vector<double>& onsets, const std::vector<double>& expected, double tolerance_s) {
    if (expected.empty()) return 0;
    size_t hit = 0;
    for (double t : expected) {
        const auto it = std::lower_bound(onsets.begin(), onsets.end(), t - tolerance_s);
        if (it != onsets.end() && *it <= t + tolerance_s) ++hit;
    }
    return static_cast<double>(hit) / static_cast<double>(expected.size());
}

float spectrum_bin_at(const std::vector<float>& mono, int rate, double time_s, int bin) {
    static spectrum_analyser analyser;
    std::vector<float> window(spectrum_fft_size, 0.0f);
    std::vector<float> out(spectrum_bins);
    const long end = std::lround(time_s * rate);
    for (int i = 0; i < spectrum_fft_size; ++i) {
        const long at = end - spectrum_fft_size + i;
        if (at >= 0 && at < static_cast<long>(mono.size())) window[i] = mono[static_cast<size_t>(at)];
    }
    analyser.compute(window.data(), out.data());
    return out[static_cast<size_t>(bin)];
}
