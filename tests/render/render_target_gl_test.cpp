#include "render/render_engine.h"
#include "tests/render/gl_helpers.h"
#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int W = 48, H = 24;
constexpr int tex_color0 = 0, tex_color1 = 11, tex_depth = 26;
constexpr rgba red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255};

// Set 0 wired as the show wires it: two colour textures and a depth texture.
std::unique_ptr<render_engine> scene_set(int samples)
{
    auto e = std::make_unique<render_engine>();
    e->create_random_texture(tex_color0, W, H);
    e->create_random_texture(tex_color1, W, H);
    e->create_depth_texture(tex_depth, W, H);
    e->create_framebuffer_set(0, W, H, samples);
    e->attach_color_texture(0, 0, tex_color0);
    e->attach_color_texture(0, 1, tex_color1);
    EXPECT_EQ(e->attach_depth_texture(0, tex_depth), GLenum(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, W, H);
    return e;
}

void clear_outputs(const float* first, const float* second)
{
    glClearBufferfv(GL_COLOR, 0, first);
    glClearBufferfv(GL_COLOR, 1, second);
}

const float red_f[4] = {1, 0, 0, 1}, green_f[4] = {0, 1, 0, 1};

}  // namespace

class SceneSet : public testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Samples, SceneSet, testing::Values(0, 8));

TEST_P(SceneSet, DrawnColoursReachBothTextures)
{
    TW_REQUIRE_GL();
    auto e = scene_set(GetParam());
    e->select_draw_buffers(0, 2);
    clear_outputs(red_f, green_f);
    // Fixed-function colour goes to every enabled output: blue on the left half.
    load_identity_matrices();
    glDisable(GL_DEPTH_TEST);
    glColor4f(0, 0, 1, 1);
    glRectf(-1, -1, 0, 1);
    e->resolve_framebuffer_set(0, W, H, 2, false);

    const auto c0 = read_texture_rgba(e->texture_table[tex_color0], W, H);
    const auto c1 = read_texture_rgba(e->texture_table[tex_color1], W, H);
    EXPECT_EQ(texel_at(c0, W, 2, 2), blue);
    EXPECT_EQ(texel_at(c0, W, W - 2, H - 2), red);
    EXPECT_EQ(texel_at(c1, W, 2, H - 2), blue);
    EXPECT_EQ(texel_at(c1, W, W - 2, 2), green);
}

TEST_P(SceneSet, DepthResolveFillsTheDepthTexture)
{
    TW_REQUIRE_GL();
    auto e = scene_set(GetParam());
    e->select_draw_buffers(0, 1);
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    e->resolve_framebuffer_set(0, W, H, 1, true);

    const auto depth = read_texture_depth(e->texture_table[tex_depth], W, H);
    EXPECT_NEAR(depth.front(), 0.25f, 1e-4);
    EXPECT_NEAR(depth.back(), 0.25f, 1e-4);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_P(SceneSet, CountZeroResolvesAttachmentZeroOnly)
{
    TW_REQUIRE_GL();
    auto e = scene_set(GetParam());
    const auto second_before = read_texture_rgba(e->texture_table[tex_color1], W, H);
    e->select_draw_buffers(0, 2);
    clear_outputs(red_f, green_f);
    e->resolve_framebuffer_set(0, W, H, 0, false);

    EXPECT_EQ(texel_at(read_texture_rgba(e->texture_table[tex_color0], W, H), W, 5, 5), red);
    EXPECT_EQ(read_texture_rgba(e->texture_table[tex_color1], W, H), second_before);
}

TEST(RenderTargets, EightSamplesAreCappedAtTheGlLimitAndGetStorage)
{
    TW_REQUIRE_GL();
    GLint max_samples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &max_samples);
    auto e = std::make_unique<render_engine>();
    e->create_framebuffer_set(0, W, H, 8);

    GLint samples = -1, width = 0, depth_bits = 0;
    glBindRenderbuffer(GL_RENDERBUFFER, e->color_renderbuffers_0[0]);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_SAMPLES, &samples);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &width);
    EXPECT_GE(samples, 1);
    EXPECT_LE(samples, max_samples);
    EXPECT_EQ(width, W);
    glBindRenderbuffer(GL_RENDERBUFFER, e->depth_renderbuffers[0]);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_DEPTH_SIZE, &depth_bits);
    EXPECT_EQ(depth_bits, 24);  // the depth textures' format, so depth blits are valid

    glBindFramebuffer(GL_FRAMEBUFFER, e->multisample_framebuffers[0]);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
    GLint bound = 0;
    e->create_framebuffer_set(1, W, H, 0);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(GLuint(bound), e->resolve_framebuffers[1]);  // left bound, as documented
}

TEST(RenderTargets, OutOfRangeSetIndicesAreClamped)
{
    TW_REQUIRE_GL();
    auto e = std::make_unique<render_engine>();
    e->create_framebuffer_set(16, 8, 8, 0);
    EXPECT_NE(e->multisample_framebuffers[15], 0u);
    EXPECT_EQ(e->multisample_framebuffers[0], 0u);
    e->create_framebuffer_set(-1, 8, 8, 0);
    EXPECT_NE(e->multisample_framebuffers[0], 0u);
    EXPECT_NE(e->resolve_framebuffers[0], 0u);
    EXPECT_NE(e->depth_renderbuffers[0], 0u);

    GLint bound = 0;
    e->select_draw_buffers(99, 1);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(GLuint(bound), e->multisample_framebuffers[15]);
}

TEST(RenderTargets, DrawBufferCountIsClampedToOneToThree)
{
    TW_REQUIRE_GL();
    auto e = std::make_unique<render_engine>();
    e->create_framebuffer_set(0, 8, 8, 0);
    GLint b0 = 0, b1 = 0, b2 = 0;
    const auto query = [&] {
        glGetIntegerv(GL_DRAW_BUFFER0, &b0);
        glGetIntegerv(GL_DRAW_BUFFER1, &b1);
        glGetIntegerv(GL_DRAW_BUFFER2, &b2);
    };
    e->select_draw_buffers(0, 0);
    query();
    EXPECT_EQ(b0, GL_COLOR_ATTACHMENT0);
    EXPECT_EQ(b1, GL_NONE);
    e->select_draw_buffers(0, 5);
    query();
    EXPECT_EQ(b1, GL_COLOR_ATTACHMENT1);
    EXPECT_EQ(b2, GL_COLOR_ATTACHMENT2);
}
