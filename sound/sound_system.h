// Our sound layer as the show sees it: start a mixer with an output, open MP3 streams and
// samples, play them on numbered channels, set volume and position, read levels and the
// spectrum, close. Called from one thread only; mixing happens on the output's thread.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "sound/mixer.h"
#include "sound/pcm_sound.h"
#include "sound/sound_sink.h"
#include "sound/spectrum.h"

enum class sink_kind {
    device,   // SDL2 audio; falls back to silent when no device opens
    silent,   // no device at all, time still runs
    offline,  // nothing runs by itself: mix_window_ending_at drives the mixer
};

struct sound_settings {
    int rate = mixing_rate;
    int channels = 32;
    // Option bits are accepted for callers that pass a fixed word; none changes behaviour.
    uint32_t options = 0;
    sink_kind output = sink_kind::device;
    // Seconds on a clock that never goes back; empty: the steady clock. The silent output
    // mixes and the meters look by it, so a test can move time itself.
    std::function<double()> clock;
};

class sound_system {
public:
    sound_system() = default;
    ~sound_system() { close(); }
    sound_system(const sound_system&) = delete;
    sound_system& operator=(const sound_system&) = delete;

    // False when the rate or channel count cannot make a mixer. When the device will not
    // open, one line on stderr says so and the silent output takes over.
    bool start(const sound_settings& settings);
    bool running() const { return mixer_ != nullptr; }
    // The output actually in use (silent after a device fallback).
    sink_kind output_kind() const { return kind_; }
    void close();

    // Streams decode as they play; samples are decoded whole. Both are converted to the
    // mixing rate. Null when the file is missing or not MP3. The mode word is accepted
    // like the start options and likewise changes nothing.
    std::unique_ptr<sound_source> open_stream(const std::string& path, uint32_t mode = 0) const;
    std::shared_ptr<const pcm_sound> load_sample(const std::string& path, uint32_t mode = 0) const;
    bool play(int channel, std::unique_ptr<sound_source> stream);
    bool play(int channel, const std::shared_ptr<const pcm_sound>& sample);

    // See mixer::set_held.
    void hold_output(bool held);
    void set_volume(int channel, int volume);
    void set_position(int channel, uint64_t frame);
    uint64_t position(int channel) const;
    stereo_level levels(int channel) const;

    void set_spectrum_enabled(bool on) { spectrum_on_ = on; }
    // spectrum_bins values of the latest output; false (out untouched) while disabled.
    bool spectrum(float* out);

    // Offline output: the latest output becomes the spectrum_fft_size frames that end at
    // `end_frame` of `channel`'s sound.
    void mix_window_ending_at(int channel, uint64_t end_frame);

private:
    std::unique_ptr<mixer> mixer_;
    std::unique_ptr<sound_sink> sink_;  // destroyed before the mixer it drives
    std::unique_ptr<spectrum_analyser> analyser_;
    sink_kind kind_ = sink_kind::silent;
    bool spectrum_on_ = false;
};
