// Time curves of the scene renderer: the zoom of the projection and the wave of title
// letters. Pure functions of the scene time t.
#pragma once

// Z: the sum of the thirteen zoom terms, accumulated in single precision.
float zoom_amount(double t);
// 1 - 0.3 Z |Z|: above 1 widens the view, below 1 narrows it.
float zoom_factor(double t);
// Vertical field of view in degrees, 45 x zoom.
double field_of_view(double t);

inline constexpr int title_rings = 4;
inline constexpr int title_letters_per_ring = 22;
inline constexpr int title_last_group = 22;

struct title_letter {
    int group = -1;  // object group of the title mesh to draw, -1 for none
    float r = 0, g = 0, b = 0;
};

// Letter i (0..21) of ring 0..3 at time t. Ring 0 runs 1.5 s ahead of the other three.
title_letter title_letter_at(int ring, int i, double t);
// Whether letter i draws the same glyph in the same colour at the same place as letter
// i - 1: true in rings 1..3 once the wave has passed, when every letter shows the last
// glyph. Such a draw lands on the same fragments at the same depth, so with GL_LEQUAL and
// no blending it changes nothing (ring 0 flattens each letter further, so never there).
bool title_letter_repeats(int ring, int i, double t);
// The ring's rotation about z in degrees: 0, 180, 90, 270.
float title_ring_angle(int ring);
