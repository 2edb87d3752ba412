// The texture creators of render_engine: GL side only; the bytes come from textures.cpp.
#include "render/render_engine.h"
#include "render/textures.h"

#include <GL/glew.h>

static GLuint new_texture(GLenum target)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(target, name);
    return name;
}

static void linear_filtering(GLenum target)
{
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void render_engine::set_default_filtering()
{
    linear_filtering(GL_TEXTURE_2D);
}

void render_engine::create_noise_texture(int slot, int width, int height)
{
    texture_table[slot] = new_texture(GL_TEXTURE_2D);
    linear_filtering(GL_TEXTURE_2D);
    const std::vector<uint8_t> bytes = noise_texture_bytes(width, height);
    // Rows are packed at 3 bytes per texel; with the default 4-byte row alignment the GL
    // would read past the buffer for widths that are not a multiple of 4.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, bytes.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

void render_engine::create_random_texture(int slot, int width, int height)
{
    texture_table[slot] = new_texture(GL_TEXTURE_2D);
    linear_filtering(GL_TEXTURE_2D);
    const std::vector<uint8_t> bytes = random_texture_bytes(width, height);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
}

void render_engine::create_depth_texture(int slot, int width, int height)
{
    texture_table[slot] = new_texture(GL_TEXTURE_2D);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
                 GL_UNSIGNED_INT, nullptr);
    linear_filtering(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_LUMINANCE);
}

void render_engine::create_target_texture(int slot, int width, int height, bool repeat)
{
    texture_table[slot] = new_texture(GL_TEXTURE_2D);
    linear_filtering(GL_TEXTURE_2D);
    const GLint wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}

void render_engine::create_spectrum_texture(int slot, int width)
{
    texture_table[slot] = new_texture(GL_TEXTURE_1D);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    linear_filtering(GL_TEXTURE_1D);
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB8, width, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
}

void render_engine::update_spectrum_texture(int slot, int width, const uint8_t* texels)
{
    glBindTexture(GL_TEXTURE_1D, texture_table[slot]);
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB8, width, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
}
