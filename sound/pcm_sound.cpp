#include "sound/pcm_sound.h"

#include <algorithm>
#include <cstring>

#include "sound/mp3_stream.h"

std::shared_ptr<const pcm_sound> decode_whole_mp3(const std::string& path) {
    auto stream = mp3_stream::open(path);
    if (!stream)
        return nullptr;
    auto sound = std::make_shared<pcm_sound>();
    sound->rate = stream->rate();
    constexpr size_t block = 4096;
    size_t got = 0;
    do {
        const size_t old = sound->stereo.size();
        sound->stereo.resize(old + 2 * block);
        got = stream->read(sound->stereo.data() + old, block);
        sound->stereo.resize(old + 2 * got);
    } while (got == block);
    return sound;
}

size_t pcm_cursor::read(float* stereo, size_t frames) {
    const size_t n = std::min(frames, sound_->frames() - next_);
    if (n > 0)
        std::memcpy(stereo, sound_->stereo.data() + 2 * next_, n * 2 * sizeof(float));
    next_ += n;
    return n;
}

bool pcm_cursor::seek(uint64_t frame) {
    if (frame > sound_->frames())
        return false;
    next_ = static_cast<size_t>(frame);
    return true;
}
