// Sums the playing channels into stereo output and keeps what it mixed for meters and the
// spectrum. One lock guards everything, so an output thread may mix while the show's
// thread changes volumes and positions or reads levels.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/sound_source.h"
#include "sound/stereo_history.h"

constexpr int max_volume = 255;

class mixer {
public:
    mixer(int rate, int channel_count);
    int rate() const { return rate_; }
    int channel_count() const { return static_cast<int>(channels_.size()); }

    // Plays `source` (already at the mixing rate) on `channel` from its current position,
    // at full volume, replacing whatever played there. False for a bad channel or source.
    bool play(int channel, std::unique_ptr<sound_source> source);
    void stop(int channel);
    // Clamped to 0..max_volume; the gain is volume / max_volume.
    void set_volume(int channel, int volume);
    int volume(int channel) const;
    // Moves the channel's source; a stream that had ended plays again from there.
    bool set_position(int channel, uint64_t frame);
    uint64_t position(int channel) const;
    bool playing(int channel) const;

    // While held, mix() gives silence and no channel moves, so a group of changes (start a
    // stream, then move it) is heard all at once rather than half-made.
    void set_held(bool held);

    // Output thread: fills `frames` frames, clamped to -1..1. Silence when nothing plays.
    void mix(float* stereo, size_t frames);
    uint64_t frames_mixed() const;

    // A real-time output mixes a buffer ahead of what is heard. Given the clock (seconds),
    // meters and recent_mono look at the moment being heard now, estimated from when the
    // last buffer was mixed, so they move every video frame even with large buffers.
    // Without a clock (offline) they look at the end of the mix.
    void set_clock(std::function<double()> clock);

    // Peak per side of the channel's own output (after volume) over 20 ms.
    stereo_level levels(int channel) const;
    // `frames` mixed frames as mono, oldest first.
    void recent_mono(float* out, size_t frames) const;

    // Offline: places `channel` so that a mix of `window` frames ends exactly at
    // `end_frame`, moves every other channel by the same amount, forgets earlier output and
    // mixes that window. Depends only on the arguments, never on what was mixed before.
    void mix_window_ending_at(int channel, uint64_t end_frame, size_t window);

private:
    struct channel {
        std::unique_ptr<sound_source> source;
        std::unique_ptr<stereo_history> recent;
        uint64_t position = 0;
        int volume = max_volume;
        bool playing = false;
    };

    bool valid(int ch) const { return ch >= 0 && ch < channel_count(); }
    size_t unheard_frames() const;
    // Meters look back 20 ms: about one video frame of sound.
    size_t level_frames() const { return static_cast<size_t>(rate_ / 50); }
    void mix_locked(float* stereo, size_t frames);
    void mix_channel(channel& c, float* out, size_t frames);

    mutable std::mutex lock_;
    int rate_;
    std::vector<channel> channels_;
    stereo_history output_;
    uint64_t frames_mixed_ = 0;
    bool held_ = false;
    std::function<double()> clock_;
    double last_mix_at_ = 0;
    size_t last_mix_frames_ = 0;
    std::vector<float> scratch_;
    std::vector<float> window_;
};
