// A sound decoded whole into memory, for short effects that several channels may share.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "sound/sound_source.h"

struct pcm_sound {
    int rate = mixing_rate;
    std::vector<float> stereo;  // interleaved left, right
    size_t frames() const { return stereo.size() / 2; }
};

// Null when the file cannot be decoded (see mp3_stream::open).
std::shared_ptr<const pcm_sound> decode_whole_mp3(const std::string& path);

// One playback of a shared pcm_sound.
class pcm_cursor final : public sound_source {
public:
    explicit pcm_cursor(std::shared_ptr<const pcm_sound> sound) : sound_(std::move(sound)) {}
    int rate() const override { return sound_->rate; }
    size_t read(float* stereo, size_t frames) override;
    bool seek(uint64_t frame) override;

private:
    std::shared_ptr<const pcm_sound> sound_;
    size_t next_ = 0;
};
