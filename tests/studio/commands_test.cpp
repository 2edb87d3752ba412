#include "studio/commands.h"
#include "studio/cues.h"

#include "audio/timeline.h"
#include "demo/choreography.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(StudioKeys, EveryActionHasOneKeyAndShowKeysStayWithTheShow)
{
    // Space rebuilds shaders, A/Q and up/down adjust, Escape fades out, F1, digits 0-7.
    for (int vk : {0x20, 0x41, 0x51, 0x26, 0x28, 0x1B, 0x70, 0x30, 0x37, 0x0D})
        EXPECT_EQ(studio_key_action(vk), studio_action::none) << vk;
    int found = 0;
    for (int vk = 0; vk < 256; ++vk)
        if (studio_key_action(vk) != studio_action::none) ++found;
    EXPECT_EQ(found, int(studio_action::reload));  // every action but none, once each
    const std::string help = studio_keys_help();
    for (const char* k : {"Tab", "P ", "Left", "Right", "Home", "PageUp", "PageDown", "F5", "F8", "L ", "R "})
        EXPECT_NE(help.find(k), std::string::npos) << k;
}

TEST(StudioKeys, KeysDriveTheTransport)
{
    transport t;
    const std::vector<double> cues = {5, 10, 20};
    ASSERT_TRUE(transport_seek(t, 12));
    EXPECT_TRUE(studio_apply(t, studio_key_action(0x50), cues));  // P pauses
    EXPECT_FALSE(t.playing);
    EXPECT_TRUE(studio_apply(t, studio_key_action(0x22), cues));  // next cue
    EXPECT_EQ(t.time, 20.0);
    EXPECT_TRUE(studio_apply(t, studio_key_action(0x21), cues));  // previous cue
    EXPECT_EQ(t.time, 10.0);
    EXPECT_TRUE(studio_apply(t, studio_key_action(0x21), cues));
    EXPECT_EQ(t.time, 5.0);
    EXPECT_TRUE(studio_apply(t, studio_key_action(0x49), cues));  // I
    ASSERT_TRUE(transport_seek(t, 8));
    EXPECT_TRUE(studio_apply(t, studio_key_action(0x4F), cues));  // O
    EXPECT_TRUE(t.loop_on);
    EXPECT_EQ(t.loop_a, 5.0);
    EXPECT_EQ(t.loop_b, 8.0);
    EXPECT_TRUE(studio_apply(t, studio_key_action(0x4C), cues));  // L
    EXPECT_FALSE(t.loop_on);
    EXPECT_TRUE(studio_apply(t, studio_key_action(0x75), cues));  // F6
    EXPECT_EQ(t.speed, 0.5);
    EXPECT_TRUE(studio_apply(t, studio_key_action(0x52), cues));  // R
    EXPECT_EQ(t.reloads, 1u);
    EXPECT_TRUE(studio_apply(t, studio_key_action(0x24), cues));  // Home
    EXPECT_EQ(t.time, 0.0);
    EXPECT_FALSE(studio_apply(t, studio_key_action(0x25), cues));  // no step before 0
}

TEST(StudioCues, MarksAreSortedInsideTheShowAndJumpsStopAtTheEnds)
{
    timeline tl;
    fill_timeline(tl);
    const cue_marks m = build_cue_marks(tl, 198.0);
    EXPECT_EQ(m.windows, (std::vector<double>{0.0, 80.0, 85.14, 92.85, 104.94, 105.01}));
    ASSERT_FALSE(m.choreography.empty());
    EXPECT_TRUE(std::is_sorted(m.all.begin(), m.all.end()));
    EXPECT_LE(m.all.back(), 198.0);
    EXPECT_EQ(m.all.size(), m.windows.size() + m.choreography.size());
    EXPECT_EQ(cue_before(m.all, 0.0), 0.0);
    EXPECT_EQ(cue_after(m.all, m.all.back()), m.all.back());
    EXPECT_EQ(cue_after(m.all, 80.0), 85.14);
    EXPECT_DOUBLE_EQ(cue_before(m.all, 80.0), 84 / scene_clock_rate);
}

namespace {
bool controls_differ(const particle_controls& a, const particle_controls& b)
{
    return a.seq_request != b.seq_request || a.quantiser != b.quantiser ||
           a.clock_interpolate != b.clock_interpolate || a.pos_x_main != b.pos_x_main ||
           a.pos_x_splash != b.pos_x_splash || a.attack != b.attack || a.attract != b.attract ||
           a.takeover != b.takeover || a.transform != b.transform;
}
}  // namespace

TEST(StudioCues, EveryChoreographyCueIsWhereACurveChangesCourse)
{
    const double dt = 1.0 / 60;
    for (double t : choreography_scene_cues()) {
        bool changes = parks_emitter(t - 0.01) != parks_emitter(t + 0.01) ||
                       samples_per_segment(t - 0.01) != samples_per_segment(t + 0.01);
        // A curve that starts easing at t changes slope there rather than value.
        const particle_controls before = particle_controls_at(t - 0.01, dt), after = particle_controls_at(t + 0.01, dt);
        const particle_controls further = particle_controls_at(t + 0.03, dt), earlier = particle_controls_at(t - 0.03, dt);
        changes = changes || controls_differ(before, after) || controls_differ(earlier, before) != controls_differ(after, further);
        EXPECT_TRUE(changes) << "scene time " << t;
    }
}
