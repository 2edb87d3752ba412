// What each kind of section plays, and the harmony under it. Pure tables; score.cpp turns
// them into notes.
#pragma once
#include <array>
#include <span>

#include "datagen/music/score.h"

namespace music {

struct section_traits {
    int kick = 0;          // 0 none, 1 four to the floor, 2 half-time, 3 downbeats only
    int backbeat = 0;      // 0 none, 1 clap on 2 and 4, 2 snare on 3
    int hats = 0;          // 0 none, 1 off-beat eighths, 2 sixteenths
    int bass = 0;          // 0 none, 1 held roots, 2 off-beat eighths, 3 rolling sixteenths
    float drive = 0;       // bass grit
    bool pad = false;
    bool pad_hold = false;  // one chord for the whole section
    float bright = 0.5f;   // pad and arpeggio filters
    bool bright_ramp = false;  // filters open across the section
    int arp = 0;           // 0 none, 1 quarters, 2 eighths, 3 sixteenths
    bool lead = false;
    int progression = 0;
    float energy = 1.0f;
    bool roll_out = false;    // snare roll over the last bar into the next section
    int riser_bars = 0;       // riser that ends on the next section
    bool crash_in = true;
    bool impact_in = false;
    bool stab_in = false;
};

section_traits traits_of(style s);

struct chord {
    float bass = 33;                 // MIDI note of the bass root
    std::array<float, 3> tones{};    // close voicing around middle C
};

// Progression p, bar b (wraps).
const chord& chord_of(int progression, int bar);

struct melody_note {
    int step = 0;    // sixteenth within the bar
    int length = 0;  // in sixteenths
    float pitch = 0;
};

// The lead line for one bar of a progression; empty when the progression has none.
std::span<const melody_note> melody_of(int progression, int bar);

}  // namespace music
