#include "state/content_hash.h"

#include <cstring>

namespace {

constexpr uint64_t k1 = 0x9E3779B97F4A7C15ull;
constexpr uint64_t k2 = 0xBF58476D1CE4E5B9ull;
constexpr uint64_t k3 = 0x94D049BB133111EBull;

uint64_t load64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// Invertible in `lane` for a fixed word, so a changed word always leaves a changed lane.
uint64_t absorb(uint64_t lane, uint64_t word)
{
    lane = (lane ^ word) * k3;
    return lane ^ (lane >> 29);
}

uint64_t finish(uint64_t h)
{
    h ^= h >> 30;
    h *= k2;
    h ^= h >> 27;
    h *= k3;
    return h ^ (h >> 31);
}

}  // namespace

uint64_t hash_bytes(std::span<const uint8_t> bytes, uint64_t seed)
{
    // Four independent lanes keep four multiplies in flight instead of one chain.
    uint64_t lane[4] = {seed ^ k1, seed ^ k2, seed ^ k3, ~seed};
    const uint8_t* p = bytes.data();
    size_t left = bytes.size();
    for (; left >= 32; p += 32, left -= 32)
        for (int i = 0; i < 4; ++i) lane[i] = absorb(lane[i], load64(p + 8 * i));
    for (int i = 0; left >= 8; p += 8, left -= 8, ++i) lane[i] = absorb(lane[i], load64(p));
    if (left) {
        uint64_t last = 0;
        std::memcpy(&last, p, left);  // zero padding is told apart by the length below
        lane[3] = absorb(lane[3], last);
    }
    uint64_t h = seed ^ (bytes.size() * k1);
    for (uint64_t l : lane) h = finish(h ^ l) + k1;
    return finish(h);
}
