// The scene's last stage. In every simulation step the edges of the current video frame
// become contour lines, the longest of them are smoothed, moved by the choreography and
// sampled into cloud_box, which the particle updates read in the next step. Every frame
// draws the drifting dust points.
// The CPU half (edges, sorting, emitting, parking) is exposed so it can be tested and
// measured without a GL context.
#pragma once
#include "assets/polyline.h"
#include "demo/choreography.h"
#include "particles/emitter_cloud.h"

#include <cstdint>
#include <vector>

#include <opencv2/core.hpp>

class part_start;
struct render_engine;

// One fixed step at scene time t: emit, park and upload cloud_box.
void run_contour_step(part_start& part, double t);
// The frame's share at scene time t: the stage's GL state and the dust points.
void draw_contour_stage(double t);

// Gaussian 9×9 then Canny 20/150/3, in place: `work` ends up an edge image.
void find_edges(cv::Mat& work);

// Orders the first `keep` places longest first, exactly as a full exchange sort would
// (later passes only touch later places, so they are not run).
void sort_longest_first(std::vector<polyline>& contours, int keep);

// Reused between frames so the emitter pass allocates nothing once warm. Per place k:
// the record the smoothed copy was made from, and the copy.
struct contour_scratch {
    std::vector<polyline> sources;
    std::vector<polyline> copies;
    std::vector<vec3> placed;
};

// Sorts the contours, then writes the samples of the longest max_contours of them into
// cloud's positions from texel 0. Returns the cursor after the last sample. Draws from
// the shared generator (drift and sparks).
int32_t emit_contours(std::vector<polyline>& contours, double t, path_view path,
                      emitter_cloud& cloud, contour_scratch& scratch);

// Before 45 s and after 119 s every texel from the cursor to the end is parked.
void park_emitter(emitter_cloud& cloud, int32_t cursor, double t);
