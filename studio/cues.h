// The marks on the studio's timeline: where the timeline windows start, and the
// choreography's cue times, both in show time, sorted, inside the show.
#pragma once
#include <vector>

struct timeline;

struct cue_marks {
    std::vector<double> windows;       // starts of the timeline windows
    std::vector<double> choreography;  // moments the particle curves change course
    std::vector<double> all;           // both, merged, for the jump keys
};

// Scene times (the part's clock) where the choreography's curves switch.
const std::vector<double>& choreography_scene_cues();
cue_marks build_cue_marks(const timeline& tl, double show_end);
