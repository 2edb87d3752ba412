#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

// The features the show relies on must exist on the software rasteriser the tests use.
TEST(GlSmoke, ContextHasTheFeaturesTheShowUses)
{
    TW_REQUIRE_GL();
    EXPECT_TRUE(GLEW_VERSION_3_0);
    EXPECT_TRUE(GLEW_ARB_texture_buffer_object || GLEW_VERSION_3_1);
    GLint samples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &samples);
    EXPECT_GE(samples, 1);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char px[4] = {};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_NEAR(px[0], 64, 1);
    EXPECT_NEAR(px[2], 191, 1);
}
