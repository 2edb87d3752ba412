// The arrangement: which voice plays what, and when, as a flat list of note events placed
// to the sample. Built from the section table, the chord progressions and the cue table.
#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace music {

enum class voice {
    kick, snare, clap, hat, open_hat, crash, tom, impact, riser, sub_drop,
    bass, pad, pluck, lead, stab,
};

struct note_event {
    int64_t start = 0;     // sample of the attack in the track
    float length_s = 0;    // how long the note is held (risers: their whole length)
    voice kind = voice::kick;
    float pitch = 0;       // MIDI note; Hz for toms
    float velocity = 1.0f;
    float tone = 0;        // brightness or drive, per voice
    float pan = 0;         // -1 left .. +1 right
    uint32_t seed = 1;
    std::array<float, 4> chord{};  // stabs only
    int chord_size = 0;
};

enum class style {
    intro_pad, intro_arp, intro_beat, intro_rise, title, drive, glide, build, drop, gap,
    sweep, heavy, breakdown, rebuild, takeover, calm, stab, finale, coda,
};

struct section {
    double start = 0;  // in the part's clock; the intro runs at negative times
    style kind = style::intro_pad;
};

// Sorted; each section lasts until the next one, the last until the end of the track.
std::span<const section> sections();

// Sorted by start sample.
std::vector<note_event> build_score();

}  // namespace music
