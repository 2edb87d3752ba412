// Measurement and mastering of the final mix: integrated loudness (ITU-R BS.1770 gating),
// true peak by 4x oversampling, a DC blocker, a look-ahead true-peak limiter, and the loop
// that brings a mix to a loudness target under a peak ceiling.
#pragma once
#include "datagen/music/voices.h"

namespace music {

// LUFS; -70 or less for silence.
double integrated_loudness(const stereo& mix);
// Highest absolute value of the 4x oversampled signal, linear.
double true_peak(const stereo& mix);
// Gain per sample so that no oversampled peak exceeds the ceiling (linear). Attack is
// spread over a 1.5 ms look-ahead, release takes about 80 ms.
void limit_true_peak(stereo& mix, float ceiling);

// Well below the lowest sub-bass note (about 20 Hz), which loses under 0.3 dB.
constexpr double dc_cutoff_hz = 5.0;
// First-order high-pass at dc_cutoff_hz on each channel: the mix's mean goes to zero.
void remove_dc(stereo& mix);

struct master_result {
    double loudness_lufs = 0;
    double true_peak_dbtp = 0;
};

// Removes the DC, then sets the gain and limits.
master_result master_to(stereo& mix, double target_lufs, double ceiling_dbtp);

}  // namespace music
