#include "render/render_engine.h"

#include <gtest/gtest.h>

TEST(RenderEngineRecord, StartsZeroWithTheCameraSet)
{
    const render_engine& e = g_render_engine;
    EXPECT_EQ(e.camera_eye.state, vec_set);
    EXPECT_EQ(e.camera_eye.y, 2.0f);
    EXPECT_EQ(e.camera_eye.x, 0.0f);
    EXPECT_EQ(e.camera_target.state, vec_set);
    EXPECT_EQ(e.camera_target.z, 0.0f);
    EXPECT_EQ(e.camera_up.state, vec_set);
    EXPECT_EQ(e.camera_up.z, 1.0f);
    EXPECT_EQ(e.swap_buffers, nullptr);
    EXPECT_EQ(e.frame_input, nullptr);
    EXPECT_EQ(e.texture_table[0], 0u);
    EXPECT_EQ(e.texture_table[spectrum_texture], 0u);
    for (int i = 0; i < framebuffer_set_count; ++i) {
        EXPECT_EQ(e.multisample_framebuffers[i], 0u);
        EXPECT_EQ(e.resolve_framebuffers[i], 0u);
    }
}
