// What a mixer channel pulls from: interleaved stereo float frames at the source's own rate.
// Positions are frame indices from the start of the sound.
#pragma once
#include "base/mixing_rate.h"

#include <cstddef>
#include <cstdint>

class sound_source {
public:
    virtual ~sound_source() = default;
    virtual int rate() const = 0;
    // Fills up to `frames` stereo frames; fewer only at the end of the sound.
    virtual size_t read(float* stereo, size_t frames) = 0;
    // Lands exactly on `frame`; false when it cannot. A seek past the end may succeed and
    // leave nothing to read.
    virtual bool seek(uint64_t frame) = 0;
};
