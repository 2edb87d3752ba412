// One snapshot of everything the fixed-step simulation carries from step to step, and its
// file form. Pure bytes in, bytes out: the particle system reads its buffers back itself.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct sim_snapshot {
    int64_t step = 0;                  // fixed steps done since show time 0 (state after that step)
    std::vector<float> main_state;     // main population, 4 floats a particle
    std::vector<float> splash_state;   // splash population, 4 floats a particle
    std::vector<float> box_positions;  // box emitter positions array, 3 floats a texel
    std::vector<float> box_colours;    // and its colours: each texel keeps the last colour written
    float lead[3] = {};                // lead particle as last read back
    int32_t lead_read = 0;             // 1 once a read has happened
    float lead_followed[3] = {};       // smoothed lead the camera follows
    int32_t seq_request = 0;           // video frame the next step loads
};

// Sizes the reader insists on, so a file from another build or size is rejected.
struct snapshot_shape {
    size_t main_floats = 0, splash_floats = 0, box_floats = 0;  // box_floats: each box array
    bool operator==(const snapshot_shape&) const = default;
};

// The shape of `s` as it stands.
snapshot_shape shape_of(const sim_snapshot& s);

// Empty only if zlib fails (out of memory).
std::vector<uint8_t> encode_snapshot(const sim_snapshot& s, uint64_t key);
// Never trusts the bytes: wrong magic/version, another key, truncated, sizes other than
// `shape`, bad checksum, trailing garbage, decompression failure -> nullopt and `why` says
// which in a few words. Allocates only what `shape` asks for.
std::optional<sim_snapshot> decode_snapshot(std::span<const uint8_t> bytes, uint64_t key,
                                            const snapshot_shape& shape, std::string& why);

// Largest file a snapshot of `shape` can encode to; anything longer is not one.
size_t max_encoded_size(const snapshot_shape& shape);
