// The rate the sound layer mixes at, and the rate the show's music is made at.
#pragma once

inline constexpr int mixing_rate = 44100;
