#include "render/render_engine.h"
#include "render/screen.h"
#include "tests/render/gl_helpers.h"
#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int W = 64, H = 32;
constexpr rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255}, clear_grey{128, 128, 128, 255};

// A single-sample target to draw into and read back, and a 2 x 1 texture: red | blue.
class SpriteQuad : public testing::Test {
protected:
    void SetUp() override
    {
        TW_REQUIRE_GL();
        engine->create_framebuffer_set(0, W, H, 0);
        engine->select_draw_buffers(0, 1);
        glViewport(0, 0, W, H);
        glClearColor(128 / 255.0f, 128 / 255.0f, 128 / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 0);

        const uint8_t texels[8] = {255, 0, 0, 255, 0, 0, 255, 255};
        glGenTextures(1, &texture);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glColor4f(1, 1, 1, 1);
        load_identity_matrices();
    }

    std::vector<uint8_t> pixels()
    {
        std::vector<uint8_t> out(W * H * 4);
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    std::unique_ptr<render_engine> engine = std::make_unique<render_engine>();
    GLuint texture = 0;
};

}  // namespace

TEST_F(SpriteQuad, IdentityMatricesCoverTheViewportOnce)
{
    draw_sprite_quad(0.0, 1.0, 1.0, true, 1.0f);
    const auto p = pixels();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(texel_at(p, W, x, y), x < W / 2 ? red : blue) << x << "," << y;
}

TEST_F(SpriteQuad, NegativeWidthMirrorsTheTexture)
{
    draw_sprite_quad(0.0, -1.0, 1.0, false, 1.0f);
    const auto p = pixels();
    EXPECT_EQ(texel_at(p, W, 1, 1), blue);
    EXPECT_EQ(texel_at(p, W, W - 2, H - 2), red);
}

TEST_F(SpriteQuad, ZeroHeightDrawsNothing)
{
    draw_sprite_quad(0.0, 1.0, 0.0, false, 1.0f);
    const auto p = pixels();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) ASSERT_EQ(texel_at(p, W, x, y), clear_grey);
}

TEST_F(SpriteQuad, AngleTurnsTheQuadAboutZ)
{
    // A quarter turn sends u along y: red at the bottom, blue at the top.
    draw_sprite_quad(90.0, 1.0, 1.0, false, 1.0f);
    const auto p = pixels();
    EXPECT_EQ(texel_at(p, W, W / 2, 2), red);
    EXPECT_EQ(texel_at(p, W, W / 2, H - 3), blue);
}

TEST_F(SpriteQuad, BillboardDropsRotationAndScaleButKeepsPosition)
{
    glRotatef(90, 0, 0, 1);
    glScalef(0.25f, 0.25f, 0.25f);
    draw_sprite_quad(0.0, 1.0, 1.0, true, 1.0f);
    auto p = pixels();
    EXPECT_EQ(texel_at(p, W, 1, 1), red);
    EXPECT_EQ(texel_at(p, W, W - 2, H - 2), blue);

    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(1.5f, 0, 0);  // moved right by three quarters of the viewport
    glScalef(3, 3, 3);
    draw_sprite_quad(0.0, 1.0, 1.0, true, 1.0f);
    p = pixels();
    EXPECT_EQ(texel_at(p, W, W / 8, H / 2), (rgba{0, 0, 0, 0}));
    EXPECT_EQ(texel_at(p, W, W - 2, H / 2), red);  // only the left half of the sprite is in view
}

namespace {

struct stack_depths {
    GLint modelview, projection, texture0, texture2;
    bool operator==(const stack_depths&) const = default;
};

stack_depths current_depths()
{
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    stack_depths d{};
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &d.modelview);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &d.projection);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &d.texture0);
    glActiveTexture(GL_TEXTURE2);
    glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &d.texture2);
    glActiveTexture(GLenum(active));
    return d;
}

// Unit 2's texture matrix applied to a point, after the perspective divide.
void project(float x, float y, float z, float out[2])
{
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glActiveTexture(GL_TEXTURE2);
    float m[16];
    glGetFloatv(GL_TEXTURE_MATRIX, m);
    glActiveTexture(GLenum(active));
    const float v[4] = {x, y, z, 1};
    float r[4] = {};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k) r[row] += m[k * 4 + row] * v[k];
    out[0] = r[0] / r[3];
    out[1] = r[1] / r[3];
}

}  // namespace

TEST(ProjectorMatrix, RepeatedCallsKeepEveryStackDepth)
{
    TW_REQUIRE_GL();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    const stack_depths before = current_depths();
    for (int i = 0; i < 10000; ++i)
        set_projector_matrix(make_vec3(0, 0, 5), make_vec3(0, 0, 0), make_vec3(0, 1, 0), 90, 1, 1, 100);
    EXPECT_EQ(current_depths(), before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLint active = 0, mode = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(mode, GL_TEXTURE);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

TEST(ProjectorMatrix, MapsTheViewIntoTextureSpace)
{
    TW_REQUIRE_GL();
    float uv[2];
    set_projector_matrix(make_vec3(0, 0, 5), make_vec3(0, 0, 0), make_vec3(0, 1, 0), 90, 1, 1, 100);
    project(0, 0, 0, uv);
    EXPECT_NEAR(uv[0], 0.5f, 1e-5);
    EXPECT_NEAR(uv[1], 0.5f, 1e-5);
    project(1, 0, 0, uv);  // 1 unit right at distance 5 under a 90 degree view: ndc 0.2
    EXPECT_NEAR(uv[0], 0.6f, 1e-5);
    project(0, 1, 0, uv);
    EXPECT_NEAR(uv[1], 0.6f, 1e-5);

    set_projector_matrix(make_vec3(0, 0, 5), make_vec3(0, 0, 0), make_vec3(0, 1, 0), 90, 2, 1, 100);
    project(1, 0, 0, uv);
    EXPECT_NEAR(uv[0], 0.55f, 1e-5);
    // Only unit 2 carries it: unit 0's texture matrix is left as it was.
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    set_projector_matrix(make_vec3(0, 0, 5), make_vec3(0, 0, 0), make_vec3(0, 1, 0), 90, 2, 1, 100);
    float m0[16];
    glGetFloatv(GL_TEXTURE_MATRIX, m0);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m0[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
}

TEST(ResetGlState, SwitchesOffFixedFunctionFeaturesButNotDepthTest)
{
    TW_REQUIRE_GL();
    const GLenum features[] = {GL_BLEND, GL_LIGHTING, GL_COLOR_MATERIAL, GL_LIGHT0, GL_TEXTURE_2D, GL_FOG};
    for (GLenum f : features) glEnable(f);
    glEnable(GL_DEPTH_TEST);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    reset_gl_state();
    for (GLenum f : features) EXPECT_FALSE(glIsEnabled(f)) << f;
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (float c : colour) EXPECT_EQ(c, 1.0f);
}
