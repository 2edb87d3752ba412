#include "sound/silent_pump.h"

#include <algorithm>
#include <cmath>

#include "sound/mixer.h"

namespace {
constexpr uint64_t block_frames = 2048;
}

silent_pump::silent_pump(mixer& m) : mixer_(m), scratch_(block_frames * 2) {}

void silent_pump::advance_to(double seconds) {
    if (!(seconds > 0))
        return;
    const auto target = static_cast<uint64_t>(std::floor(seconds * mixer_.rate()));
    while (done_ < target) {
        const uint64_t n = std::min(block_frames, target - done_);
        mixer_.mix(scratch_.data(), static_cast<size_t>(n));
        done_ += n;
    }
}
