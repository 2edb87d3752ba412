#include "studio/overlay.h"

#include <imgui.h>

#include <algorithm>
#include <utility>

#include "studio/commands.h"

namespace {

constexpr ImU32 envelope_colour = IM_COL32(90, 140, 200, 255);
constexpr ImU32 window_cue_colour = IM_COL32(250, 200, 60, 255);
constexpr ImU32 choreography_cue_colour = IM_COL32(120, 220, 120, 255);
constexpr ImU32 loop_colour = IM_COL32(200, 80, 200, 70);
constexpr ImU32 playhead_colour = IM_COL32(255, 255, 255, 255);

// A drag started with Shift held marks a loop range instead of scrubbing.
struct drag_state {
    bool loop = false;
    double anchor = 0;
    double old_a = 0, old_b = 0;  // the range before, back if the new one is refused
};
drag_state g_drag;

void transport_row(transport& t, const cue_marks& cues)
{
    auto act = [&](const char* label, studio_action a) {
        if (ImGui::Button(label)) studio_apply(t, a, cues.all);
        ImGui::SameLine();
    };
    act("|<", studio_action::to_start);
    act("<<", studio_action::previous_cue);
    act("<", studio_action::step_back);
    act(t.playing ? "Pause" : "Play", studio_action::play_pause);
    act(">", studio_action::step_forward);
    act(">>", studio_action::next_cue);
    ImGui::TextUnformatted("Speed");
    ImGui::SameLine();
    static constexpr std::pair<double, const char*> speeds[] = {{0.25, "1/4"}, {0.5, "1/2"}, {1, "1x"}, {2, "2x"}};
    for (const auto& [s, label] : speeds) {
        if (ImGui::RadioButton(label, t.speed == s)) transport_set_speed(t, s);
        ImGui::SameLine();
    }
    bool loop = t.loop_on;
    if (ImGui::Checkbox("Loop", &loop)) transport_loop_enable(t, loop);
    if (t.loop_a < t.loop_b) {
        ImGui::SameLine();
        ImGui::Text("%.2f - %.2f s", t.loop_a, t.loop_b);
    }
}

void draw_bar(ImDrawList* dl, ImVec2 a, ImVec2 b, const transport& t, const overlay_view& v)
{
    const float w = b.x - a.x, h = b.y - a.y;
    auto x_of = [&](double time) { return a.x + float(time / t.end) * w; };
    dl->AddRectFilled(a, b, IM_COL32(20, 20, 24, 220));
    if (v.envelope && !v.envelope->empty()) {
        const size_t n = v.envelope->size();
        for (size_t i = 0; i < n; ++i) {
            const float x = a.x + w * (float(i) + 0.5f) / float(n);
            const float e = std::clamp((*v.envelope)[i], 0.0f, 1.0f);
            dl->AddLine({x, b.y}, {x, b.y - e * h * 0.8f}, envelope_colour);
        }
    }
    if (t.loop_a < t.loop_b)
        dl->AddRectFilled({x_of(t.loop_a), a.y}, {x_of(t.loop_b), b.y},
                          t.loop_on ? loop_colour : IM_COL32(120, 120, 120, 40));
    if (v.cues) {
        for (double c : v.cues->windows) dl->AddLine({x_of(c), a.y}, {x_of(c), a.y + h * 0.35f}, window_cue_colour, 2);
        for (double c : v.cues->choreography)
            dl->AddLine({x_of(c), b.y - h * 0.25f}, {x_of(c), b.y}, choreography_cue_colour);
    }
    const float px = x_of(t.time);
    dl->AddLine({px, a.y}, {px, b.y}, playhead_colour, 2);
}

overlay_layout timeline_bar(transport& t, const overlay_view& v)
{
    const ImVec2 a = ImGui::GetCursorScreenPos();
    const ImVec2 size{std::max(ImGui::GetContentRegionAvail().x, 100.0f), 48};
    ImGui::InvisibleButton("timeline", size);
    const ImVec2 b{a.x + size.x, a.y + size.y};
    const double at = std::clamp(double(ImGui::GetIO().MousePos.x - a.x) / size.x, 0.0, 1.0) * t.end;
    if (ImGui::IsItemActivated()) {
        g_drag.loop = ImGui::GetIO().KeyShift;
        g_drag.anchor = at;
        g_drag.old_a = t.loop_a;
        g_drag.old_b = t.loop_b;
        if (!g_drag.loop) transport_scrub_begin(t);
    }
    if (ImGui::IsItemActive()) {
        if (g_drag.loop) {
            t.loop_a = std::min(g_drag.anchor, at);  // shown while dragging, checked on release
            t.loop_b = std::max(g_drag.anchor, at);
        } else {
            transport_scrub_to(t, at);
        }
    }
    if (ImGui::IsItemDeactivated()) {
        if (g_drag.loop) {
            if (!transport_set_loop(t, t.loop_a, t.loop_b)) {  // a click, not a range
                t.loop_a = g_drag.old_a;
                t.loop_b = g_drag.old_b;
            }
        } else {
            transport_scrub_end(t);
        }
    }
    draw_bar(ImGui::GetWindowDrawList(), a, b, t, v);
    return {a.x, a.y, b.x, b.y};
}

void stats_panel(const overlay_view& v)
{
    const overlay_stats& s = v.stats;
    ImGui::Text("frame %.1f ms  overlay %.2f ms  steps %ld", s.frame_ms, s.overlay_ms, s.steps_last_frame);
    if (!s.stages.empty() && ImGui::BeginTable("stages", 4)) {
        for (const auto& [name, ms] : s.stages) {
            ImGui::TableNextColumn();
            ImGui::Text("%s %.2f", name.c_str(), ms);
        }
        ImGui::EndTable();
    }
    ImGui::TextWrapped("%s", s.cache.c_str());
    ImGui::TextUnformatted(v.shader_watch.c_str());
}

}  // namespace

overlay_layout studio_overlay_draw(transport& t, const overlay_view& v)
{
    static const cue_marks no_cues;
    const cue_marks& cues = v.cues ? *v.cues : no_cues;
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos({8, display.y - 8}, ImGuiCond_Always, {0, 1});
    ImGui::SetNextWindowSize({display.x - 16, 0}, ImGuiCond_Always);
    ImGui::SetNextWindowBgAlpha(0.75f);
    ImGui::Begin("Studio", nullptr, ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
                                        ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoCollapse);
    ImGui::Text("show %7.3f s   scene %7.3f s   %s%s", t.time, v.scene_time,
                t.scrubbing ? "scrubbing" : t.playing ? "playing" : "paused",
                t.playing && t.speed != 1 ? " (music muted off speed 1)" : "");
    transport_row(t, cues);
    const overlay_layout layout = timeline_bar(t, v);
    if (!v.shader_error.empty()) {
        ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32(255, 110, 110, 255));
        ImGui::TextWrapped("%s", v.shader_error.c_str());
        ImGui::PopStyleColor();
    }
    if (ImGui::CollapsingHeader("Stats", ImGuiTreeNodeFlags_DefaultOpen)) stats_panel(v);
    ImGui::End();
    return layout;
}
