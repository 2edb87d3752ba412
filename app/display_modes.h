// The resolution list of the setup dialog: which display modes are offered, how they are
// labelled, which is preselected, and the 16:9 size a choice runs at. Pure functions.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

using mode_size = std::pair<int, int>;  // width, height

// In the system's order, without duplicates, without portrait, over-wide or >= 2048 modes.
std::vector<mode_size> build_display_modes(const std::vector<display_mode>& system_modes);
std::string mode_label(mode_size m);
// The last 1280 x 720 (unless it is the first entry), else the last 1024 x 768, else 0.
int preselected_mode(const std::vector<mode_size>& modes);
// The demo renders 16:9 at the chosen width: 1280 → 720, 1366 → 768, 1680 → 945.
int run_height(int width);
