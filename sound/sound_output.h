// Where the mix goes. Each output drives mixer::mix from a thread of its own and stops
// that thread when destroyed; the mixer must outlive it.
#pragma once
#include <memory>
#include <string>

class mixer;

class sound_output {
public:
    virtual ~sound_output() = default;
};

// The default SDL2 audio device. Null, with the reason in `why`, when there is no audio
// driver or no device (headless machines, no sound server).
std::unique_ptr<sound_output> open_device_output(mixer& m, std::string& why);

// Plays into nothing at the speed of the wall clock, so positions, levels and spectrum
// behave as if the sound were heard.
std::unique_ptr<sound_output> open_silent_output(mixer& m);
