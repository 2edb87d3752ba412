#include "app/display_modes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

static bool rejected(int w, int h)
{
    if (w <= 0 || h <= 0) return true;
    return double(w) / h > 1.8 || double(h) / w > 1.8 || w >= 2048 || h >= 2048 || h > w;
}

std::vector<mode_size> build_display_modes(const std::vector<display_mode>& system_modes)
{
    std::vector<mode_size> modes;
    for (const display_mode& m : system_modes) {
        const mode_size s{m.width, m.height};
        if (std::find(modes.begin(), modes.end(), s) != modes.end()) continue;
        if (!rejected(m.width, m.height)) modes.push_back(s);
    }
    return modes;
}

std::string mode_label(mode_size m)
{
    const double r = double(m.first) / m.second;
    const char* format = " %d x %d       ";
    if (std::fabs(r - 1.6) < 0.01) format = " %d x %d  (16:10)";
    else if (std::fabs(r - 16.0 / 9.0) < 0.01) format = " %d x %d  (16:9)";
    char buf[64];
    std::snprintf(buf, sizeof buf, format, m.first, m.second);
    return buf;
}

int preselected_mode(const std::vector<mode_size>& modes)
{
    int found = 0;
    for (int i = 0; i < int(modes.size()); ++i)
        if (modes[i] == mode_size{1280, 720}) found = i;
    if (found != 0) return found;
    for (int i = 0; i < int(modes.size()); ++i)
        if (modes[i] == mode_size{1024, 768}) found = i;
    return found;
}

int run_height(int width) { return int(float(width / (16.0 / 9.0))); }
