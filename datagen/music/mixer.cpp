#include "datagen/music/mixer.h"

#include <algorithm>
#include <cmath>

#include "datagen/music/cues.h"
#include "datagen/music/dsp.h"
#include "datagen/music/fx.h"

namespace music {

namespace {

struct route {
    float gain = 1.0f;
    float reverb = 0;
    float echo = 0;
    bool ducked = false;  // pumps against the kick
};

route route_of(voice v)
{
    switch (v) {
    case voice::kick: return {1.0f, 0.0f, 0.0f, false};
    case voice::snare: return {0.55f, 0.25f, 0.0f, false};
    case voice::clap: return {0.5f, 0.3f, 0.0f, false};
    case voice::hat: return {0.35f, 0.05f, 0.0f, false};
    case voice::open_hat: return {0.28f, 0.1f, 0.0f, false};
    case voice::crash: return {0.45f, 0.35f, 0.0f, false};
    case voice::tom: return {0.6f, 0.25f, 0.0f, false};
    case voice::impact: return {0.9f, 0.4f, 0.0f, false};
    case voice::riser: return {0.35f, 0.3f, 0.0f, false};
    case voice::sub_drop: return {0.8f, 0.1f, 0.0f, false};
    case voice::bass: return {0.65f, 0.0f, 0.0f, true};
    case voice::pad: return {0.5f, 0.35f, 0.0f, true};
    case voice::pluck: return {0.35f, 0.2f, 0.3f, true};
    case voice::lead: return {0.4f, 0.3f, 0.25f, false};
    case voice::stab: return {0.5f, 0.35f, 0.2f, false};
    }
    return {};
}

struct buses {
    stereo dry, ducked;
    mono reverb_send, echo_send;
    explicit buses(size_t n) : dry{mono(n), mono(n)}, ducked{mono(n), mono(n)}, reverb_send(n), echo_send(n) {}
};

void place(const mono& hit, const mono* hit_right, int64_t start, const route& r, float pan, buses& b,
           float scale = 1.0f)
{
    stereo& target = r.ducked ? b.ducked : b.dry;
    const int64_t n = static_cast<int64_t>(b.reverb_send.size());
    const float gl = scale * r.gain * std::min(1.0f, 1.0f - pan);
    const float gr = scale * r.gain * std::min(1.0f, 1.0f + pan);
    const float sends = scale;
    const int64_t len = std::min<int64_t>(static_cast<int64_t>(hit.size()), n - start);
    for (int64_t i = 0; i < len; ++i) {
        const float l = hit[i];
        const float rr = hit_right ? (*hit_right)[i] : l;
        const size_t at = static_cast<size_t>(start + i);
        target.left[at] += gl * l;
        target.right[at] += gr * rr;
        const float m = 0.5f * (l + rr);
        b.reverb_send[at] += sends * r.reverb * m;
        b.echo_send[at] += sends * r.echo * m;
    }
}

// The kick pushes the bass and chords down and lets them swell back: the low end breathes
// with the beat, which the picture reads from the spectrum.
void duck(stereo& bus, std::span<const note_event> events)
{
    std::vector<int64_t> kicks;
    for (const note_event& e : events)
        if (e.kind == voice::kick) kicks.push_back(e.start);
    const float depth = 0.75f;
    const float recover = std::exp(-1.0f / (0.11f * sample_rate));
    size_t next = 0;
    float env = 0;
    float target = 0;
    const float attack = 1.0f - std::exp(-1.0f / (0.002f * sample_rate));
    for (size_t i = 0; i < bus.left.size(); ++i) {
        while (next < kicks.size() && kicks[next] <= static_cast<int64_t>(i)) {
            target = 1.0f;
            ++next;
        }
        env += attack * (target - env);
        target *= recover;
        const float g = 1.0f - depth * env;
        bus.left[i] *= g;
        bus.right[i] *= g;
    }
}

void fade_out(stereo& mix, double seconds)
{
    const size_t n = mix.left.size();
    const size_t len = std::min(n, static_cast<size_t>(seconds * sample_rate));
    for (size_t i = 0; i < len; ++i) {
        const float x = static_cast<float>(i) / static_cast<float>(len);
        const float g = x * x;
        mix.left[n - 1 - i] *= g;
        mix.right[n - 1 - i] *= g;
    }
}

}  // namespace

mono render_voice(const note_event& e)
{
    switch (e.kind) {
    case voice::kick: return kick(e.velocity);
    case voice::snare: return snare(e.velocity, e.seed);
    case voice::clap: return clap(e.velocity, e.seed);
    case voice::hat: return hat(e.velocity, false, e.seed);
    case voice::open_hat: return hat(e.velocity, true, e.seed);
    case voice::crash: return crash(e.velocity, e.seed);
    case voice::tom: return tom(e.velocity, e.pitch);
    case voice::impact: return impact(e.velocity, e.seed);
    case voice::riser: return riser(e.length_s, e.velocity, e.seed);
    case voice::sub_drop: return sub_drop(e.velocity);
    case voice::bass: return bass(e.pitch, e.length_s, e.velocity, e.tone);
    case voice::pluck: return pluck(e.pitch, e.velocity, e.tone);
    case voice::lead: return lead(e.pitch, e.length_s, e.velocity);
    case voice::stab:
        return stab(std::span<const float>(e.chord.data(), static_cast<size_t>(e.chord_size)), e.velocity);
    case voice::pad: break;
    }
    return {};
}

stereo render_mix(std::span<const note_event> events, int64_t frames)
{
    buses b(static_cast<size_t>(std::max<int64_t>(0, frames)));
    // Every kick is the same sound at another level: render it once.
    const mono unit_kick = kick(1.0f);
    for (const note_event& e : events) {
        if (e.start < 0 || e.start >= frames) continue;
        const route r = route_of(e.kind);
        if (e.kind == voice::kick) {
            place(unit_kick, nullptr, e.start, r, e.pan, b, e.velocity);
        } else if (e.kind == voice::pad) {
            const stereo p = pad(e.pitch, e.length_s, e.velocity, e.tone);
            place(p.left, &p.right, e.start, r, e.pan, b);
        } else {
            place(render_voice(e), nullptr, e.start, r, e.pan, b);
        }
    }
    duck(b.ducked, events);
    stereo out = std::move(b.dry);
    for (size_t i = 0; i < out.left.size(); ++i) {
        out.left[i] += b.ducked.left[i];
        out.right[i] += b.ducked.right[i];
    }
    // A dotted eighth of the beat grid: the echoes fall between the notes.
    const double beat_real = beat_scene_s / scene_clock_rate;
    add_echo(b.echo_send, out.left, out.right,
             {static_cast<int>(std::lround(0.75 * beat_real * sample_rate)), 0.42f, 0.6f});
    add_reverb(b.reverb_send, out.left, out.right, {0.86f, 0.3f, 1.0f});
    fade_out(out, 4.0);
    return out;
}

}  // namespace music
