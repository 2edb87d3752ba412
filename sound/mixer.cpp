#include "sound/mixer.h"

#include <algorithm>

#include "sound/spectrum.h"

namespace {

constexpr size_t chunk_frames = 1024;
// How far behind the end of the mix a paced read may look: more than any device buffer.
constexpr size_t max_unheard_frames = 4096;

}  // namespace

mixer::mixer(int rate, int channel_count)
    : rate_(rate),
      channels_(static_cast<size_t>(std::max(channel_count, 0))),
      output_(spectrum_fft_size + max_unheard_frames),
      scratch_(chunk_frames * 2) {}

bool mixer::play(int ch, std::unique_ptr<sound_source> source) {
    if (!valid(ch) || !source)
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    channel& c = channels_[ch];
    c.source = std::move(source);
    if (!c.recent)
        c.recent = std::make_unique<stereo_history>(level_frames() + max_unheard_frames);
    c.position = 0;
    c.volume = max_volume;
    c.playing = true;
    return true;
}

void mixer::stop(int ch) {
    if (!valid(ch))
        return;
    std::lock_guard<std::mutex> hold(lock_);
    channels_[ch].source.reset();
    channels_[ch].playing = false;
}

void mixer::set_volume(int ch, int volume) {
    if (!valid(ch))
        return;
    std::lock_guard<std::mutex> hold(lock_);
    channels_[ch].volume = std::clamp(volume, 0, max_volume);
}

int mixer::volume(int ch) const {
    if (!valid(ch))
        return 0;
    std::lock_guard<std::mutex> hold(lock_);
    return channels_[ch].volume;
}

bool mixer::set_position(int ch, uint64_t frame) {
    if (!valid(ch))
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    channel& c = channels_[ch];
    if (!c.source)
        return false;
    c.playing = c.source->seek(frame);
    if (c.playing)
        c.position = frame;
    return c.playing;
}

uint64_t mixer::position(int ch) const {
    if (!valid(ch))
        return 0;
    std::lock_guard<std::mutex> hold(lock_);
    return channels_[ch].position;
}

bool mixer::playing(int ch) const {
    if (!valid(ch))
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    return channels_[ch].playing;
}

void mixer::set_held(bool held) {
    std::lock_guard<std::mutex> hold(lock_);
    held_ = held;
}

void mixer::set_clock(std::function<double()> clock) {
    std::lock_guard<std::mutex> hold(lock_);
    clock_ = std::move(clock);
    last_mix_frames_ = 0;
}

size_t mixer::unheard_frames() const {
    if (!clock_)
        return 0;
    const double heard = std::max(0.0, clock_() - last_mix_at_) * rate_;
    const double unheard = static_cast<double>(last_mix_frames_) - heard;
    return unheard > 0 ? std::min(static_cast<size_t>(unheard), max_unheard_frames) : 0;
}

void mixer::mix(float* stereo, size_t frames) {
    std::lock_guard<std::mutex> hold(lock_);
    if (held_) {
        std::fill(stereo, stereo + frames * 2, 0.0f);
        return;
    }
    if (clock_) {
        last_mix_at_ = clock_();
        last_mix_frames_ = frames;
    }
    mix_locked(stereo, frames);
}

uint64_t mixer::frames_mixed() const {
    std::lock_guard<std::mutex> hold(lock_);
    return frames_mixed_;
}

stereo_level mixer::levels(int ch) const {
    if (!valid(ch))
        return {};
    std::lock_guard<std::mutex> hold(lock_);
    const channel& c = channels_[ch];
    return c.recent ? c.recent->peak(level_frames(), unheard_frames()) : stereo_level{};
}

void mixer::recent_mono(float* out, size_t frames) const {
    std::lock_guard<std::mutex> hold(lock_);
    output_.mono(out, frames, unheard_frames());
}

void mixer::mix_channel(channel& c, float* out, size_t frames) {
    size_t got = 0;
    if (c.playing) {
        got = c.source->read(scratch_.data(), frames);
        c.position += got;
        c.playing = got == frames;
    }
    const float gain = static_cast<float>(c.volume) / max_volume;
    for (size_t i = 0; i < got * 2; ++i) {
        scratch_[i] *= gain;
        out[i] += scratch_[i];
    }
    if (c.recent) {
        c.recent->push(scratch_.data(), got);
        c.recent->push_silence(frames - got);
    }
}

void mixer::mix_locked(float* stereo, size_t frames) {
    std::fill(stereo, stereo + frames * 2, 0.0f);
    for (size_t done = 0; done < frames;) {
        const size_t n = std::min(chunk_frames, frames - done);
        float* out = stereo + done * 2;
        for (channel& c : channels_)
            mix_channel(c, out, n);
        for (size_t i = 0; i < n * 2; ++i)
            out[i] = std::clamp(out[i], -1.0f, 1.0f);
        output_.push(out, n);
        done += n;
    }
    frames_mixed_ += frames;
}

void mixer::mix_window_ending_at(int ch, uint64_t end_frame, size_t window) {
    if (!valid(ch))
        return;
    std::lock_guard<std::mutex> hold(lock_);
    if (!channels_[ch].source)
        return;
    const uint64_t start = end_frame > window ? end_frame - window : 0;
    const int64_t shift = static_cast<int64_t>(start) - static_cast<int64_t>(channels_[ch].position);
    for (channel& c : channels_) {
        if (!c.source)
            continue;
        const int64_t moved = std::max<int64_t>(0, static_cast<int64_t>(c.position) + shift);
        c.playing = c.source->seek(static_cast<uint64_t>(moved));
        if (c.playing)
            c.position = static_cast<uint64_t>(moved);
        if (c.recent)
            c.recent->clear();
    }
    output_.clear();
    window_.resize(static_cast<size_t>(end_frame - start) * 2);
    mix_locked(window_.data(), static_cast<size_t>(end_frame - start));
}
