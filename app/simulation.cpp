#include "app/simulation.h"

#include "app/frame_rules.h"
#include "app/step_schedule.h"
#include "audio/music.h"
#include "demo/part_start.h"
#include "platform/platform.h"
#include "state/snapshot_cache.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct simulation {
    part_start* part = nullptr;
    render_engine* engine = nullptr;
    int64_t done = 0;
    bool exact = true;  // no step skipped since show time 0 or the last restore
    bool warned_behind = false;
    int64_t taken = 0;
    int early = 0;  // steps a real-time frame took while its scene was drawn
    bool use_cache = false;
    std::future<uint64_t> key;
    bool cache_opened = false;
    snapshot_cache cache;
    std::future<void> store;  // the snapshot write in flight
    sim_snapshot origin;      // the state every run starts from, to seek back to
};

simulation g_sim;

std::string gl_string(GLenum name)
{
    const auto* s = reinterpret_cast<const char*>(glGetString(name));
    return s ? s : "";
}

// Everything a step's result depends on: the data, the shaders, this very executable and
// the GL driver (floating point differs between drivers).
uint64_t input_key(std::string driver)
{
    std::vector<std::string> files =
        files_under({"Materials", "PostProcessing", "music", "newneomeshes", "imageseq", "binaries"});
    files.push_back("try1.sav");
    files.push_back("/proc/self/exe");
    const auto* bytes = reinterpret_cast<const uint8_t*>(driver.data());
    return hash_files(files, hash_bytes({bytes, driver.size()}));
}

snapshot_cache& cache()
{
    if (!g_sim.cache_opened && g_sim.use_cache) {
        g_sim.cache_opened = true;
        g_sim.cache = open_snapshot_cache(default_cache_root(), g_sim.key.get(), g_sim.part->state_shape());
    }
    return g_sim.cache;
}

void spectrum_at(double show_time, float (&spectrum)[512])
{
    for (float& v : spectrum) v = 0.0f;
    music_spectrum_at(show_time, spectrum);
}

void save_snapshot()
{
    if (!g_sim.use_cache || !g_sim.exact || g_sim.done % snapshot_every_steps != 0) return;
    const snapshot_cache& c = cache();
    if (c.dir.empty() || cache_has(c, g_sim.done)) return;
    sim_snapshot s = g_sim.part->save_state();
    s.step = g_sim.done;
    // Encoding and writing take longer than the read-back: off the show's thread.
    if (g_sim.store.valid()) g_sim.store.get();
    g_sim.store = std::async(std::launch::async, [&c, s = std::move(s)] { cache_store(c, s); });
}

void run_step()
{
    ++g_sim.done;
    ++g_sim.taken;
    float spectrum[512];
    spectrum_at(step_show_time(g_sim.done), spectrum);
    g_sim.part->step(g_sim.engine, step_show_time(g_sim.done), spectrum);
    save_snapshot();
}

double wall_seconds() { return double(platform_counter()) / double(platform_counter_frequency()); }

// "\r" progress on a terminal, a line every 5 s otherwise.
struct progress_line {
    const char* what;
    double start = wall_seconds();
    double last = -1;

    void show(int64_t step, int64_t from, int64_t to, bool final)
    {
        const double now = wall_seconds() - start;
        const bool tty = isatty(2);
        if (!final && now - last < (tty ? 0.25 : 5.0)) return;
        last = now;
        const double rate = now > 0 ? double(step - from) / now : 0;
        const long eta = rate > 0 ? long(double(to - step) / rate + 0.5) : 0;
        std::fprintf(stderr, "%sthornwake: %s: show %.1f of %.1f s, %.1f steps/s, ETA %ld:%02ld%s", tty ? "\r" : "",
                     what, step_show_time(step), step_show_time(to), rate, eta / 60, eta % 60,
                     !tty ? "\n" : final ? "\033[K\n" : "\033[K");
    }
};

// Steps from where the state is to `target` with nothing drawn.
void fast_forward(int64_t target, const char* what)
{
    const int64_t from = g_sim.done;
    progress_line progress{what};
    const bool report = target - from > sim_steps_per_second;
    while (g_sim.done < target) {
        run_step();
        if (report) progress.show(g_sim.done, from, target, false);
    }
    if (report) progress.show(g_sim.done, from, target, true);
}

