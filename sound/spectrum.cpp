#include "sound/spectrum.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <numbers>

static_assert(sizeof(kiss_fft_cpx) == 2 * sizeof(float), "kissfft must be built for float");

spectrum_analyser::spectrum_analyser()
    : config_(kiss_fftr_alloc(spectrum_fft_size, 0, nullptr, nullptr)),
      window_(spectrum_fft_size),
      windowed_(spectrum_fft_size),
      bins_((spectrum_fft_size / 2 + 1) * 2) {
    for (int i = 0; i < spectrum_fft_size; ++i)
        window_[i] = 0.5f - 0.5f * std::cos(2.0f * std::numbers::pi_v<float> * static_cast<float>(i) / spectrum_fft_size);
}

spectrum_analyser::~spectrum_analyser() { kiss_fftr_free(config_); }

void spectrum_analyser::compute(const float* mono, float* out) {
    for (int i = 0; i < spectrum_fft_size; ++i)
        windowed_[i] = mono[i] * window_[i];
    auto* bins = reinterpret_cast<kiss_fft_cpx*>(bins_.data());
    kiss_fftr(config_, windowed_.data(), bins);
    // A sine of amplitude A peaks at A * N / 4 after a Hann window (the window's mean is 1/2).
    const float scale = 4.0f / spectrum_fft_size;
    for (int k = 0; k < spectrum_bins; ++k)
        out[k] = std::min(1.0f, scale * std::hypot(bins[k].r, bins[k].i));
}
