// Snapshot file, all integers little-endian:
//   0  "TWSNAP"        6 bytes
//   6  version         u16 (2)
//   8  key             u64, the cache key the snapshot was made under
//  16  step            i64, >= 0
//  24  main floats     u64  } must equal the reader's shape exactly, so a file
//  32  splash floats   u64  } from another build or population size is refused
//  40  box floats      u64  }   before anything is allocated from it (each box array)
//  48  payload bytes   u64, length of the zlib stream; the file ends right after it
//  56  checksum        u64, hash_bytes of the uncompressed payload, seeded with the hash of
//                      bytes 0..55, so a change to the header or to the state is caught
//  64  zlib stream of the payload:
//        main state, then splash state, each byte-shuffled by particle (byte 0 of every particle,
//          then byte 1, ... byte 15): particles at rest become long runs of equal bytes
//        box positions, then box colours, each byte-shuffled by texel (12 bytes)
//        lead xyz, lead_read, lead_followed xyz, seq_request (32 bytes)
//      The particles go through zlib's run-length mode and the box through level 1: the
//      particle mantissas are close to noise, where a match search costs time and gains
//      nothing, while the box repeats whole points.
#include "state/snapshot.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "state/content_hash.h"

static_assert(std::endian::native == std::endian::little, "floats are stored as the host lays them out");

namespace {

constexpr char magic[6] = {'T', 'W', 'S', 'N', 'A', 'P'};
constexpr uint16_t version = 2;
constexpr size_t header_bytes = 64;
constexpr size_t checked_header_bytes = 56;
constexpr size_t tail_bytes = 32;
constexpr size_t particle_bytes = 16;
constexpr size_t texel_bytes = 12;

void put_u64(uint8_t* p, uint64_t v)
{
    for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t get_u64(const uint8_t* p)
{
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= uint64_t(p[i]) << (8 * i);
    return v;
}

size_t payload_size(const snapshot_shape& shape)
{
    return 4 * (shape.main_floats + shape.splash_floats + 2 * shape.box_floats) + tail_bytes;
}

// Byte `b` of element i goes to out[b * n + i]; a partial element at the end is copied as is.
void shuffle(const float* values, size_t count, size_t element, uint8_t* out)
{
    if (count == 0) return;  // data() may be null
    const uint8_t* in = reinterpret_cast<const uint8_t*>(values);
    const size_t bytes = 4 * count, n = bytes / element;
    for (size_t i = 0; i < n; ++i)
        for (size_t b = 0; b < element; ++b) out[b * n + i] = in[i * element + b];
    std::memcpy(out + n * element, in + n * element, bytes - n * element);
}

void unshuffle(const uint8_t* in, size_t count, size_t element, float* values)
{
    if (count == 0) return;
    uint8_t* out = reinterpret_cast<uint8_t*>(values);
    const size_t bytes = 4 * count, n = bytes / element;
    for (size_t i = 0; i < n; ++i)
        for (size_t b = 0; b < element; ++b) out[i * element + b] = in[b * n + i];
    std::memcpy(out + n * element, in + n * element, bytes - n * element);
}

struct scalar_tail {
    float lead[3];
    int32_t lead_read;
    float lead_followed[3];
    int32_t seq_request;
};
static_assert(sizeof(scalar_tail) == tail_bytes);

// Runs deflate until `flush` is done, growing `out` when it fills.
bool run_deflate(z_stream& z, std::vector<uint8_t>& out, int flush)
{
    for (;;) {
        if (z.avail_out == 0) {
            const size_t used = out.size();
            out.resize(used + used / 2 + 4096);
            z.next_out = out.data() + used;
            z.avail_out = static_cast<uInt>(out.size() - used);
        }
        const int rc = deflate(&z, flush);
        if (rc == Z_STREAM_ERROR) return false;
        if (flush == Z_FINISH ? rc == Z_STREAM_END : z.avail_in == 0 && z.avail_out != 0) return true;
    }
}

}  // namespace

snapshot_shape shape_of(const sim_snapshot& s)
{
    return {s.main_state.size(), s.splash_state.size(), s.box_positions.size()};
}

static bool box_arrays_agree(const sim_snapshot& s) { return s.box_colours.size() == s.box_positions.size(); }

size_t max_encoded_size(const snapshot_shape& shape)
{
    // compressBound covers one block run; the switch of strategy ends a block early.
    return header_bytes + compressBound(payload_size(shape)) + 64;
}

std::vector<uint8_t> encode_snapshot(const sim_snapshot& s, uint64_t key)
{
    const snapshot_shape shape = shape_of(s);
    // zlib counts one call's bytes in 32 bits; a state that large is not this show's.
    if (payload_size(shape) > UINT_MAX / 2 || !box_arrays_agree(s)) return {};
    std::vector<uint8_t> payload(payload_size(shape));
    uint8_t* p = payload.data();
    shuffle(s.main_state.data(), s.main_state.size(), particle_bytes, p);
    p += 4 * s.main_state.size();
    shuffle(s.splash_state.data(), s.splash_state.size(), particle_bytes, p);
    p += 4 * s.splash_state.size();
    const uint8_t* box_start = p;
    shuffle(s.box_positions.data(), s.box_positions.size(), texel_bytes, p);
    p += 4 * s.box_positions.size();
    shuffle(s.box_colours.data(), s.box_colours.size(), texel_bytes, p);
    p += 4 * s.box_colours.size();
    scalar_tail tail;
    std::memcpy(tail.lead, s.lead, sizeof tail.lead);
    tail.lead_read = s.lead_read;
    std::memcpy(tail.lead_followed, s.lead_followed, sizeof tail.lead_followed);
    tail.seq_request = s.seq_request;
    std::memcpy(p, &tail, tail_bytes);

    std::vector<uint8_t> out(max_encoded_size(shape));
    uint8_t* h = out.data();
    std::memcpy(h, magic, 6);
    h[6] = version & 0xFF;
    h[7] = version >> 8;
    put_u64(h + 8, key);
    put_u64(h + 16, static_cast<uint64_t>(s.step));
    put_u64(h + 24, shape.main_floats);
    put_u64(h + 32, shape.splash_floats);
    put_u64(h + 40, shape.box_floats);

    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) return {};
    z.next_out = out.data() + header_bytes;
    z.avail_out = static_cast<uInt>(out.size() - header_bytes);
    z.next_in = payload.data();
    z.avail_in = static_cast<uInt>(box_start - payload.data());
    bool ok = run_deflate(z, out, Z_BLOCK) && deflateParams(&z, 1, Z_DEFAULT_STRATEGY) == Z_OK;
    if (ok) {
        z.avail_in = static_cast<uInt>(payload.data() + payload.size() - box_start);
        ok = run_deflate(z, out, Z_FINISH);
    }
    const size_t stream_bytes = z.total_out;
    deflateEnd(&z);
    // The loader refuses anything longer without reading it, so never write one.
    if (!ok || header_bytes + stream_bytes > max_encoded_size(shape)) return {};
    out.resize(header_bytes + stream_bytes);
    put_u64(out.data() + 48, stream_bytes);
    put_u64(out.data() + 56, hash_bytes(payload, hash_bytes({out.data(), checked_header_bytes}, key)));
    return out;
}

