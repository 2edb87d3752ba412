#include "render/gl_limits.h"

#include <GL/glew.h>

static int read_int(GLenum name)
{
    GLint v = 0;
    glGetIntegerv(name, &v);
    return v;
}

gl_limits read_gl_limits()
{
    gl_limits l;
    l.major = read_int(GL_MAJOR_VERSION);
    l.minor = read_int(GL_MINOR_VERSION);
    l.texture_buffer_size = read_int(GL_MAX_TEXTURE_BUFFER_SIZE);
    l.texture_3d_size = read_int(GL_MAX_3D_TEXTURE_SIZE);
    l.feedback_components = read_int(GL_MAX_TRANSFORM_FEEDBACK_INTERLEAVED_COMPONENTS);
    l.samples = read_int(GL_MAX_SAMPLES);
    glGetError();  // a GL older than 3.0 knows none of these names; zeros say so below
    return l;
}

static std::string short_of(const char* what, long have, long need)
{
    return std::string("This GL offers ") + what + " " + std::to_string(have) + "; the show needs " +
           std::to_string(need) + ".";
}

std::string gl_shortfall(const gl_limits& have, const gl_needs& need)
{
    if (have.major < need.major || (have.major == need.major && have.minor < need.minor))
        return "This GL offers version " + std::to_string(have.major) + "." + std::to_string(have.minor) +
               "; the show needs " + std::to_string(need.major) + "." + std::to_string(need.minor) +
               " (compatibility profile).";
    if (have.texture_buffer_size < need.texture_buffer_size)
        return short_of("GL_MAX_TEXTURE_BUFFER_SIZE", have.texture_buffer_size, need.texture_buffer_size);
    if (have.texture_3d_size < need.texture_3d_size)
        return short_of("GL_MAX_3D_TEXTURE_SIZE", have.texture_3d_size, need.texture_3d_size);
    if (have.feedback_components < need.feedback_components)
        return short_of("GL_MAX_TRANSFORM_FEEDBACK_INTERLEAVED_COMPONENTS", have.feedback_components,
                        need.feedback_components);
    return "";
}
