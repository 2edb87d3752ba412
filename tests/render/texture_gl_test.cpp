#include "base/vecmath.h"
#include "render/render_engine.h"
#include "render/textures.h"
#include "tests/render/gl_helpers.h"
#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

GLint level_value(GLenum target, GLenum what)
{
    GLint v = -1;
    glGetTexLevelParameteriv(target, 0, what, &v);
    return v;
}

GLint parameter(GLenum target, GLenum what)
{
    GLint v = -1;
    glGetTexParameteriv(target, what, &v);
    return v;
}

}  // namespace

TEST(Textures, NoiseUploadsTheGeneratedBytesForAnyWidth)
{
    TW_REQUIRE_GL();
    auto e = std::make_unique<render_engine>();
    const int width = 5, height = 3;  // rows of 15 bytes: not 4-aligned
    e->create_noise_texture(27, width, height);
    ASSERT_NE(e->texture_table[27], 0u);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_REPEAT);

    std::vector<uint8_t> uploaded(width * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, uploaded.data());
    EXPECT_EQ(uploaded, noise_texture_bytes(width, height));
    GLint unpack = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    EXPECT_EQ(unpack, 4);  // restored
}

TEST(Textures, RandomTextureContinuesTheGenerator)
{
    TW_REQUIRE_GL();
    auto e = std::make_unique<render_engine>();
    rand_seed(1234);
    const std::vector<uint8_t> expected = random_texture_bytes(6, 4);
    rand_seed(1234);
    e->create_random_texture(32, 6, 4);
    EXPECT_EQ(read_texture_rgba(e->texture_table[32], 6, 4), expected);
    EXPECT_EQ(level_value(GL_TEXTURE_2D, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
}

TEST(Textures, SpectrumIs512WideUntilTheFirstUpdate)
{
    TW_REQUIRE_GL();
    auto e = std::make_unique<render_engine>();
    e->create_spectrum_texture(spectrum_texture, 512);
    EXPECT_EQ(level_value(GL_TEXTURE_1D, GL_TEXTURE_WIDTH), 512);

    std::vector<uint8_t> texels(256 * 3);
    for (int i = 0; i < 256; ++i) texels[i * 3] = texels[i * 3 + 1] = texels[i * 3 + 2] = uint8_t(i);
    glBindTexture(GL_TEXTURE_1D, 0);
    e->update_spectrum_texture(spectrum_texture, 256, texels.data());
    EXPECT_EQ(level_value(GL_TEXTURE_1D, GL_TEXTURE_WIDTH), 256);
    std::vector<uint8_t> back(256 * 3);
    glGetTexImage(GL_TEXTURE_1D, 0, GL_RGB, GL_UNSIGNED_BYTE, back.data());
    EXPECT_EQ(back, texels);
}
