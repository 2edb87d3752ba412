// The setup dialog shown before the window opens: resolution, antialiasing, windowed.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/display_modes.h"

struct setup_choice {
    bool run = false;
    bool antialiased = true;
    bool fullscreen = false;
    int width = 0, height = 0;   // the 16:9 size the demo runs at
    bool dialog_failed = false;  // the dialog could not open; run is false
    std::string why;             // and why, in the platform's words
};

// What pressing "Run ... " with these settings means; run is false when nothing is selected.
setup_choice choose_setup(const std::vector<mode_size>& modes, int selected, bool antialiased, bool windowed);

constexpr const char* setup_caption = "                                     Thornwake QEL - 2013 ";

// Shows the dialog; the callback (tests) receives its pixels once it is drawn. A dialog
// that cannot open says so in dialog_failed and why.
setup_choice run_setup_dialog(const std::vector<mode_size>& modes,
                              std::function<void(const unsigned char*, int, int)> on_shown = {});
