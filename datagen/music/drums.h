// Percussion and effect voices. Each renders one hit, mono, from its attack at index 0;
// the mixer places it on the timeline. Seeds make the noise of every hit reproducible.
#pragma once
#include <cstdint>
#include <vector>

namespace music {

using mono = std::vector<float>;

mono kick(float velocity);
mono snare(float velocity, uint32_t seed);
mono clap(float velocity, uint32_t seed);
mono hat(float velocity, bool open, uint32_t seed);
mono crash(float velocity, uint32_t seed);
mono tom(float velocity, float hz);
// A low boom with a noise burst: the zoom punches and section hits.
mono impact(float velocity, uint32_t seed);
// Rising filtered noise that ends, at full level, exactly after length_s.
mono riser(float length_s, float velocity, uint32_t seed);
// A falling sine: the floor drops out of the mix.
mono sub_drop(float velocity);

}  // namespace music
