// Plays a source at the mixing rate when its own rate differs, by cubic (Catmull-Rom)
// interpolation. Source and output positions are related exactly (integer phase), so a
// seek lands on the same samples a continuous read would have produced.
#pragma once
#include <memory>
#include <vector>

#include "sound/sound_source.h"

class resampled_source final : public sound_source {
public:
    resampled_source(std::unique_ptr<sound_source> inner, int out_rate);
    int rate() const override { return out_rate_; }
    size_t read(float* stereo, size_t frames) override;
    // `frame` counts at the output rate.
    bool seek(uint64_t frame) override;

private:
    bool pull_frame(float lr[2]);
    void shift_in(const float lr[2]);

    std::unique_ptr<sound_source> inner_;
    int in_rate_;
    int out_rate_;
    // Taps x[-1], x[0], x[1], x[2] (stereo): output lies between x[0] and x[1].
    float taps_[4][2] = {};
    uint64_t phase_ = 0;  // fraction of the way from x[0] to x[1], in units of 1/out_rate
    // Source frames read beyond x[2] that are not real (zero padding after the end).
    int padded_ = 0;
    bool ended_ = false;
    std::vector<float> block_;
    size_t block_next_ = 0;
};

// Wraps `source` in a resampler only when its rate differs from `out_rate`.
std::unique_ptr<sound_source> at_rate(std::unique_ptr<sound_source> source, int out_rate);
