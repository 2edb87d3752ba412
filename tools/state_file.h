// The developer recording: a snapshot of the part switches and values every frame, written
// to "state.txt" during the closing fade, read back at start-up for the bookmark keys.
#pragma once
#include <cstdint>
#include <istream>
#include <ostream>
#include <vector>

struct state_snapshot {
    std::vector<bool> switches_a;
    std::vector<bool> switches_b;
    std::vector<double> part_values;
    double time = 0;
};

struct recording_state {
    std::vector<state_snapshot> recording;
    state_snapshot current_snapshot;
};

// Show times of the bookmarks on digit keys 0..7.
constexpr double bookmark_times[8] = {25, 146, 165, 200, 302, 265, 287, 293};

// flags_a/flags_b: the frame's switch bytes; values: state_value of part slots 0..8 (0 when empty).
void record_frame(recording_state& r, double show_time, const uint8_t* flags_a, const uint8_t* flags_b,
                  const double values[9]);
void write_state_file(std::ostream& out, const recording_state& r);
// Never trusts the counts: stops with what was read when the file runs out.
void read_state_file(std::istream& in, recording_state& r);
// The snapshot closest to t (the earliest among equals) becomes current; false when empty.
bool nearest_snapshot(recording_state& r, double t);
// Applies the bookmarks of held digit keys in key order; values receives slots 0..7.
void apply_bookmarks(recording_state& r, const uint8_t key_down[256], uint8_t* flags_a, uint8_t* flags_b,
                     double values[9], bool slot_filled[9]);
