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
    // Both look at the `frames` frames that precede the newest `skip` ones; frames older
    // than the history read as silence.
    // Peak absolute value per side.
    stereo_level peak(size_t frames, size_t skip = 0) const;
    // (left + right) / 2, oldest first.
    void mono(float* out, size_t frames, size_t skip = 0) const;

private:
    std::vector<float> frames_;
    size_t next_ = 0;  // frame index that the next push writes
};
