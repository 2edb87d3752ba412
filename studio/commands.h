// The studio's keys and cue jumps on top of the transport: one table maps a key to an
// action, the same table writes the --help lines, and every action ends in a transport
// call. Pure: no GL, no SDL.
#pragma once
#include <string>
#include <vector>

#include "studio/transport.h"

enum class studio_action {
    none, toggle_overlay, play_pause, step_back, step_forward, to_start, previous_cue, next_cue,
    speed_quarter, speed_half, speed_normal, speed_double, loop_in, loop_out, loop_toggle, reload,
};

// The show's virtual-key number → the action; none for keys the show keeps (Space, A, Q,
// the arrows up and down, Escape, F1, the digits).
studio_action studio_key_action(int vk);
// "  KEY  what it does" lines for --help.
std::string studio_keys_help();

// Sorted cue times; the nearest one strictly before / after t, or t itself when none.
double cue_before(const std::vector<double>& cues, double t);
double cue_after(const std::vector<double>& cues, double t);

// Applies the action (toggle_overlay and none leave the transport alone, the caller
// handles them); false when the transport refused it.
bool studio_apply(transport& t, studio_action a, const std::vector<double>& cues);
