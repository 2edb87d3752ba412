#include "datagen/music/tracks.h"

#include <cmath>

#include "datagen/music/cues.h"
#include "datagen/music/dsp.h"
#include "datagen/music/mixer.h"

namespace music {

namespace {

constexpr double effects_length_s = 200.0;
// The biggest changes of picture get a whoosh into them and a hit on them.
constexpr double effect_moments[] = {16, 50, 84, 100, 127, 154, 187, 191, 195, 209};

int64_t effects_sample_at(double scene_time) { return std::llround(scene_time / scene_clock_rate * sample_rate); }

}  // namespace

stereo render_music(master_result* report)
{
    const std::vector<note_event> score = build_score();
    stereo mix = render_mix(score, sample_at_track_time(track_length_s));
    const master_result r = master_to(mix, target_loudness_lufs, mix_ceiling_dbtp);
    if (report) *report = r;
    return mix;
}

stereo render_effects()
{
    std::vector<note_event> events;
    uint32_t seed = 9000;
    for (double t : effect_moments) {
        const int64_t at = effects_sample_at(t);
        note_event whoosh;
        whoosh.kind = voice::riser;
        whoosh.length_s = 1.5f;
        whoosh.start = at - std::llround(1.5 * sample_rate);
        whoosh.velocity = 0.8f;
        whoosh.seed = ++seed;
        note_event hit;
        hit.kind = voice::impact;
        hit.start = at;
        hit.seed = ++seed;
        events.push_back(whoosh);
        events.push_back(hit);
    }
    stereo mix = render_mix(events, std::llround(effects_length_s * sample_rate));
    const double peak = true_peak(mix);
    if (peak > 0) {
        const float g = static_cast<float>(db_to_gain(static_cast<float>(effects_peak_dbtp)) / peak);
        for (size_t i = 0; i < mix.left.size(); ++i) mix.left[i] *= g, mix.right[i] *= g;
    }
    return mix;
}

}  // namespace music
