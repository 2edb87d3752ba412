// The folder of saved snapshots, one subfolder per cache key (the show's inputs and the GL
// driver), so a seek can start from the nearest saved step instead of step 0.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "state/content_hash.h"
#include "state/snapshot.h"

// $XDG_CACHE_HOME/thornwake, or $HOME/.cache/thornwake; empty when neither is set.
std::string default_cache_root();
// The settings of Mesa's software renderer that change what it computes, one "NAME=value"
// line each for those set (get looks a variable up): a step's result depends on them as on
// the driver, so they belong in the cache key beside its name.
std::string renderer_settings(const char* (*get)(const char*));
// Content hash of the files in order; a missing or unreadable file hashes as its name plus a
// marker, so it differs from an empty file.
uint64_t hash_files(const std::vector<std::string>& paths, uint64_t seed = 0);
// Every regular file under these folders (recursively, sorted by path, so order is stable).
std::vector<std::string> files_under(const std::vector<std::string>& folders);

struct snapshot_cache {
    std::string dir;  // root/<16 hex digits of key>; empty: caching off
    uint64_t key = 0;
    snapshot_shape shape;
};

// Makes root/<key hex>/ and bounds the root: keeps this key's folder and at most
// `keep_other_keys` other key folders, newest first, deleting older ones.
// Any failure (no root, not writable) gives a cache with empty dir and one line on stderr.
snapshot_cache open_snapshot_cache(const std::string& root, uint64_t key, const snapshot_shape& shape,
                                   int keep_other_keys = 1);
std::string snapshot_path(const snapshot_cache& c, int64_t step);
bool cache_has(const snapshot_cache& c, int64_t step);
// Atomic: writes a temporary file then renames; false (one stderr line) on failure.
bool cache_store(const snapshot_cache& c, const sim_snapshot& s);
// Highest stored step <= `step`, decoded. A damaged/truncated/foreign file is rejected with
// one stderr line, deleted, and the next lower one is tried. nullopt when none is usable.
std::optional<sim_snapshot> cache_load_at_or_before(const snapshot_cache& c, int64_t step);
// Total bytes in c.dir.
uint64_t cache_bytes(const snapshot_cache& c);
