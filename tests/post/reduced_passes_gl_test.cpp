// The glow and bloom passes draw their whole reduced-size target, and what they draw
// lands where its source is: a viewport that disagrees with the texture's size would
// leave stale texels or move the glow away from what glows.
#include "tests/post/chain_fixture.h"
#include "tests/render/gl_helpers.h"
#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int W = 128, H = 64;
constexpr int w = W / reduced_scale, h = H / reduced_scale;
constexpr uint8_t stale = 77;

// Black with a bright 4 x 4 block whose corner is (x0, y0).
std::vector<uint8_t> spot(int x0, int y0)
{
    std::vector<uint8_t> out(size_t(W) * H * 4, 0);
    for (int y = y0; y < y0 + 4; ++y)
        for (int x = x0; x < x0 + 4; ++x)
            for (int c = 0; c < 4; ++c) out[(size_t(y) * W + x) * 4 + c] = 255;
    return out;
}

void fill(render_engine& e, int slot, int width, int height, const std::vector<uint8_t>& texels)
{
    glBindTexture(GL_TEXTURE_2D, e.texture_table[slot]);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
}

struct brightest {
    int x = -1, y = -1, stale_texels = 0;
};

brightest find_brightest(const std::vector<uint8_t>& texels)
{
    brightest b;
    int best = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const rgba t = texel_at(texels, w, x, y);
            b.stale_texels += t == rgba{stale, stale, stale, stale};
            if (t.r + t.g + t.b > best) best = t.r + t.g + t.b, b.x = x, b.y = y;
        }
    return b;
}

struct chain : chain_fixture {
    chain() : chain_fixture(W, H)
    {
        render_engine& e = *engine;
        e.create_random_texture(t.tex_color1, W, H);
        e.create_target_texture(t.tex_combined, W, H, true);
        e.create_depth_texture(t.tex_depth, W, H);
        const std::vector<float> far(size_t(W) * H, 1.0f);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, W, H, 0, GL_DEPTH_COMPONENT, GL_FLOAT, far.data());
        const std::vector<uint8_t> stale_texels(size_t(w) * h * 4, stale);
        for (int slot : {t.tex_glow, t.tex_bloom}) {
            e.create_target_texture(slot, w, h);
            fill(e, slot, w, h, stale_texels);
        }
        e.create_framebuffer_set(t.reduced_set, W / 2, H / 2, 0);
        bank.build_fragment_program(source_data("PostProcessing/f_godrays.cpp"), t.slot_glow);
        bank.build_fragment_program(source_data("PostProcessing/f_blurhighlights.cpp"), t.slot_bloom);
    }
};

}  // namespace

TEST(ReducedPasses, GlowAndBloomCoverTheirTargetWhereTheSourceIs)
{
    TW_REQUIRE_GL();
    chain c;
    render_engine& e = *c.engine;
    // Block centres at (94, 46) and (30, 14): reduced texels 23.5, 11.5 and 7.5, 3.5.
    fill(e, c.t.tex_color1, W, H, spot(92, 44));
    fill(e, c.t.tex_combined, W, H, spot(28, 12));

    glow_pass(e, c.bank, c.t, 10.0, {0, 0, 5}, {0, 0, 0}, {0, 1, 0});
    const brightest glow = find_brightest(read_texture_rgba(e.texture_table[c.t.tex_glow], w, h));
    EXPECT_EQ(glow.stale_texels, 0);
    EXPECT_NEAR(glow.x, 23.5, 1.5);
    EXPECT_NEAR(glow.y, 11.5, 1.5);

    bloom_pass(e, c.bank, c.t);
    const brightest bloom = find_brightest(read_texture_rgba(e.texture_table[c.t.tex_bloom], w, h));
    EXPECT_EQ(bloom.stale_texels, 0);
    EXPECT_NEAR(bloom.x, 7.5, 1.5);
    EXPECT_NEAR(bloom.y, 3.5, 1.5);
    shader_bank::unuse_program();
}
