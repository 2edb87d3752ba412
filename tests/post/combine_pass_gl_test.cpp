// The combine pass shades its occlusion only where the scene is near enough to have any,
// over a picture drawn without it. The result must be the occlusion program's alone, to
// the byte, whatever the depth: across the occlusion's limit and out to the background.
#include "tests/post/chain_fixture.h"
#include "tests/render/gl_helpers.h"
#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int W = 96, H = 64;

// Eye distance from 2 to 800 units left to right; every third row half a unit nearer, so
// its neighbours are occluded.
std::vector<float> window_depths()
{
    const double n = 0.1, f = 800.0;
    std::vector<float> out;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double eye = 2.0 + 798.0 * x / (W - 1) - (y % 3 == 0 ? 0.5 : 0.0);
            if (x == W - 1) eye = f;  // the cleared background
            out.push_back(float(((f + n - 2.0 * n * f / eye) / (f - n) + 1.0) / 2.0));
        }
    return out;
}

std::vector<uint8_t> pattern(int w, int h, int seed)
{
    std::vector<uint8_t> out(size_t(w) * h * 4);
    for (size_t i = 0; i < out.size(); ++i) out[i] = uint8_t((i * 37 + seed * 101 + i / 7) % 200);
    return out;
}

struct chain : chain_fixture {
    chain() : chain_fixture(W, H)
    {
        render_engine& e = *engine;
        e.create_noise_texture(t.tex_noise, 1024, 1024);
        e.create_random_texture(t.tex_color0, W, H);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, pattern(W, H, 1).data());
        e.create_target_texture(t.tex_glow, W / reduced_scale, H / reduced_scale);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, W / reduced_scale, H / reduced_scale, GL_RGBA, GL_UNSIGNED_BYTE,
                        pattern(W / reduced_scale, H / reduced_scale, 2).data());
        e.create_depth_texture(t.tex_depth, W, H);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, W, H, 0, GL_DEPTH_COMPONENT, GL_FLOAT,
                     window_depths().data());
        e.create_depth_texture(t.tex_depth_copy, W, H);
        e.create_target_texture(t.tex_combined, W, H);
        e.create_framebuffer_set(0, W, H, 0);
        e.attach_depth_texture(0, t.tex_depth);
        e.create_framebuffer_set(t.combine_set, W, H, 0);
        bank.build_fragment_program(source_data("PostProcessing/f_combineSSAO.cpp"), t.slot_combine);
        bank.build_fragment_program(source_data("PostProcessing/f_simpleblur.cpp"), t.slot_combine_open);
        glViewport(0, 0, W, H);
    }

    std::vector<uint8_t> combine()
    {
        combine_pass(*engine, bank, t, 100.0, 0.37f, {0, 0, 5}, {0, 0, 0}, {0, 1, 0});
        return read_texture_rgba(engine->texture_table[t.tex_combined], W, H);
    }
};

}  // namespace

TEST(CombinePass, OcclusionOnlyWhereNearGivesTheOcclusionProgramsPicture)
{
    TW_REQUIRE_GL();
    chain c;
    const std::vector<uint8_t> shown = c.combine();

    // The occlusion program in both draws: it then covers the whole screen, with the same
    // uniforms and textures the pass just gave it.
    const int open = c.t.slot_combine_open;
    c.t.slot_combine_open = c.t.slot_combine;
    const std::vector<uint8_t> everywhere = c.combine();
    EXPECT_EQ(shown, everywhere);

    // And the test means something: the occlusion darkens the near columns.
    c.t.slot_combine_open = c.t.slot_combine = open;
    const std::vector<uint8_t> unoccluded = c.combine();
    int darker = 0;
    for (int x = 0; x < W / 4; ++x)
        for (int y = 0; y < H; ++y) darker += texel_at(unoccluded, W, x, y).g > texel_at(shown, W, x, y).g;
    EXPECT_GT(darker, W * H / 32);
    for (int y = 0; y < H; ++y) EXPECT_EQ(texel_at(unoccluded, W, W - 1, y), texel_at(shown, W, W - 1, y)) << y;
    shader_bank::unuse_program();
}
