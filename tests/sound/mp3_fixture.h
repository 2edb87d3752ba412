// Test sounds made on the spot: signals, a LAME encoder, and a plain reference decode that
// shares no code with the sound layer.
#pragma once
#include <functional>
#include <string>
#include <vector>

// Interleaved stereo; left and right amplitudes may differ.
std::vector<float> stereo_sine(int rate, double seconds, double hz, float left_amp, float right_amp);
// A sweep from `from_hz` to `to_hz`: no stretch of it repeats, so a seek that lands on the
// wrong sample cannot match by luck.
std::vector<float> stereo_sweep(int rate, double seconds, double from_hz, double to_hz, float amp);

// CBR 192 kbit/s with the LAME tag written, so decoders trim the encoder delay exactly.
bool write_mp3(const std::string& path, const std::vector<float>& stereo, int rate);

// An MP3 made once per build tree under test-data/sound/ and reused by later test
// processes; written under a temporary name and renamed, so parallel tests never see half a file.
std::string cached_mp3(const std::string& name, int rate, const std::function<std::vector<float>()>& make);

struct reference_decode {
    int rate = 0;
    std::vector<float> stereo;
};
// The whole file through libmpg123, read front to back with no seeking.
reference_decode decode_reference(const std::string& path);
