#include "datagen/music/score.h"

#include <algorithm>
#include <cmath>

#include "datagen/music/arrangement.h"
#include "datagen/music/cues.h"

namespace music {

namespace {

using enum style;

// The intro runs in negative part-clock time: the listener of the file hears it, the show
// starts the track after it.
constexpr section section_table[] = {
    {-54, intro_pad}, {-38, intro_arp}, {-22, intro_beat}, {-6, intro_rise}, {0, title},  {16, drive},
    {50, glide},      {72, build},      {84, drop},        {98, gap},        {100, drop}, {119, sweep},
    {127, heavy},     {140, breakdown}, {146, rebuild},    {154, takeover},  {176, calm}, {187, stab},
    {191, stab},      {195, stab},      {199, finale},     {203, takeover},  {209, coda},
};

constexpr double step_scene_s = bar_scene_s / 16;

class score_builder {
public:
    std::vector<note_event> events;

    note_event& add(double scene_t, voice v, float velocity)
    {
        note_event e;
        e.start = sample_at_scene_time(scene_t);
        e.kind = v;
        e.velocity = velocity;
        e.seed = ++seed_;
        events.push_back(e);
        return events.back();
    }

private:
    uint32_t seed_ = 0;
};

double scene_to_real(double scene_s) { return scene_s / scene_clock_rate; }

struct bar_context {
    double start = 0;  // part-clock time of the bar
    int steps = 16;    // a section of odd length ends on a half bar
    int index = 0;     // bar within the section
    int count = 0;     // bars in the section
    bool last = false;
    const section_traits* traits = nullptr;
    const chord* harmony = nullptr;
    float bright = 0.5f;
    bool drums_out = false;  // the next section gets a fill
};

double step_time(const bar_context& b, int step) { return b.start + step * step_scene_s; }

void add_drums(score_builder& s, const bar_context& b)
{
    const section_traits& t = *b.traits;
    const float e = t.energy;
    const bool fill_beat = b.last && b.drums_out && t.kick != 0;
    for (int step = 0; step < b.steps; ++step) {
        const double at = step_time(b, step);
        const bool in_fill = fill_beat && step >= b.steps - 4;
        const bool kick =
            (t.kick == 1 && step % 4 == 0) || (t.kick == 2 && (step == 0 || step == 10)) || (t.kick == 3 && step == 0);
        if (kick) s.add(at, voice::kick, e * (t.kick == 3 ? 0.8f : 1.0f));
        // Every fourth bar a pickup kick leans into the next phrase.
        const bool pickup = t.kick == 1 && b.index % 4 == 3 && step == 14 && !fill_beat;
        if (pickup) s.add(at, voice::kick, e * 0.55f);
        if (in_fill) {
            s.add(at, voice::snare, e * (0.45f + 0.15f * static_cast<float>(step - (b.steps - 4))));
            continue;
        }
        if (t.backbeat == 1 && (step == 4 || step == 12)) {
            s.add(at, voice::clap, e * 0.9f);
            s.add(at, voice::snare, e * 0.35f);
        }
        if (t.backbeat == 2 && step == 8) s.add(at, voice::snare, e);
        const bool offbeat = step % 4 == 2;
        if (t.hats == 1 && offbeat) s.add(at, voice::hat, e * 0.8f).pan = 0.25f;
        if (t.hats == 2) {
            if (step == 6 || step == 14) {
                s.add(at, voice::open_hat, e * 0.6f).pan = -0.2f;
            } else {
                s.add(at, voice::hat, e * (offbeat ? 0.75f : 0.45f)).pan = 0.25f;
            }
        }
    }
}

void add_roll(score_builder& s, double from, double to)
{
    const int steps = static_cast<int>(std::lround((to - from) / step_scene_s));
    for (int i = 0; i < steps; ++i) {
        const bool dense = i >= steps / 2;
        if (!dense && i % 2 == 1) continue;
        const float rise = static_cast<float>(i + 1) / static_cast<float>(steps);
        s.add(from + i * step_scene_s, voice::snare, 0.25f + 0.7f * rise);
    }
}

void add_bass(score_builder& s, const bar_context& b)
{
    const section_traits& t = *b.traits;
    const float root = b.harmony->bass;
    const float e = t.energy;
    auto note = [&](int step, float pitch, double len_steps, float vel) {
        note_event& n = s.add(step_time(b, step), voice::bass, vel * e);
        n.pitch = pitch;
        n.length_s = static_cast<float>(scene_to_real(len_steps * step_scene_s));
        n.tone = t.drive;
    };
    if (t.bass == 1) note(0, root, b.steps - 0.5, 0.9f);
    for (int step = 0; step < b.steps; ++step) {
        if (t.bass == 2 && step % 4 == 2) note(step, root, 1.6, 1.0f);
        if (t.bass == 3 && step % 4 != 0) note(step, step % 4 == 3 ? root + 12 : root, 0.8, 0.9f);
    }
}

void add_harmony(score_builder& s, const bar_context& b, double section_end)
{
    const section_traits& t = *b.traits;
    const float e = t.energy;
    if (t.pad && (!t.pad_hold || b.index == 0)) {
        const double held = t.pad_hold ? section_end - b.start : b.steps * step_scene_s;
        for (float tone : b.harmony->tones) {
            note_event& n = s.add(b.start, voice::pad, e);
            n.pitch = tone;
            n.length_s = static_cast<float>(scene_to_real(held));
            n.tone = b.bright;
        }
    }
    if (t.arp != 0) {
        const auto& c = b.harmony->tones;
        const float notes[4] = {c[0] + 12, c[1] + 12, c[2] + 12, c[0] + 24};
        constexpr int order[16] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 2, 1, 3};
        const int every = t.arp == 1 ? 4 : t.arp == 2 ? 2 : 1;
        for (int step = 0; step < b.steps; step += every) {
            note_event& n = s.add(step_time(b, step), voice::pluck, e * (step % 4 == 0 ? 0.9f : 0.7f));
            n.pitch = notes[order[step]];
            n.tone = b.bright;
            n.pan = step % 8 < 4 ? -0.35f : 0.35f;
        }
    }
    if (t.lead) {
        for (const melody_note& m : melody_of(t.progression, b.index)) {
            if (m.step >= b.steps) continue;
            const int len = std::min(m.length, b.steps - m.step);
            note_event& n = s.add(step_time(b, m.step), voice::lead, e);
            n.pitch = m.pitch;
            n.length_s = static_cast<float>(scene_to_real(len * step_scene_s * 0.92));
        }
    }
}

void add_section(score_builder& s, size_t index, double track_end_scene)
{
    const section& sec = section_table[index];
    const bool has_next = index + 1 < std::size(section_table);
    const double end = has_next ? section_table[index + 1].start : track_end_scene;
    const section_traits t = traits_of(sec.kind);
    const section_traits next = has_next ? traits_of(section_table[index + 1].kind) : section_traits{};
    const int count = static_cast<int>(std::ceil((end - sec.start) / bar_scene_s - 1e-9));
    for (int bar = 0; bar < count; ++bar) {
        bar_context b;
        b.start = sec.start + bar * bar_scene_s;
        b.steps = static_cast<int>(std::lround(std::min(bar_scene_s, end - b.start) / step_scene_s));
        b.index = bar;
        b.count = count;
        b.last = bar == count - 1;
        b.traits = &t;
        b.harmony = &chord_of(t.progression, bar);
        const float ramp = count > 1 ? static_cast<float>(bar) / static_cast<float>(count - 1) : 1.0f;
        b.bright = t.bright_ramp ? 0.05f + (t.bright - 0.05f) * ramp : t.bright;
        b.drums_out = has_next && next.crash_in && !t.roll_out;
        add_drums(s, b);
        add_bass(s, b);
        add_harmony(s, b, end);
    }
    if (t.roll_out && has_next) add_roll(s, std::max(sec.start, end - bar_scene_s), end);
    if (t.riser_bars > 0 && has_next) {
        const double from = std::max(sec.start, end - t.riser_bars * bar_scene_s);
        note_event& r = s.add(from, voice::riser, 0.9f);
        r.length_s = static_cast<float>(scene_to_real(end - from));
    }
    if (t.crash_in) s.add(sec.start, voice::crash, 0.9f);
    if (t.impact_in) s.add(sec.start, voice::impact, 0.8f);
    if (sec.kind == gap) s.add(sec.start, voice::sub_drop, 1.0f);
}

const chord& chord_at(double scene_t)
{
    size_t i = 0;
    while (i + 1 < std::size(section_table) && section_table[i + 1].start <= scene_t) ++i;
    const int bar = static_cast<int>(std::floor((scene_t - section_table[i].start) / bar_scene_s));
    return chord_of(traits_of(section_table[i].kind).progression, bar);
}

void add_stab(score_builder& s, double at, float velocity)
{
    const chord& c = chord_at(at);
    note_event& n = s.add(at, voice::stab, velocity);
    n.chord = {c.tones[0] + 12, c.tones[1] + 12, c.tones[2] + 12, c.tones[0] + 24};
    n.chord_size = 4;
}

void add_cue_gesture(score_builder& s, const cue& c)
{
    switch (c.kind) {
    case cue_kind::section: break;  // the section's own entrance marks it
    case cue_kind::punch:
        s.add(c.scene_time, voice::impact, 0.9f);
        s.add(c.scene_time, voice::crash, 0.8f);
        break;
    case cue_kind::pulse:
        add_stab(s, c.scene_time, 0.9f);
        s.add(c.scene_time, voice::clap, 0.8f);
        break;
    case cue_kind::bump:
        s.add(c.scene_time, voice::tom, 0.9f).pitch = 95.0f;
        s.add(c.scene_time, voice::crash, 0.6f);
        break;
    }
}

}  // namespace

std::span<const section> sections() { return section_table; }

std::vector<note_event> build_score()
{
    score_builder s;
    const double end = scene_time_of(track_length_s);
    for (size_t i = 0; i < std::size(section_table); ++i) {
        add_section(s, i, end);
        if (traits_of(section_table[i].kind).stab_in) add_stab(s, section_table[i].start, 1.0f);
    }
    for (const cue& c : show_cues()) add_cue_gesture(s, c);
    std::erase_if(s.events, [](const note_event& e) { return e.start < 0; });
    std::stable_sort(s.events.begin(), s.events.end(),
                     [](const note_event& a, const note_event& b) { return a.start < b.start; });
    return std::move(s.events);
}

}  // namespace music
