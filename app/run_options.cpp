#include "app/run_options.h"

#include <CLI/CLI.hpp>

#include "app/data_location.h"
#include "app/step_schedule.h"

#include "studio/commands.h"

#include <cstdio>
#include <regex>

static bool parse_size(const std::string& s, int& w, int& h)
{
    static const std::regex form(R"(([0-9]{2,5})[xX]([0-9]{2,5}))");
    std::smatch m;
    if (!std::regex_match(s, m, form)) return false;
    w = std::stoi(m[1]);
    h = std::stoi(m[2]);
    return w >= 16 && h >= 16 && w <= 16384 && h <= 16384;
}

int parse_run_options(int argc, const char* const* argv, run_options& o)
{
    CLI::App app{"Thornwake: a real-time audiovisual demo.\n"
                 "Without options it shows the setup dialog, then the show in a window or fullscreen."};
    app.footer(data_and_outputs_help());
    app.add_flag("--version", o.version, "Print the version and a fingerprint of the data found, then exit");
    std::string size;
    app.add_option("--data", o.data_dir, "Run-time data folder (default: searched, see below)");
    app.add_option("--size", size, "Window or render size, WxH (skips the setup dialog)");
    app.add_flag("--windowed", o.windowed, "Run in a window (skips the setup dialog)");
    app.add_flag("--fullscreen", o.fullscreen, "Run fullscreen (skips the setup dialog)");
    app.add_flag("--no-aa", o.no_aa, "No multisampling");
    app.add_flag("--no-setup", o.no_setup, "Skip the setup dialog: 1280x720 windowed unless told otherwise");
    app.add_flag("--silent", o.silent, "No audio output; the spectrum still drives the show");
    app.add_option("--seek", o.seek,
                   "Start at this show time in seconds, exactly as a run from 0 shows it (the simulation steps "
                   "there from the nearest cached snapshot)")
        ->check(CLI::Range(0.0, show_end_time));
    app.add_option("--capture", o.capture_dir, "Render offline at a fixed step, one PNG per frame into DIR");
    app.add_option("--video", o.video_file,
                   "Render offline into an H.264 video with the music (needs ffmpeg); a key frame starts every "
                   "second of video, so scripts/render-parallel can join ranges without re-encoding");
    app.add_flag("--bake", o.bake,
                 "Fill the snapshot cache ($XDG_CACHE_HOME/thornwake, default ~/.cache/thornwake) for the whole "
                 "show (or up to --to), then exit; later seeks start from it");
    app.add_flag("--no-cache", o.no_cache, "Neither read nor write simulation snapshots (seeks step from 0)");
    app.add_option("--stats", o.stats_file, "Write per-frame timings to this CSV file");
    app.add_option("--fps", o.fps, "Frames per second of show time in capture and video mode (default 60)")
        ->check(CLI::Range(1, 1000));
    app.add_option("--from", o.from,
                   "Capture starts at this show time, rounded to a whole frame at --fps (default 0; same frames "
                   "as a capture from 0)")
        ->check(CLI::Range(0.0, show_end_time));
    const std::string show_end_text = std::to_string(int(show_end_time));
    app.add_option("--to", o.to, "Capture ends after this show time (default " + show_end_text + ")")
        ->check(CLI::Range(0.0, show_end_time));
    app.add_flag("--studio", o.studio,
                 "Open the show in a window with the studio overlay: pause, scrub and loop with the music, and "
                 "shaders rebuilt on save. Keys:\n" +
                     studio_keys_help() + "  On the timeline: click or drag to scrub, Shift+drag to mark a loop");
    app.add_option("--studio-script", o.studio_script,
                   "Studio: run the commands in FILE (play, pause, seek T, step N, speed X, loop A B, reload, "
                   "overlay 0|1, key VK, wait N, sleep S, wait-file PATH, shot DIR N, shot-overlay DIR N, quit), one "
                   "batch per frame")
        ->type_name("FILE");
    app.add_flag("--dev-log", o.dev_log, "Developer: write the frame log to logs/shiftling2.log");
    app.add_flag("--dev-record", o.dev_record, "Developer: record and write state.txt at the end");
    app.add_flag("--dev-state", o.dev_state, "Developer: read state.txt and enable bookmark keys 0-7");
    app.add_flag("--dev-asset-list", o.dev_asset_list, "Developer: write the asset list report");
    app.add_flag("--dev-effects", o.dev_effects, "Developer: also play the effects track");
    app.add_option("--start-scene", o.start_scene,
                   "Developer: jump on the first frame to scene 1 (show time 32.2 s), 2 (74.1 s) or 3 (130 s); "
                   "4 and 5 lie past the show's end and are refused")
        ->check(CLI::Range(-4, 5));
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        std::fputs(app.help().c_str(), stdout);
        return 0;
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "thornwake: %s (see --help)\n", e.what());
        return 2;
    }
    if (o.version) return 0;
    if (!size.empty() && !parse_size(size, o.width, o.height)) {
        std::fprintf(stderr, "thornwake: --size wants WxH such as 1280x720, got '%s'\n", size.c_str());
        return 2;
    }
    if (o.windowed && o.fullscreen) {
        std::fprintf(stderr, "thornwake: --windowed and --fullscreen exclude each other\n");
        return 2;
    }
    if (!o.capture_dir.empty() && !o.video_file.empty()) {
        std::fprintf(stderr, "thornwake: choose one of --capture and --video\n");
        return 2;
    }
    if (o.capturing() && o.start_scene > 0) {
        std::fprintf(stderr, "thornwake: --start-scene does not combine with --capture or --video; use --from\n");
        return 2;
    }
    if (!o.studio_script.empty()) o.studio = true;
    if (o.studio && o.capturing()) {
        std::fprintf(stderr, "thornwake: --studio does not combine with --capture or --video\n");
        return 2;
    }
    if (o.studio && !o.fullscreen) o.windowed = true;  // no setup dialog: straight into a window
    if (o.from >= o.to) {
        std::fprintf(stderr, "thornwake: --from (%g) must be before --to (%g)\n", o.from, o.to);
        return 2;
    }
    // Frame k shows the end of its interval, (first + k + 1) / fps: a range shorter than one
    // interval would write nothing and still end well.
    const double first_shown = double(capture_first_multiple(o.from > 0 ? o.from : o.seek, o.fps) + 1) / o.fps;
    if (o.capturing() && first_shown > o.to) {
        std::fprintf(stderr, "thornwake: --from %g to --to %g holds no frame at %d fps: the first shows %g s\n",
                     o.from, o.to, o.fps, first_shown);
        return 2;
    }
    o.console = argc > 1;
    return -1;
}
