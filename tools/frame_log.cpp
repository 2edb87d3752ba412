#include "tools/frame_log.h"

void open_frame_log(frame_log& log, const std::string& path, double duration)
{
    log.out.open(path, std::ios::out | std::ios::trunc);
    log.duration = duration;
    log.slots.assign(size_t(int(duration * 10)), {});
    for (size_t j = 0; j < log.slots.size(); ++j) log.slots[j].time = double(j) / 10;
    log.open = true;
}

void log_frame(frame_log& log, double fps, double time, int32_t value)
{
    const double scaled = time * 10;
    if (!(scaled >= 0) || scaled >= double(log.slots.size())) return;
    log.slots[size_t(scaled)] = {time, fps, value};
}

void smooth_frame_log(std::vector<frame_log_slot>& s)
{
    const int n = int(s.size());
    for (int i = 3; i <= n - 4; ++i) {
        const double ahead = (10 * s[i].fps + 6 * s[i + 1].fps + 3 * s[i + 2].fps + 2 * s[i + 3].fps) / 21;
        const double behind = (10 * s[i].fps + 6 * s[i - 1].fps + 3 * s[i - 2].fps + 2 * s[i - 3].fps) / 21;
        s[i].fps = (ahead + behind) * 0.5;
    }
}

void write_frame_log(std::ostream& out, std::vector<frame_log_slot>& slots)
{
    out << slots.size() << '\n';
    smooth_frame_log(slots);
    for (const frame_log_slot& s : slots) out << s.time << '\n' << s.fps << '\n' << s.value << '\n';
}

void close_frame_log(frame_log& log)
{
    if (!log.open) return;
    write_frame_log(log.out, log.slots);
    log.out.close();
    log.slots.clear();
    log.slots.shrink_to_fit();
    log.open = false;
}
