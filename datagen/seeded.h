// A small generator of our own for the data's random choices. It is fixed here, not taken
// from <random>, whose distributions differ between standard libraries: the data files
// must come out byte-identical everywhere.
#pragma once
#include <cstdint>

struct seeded_random {
    uint64_t state = 0;

    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
};
