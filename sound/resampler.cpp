#include "sound/resampler.h"

namespace {

constexpr size_t block_frames = 1024;

float catmull_rom(float xm1, float x0, float x1, float x2, float t) {
    return x0 + 0.5f * t * (x1 - xm1 + t * (2.0f * xm1 - 5.0f * x0 + 4.0f * x1 - x2 + t * (3.0f * (x0 - x1) + x2 - xm1)));
}

}  // namespace

resampled_source::resampled_source(std::unique_ptr<sound_source> inner, int out_rate)
    : inner_(std::move(inner)), in_rate_(inner_->rate()), out_rate_(out_rate) {
    seek(0);
}

// Next source frame, or silence once the source has run out (ended_ then stays set).
bool resampled_source::pull_frame(float lr[2]) {
    if (block_next_ * 2 >= block_.size() && !ended_) {
        block_.resize(block_frames * 2);
        const size_t got = inner_->read(block_.data(), block_frames);
        block_.resize(got * 2);
        block_next_ = 0;
        ended_ = got < block_frames;
    }
    if (block_next_ * 2 < block_.size()) {
        lr[0] = block_[block_next_ * 2];
        lr[1] = block_[block_next_ * 2 + 1];
        ++block_next_;
        return true;
    }
    lr[0] = lr[1] = 0.0f;
    return false;
}

void resampled_source::shift_in(const float lr[2]) {
    for (int i = 0; i < 3; ++i) {
        taps_[i][0] = taps_[i + 1][0];
        taps_[i][1] = taps_[i + 1][1];
    }
    taps_[3][0] = lr[0];
    taps_[3][1] = lr[1];
}

size_t resampled_source::read(float* stereo, size_t frames) {
    size_t n = 0;
    // Output stops once x[0] itself is padding: every real source frame has been passed.
    for (; n < frames && padded_ < 3; ++n) {
        const float t = static_cast<float>(phase_) / static_cast<float>(out_rate_);
        for (int c = 0; c < 2; ++c)
            stereo[n * 2 + c] = catmull_rom(taps_[0][c], taps_[1][c], taps_[2][c], taps_[3][c], t);
        phase_ += static_cast<uint64_t>(in_rate_);
        while (phase_ >= static_cast<uint64_t>(out_rate_)) {
            phase_ -= static_cast<uint64_t>(out_rate_);
            float lr[2];
            if (!pull_frame(lr))
                ++padded_;
            shift_in(lr);
        }
    }
    return n;
}

bool resampled_source::seek(uint64_t frame) {
    const uint64_t scaled = frame * static_cast<uint64_t>(in_rate_);
    const uint64_t source_frame = scaled / static_cast<uint64_t>(out_rate_);
    phase_ = scaled % static_cast<uint64_t>(out_rate_);
    // Start one frame early so x[-1] holds real data, exactly as a continuous read would.
    const uint64_t first = source_frame > 0 ? source_frame - 1 : 0;
    if (!inner_->seek(first))
        return false;
    block_.clear();
    block_next_ = 0;
    ended_ = false;
    padded_ = 0;
    taps_[0][0] = taps_[0][1] = 0.0f;
    // Fills x[-1]..x[2] (x[-1] stays zero at the very start); padding counts from x[0] on.
    for (int i = source_frame > 0 ? 0 : 1; i < 4; ++i) {
        float lr[2];
        if (!pull_frame(lr) && i >= 1)
            ++padded_;
        taps_[i][0] = lr[0];
        taps_[i][1] = lr[1];
    }
    return true;
}

std::unique_ptr<sound_source> at_rate(std::unique_ptr<sound_source> source, int out_rate) {
    if (!source || source->rate() == out_rate)
        return source;
    return std::make_unique<resampled_source>(std::move(source), out_rate);
}
