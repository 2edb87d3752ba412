// Magnitude spectrum of the latest output: a Hann-windowed real FFT (kissfft) of
// spectrum_fft_size mono samples, giving spectrum_bins values from DC upwards.
// Scaled so that a full-scale sine centred on a bin reads 1.0 there; clamped to 0..1
// because the show turns each value into a byte.
#pragma once
#include <vector>

constexpr int spectrum_fft_size = 1024;
constexpr int spectrum_bins = 512;

struct kiss_fftr_state;

class spectrum_analyser {
public:
    spectrum_analyser();
    ~spectrum_analyser();
    spectrum_analyser(const spectrum_analyser&) = delete;
    spectrum_analyser& operator=(const spectrum_analyser&) = delete;

    // `mono` holds spectrum_fft_size samples, oldest first; `out` gets spectrum_bins values.
    void compute(const float* mono, float* out);

private:
    kiss_fftr_state* config_;
    std::vector<float> window_;
    std::vector<float> windowed_;
    std::vector<float> bins_;  // complex pairs, spectrum_fft_size / 2 + 1 of them
};
