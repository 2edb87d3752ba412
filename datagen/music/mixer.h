// Renders a note list into a stereo mix: voices onto buses, the kick ducking the bass and
// chords, reverb and echo sends, and a fade over the last seconds of the track.
#pragma once
#include <span>

#include "datagen/music/score.h"
#include "datagen/music/voices.h"

namespace music {

stereo render_mix(std::span<const note_event> events, int64_t frames);

// The mono hit of one event, before bus gain and pan (pads render stereo and are not here).
mono render_voice(const note_event& e);

}  // namespace music
