#include "render/render_engine.h"

#include "render/target_limits.h"

#include <GL/glew.h>

render_engine g_render_engine;

render_engine::render_engine()
    : camera_eye(make_vec3(0, 2, 0)), camera_target(make_vec3(0, 0, 0)), camera_up(make_vec3(0, 0, 1))
{
}

static GLuint multisample_storage(int width, int height, int samples, GLenum format)
{
    GLuint name = 0;
    glGenRenderbuffers(1, &name);
    glBindRenderbuffer(GL_RENDERBUFFER, name);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    return name;
}

void render_engine::create_framebuffer_set(int set, int width, int height, int samples)
{
    set = clamp_set_index(set);
    GLint max_samples = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &max_samples);
    samples = clamp_samples(samples, max_samples);

    color_renderbuffers_0[set] = multisample_storage(width, height, samples, GL_RGBA8);
    color_renderbuffers_1[set] = multisample_storage(width, height, samples, GL_RGBA8);
    // Same format as the depth textures it is resolved into: a depth blit between
    // differing formats is refused and would leave the depth texture empty.
    depth_renderbuffers[set] = multisample_storage(width, height, samples, GL_DEPTH_COMPONENT24);

    glGenFramebuffers(1, &multisample_framebuffers[set]);
    glBindFramebuffer(GL_FRAMEBUFFER, multisample_framebuffers[set]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color_renderbuffers_0[set]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_RENDERBUFFER, color_renderbuffers_1[set]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_renderbuffers[set]);

    glGenFramebuffers(1, &resolve_framebuffers[set]);
    glBindFramebuffer(GL_FRAMEBUFFER, resolve_framebuffers[set]);
}

void render_engine::select_draw_buffers(int set, int count)
{
    static const GLenum buffers[3] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1, GL_COLOR_ATTACHMENT2};
    set = clamp_set_index(set);
    glBindFramebuffer(GL_FRAMEBUFFER, multisample_framebuffers[set]);
    glDrawBuffers(clamp_draw_count(count), buffers);
}

uint32_t render_engine::attach_color_texture(int set, int attachment, int slot)
{
    glBindFramebuffer(GL_FRAMEBUFFER, resolve_framebuffers[set]);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + clamp_attachment(attachment),
                           GL_TEXTURE_2D, texture_table[slot], 0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER);
}

uint32_t render_engine::attach_depth_texture(int set, int slot)
{
    glBindFramebuffer(GL_FRAMEBUFFER, resolve_framebuffers[set]);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, texture_table[slot], 0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER);
}

uint32_t render_engine::resolve_framebuffer_set(int set, int width, int height, int colour_count,
                                                bool with_depth)
{
    GLenum status = 0;
    const auto bind_pair = [&] {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, multisample_framebuffers[set]);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolve_framebuffers[set]);
    };
    // One blit per attachment: a blit reads a single colour buffer.
    for (int k = 0; k < clamp_draw_count(colour_count); ++k) {
        bind_pair();
        glDrawBuffer(GL_COLOR_ATTACHMENT0 + k);
        glReadBuffer(GL_COLOR_ATTACHMENT0 + k);
        status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
        glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    }
    if (with_depth) {
        bind_pair();
        glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
        status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    }
    return status;
}

void render_engine::bind_default_framebuffer()
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void render_engine::copy_resolved_depth(int from_set, int to_set, int width, int height)
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, resolve_framebuffers[clamp_set_index(from_set)]);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolve_framebuffers[clamp_set_index(to_set)]);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
}

void render_engine::bind_resolve_for_drawing(int set)
{
    glBindFramebuffer(GL_FRAMEBUFFER, resolve_framebuffers[clamp_set_index(set)]);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
}
