// What the show asks of the GL, checked once at start-up. A conformant driver with smaller
// limits would otherwise draw a wrong picture without a word: a texture buffer shorter
// than the main population hides most of it. The comparison is pure, so it is tested
// without a context; only read_gl_limits needs one.
#pragma once
#include <string>

struct gl_limits {
    int major = 0, minor = 0;     // context version
    int texture_buffer_size = 0;  // GL_MAX_TEXTURE_BUFFER_SIZE, in texels
    int texture_3d_size = 0;      // GL_MAX_3D_TEXTURE_SIZE
    int feedback_components = 0;  // GL_MAX_TRANSFORM_FEEDBACK_INTERLEAVED_COMPONENTS
    int samples = 0;              // GL_MAX_SAMPLES; multisampling is clamped to it
};

struct gl_needs {
    int major = 3, minor = 3;     // the shaders are "#version 330 compatibility"
    int texture_buffer_size = 0;  // texels: the largest population, one texel each
    int texture_3d_size = 0;      // the velocity volume's longest side
    int feedback_components = 16; // a vec4 captured for each of four particles a vertex
};

gl_limits read_gl_limits();

// "" when the GL gives everything needed; otherwise one line naming the first limit that
// falls short, what this GL offers and what the show needs.
std::string gl_shortfall(const gl_limits& have, const gl_needs& need);
