// The clock-driven half of the silent output, kept apart from its thread so it can be
// driven by any clock: after advance_to(t) the mixer has mixed t seconds of sound.
#pragma once
#include <cstdint>
#include <vector>

class mixer;

class silent_pump {
public:
    explicit silent_pump(mixer& m);
    // `seconds` since the pump started; going backwards mixes nothing.
    void advance_to(double seconds);
    uint64_t frames_done() const { return done_; }

private:
    mixer& mixer_;
    uint64_t done_ = 0;
    std::vector<float> scratch_;
};
