// One entry point per file reader of the show, each taking arbitrary bytes. The libFuzzer
// targets call them, and the regression test replays saved inputs through the same ones,
// so a crash found by the fuzzer is reproduced by the normal (gcc) suite.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

void feed_obj(const uint8_t* data, size_t size);
void feed_polygons(const uint8_t* data, size_t size);
void feed_path(const uint8_t* data, size_t size);
void feed_state_file(const uint8_t* data, size_t size);
void feed_velocity_volume(const uint8_t* data, size_t size);
void feed_shader_source(const uint8_t* data, size_t size);
void feed_image_sequence(const uint8_t* data, size_t size);
void feed_run_options(const uint8_t* data, size_t size);
void feed_snapshot(const uint8_t* data, size_t size);

// The snapshot reader is fed under this key and a tiny shape, so that the fuzzer can reach a
// file that reads; fuzz/make_seeds.py writes its seeds with the same numbers.
constexpr uint64_t fuzz_snapshot_key = 0x5457534E41500001ull;
constexpr size_t fuzz_snapshot_floats[3] = {8, 4, 9};

struct fuzz_reader {
    const char* name;  // also the folder under fuzz/corpus and fuzz/regressions
    void (*feed)(const uint8_t*, size_t);
};

std::span<const fuzz_reader> fuzz_readers();
