// Time curves of the post-processing chain: pure functions of the part's clock T
// (scene_time), so each can be checked against its table without a GL context.
#pragma once
#include <cstddef>
#include <cstdint>

// Black overlay alpha: fades in over the first 2 s of T and out from T = 209.
double fade_alpha(double T);
// The overlay is drawn only above this alpha.
bool fade_visible(double alpha);

// How strongly the camera follows the lead particle (0..1).
double follow_weight(double T);

// Per-frame random threshold of the combine pass. Reseeds the shared generator from T,
// so equal T always gives equal values whatever ran before; leaves the generator moved.
float combine_limit(double T);

// Index into the recorded path for the camera wobble at T. Needs a path of at least two
// points (the index runs modulo count - 1); returns -1 otherwise.
int64_t camera_path_index(double T, std::size_t path_count);
