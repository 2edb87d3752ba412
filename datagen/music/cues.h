// The moments of the show's choreography that the music must hit, and the mapping from the
// part's clock to the track. The show starts the track 50 s in and the part's clock runs
// 1.113 times faster than show time, so a moment T of the part sounds at 50 + T / 1.113.
#pragma once
#include "base/show_clock.h"

#include <cstdint>
#include <span>

namespace music {

constexpr double track_length_s = 252.0;

// One beat is half a second of the part's clock, so every whole or half second of the
// choreography falls on the beat grid (about 133.6 beats per minute of real time).
constexpr double beat_scene_s = 0.5;
constexpr double bar_scene_s = 4 * beat_scene_s;

enum class cue_kind {
    section,  // the picture changes scene: fill before, crash on it
    punch,    // a zoom punch
    pulse,    // a brief quantiser pulse
    bump,     // an attack bump
};

struct cue {
    double scene_time = 0;
    cue_kind kind = cue_kind::section;
};

// Sorted by time.
std::span<const cue> show_cues();

inline double track_time_of(double scene_time) { return music_offset_seconds + scene_time / scene_clock_rate; }
inline double scene_time_of(double track_time) { return (track_time - music_offset_seconds) * scene_clock_rate; }
int64_t sample_at_track_time(double track_time);
inline int64_t sample_at_scene_time(double scene_time) { return sample_at_track_time(track_time_of(scene_time)); }

}  // namespace music
