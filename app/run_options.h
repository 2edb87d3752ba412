// What the command line asks for. Parsing is separate from acting so it can be tested.
#pragma once
#include "base/show_clock.h"

#include <string>

struct run_options {
    std::string data_dir;       // empty: searched (data_location.h)
    int width = 0, height = 0;  // 0: dialog's choice, or 1280 x 720
    bool windowed = false;
    bool fullscreen = false;
    bool no_aa = false;
    bool no_setup = false;
    bool silent = false;
    double seek = 0;          // start at this show time
    std::string capture_dir;  // capture mode: PNG frames here
    std::string video_file;   // capture mode: H.264 video here
    std::string stats_file;   // per-frame timings as CSV
    int fps = 60;
    double from = 0;
    double to = show_end_time;
    bool dev_log = false, dev_record = false, dev_state = false, dev_asset_list = false;
    bool dev_effects = false;
    int start_scene = -4;
    bool no_cache = false;      // neither read nor write simulation snapshots
    bool bake = false;          // fill the snapshot cache for the whole show, then exit
    bool console = false;       // any argument at all: stdout unbuffered
    bool version = false;       // --version: main answers it, as it names the data found
    bool studio = false;        // a window with the studio overlay (studio/)
    std::string studio_script;  // studio commands from a file, one per frame (tests)

    bool capturing() const { return !capture_dir.empty() || !video_file.empty(); }
};

// Returns -1 to go on, or the exit code to end with (0 after --help, and after --version
// with `version` set for main to print; 2 on bad input, with one line on stderr saying what
// was wrong).
int parse_run_options(int argc, const char* const* argv, run_options& out);
