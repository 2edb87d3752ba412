// A fast 64-bit content hash: the cache key of the show's inputs and the snapshot checksum.
// Not cryptographic; it only has to notice edits and damage.
#pragma once
#include <cstdint>
#include <span>

uint64_t hash_bytes(std::span<const uint8_t> bytes, uint64_t seed = 0);
