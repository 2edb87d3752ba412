// The overlay's timeline driven by a simulated mouse, with ImGui run headless (no GL): a
// drag scrubs through the command layer, Shift+drag marks a loop, a Shift+click keeps the
// old one.
#include "studio/overlay.h"

#include <imgui.h>
#include <gtest/gtest.h>

namespace {

struct headless_imgui {
    headless_imgui()
    {
        ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = {800, 450};
        io.DeltaTime = 1.0f / 60;
        unsigned char* pixels = nullptr;
        int w = 0, h = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &w, &h);  // builds the atlas a renderer would upload
    }
    ~headless_imgui() { ImGui::DestroyContext(); }

    overlay_layout frame(transport& t, float x, float y, bool down, bool shift = false)
    {
        ImGuiIO& io = ImGui::GetIO();
        io.MousePos = {x, y};
        io.MouseDown[0] = down;
        io.KeyShift = shift;
        ImGui::NewFrame();
        const overlay_layout l = studio_overlay_draw(t, view);
        ImGui::Render();
        return l;
    }

    overlay_view view;
};

float x_at(const overlay_layout& l, double time) { return l.bar_x0 + float(time / 198.0) * (l.bar_x1 - l.bar_x0); }

}  // namespace

TEST(StudioOverlay, DraggingOnTheTimelineScrubsAndReleaseIsOneJump)
{
    headless_imgui ui;
    transport t;
    transport_pause(t);
    overlay_layout l = ui.frame(t, -1, -1, false);
    l = ui.frame(t, -1, -1, false);  // the window has its size from the second frame on
    ASSERT_GT(l.bar_x1 - l.bar_x0, 100.0f);
    const float y = (l.bar_y0 + l.bar_y1) / 2;
    const uint64_t jumps = t.jumps;
    ui.frame(t, x_at(l, 50), y, false);
    ui.frame(t, x_at(l, 50), y, true);
    EXPECT_TRUE(t.scrubbing);
    EXPECT_NEAR(t.time, 50, 0.5);
    ui.frame(t, x_at(l, 120), y, true);
    EXPECT_NEAR(t.time, 120, 0.5);
    EXPECT_EQ(t.jumps, jumps);  // no exact frame while dragging
    ui.frame(t, x_at(l, 120), y, false);
    EXPECT_FALSE(t.scrubbing);
    EXPECT_FALSE(t.playing);
    EXPECT_EQ(t.jumps, jumps + 1);
    // Dragged past the bar's end: held at the show's end, never beyond.
    ui.frame(t, x_at(l, 150), y, true);
    ui.frame(t, l.bar_x1 + 200, y, true);
    ui.frame(t, l.bar_x1 + 200, y, false);
    EXPECT_EQ(t.time, 198.0);
}

TEST(StudioOverlay, ShiftDragMarksALoopAndAShiftClickKeepsIt)
{
    headless_imgui ui;
    transport t;
    transport_pause(t);
    ui.frame(t, -1, -1, false);
    const overlay_layout l = ui.frame(t, -1, -1, false);
    const float y = (l.bar_y0 + l.bar_y1) / 2;
    ui.frame(t, x_at(l, 40), y, false, true);
    ui.frame(t, x_at(l, 40), y, true, true);
    ui.frame(t, x_at(l, 20), y, true, true);  // backwards: the range is still ordered
    ui.frame(t, x_at(l, 20), y, false, true);
    EXPECT_TRUE(t.loop_on);
    EXPECT_NEAR(t.loop_a, 20, 0.5);
    EXPECT_NEAR(t.loop_b, 40, 0.5);
    EXPECT_FALSE(t.scrubbing);
    EXPECT_EQ(t.time, 0.0);  // marking a loop does not move the show
    const double a = t.loop_a, b = t.loop_b;
    ui.frame(t, x_at(l, 90), y, true, true);
    ui.frame(t, x_at(l, 90), y, false, true);
    EXPECT_EQ(t.loop_a, a);
    EXPECT_EQ(t.loop_b, b);
}
