// Where the mix goes. Each sink drives mixer::mix from a thread of its own and stops
// that thread when destroyed; the mixer must outlive it.
#pragma once
#include <functional>
#include <memory>
#include <string>

class mixer;

class sound_sink {
public:
    virtual ~sound_sink() = default;
};

// The default SDL2 audio device. Null, with the reason in `why`, when there is no audio
// driver or no device (headless machines, no sound server).
std::unique_ptr<sound_sink> open_device_sink(mixer& m, std::string& why);

// Plays into nothing at the speed of `clock` (seconds, never going back), so positions,
// levels and spectrum behave as if the sound were heard.
std::unique_ptr<sound_sink> open_silent_sink(mixer& m, std::function<double()> clock);
