// The two finished tracks as PCM, mastered and ready to encode.
#pragma once
#include "datagen/music/master.h"
#include "datagen/music/voices.h"

namespace music {

constexpr double target_loudness_lufs = -14.0;
// Below the -1 dBTP delivery ceiling: MP3 coding adds a few tenths of a dB of overshoot.
constexpr double mix_ceiling_dbtp = -1.8;
constexpr double effects_peak_dbtp = -3.0;
constexpr int music_kbps = 256;
constexpr int effects_kbps = 192;

// The soundtrack, track_length_s long; report receives its loudness and true peak.
stereo render_music(master_result* report = nullptr);

// The effects track plays from the start of the show, so it runs in show time, not in
// track time: hits at a few section changes and silence between them.
stereo render_effects();

}  // namespace music
