#include "app/studio_shell.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/capture.h"
#include "app/demo_state.h"
#include "app/frame_rules.h"
#include "app/shell.h"
#include "app/simulation.h"
#include "audio/music.h"
#include "demo/choreography.h"
#include "demo/part_start.h"
#include "platform/overlay_window.h"
#include "platform/platform.h"
#include "render/frame_stats.h"
#include "studio/commands.h"
#include "studio/cues.h"
#include "studio/overlay.h"
#include "studio/shader_reload.h"
#include "studio/shader_watch.h"
#include "studio/transport.h"

namespace {

constexpr int music_channel = 1;
constexpr int full_volume = 255;
constexpr int envelope_points = 396;  // one per half second of the show

struct studio_state {
    bool started = false;
    bool overlay_visible = true;
    transport t;
    uint64_t jumps_seen = 0;
    bool was_playing = false;
    bool audible = false;
    cue_marks cues;
    std::vector<float> envelope;
    overlay_view view;
    double last_frame_wall = -1;
    std::vector<double> overlay_cpu_ms;
    std::vector<double> seek_ms;
    shader_watch watch;
    std::vector<program_source> programs;
    std::map<int, std::string> shader_errors;  // by bank slot, cleared when it builds again
    uint64_t reloads_seen = 0;
    std::vector<double> rebuild_ms;
    double cache_checked = -1e9;
    // Scripted runs: the lines left, and what the end of this frame must write.
    std::vector<std::string> script;
    size_t script_next = 0;
    int wait_frames = 0;
    int key_held = 0;           // pressed by the script, released a frame later
    double sleep_until_ms = 0;  // frames go on being drawn meanwhile
    std::string wait_for_file;  // a test's signal that it has changed a file
    std::string shot_dir;
    long shot_index = -1;
    bool shot_with_overlay = false;
};
studio_state g_studio;

double now_ms() { return time_now().wall * 1e3; }

std::vector<float> loudness_envelope()
{
    std::vector<float> e(envelope_points, 0.0f);
    float spectrum[512];
    for (int i = 0; i < envelope_points; ++i) {
        std::fill(std::begin(spectrum), std::end(spectrum), 0.0f);
        if (!music_spectrum_at((i + 0.5) * show_end_time / envelope_points, spectrum)) break;
        float sum = 0;
        for (float v : spectrum) sum += v;
        e[size_t(i)] = sum;
    }
    const float top = *std::max_element(e.begin(), e.end());
    if (top > 0)
        for (float& v : e) v /= top;
    return e;
}

part_start* the_part() { return dynamic_cast<part_start*>(g_demo.part_slots[0]); }

// The bank's programs as part_start::load builds them, with their paths tidied for the
// overlay and the file watcher.
std::vector<program_source> part_programs(const part_start& p)
{
    const auto tidy = [](const char* path) { return std::filesystem::path(path).lexically_normal().string(); };
    std::vector<program_source> out;
    for (const part_program& q : p.programs()) out.push_back({q.slot, tidy(q.vertex), tidy(q.fragment), q.captured});
    return out;
}

void rebuild(const program_source& p)
{
    part_start* part = the_part();
    if (!part) return;
    const double before = now_ms();
    const rebuild_result r = rebuild_program(part->shaders, p);
    const double ms = now_ms() - before;
    g_studio.rebuild_ms.push_back(ms);
    const std::string files = (p.vertex.empty() ? "" : p.vertex + " + ") + p.fragment;
    if (r.ok) {
        g_studio.shader_errors.erase(p.slot);
        std::fprintf(stderr, "thornwake: studio: rebuilt %s in %.0f ms\n", files.c_str(), ms);
        return;
    }
    g_studio.shader_errors[p.slot] = r.message;
    std::error_code ec;
    const std::string folder = std::filesystem::current_path(ec).string();
    std::fprintf(stderr, "thornwake: studio: %s (in %s) failed; the last good program stays in use:\n%s", files.c_str(),
                 folder.c_str(), r.message.c_str());
}

void reload_changed_shaders()
{
    std::vector<std::string> changed = poll_changes(g_studio.watch, now_ms() / 1e3);
    if (g_studio.t.reloads != g_studio.reloads_seen) {
        g_studio.reloads_seen = g_studio.t.reloads;
        for (const program_source& p : g_studio.programs) rebuild(p);
    }
    for (const std::string& file : changed) {
        const std::vector<program_source> users = programs_using(g_studio.programs, file);
        if (users.empty())
            std::fprintf(stderr,
                         "thornwake: studio: %s changed; it drives the particle simulation (or nothing), "
                         "so it applies after a restart\n",
                         file.c_str());
        for (const program_source& p : users) rebuild(p);
    }
    std::string shown;
    for (const auto& [slot, message] : g_studio.shader_errors) shown += message;
    g_studio.view.shader_error = shown;
}

void load_script()
{
    std::ifstream in(g_options.studio_script);
    if (!in) {
        std::fprintf(stderr, "thornwake: cannot read the studio script '%s'\n", g_options.studio_script.c_str());
        end_show(g_demo.music_enabled, 2);
        return;
    }
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') g_studio.script.push_back(line);
}

void start()
{
    g_studio.started = true;
    g_studio.t.time = g_demo.show_time;
    g_studio.jumps_seen = g_studio.t.jumps;
    g_studio.was_playing = g_studio.t.playing;
    fill_timeline(g_demo.timeline_table);
    g_studio.cues = build_cue_marks(g_demo.timeline_table, show_end_time);
    const double before = now_ms();
    g_studio.envelope = loudness_envelope();
    std::fprintf(stderr, "thornwake: studio: music envelope in %.0f ms\n", now_ms() - before);
    // The stats panel reads the --stats stage times; without --stats they go nowhere.
    if (!frame_stats_enabled()) frame_stats_open("/dev/null");
    g_studio.view.cues = &g_studio.cues;
    g_studio.view.envelope = &g_studio.envelope;
    if (!platform_overlay_open(g_demo.window, g_demo.render_context))
        std::fprintf(stderr, "thornwake: studio: the overlay could not start; the keys still work\n");
    if (!g_options.studio_script.empty()) load_script();
    if (part_start* part = the_part()) g_studio.programs = part_programs(*part);
    g_studio.watch = watch_folders({"Materials", "PostProcessing"});
    g_studio.reloads_seen = g_studio.t.reloads;
    g_studio.view.shader_watch =
        "shaders: " + std::to_string(g_studio.watch.files.size()) + " files watched (modification time, 0.1 s poll)";
}

double median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + long(v.size() / 2), v.end());
    return v[v.size() / 2];
}

