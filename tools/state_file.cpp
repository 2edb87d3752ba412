#include "tools/state_file.h"

#include "base/virtual_keys.h"

#include <cmath>

void record_frame(recording_state& r, double show_time, const uint8_t* flags_a, const uint8_t* flags_b,
                  const double values[9])
{
    state_snapshot& s = r.current_snapshot;
    s.time = show_time;
    s.switches_a.clear();
    s.switches_b.clear();
    s.part_values.clear();
    for (int k = 0; k < 9; ++k) {
        s.switches_a.push_back(flags_a[k] != 0);
        s.switches_b.push_back(flags_b[k] != 0);
        s.part_values.push_back(values[k]);
    }
    r.recording.push_back(s);
}

static bool bit(const std::vector<bool>& bits, size_t k) { return k < bits.size() && bits[k]; }

void write_state_file(std::ostream& out, const recording_state& r)
{
    out << r.recording.size() << '\n';
    for (const state_snapshot& s : r.recording) {
        out << "\n\n" << s.time << '\n' << s.part_values.size() << '\n';
        for (size_t k = 0; k < s.part_values.size(); ++k)
            out << s.part_values[k] << ' ' << int(bit(s.switches_a, k)) << ' ' << int(bit(s.switches_b, k)) << ' ';
    }
}

void read_state_file(std::istream& in, recording_state& r)
{
    r.recording.clear();
    double count = 0;
    if (!(in >> count) || !(count > 0)) return;
    for (double i = 0; i < count; ++i) {
        state_snapshot s;
        double n = 0;
        if (!(in >> s.time >> n) || !(n >= 0)) return;
        for (double k = 0; k < n; ++k) {
            double value = 0;
            int a = 0, b = 0;
            if (!(in >> value >> a >> b)) return;  // growth follows what is actually read
            s.part_values.push_back(value);
            s.switches_a.push_back(a != 0);
            s.switches_b.push_back(b != 0);
        }
        // A hand-edited file may carry fewer than nine entries: read it as nine.
        while (s.part_values.size() < 9) {
            s.part_values.push_back(0);
            s.switches_a.push_back(false);
            s.switches_b.push_back(false);
        }
        r.recording.push_back(std::move(s));
    }
}

bool nearest_snapshot(recording_state& r, double t)
{
    double best = 1e14;
    const state_snapshot* found = nullptr;
    for (const state_snapshot& s : r.recording) {
        const double d = std::fabs(s.time - t);
        if (d < best) {
            best = d;
            found = &s;
        }
    }
    if (found) r.current_snapshot = *found;
    return found != nullptr;
}

void apply_bookmarks(recording_state& r, const uint8_t key_down[256], uint8_t* flags_a, uint8_t* flags_b,
                     double values[9], bool slot_filled[9])
{
    for (int key = 0; key < 8; ++key) {
        if (!key_down[vk_0 + key]) continue;
        nearest_snapshot(r, bookmark_times[key]);
        const state_snapshot& s = r.current_snapshot;
        for (size_t k = 0; k < 9; ++k) {
            flags_a[k] = bit(s.switches_a, k);
            flags_b[k] = bit(s.switches_b, k);
        }
        for (size_t k = 0; k < 8; ++k)
            if (slot_filled[k] && k < s.part_values.size()) values[k] = s.part_values[k];
    }
}
