// Small readers shared by the render GL tests.
#pragma once
#include <GL/glew.h>

#include <cstdint>
#include <vector>

inline std::vector<uint8_t> read_texture_rgba(GLuint texture, int width, int height)
{
    std::vector<uint8_t> out(size_t(width) * height * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

inline std::vector<float> read_texture_depth(GLuint texture, int width, int height)
{
    std::vector<float> out(size_t(width) * height, -1.0f);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, out.data());
    return out;
}

struct rgba {
    uint8_t r, g, b, a;
    bool operator==(const rgba&) const = default;
};

inline rgba texel_at(const std::vector<uint8_t>& pixels, int width, int x, int y)
{
    const uint8_t* p = &pixels[(size_t(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

inline void load_identity_matrices()
{
    for (GLenum mode : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW}) {
        glMatrixMode(mode);
        glLoadIdentity();
    }
}