void quit_script()
{
    std::fprintf(stderr,
                 "thornwake: studio: overlay CPU median %.3f ms over %zu frames; exact seek median %.1f ms "
                 "over %zu seeks; program rebuild median %.1f ms over %zu\n",
                 median(g_studio.overlay_cpu_ms), g_studio.overlay_cpu_ms.size(), median(g_studio.seek_ms),
                 g_studio.seek_ms.size(), median(g_studio.rebuild_ms), g_studio.rebuild_ms.size());
    platform_overlay_close();
    end_show(g_demo.music_enabled);
}

// Runs script lines until one that needs a frame drawn (shot, overlay, wait).
void run_script()
{
    if (g_studio.key_held) platform_push_key(g_studio.key_held, false);
    g_studio.key_held = 0;
    if (g_studio.wait_frames > 0 && --g_studio.wait_frames > 0) return;
    if (now_ms() < g_studio.sleep_until_ms) return;
    if (!g_studio.wait_for_file.empty()) {
        std::error_code ec;
        if (!std::filesystem::exists(g_studio.wait_for_file, ec)) return;
        g_studio.wait_for_file.clear();
    }
    transport& t = g_studio.t;
    while (g_studio.script_next < g_studio.script.size()) {
        std::istringstream line(g_studio.script[g_studio.script_next++]);
        std::string word;
        line >> word;
        double a = 0, b = 0;
        bool ok = true;
        if (word == "play") transport_play(t);
        else if (word == "pause") transport_pause(t);
        else if (word == "seek") ok = bool(line >> a) && transport_seek(t, a);
        else if (word == "step") ok = bool(line >> a) && transport_step(t, int(a));
        else if (word == "speed") ok = bool(line >> a) && transport_set_speed(t, a);
        else if (word == "loop") ok = bool(line >> a >> b) && transport_set_loop(t, a, b);
        else if (word == "reload") transport_reload(t);
        else if (word == "overlay") {
            ok = bool(line >> a);
            g_studio.overlay_visible = a != 0;
        } else if (word == "quit") {
            quit_script();
            return;
        } else if (word == "key") {  // through the window's event queue, held for one frame
            ok = bool(line >> g_studio.key_held);
            platform_push_key(g_studio.key_held, true);
            return;
        } else if (word == "sleep") {
            ok = bool(line >> a);
            g_studio.sleep_until_ms = now_ms() + a * 1e3;
            return;
        } else if (word == "wait-file") {
            ok = bool(line >> g_studio.wait_for_file);
            return;
        } else if (word == "wait") {
            ok = bool(line >> g_studio.wait_frames);
            return;
        } else if (word == "shot" || word == "shot-overlay") {
            ok = bool(line >> g_studio.shot_dir >> g_studio.shot_index);
            std::error_code ec;
            std::filesystem::create_directories(g_studio.shot_dir, ec);
            g_studio.shot_with_overlay = word == "shot-overlay";
            return;
        } else ok = false;
        if (!ok)
            std::fprintf(stderr, "thornwake: studio script: refused or unreadable: %s\n",
                         g_studio.script[g_studio.script_next - 1].c_str());
    }
}