std::optional<sim_snapshot> decode_snapshot(std::span<const uint8_t> bytes, uint64_t key,
                                            const snapshot_shape& shape, std::string& why)
{
    const uint8_t* h = bytes.data();
    if (bytes.empty()) return why = "empty file", std::nullopt;
    if (std::memcmp(h, magic, std::min(bytes.size(), sizeof magic)) != 0) return why = "not a snapshot", std::nullopt;
    if (bytes.size() < header_bytes) return why = "truncated header", std::nullopt;
    const unsigned file_version = h[6] | h[7] << 8;
    if (file_version != version) return why = "version " + std::to_string(file_version), std::nullopt;
    if (get_u64(h + 8) != key) return why = "made under another key", std::nullopt;
    if (get_u64(h + 24) != shape.main_floats || get_u64(h + 32) != shape.splash_floats ||
        get_u64(h + 40) != shape.box_floats)
        return why = "sizes differ from this build's", std::nullopt;
    const int64_t step = static_cast<int64_t>(get_u64(h + 16));
    if (step < 0) return why = "negative step", std::nullopt;
    const uint64_t stream_bytes = get_u64(h + 48);
    const size_t after_header = bytes.size() - header_bytes;
    if (stream_bytes > after_header) return why = "truncated payload", std::nullopt;
    if (stream_bytes < after_header) return why = "trailing bytes", std::nullopt;

    // The only allocation sized by the file is bounded by the reader's own shape.
    std::vector<uint8_t> payload(payload_size(shape));
    uLongf produced = payload.size();
    uLong consumed = stream_bytes;
    const int rc = uncompress2(payload.data(), &produced, h + header_bytes, &consumed);
    if (rc == Z_BUF_ERROR) return why = "payload does not fit its sizes", std::nullopt;
    if (rc == Z_MEM_ERROR) return why = "out of memory", std::nullopt;
    if (rc != Z_OK) return why = "decompression failed", std::nullopt;
    if (produced != payload.size()) return why = "payload shorter than its sizes", std::nullopt;
    if (consumed != stream_bytes) return why = "trailing bytes after the payload", std::nullopt;
    if (get_u64(h + 56) != hash_bytes(payload, hash_bytes({h, checked_header_bytes}, key)))
        return why = "bad checksum", std::nullopt;

    sim_snapshot s;
    s.step = step;
    s.main_state.resize(shape.main_floats);
    s.splash_state.resize(shape.splash_floats);
    s.box_positions.resize(shape.box_floats);
    s.box_colours.resize(shape.box_floats);
    const uint8_t* p = payload.data();
    unshuffle(p, s.main_state.size(), particle_bytes, s.main_state.data());
    p += 4 * s.main_state.size();
    unshuffle(p, s.splash_state.size(), particle_bytes, s.splash_state.data());
    p += 4 * s.splash_state.size();
    unshuffle(p, s.box_positions.size(), texel_bytes, s.box_positions.data());
    p += 4 * s.box_positions.size();
    unshuffle(p, s.box_colours.size(), texel_bytes, s.box_colours.data());
    p += 4 * s.box_colours.size();
    scalar_tail tail;
    std::memcpy(&tail, p, tail_bytes);
    std::memcpy(s.lead, tail.lead, sizeof s.lead);
    s.lead_read = tail.lead_read;
    std::memcpy(s.lead_followed, tail.lead_followed, sizeof s.lead_followed);
    s.seq_request = tail.seq_request;
    why.clear();
    return s;
}
