#include "studio/cues.h"

#include <algorithm>

#include "audio/timeline.h"
#include "base/show_clock.h"

const std::vector<double>& choreography_scene_cues()
{
    // The thresholds of choreography.cpp's curves; the ends of the short pulses are left out.
    static const std::vector<double> cues = {16,  18,  25,  44,  45,  50,  60,  74,  78,  83,  84,  95,
                                             98,  100, 103, 114, 119, 127, 129, 140, 146, 150, 152, 159,
                                             160, 170, 176, 187, 189, 191, 195, 199, 203, 205, 209};
    return cues;
}

static void sort_unique(std::vector<double>& v)
{
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

cue_marks build_cue_marks(const timeline& tl, double show_end)
{
    cue_marks m;
    for (int i = 0; i < tl.count; ++i)
        if (tl.windows[i].start <= show_end) m.windows.push_back(tl.windows[i].start);
    for (double scene : choreography_scene_cues()) {
        const double show = scene / scene_clock_rate;
        if (show <= show_end) m.choreography.push_back(show);
    }
    sort_unique(m.windows);
    sort_unique(m.choreography);
    m.all = m.windows;
    m.all.insert(m.all.end(), m.choreography.begin(), m.choreography.end());
    sort_unique(m.all);
    return m;
}