void move_simulation()
{
    transport& t = g_studio.t;
    const bool jumped = t.jumps != g_studio.jumps_seen;
    const bool just_paused = g_studio.was_playing && !t.playing;
    if (!transport_frame_exact(t)) return;  // dragging: the coarse frame keeps the old state
    if (jumped || just_paused) {
        const double before = now_ms();
        simulation_seek(t.time);
        g_studio.seek_ms.push_back(now_ms() - before);
        if (!g_studio.script.empty())
            std::fprintf(stderr, "thornwake: studio: exact at %.4f s after %.0f ms\n", t.time, g_studio.seek_ms.back());
        return;
    }
    simulation_advance(t.time, true);
}

// Muted off speed 1, silent while paused or dragging; every jump puts it back in place.
void follow_with_music()
{
    if (!g_demo.music_enabled) return;
    const transport& t = g_studio.t;
    const bool audible = transport_music_audible(t);
    const bool jumped = t.jumps != g_studio.jumps_seen;
    if (audible && (jumped || !g_studio.audible)) music_set_position(music_channel, music_track_sample(t.time));
    if (audible != g_studio.audible) music_set_volume(music_channel, audible ? full_volume : 0);
    g_studio.audible = audible;
}

void collect_stats()
{
    overlay_stats& s = g_studio.view.stats;
    const double wall = now_ms();
    if (g_studio.last_frame_wall >= 0) s.frame_ms = wall - g_studio.last_frame_wall;
    g_studio.last_frame_wall = wall;
    s.steps_last_frame = long(simulation_steps_taken());
    s.overlay_ms = g_studio.overlay_cpu_ms.empty() ? 0 : g_studio.overlay_cpu_ms.back();
    frame_stats_row row;
    if (frame_stats_last_row(row)) {
        s.stages.clear();
        for (int i = 0; i < frame_stage_count; ++i)
            s.stages.emplace_back(frame_stage_name(frame_stage(i)), row.stages.wall[i] * 1e3);
    }
    // A stat per snapshot: once a second is plenty.
    if (wall - g_studio.cache_checked > 1000) {
        g_studio.cache_checked = wall;
        s.cache = simulation_cache_summary();
    }
}

}  // namespace

bool studio_on() { return g_options.studio; }

void studio_begin_frame(frame_input& frame, double wall_seconds)
{
    if (!g_studio.started) start();
    run_script();
    if (show_ending()) return;  // the script quit, or could not be read
    transport& t = g_studio.t;
    if (g_demo.fading) {
        // Escape's closing fade runs on the clock even while paused: it is the way out.
        g_demo.show_time += wall_seconds;
        frame.show_time = g_demo.show_time;
        return;
    }
    if (g_studio.script.empty()) transport_advance(t, wall_seconds);
    g_demo.show_time = t.time;
    frame.show_time = t.time;
    if (g_demo.music_enabled) {
        float live[512];
        music_read_frame(frame.level, live);
        // Capture's spectrum: the decoded track at this show time, not what the device plays.
        std::fill(std::begin(frame.spectrum), std::end(frame.spectrum), 0.0f);
        music_spectrum_at(t.time, frame.spectrum);
    }
    reload_changed_shaders();
    move_simulation();
    follow_with_music();
    g_studio.jumps_seen = t.jumps;
    g_studio.was_playing = t.playing;
    collect_stats();
}

bool studio_take_event(const platform_event& ev)
{
    if (ev.kind != event_kind::key_down && ev.kind != event_kind::key_up) return false;
    const studio_action a = studio_key_action(ev.vk);
    if (a == studio_action::none) return false;
    if (ev.kind == event_kind::key_up) return true;
    if (a == studio_action::toggle_overlay) g_studio.overlay_visible = !g_studio.overlay_visible;
    else studio_apply(g_studio.t, a, g_studio.cues.all);
    return true;
}

void studio_end_frame()
{
    const bool shot = g_studio.shot_index >= 0;
    if (shot && !g_studio.shot_with_overlay)
        capture_write_png(g_studio.shot_dir, g_studio.shot_index, g_demo.screen_width, g_demo.screen_height);
    if (g_studio.overlay_visible && platform_overlay_is_open()) {
        const double cpu = time_now().cpu;
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glUseProgram(0);  // the overlay draws with the fixed-function pipeline
        g_studio.view.scene_time = scene_time_at(g_studio.t.time);
        platform_overlay_begin_frame();
        studio_overlay_draw(g_studio.t, g_studio.view);
        platform_overlay_end_frame();
        std::vector<double>& ms = g_studio.overlay_cpu_ms;
        if (ms.size() >= 4096) ms.erase(ms.begin(), ms.begin() + 2048);  // recent frames are enough
        ms.push_back((time_now().cpu - cpu) * 1e3);
    } else if (platform_overlay_is_open()) {
        platform_overlay_hidden_frame();
    }
    if (shot && g_studio.shot_with_overlay)
        capture_write_png(g_studio.shot_dir, g_studio.shot_index, g_demo.screen_width, g_demo.screen_height);
    g_studio.shot_index = -1;
}
