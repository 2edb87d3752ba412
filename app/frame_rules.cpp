#include "app/frame_rules.h"

#include <algorithm>

fade_factors closing_fade(double show_time, double fade_start, double fade_rate)
{
    const double a = show_time - fade_start;
    return {std::clamp(a * fade_rate, 0.0, 1.0), 1.0 - std::clamp(5.0 * a * fade_rate, 0.0, 1.0)};
}

bool closing_fade_done(const fade_factors& f) { return f.picture > double(0.999f); }

int fade_volume(const fade_factors& f) { return int(255.0 - 255.0 * f.picture); }

bool show_is_over(double show_time) { return show_time > show_end_time; }

int choose_part_slot(double show_time, bool slot0_filled, bool slot1_filled)
{
    if (show_time >= 51.6 && show_time <= 66.3 && slot1_filled) return 1;
    return slot0_filled ? 0 : -1;
}

uint32_t frame_seed(double show_time) { return uint32_t(int64_t(show_time * 1000000.0)); }

double scene_jump_time(int start_scene, double show_time)
{
    static constexpr double times[] = {32.2, 74.1, 130.0, 209.0, 296.88};
    return start_scene >= 1 && start_scene <= 5 ? times[start_scene - 1] : show_time;
}
