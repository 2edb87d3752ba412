// CPU side of the generated textures: their bytes are made here, without GL, so the
// patterns can be checked byte for byte. Both draw from the show's shared generator
// (base/vecmath.h), whose exact rule fixes the pattern on every platform.
#pragma once
#include <cstdint>
#include <vector>

// A uniform integer in 0..n from the shared generator (draws again above n).
int random_up_to(int n);

// width x height RGB texels, texel (x, y) at byte (y * width + x) * 3. Seeds the shared
// generator with 24234234, discards 10000 draws, then visits columns first; each texel
// takes six draws of 0..256, keeps the last three, and 256 wraps to byte 0.
// Leaves the generator after its last draw: the random textures continue from there.
std::vector<uint8_t> noise_texture_bytes(int width, int height);

// width x height x 4 bytes of draw % 255, continuing the shared generator.
std::vector<uint8_t> random_texture_bytes(int width, int height);
