// The one long-lived rendering record: texture names by slot, sixteen framebuffer sets
// (a multisample framebuffer to draw into plus a single-sample resolve framebuffer whose
// attachments are textures) and the camera the scenes look through. One global instance,
// g_render_engine. Everything needs the GL context current, except construction. The
// header stays free of GL headers so pure code can include it.
#pragma once
#include "base/vecmath.h"

#include <cstdint>

struct frame_input;

inline constexpr int texture_slot_count = 10000;
inline constexpr int spectrum_texture = 10000;  // slot of the 1D spectrum texture
inline constexpr int framebuffer_set_count = 16;

struct render_engine {
    render_engine();
    render_engine(const render_engine&) = delete;
    render_engine& operator=(const render_engine&) = delete;

    void (*swap_buffers)() = nullptr;
    // When set, called once the frame's scene is drawn and handed to the GL, before anything
    // reads it: a CPU renderer's threads rasterise the scene while this runs.
    void (*while_scene_draws)() = nullptr;
    // When set, called just before the frame's final pass draws to the window. The scene's
    // resolve has waited for the previous frame to be finished and nothing queued since
    // touches the window, so the previous frame's picture there reads back without a wait.
    void (*before_final_pass)() = nullptr;
    ::frame_input* frame_input = nullptr;
    vec3 camera_eye;
    vec3 camera_target;
    vec3 camera_up;
    uint32_t texture_table[texture_slot_count + 1] = {};
    uint32_t color_renderbuffers_0[framebuffer_set_count] = {};
    uint32_t color_renderbuffers_1[framebuffer_set_count] = {};
    uint32_t depth_renderbuffers[framebuffer_set_count] = {};
    uint32_t multisample_framebuffers[framebuffer_set_count] = {};
    uint32_t resolve_framebuffers[framebuffer_set_count] = {};

    // --- render targets (render_engine.cpp) ---
    // Samples are clamped to what the GL allows; 0 gives single-sample storage.
    // Leaves the new resolve framebuffer bound.
    void create_framebuffer_set(int set, int width, int height, int samples);
    // Binds the set's multisample framebuffer and enables colour attachments 0..count-1.
    void select_draw_buffers(int set, int count);
    // These three use the set index unclamped: callers keep it in 0..15.
    // They return the framebuffer status, which no caller needs to examine.
    uint32_t attach_color_texture(int set, int attachment, int slot);
    uint32_t attach_depth_texture(int set, int slot);
    uint32_t resolve_framebuffer_set(int set, int width, int height, int colour_count,
                                     bool with_depth);
    void bind_default_framebuffer();
    // Draws straight into the set's resolve framebuffer (colour attachment 0): the reduced
    // passes need no multisampling and no resolve.
    void bind_resolve_for_drawing(int set);
    // The depth of one set's resolve framebuffer into another's, both single-sample.
    void copy_resolved_depth(int from_set, int to_set, int width, int height);

    // --- textures (texture_creators.cpp); each leaves its texture bound on the active unit ---
    // Linear min/mag filtering on the 2D texture currently bound.
    void set_default_filtering();
    // The seeded RGB noise (see noise_texture_bytes); reseeds the shared generator.
    void create_noise_texture(int slot, int width, int height);
    // RGBA8 filled from the shared generator where it stands (not reseeded).
    void create_random_texture(int slot, int width, int height);
    // 24-bit depth, no content, clamped edges, sampled as a grey value.
    void create_depth_texture(int slot, int width, int height);
    // RGBA8, no content, clamped or repeating edges: a target that is drawn before it is read.
    void create_target_texture(int slot, int width, int height, bool repeat = false);
    // 1D RGB8 of the given width, no content.
    void create_spectrum_texture(int slot, int width);
    // Re-specifies level 0 with width RGB texels (3 bytes each).
    void update_spectrum_texture(int slot, int width, const uint8_t* texels);
};

extern render_engine g_render_engine;
