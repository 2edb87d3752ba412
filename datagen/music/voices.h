// Pitched voices. Each renders one note from its onset at index 0, including its release
// tail; length_s is how long the key is held.
#pragma once
#include <span>
#include <vector>

#include "datagen/music/drums.h"

namespace music {

struct stereo {
    mono left, right;
};

// Saw plus a sine sub an octave down through an enveloped low-pass; drive > 0 grits it up.
mono bass(float midi, float length_s, float velocity, float drive);
// Three detuned saws per side, slow attack, soft low-pass: the chords.
stereo pad(float midi, float length_s, float velocity, float brightness);
// Short plucked saw/pulse: the arpeggio.
mono pluck(float midi, float velocity, float brightness);
// Two saws with delayed vibrato: the melody.
mono lead(float midi, float length_s, float velocity);
// One bright chord hit for the quantiser pulses.
mono stab(std::span<const float> notes, float velocity);

}  // namespace music
