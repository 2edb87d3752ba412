#include "datagen/music/arrangement.h"

namespace music {

section_traits traits_of(style s) {
    section_traits t;
    switch (s) {
    case style::intro_pad:
        t.pad = true, t.bright = 0.35f, t.bright_ramp = true, t.arp = 1, t.energy = 0.7f;
        t.crash_in = false;
        break;
    case style::intro_arp:
        t.pad = true, t.bright = 0.5f, t.bright_ramp = true, t.arp = 2, t.bass = 1;
        t.hats = 1, t.energy = 0.75f;
        break;
    case style::intro_beat:
        t.kick = 1, t.hats = 1, t.bass = 2, t.pad = true, t.arp = 3, t.energy = 0.85f;
        t.backbeat = 1;
        break;
    case style::intro_rise:
        t.hats = 2, t.pad = true, t.arp = 3, t.bright = 0.7f, t.roll_out = true;
        t.riser_bars = 3, t.bass = 1, t.energy = 0.85f;
        break;
    case style::title:
        t.kick = 3, t.hats = 1, t.bass = 1, t.pad = true, t.arp = 2, t.energy = 0.8f;
        t.riser_bars = 2, t.impact_in = true;
        break;
    case style::drive:
        t.kick = 1, t.backbeat = 1, t.hats = 2, t.bass = 2, t.pad = true, t.bright = 0.4f;
        t.arp = 3, t.impact_in = true;
        break;
    case style::glide:
        t.kick = 2, t.backbeat = 2, t.hats = 1, t.bass = 1, t.pad = true, t.lead = true;
        t.progression = 1, t.energy = 0.85f;
        break;
    case style::build:
        t.kick = 1, t.hats = 2, t.bass = 2, t.pad = true, t.arp = 3, t.bright = 0.3f;
        t.bright_ramp = true, t.roll_out = true, t.riser_bars = 4, t.energy = 0.9f;
        break;
    case style::drop:
        t.kick = 1, t.backbeat = 1, t.hats = 2, t.bass = 3, t.pad = true, t.arp = 3;
        t.lead = true, t.impact_in = true;
        break;
    case style::gap:
        t.riser_bars = 1, t.crash_in = false, t.impact_in = true, t.roll_out = true;
        break;
    case style::sweep:
        t.kick = 1, t.hats = 1, t.bass = 2, t.pad = true, t.bright = 0.15f, t.energy = 0.85f;
        t.riser_bars = 1;
        break;
    case style::heavy:
        t.kick = 2, t.backbeat = 2, t.hats = 2, t.bass = 3, t.drive = 0.8f, t.pad = true;
        t.bright = 0.3f, t.progression = 2, t.impact_in = true;
        break;
    case style::breakdown:
        t.pad = true, t.arp = 2, t.bass = 1, t.bright = 0.6f, t.energy = 0.8f;
        t.progression = 1;
        break;
    case style::rebuild:
        t.kick = 1, t.hats = 2, t.pad = true, t.arp = 3, t.bright = 0.3f, t.bright_ramp = true;
        t.bass = 2, t.roll_out = true, t.riser_bars = 4, t.energy = 0.9f;
        break;
    case style::takeover:
        t.kick = 1, t.backbeat = 1, t.hats = 2, t.bass = 3, t.pad = true, t.bright = 0.8f;
        t.arp = 3, t.lead = true, t.impact_in = true;
        break;
    case style::calm:
        t.kick = 3, t.hats = 1, t.bass = 1, t.pad = true, t.arp = 2, t.progression = 1;
        t.energy = 0.8f;
        break;
    case style::stab:
        t.kick = 1, t.hats = 2, t.bass = 3, t.pad = true, t.bright = 0.5f, t.stab_in = true;
        t.impact_in = true, t.backbeat = 1;
        break;
    case style::finale:
        t.kick = 1, t.backbeat = 1, t.hats = 2, t.bass = 2, t.pad = true, t.arp = 3;
        t.impact_in = true;
        break;
    case style::coda:
        t.pad = true, t.pad_hold = true, t.arp = 1, t.bright = 0.45f, t.impact_in = true;
        t.energy = 0.75f;
        break;
    }
    return t;
}

namespace {

constexpr chord a_minor{33, {57, 60, 64}};
constexpr chord f_major{29, {53, 57, 60}};
constexpr chord c_major{36, {55, 60, 64}};
constexpr chord g_major{31, {55, 59, 62}};
constexpr chord e_minor{28, {52, 55, 59}};
constexpr chord e_major{28, {52, 56, 59}};

constexpr std::array<std::array<chord, 4>, 3> progressions = {{
    {a_minor, f_major, c_major, g_major},
    {f_major, g_major, a_minor, e_minor},
    {a_minor, a_minor, f_major, e_major},
}};

constexpr melody_note main_line[4][5] = {
    {{0, 3, 76}, {3, 3, 72}, {6, 2, 74}, {8, 4, 76}, {12, 4, 79}},
    {{0, 6, 77}, {6, 2, 76}, {8, 4, 72}, {12, 4, 69}, {12, 0, 0}},
    {{0, 3, 72}, {3, 3, 74}, {6, 2, 76}, {8, 6, 79}, {14, 2, 81}},
    {{0, 8, 83}, {8, 4, 79}, {12, 4, 74}, {12, 0, 0}, {12, 0, 0}},
};
constexpr int main_line_size[4] = {5, 4, 5, 3};

constexpr melody_note glide_line[4][3] = {
    {{0, 8, 72}, {8, 4, 69}, {12, 4, 72}},
    {{0, 8, 74}, {8, 4, 71}, {12, 4, 67}},
    {{0, 6, 76}, {6, 2, 74}, {8, 8, 72}},
    {{0, 8, 71}, {8, 8, 67}, {8, 0, 0}},
};
constexpr int glide_line_size[4] = {3, 3, 3, 2};

int wrap4(int bar) { return ((bar % 4) + 4) % 4; }

}  // namespace

const chord& chord_of(int progression, int bar) {
    return progressions[static_cast<size_t>(progression) % progressions.size()][wrap4(bar)];
}

std::span<const melody_note> melody_of(int progression, int bar) {
    const int b = wrap4(bar);
    if (progression == 0) return {main_line[b], static_cast<size_t>(main_line_size[b])};
    if (progression == 1) return {glide_line[b], static_cast<size_t>(glide_line_size[b])};
    return {};
}

}  // namespace music
