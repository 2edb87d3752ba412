#include "studio/commands.h"

#include <algorithm>

namespace {

struct key_binding {
    int vk;
    const char* name;
    studio_action action;
    const char* what;
};

// Keys the show does not read (window_proc.cpp, part_start_render.cpp, dev bookmarks).
constexpr key_binding bindings[] = {
    {0x09, "Tab", studio_action::toggle_overlay, "hide or show the overlay"},
    {0x50, "P", studio_action::play_pause, "play or pause"},
    {0x25, "Left", studio_action::step_back, "pause, one 1/60 s step back"},
    {0x27, "Right", studio_action::step_forward, "pause, one 1/60 s step forward"},
    {0x24, "Home", studio_action::to_start, "jump to show time 0"},
    {0x21, "PageUp", studio_action::previous_cue, "jump to the previous cue"},
    {0x22, "PageDown", studio_action::next_cue, "jump to the next cue"},
    {0x74, "F5", studio_action::speed_quarter, "speed 1/4 (music muted)"},
    {0x75, "F6", studio_action::speed_half, "speed 1/2 (music muted)"},
    {0x76, "F7", studio_action::speed_normal, "speed 1 (music in sync)"},
    {0x77, "F8", studio_action::speed_double, "speed 2 (music muted)"},
    {0x49, "I", studio_action::loop_in, "loop starts here"},
    {0x4F, "O", studio_action::loop_out, "loop ends here"},
    {0x4C, "L", studio_action::loop_toggle, "loop on or off"},
    {0x52, "R", studio_action::reload, "rebuild every watched shader now"},
};

}  // namespace

studio_action studio_key_action(int vk)
{
    for (const key_binding& b : bindings)
        if (b.vk == vk) return b.action;
    return studio_action::none;
}

std::string studio_keys_help()
{
    std::string s;
    for (const key_binding& b : bindings) {
        std::string name = b.name;
        name.resize(10, ' ');
        s += "  " + name + b.what + "\n";
    }
    return s;
}

double cue_before(const std::vector<double>& cues, double t)
{
    auto it = std::lower_bound(cues.begin(), cues.end(), t);
    return it == cues.begin() ? t : *(it - 1);
}

double cue_after(const std::vector<double>& cues, double t)
{
    auto it = std::upper_bound(cues.begin(), cues.end(), t);
    return it == cues.end() ? t : *it;
}

bool studio_apply(transport& t, studio_action a, const std::vector<double>& cues)
{
    switch (a) {
    case studio_action::play_pause: transport_toggle_play(t); return true;
    case studio_action::step_back: return transport_step(t, -1);
    case studio_action::step_forward: return transport_step(t, +1);
    case studio_action::to_start: return transport_seek(t, 0);
    case studio_action::previous_cue: return transport_seek(t, cue_before(cues, t.time));
    case studio_action::next_cue: return transport_seek(t, cue_after(cues, t.time));
    case studio_action::speed_quarter: return transport_set_speed(t, 0.25);
    case studio_action::speed_half: return transport_set_speed(t, 0.5);
    case studio_action::speed_normal: return transport_set_speed(t, 1);
    case studio_action::speed_double: return transport_set_speed(t, 2);
    case studio_action::loop_in: return transport_set_loop(t, t.time, t.loop_b > t.time ? t.loop_b : t.end);
    case studio_action::loop_out: return transport_set_loop(t, t.loop_a < t.time ? t.loop_a : 0, t.time);
    case studio_action::loop_toggle: return transport_loop_enable(t, !t.loop_on);
    case studio_action::reload: transport_reload(t); return true;
    case studio_action::toggle_overlay:
    case studio_action::none: break;
    }
    return true;
}
