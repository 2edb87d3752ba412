#include "render/gl_limits.h"

#include <gtest/gtest.h>

namespace {

gl_needs show_needs()
{
    gl_needs n;
    n.texture_buffer_size = 250000;
    n.texture_3d_size = 256;
    return n;
}

// What llvmpipe offers; softpipe differs in the texture buffer and the samples.
gl_limits llvmpipe()
{
    gl_limits l;
    l.major = 4;
    l.minor = 5;
    l.texture_buffer_size = 134217728;
    l.texture_3d_size = 2048;
    l.feedback_components = 64;
    l.samples = 4;
    return l;
}

}  // namespace

TEST(GlLimits, EnoughOfEverythingIsNoShortfall)
{
    EXPECT_EQ(gl_shortfall(llvmpipe(), show_needs()), "");
    gl_limits exact = llvmpipe();
    exact.major = 3;
    exact.minor = 3;
    exact.texture_buffer_size = 250000;
    exact.texture_3d_size = 256;
    exact.feedback_components = 16;
    exact.samples = 1;  // multisampling is clamped, never refused
    EXPECT_EQ(gl_shortfall(exact, show_needs()), "");
}

TEST(GlLimits, EachShortLimitIsNamedWithWhatTheShowNeeds)
{
    gl_limits softpipe = llvmpipe();
    softpipe.major = 3;
    softpipe.minor = 3;
    softpipe.texture_buffer_size = 65536;
    softpipe.samples = 1;
    EXPECT_EQ(gl_shortfall(softpipe, show_needs()),
              "This GL offers GL_MAX_TEXTURE_BUFFER_SIZE 65536; the show needs 250000.");

    gl_limits old = llvmpipe();
    old.major = 3;
    old.minor = 1;
    EXPECT_EQ(gl_shortfall(old, show_needs()),
              "This GL offers version 3.1; the show needs 3.3 (compatibility profile).");
    old.major = 2;
    old.minor = 9;  // a minor above 3 must not hide an older major
    EXPECT_NE(gl_shortfall(old, show_needs()).find("version 2.9"), std::string::npos);

    gl_limits small_3d = llvmpipe();
    small_3d.texture_3d_size = 128;
    EXPECT_EQ(gl_shortfall(small_3d, show_needs()), "This GL offers GL_MAX_3D_TEXTURE_SIZE 128; the show needs 256.");

    gl_limits no_feedback = llvmpipe();
    no_feedback.feedback_components = 0;
    EXPECT_EQ(gl_shortfall(no_feedback, show_needs()),
              "This GL offers GL_MAX_TRANSFORM_FEEDBACK_INTERLEAVED_COMPONENTS 0; the show needs 16.");
}