void restore(const sim_snapshot& s)
{
    g_sim.part->restore_state(s, step_show_time(s.step));
    g_sim.done = s.step;
    g_sim.exact = true;
}

// The nearest snapshot at or before `target`, if it is nearer than the state in hand.
void restore_nearest(int64_t target)
{
    const snapshot_cache& c = cache();
    if (c.dir.empty()) return;
    if (g_sim.store.valid()) g_sim.store.get();
    std::optional<sim_snapshot> s = cache_load_at_or_before(c, target);
    if (s && s->step > g_sim.done) restore(*s);
}

}  // namespace

void simulation_start(part_start& part, render_engine& engine, bool use_cache)
{
    g_sim.part = &part;
    g_sim.engine = &engine;
    g_sim.use_cache = use_cache;
    g_sim.origin = part.save_state();
    if (use_cache) {
        const std::string driver = gl_string(GL_VENDOR) + "\n" + gl_string(GL_RENDERER) + "\n" + gl_string(GL_VERSION);
        const auto env = [](const char* name) -> const char* { return std::getenv(name); };
        g_sim.key = std::async(std::launch::async, input_key, driver + "\n" + renderer_settings(env));
    }
}

void simulation_advance(double show_time, bool real_time)
{
    const int early = std::exchange(g_sim.early, 0);
    const step_plan plan = plan_steps(g_sim.done, show_time, real_time ? real_time_step_cap : 0, early);
    if (plan.skip > 0) {
        if (!g_sim.warned_behind)
            std::fprintf(stderr, "thornwake: this machine cannot keep up with %d simulation steps a second; "
                                 "skipping steps, the show follows the music\n", sim_steps_per_second);
        g_sim.warned_behind = true;
        g_sim.exact = false;
        g_sim.done += plan.skip;
    }
    for (int64_t i = 0; i < plan.run; ++i) run_step();
}

void simulation_step_early(double show_time)
{
    // Skipping is left to the frame, which knows how late it is.
    const step_plan plan = plan_steps(g_sim.done, show_time, real_time_step_cap, g_sim.early);
    for (int64_t i = 0; i < plan.run; ++i) run_step();
    g_sim.early += int(plan.run);
}

void simulation_seek(double show_time)
{
    g_sim.early = 0;
    const int64_t target = steps_due(show_time);
    // Going back, or on from a state that skipped steps: start over from the state every
    // run starts with, unless a snapshot is nearer.
    if (target < g_sim.done || !g_sim.exact) restore(g_sim.origin);
    restore_nearest(target);
    fast_forward(target, "fast-forward");
}

bool simulation_bake(double show_end)
{
    if (cache().dir.empty()) return false;
    const int64_t last = steps_due(show_end);
    restore_nearest(last);
    std::fprintf(stderr, "thornwake: baking snapshots into %s\n", cache().dir.c_str());
    fast_forward(last, "bake");
    simulation_finish();
    std::fprintf(stderr, "thornwake: cache holds %.1f MB\n", double(cache_bytes(cache())) / 1e6);
    return true;
}

int64_t simulation_steps_taken()
{
    const int64_t n = g_sim.taken;
    g_sim.taken = 0;
    return n;
}

void simulation_finish()
{
    if (g_sim.store.valid()) g_sim.store.get();
}

std::string simulation_cache_summary()
{
    if (!g_sim.use_cache) return "snapshot cache: off (--no-cache)";
    const snapshot_cache& c = cache();
    if (c.dir.empty()) return "snapshot cache: cannot be used";
    int held = 0, total = 0;
    for (int64_t step = snapshot_every_steps; step <= steps_due(show_end_time); step += snapshot_every_steps, ++total)
        if (cache_has(c, step)) ++held;
    return "snapshot cache: " + std::to_string(held) + " of " + std::to_string(total) + " snapshots in " + c.dir +
           (g_sim.exact ? "" : " (steps were skipped: not adding)");
}
