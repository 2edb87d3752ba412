// Listening aids for the soundtrack tests: decoding through the sound layer, a spectral-flux
// onset detector and spectrum readings like the ones the show takes every frame.
#pragma once
#include <string>
#include <vector>

struct decoded_audio {
    std::vector<float> left, right;
    int rate = 0;
    int channels = 0;  // as stored in the file, not as the sound layer hands it out
};

// Empty result (rate 0) when the file cannot be decoded.
decoded_audio decode_mp3_file(const std::string& path);

// Onset times in seconds: peaks of the positive spectral difference between 1024-sample
// frames, hop 256, above a local median.
std::vector<double> detect_onsets(const std::vector<float>& mono, int rate);

// Fraction of the expected times that have a detected onset within tolerance_s.
double fraction_hit(const std::vector<double>& onsets, const std::vector<double>& expected, double tolerance_s);

// The show's spectrum value `bin` (1024-point, as the sound layer computes it) of the mono
// mix around `time_s`.
float spectrum_bin_at(const std::vector<float>& mono, int rate, double time_s, int bin);

std::vector<float> mono_mix(const decoded_audio& a);
double rms_db(const std::vector<float>& x, size_t from, size_t to);
