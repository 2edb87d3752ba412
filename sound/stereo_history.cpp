#include "sound/stereo_history.h"

#include <algorithm>
#include <cmath>

void stereo_history::push(const float* stereo, size_t frames) {
    const size_t cap = capacity();
    // Only the tail can survive a push longer than the history.
    if (frames > cap) {
        stereo += (frames - cap) * 2;
        frames = cap;
    }
    for (size_t i = 0; i < frames; ++i) {
        frames_[next_ * 2] = stereo[i * 2];
        frames_[next_ * 2 + 1] = stereo[i * 2 + 1];
        next_ = (next_ + 1) % cap;
    }
}

void stereo_history::push_silence(size_t frames) {
    const size_t cap = capacity();
    for (size_t i = 0; i < std::min(frames, cap); ++i) {
        frames_[next_ * 2] = frames_[next_ * 2 + 1] = 0.0f;
        next_ = (next_ + 1) % cap;
    }
}

void stereo_history::clear() {
    std::fill(frames_.begin(), frames_.end(), 0.0f);
    next_ = 0;
}

stereo_level stereo_history::peak(size_t frames, size_t skip) const {
    const size_t cap = capacity();
    skip = std::min(skip, cap);
    frames = std::min(frames, cap - skip);
    stereo_level level;
    for (size_t i = 0; i < frames; ++i) {
        const size_t at = (next_ + cap - skip - frames + i) % cap;
        level.left = std::max(level.left, std::fabs(frames_[at * 2]));
        level.right = std::max(level.right, std::fabs(frames_[at * 2 + 1]));
    }
    return level;
}

void stereo_history::mono(float* out, size_t frames, size_t skip) const {
    const size_t cap = capacity();
    skip = std::min(skip, cap);
    const size_t have = std::min(frames, cap - skip);
    const size_t lead = frames - have;
    std::fill(out, out + lead, 0.0f);
    for (size_t i = 0; i < have; ++i) {
        const size_t at = (next_ + cap - skip - have + i) % cap;
        out[lead + i] = 0.5f * (frames_[at * 2] + frames_[at * 2 + 1]);
    }
}
