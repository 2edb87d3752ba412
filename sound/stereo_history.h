// The most recent stereo frames that went through a channel or the mix, for meters and
// the spectrum. Fixed capacity; older frames fall out.
#pragma once
#include <cstddef>
#include <vector>

struct stereo_level {
    float left = 0;
    float right = 0;
};

class stereo_history {
public:
    explicit stereo_history(size_t capacity = 1024) : frames_(capacity * 2, 0.0f) {}
    size_t capacity() const { return frames_.size() / 2; }
    void push(const float* stereo, size_t frames);
    void push_silence(size_t frames);
    void clear();
    // Peak absolute value per side over the last `frames` frames.
    stereo_level peak(size_t frames) const;
    // The last `frames` frames as (left + right) / 2, oldest first.
    void mono(float* out, size_t frames) const;

private:
    std::vector<float> frames_;
    size_t next_ = 0;  // frame index that the next push writes
};
