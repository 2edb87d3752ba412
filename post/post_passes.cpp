#include "post/post_passes.h"

#include "post/chain_curves.h"
#include "post/spectrum_texture.h"
#include "render/render_engine.h"
#include "render/screen.h"
#include "render/shader_bank.h"

#include <GL/glew.h>

namespace {

void identity_matrices()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void fullscreen_quad() { draw_sprite_quad(0.0, 1.0, 1.0, true, 1.0f); }

// The window depth at `eye` units from the camera, for the depth range the combine shader
// reads the scene's depth with (0.1 to 800).
double window_depth(double eye)
{
    const double n = 0.1, f = 800.0;
    return ((f + n - 2.0 * n * f / eye) / (f - n) + 1.0) / 2.0;
}

double aspect_of(const chain_targets& t)
{
    return static_cast<double>(t.width) / static_cast<double>(t.height);
}

// A full-screen quad into `slot` at the reduced size. The enable, colour and viewport state
// is kept, so the passes around it see what they always saw.
template <typename Uniforms>
void reduced_size_pass(render_engine& engine, const shader_bank& shaders, const chain_targets& t,
                       int program, int slot, Uniforms&& uniforms)
{
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_VIEWPORT_BIT | GL_CURRENT_BIT);
    engine.attach_color_texture(t.reduced_set, 0, slot);
    engine.bind_resolve_for_drawing(t.reduced_set);
    glViewport(0, 0, t.width / reduced_scale, t.height / reduced_scale);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    shaders.use_program(program);
    uniforms();
    identity_matrices();
    fullscreen_quad();
    glPopAttrib();
}

}  // namespace

spectrum_bands upload_spectrum(render_engine& engine, const float* spectrum, int slot)
{
    uint8_t texels[spectrum_texels * 3];
    fill_spectrum_texels(spectrum, texels);
    engine.update_spectrum_texture(slot, spectrum_texels, texels);
    return bands_of(texels, spectrum_texels);
}

void begin_scene_pass(render_engine& engine, const chain_targets& t)
{
    engine.attach_color_texture(0, 0, t.tex_color0);
    engine.attach_color_texture(0, 1, t.tex_color1);
    engine.attach_depth_texture(0, t.tex_depth);
    engine.select_draw_buffers(0, 2);
}

void end_scene_pass(render_engine& engine, const chain_targets& t)
{
    engine.resolve_framebuffer_set(0, t.width, t.height, 2, true);
}

void glow_pass(render_engine& engine, const shader_bank& shaders, const chain_targets& t,
               double T, vec3 eye, vec3 target, vec3 up)
{
    const int p = t.slot_glow;
    reduced_size_pass(engine, shaders, t, p, t.tex_glow, [&] {
        shaders.set_uniform_1f(p, "time", static_cast<float>(T));
        shaders.set_sampler(GL_TEXTURE_2D, p, 0, "texture2d_3", engine.texture_table[t.tex_color1]);
        set_projector_matrix(eye, target, up, 65.0, aspect_of(t), 1.0, 100.0);
    });
}

void bloom_pass(render_engine& engine, const shader_bank& shaders, const chain_targets& t)
{
    const int p = t.slot_bloom;
    reduced_size_pass(engine, shaders, t, p, t.tex_bloom, [&] {
        shaders.set_sampler(GL_TEXTURE_2D, p, 0, "texture2d_1", engine.texture_table[t.tex_combined]);
        shaders.set_sampler(GL_TEXTURE_2D, p, 1, "texture2d_2", engine.texture_table[t.tex_depth]);
    });
}

void combine_pass(render_engine& engine, const shader_bank& shaders, const chain_targets& t,
                  double T, float limit, vec3 eye, vec3 target, vec3 up)
{
    // Straight into a single-sample texture: a full-screen quad gives every sample the same
    // colour, and a resolve makes a CPU renderer's main thread wait for the passes before it.
    engine.attach_color_texture(t.combine_set, 0, t.tex_combined);
    engine.attach_depth_texture(t.combine_set, t.tex_depth_copy);
    engine.copy_resolved_depth(0, t.combine_set, t.width, t.height);
    engine.bind_resolve_for_drawing(t.combine_set);
    identity_matrices();
    glDisable(GL_DEPTH_TEST);
    const uint32_t* tex = engine.texture_table;

    // First the picture as if nothing occluded anything: the empty background, most of
    // the screen, is final after this.
    const int open = t.slot_combine_open;
    shaders.use_program(open);
    shaders.set_sampler(GL_TEXTURE_2D, open, 0, "texture2d_1", tex[t.tex_color0]);
    shaders.set_sampler(GL_TEXTURE_2D, open, 4, "texture2d_glow", tex[t.tex_glow]);
    fullscreen_quad();

    // Then the occlusion, only where the scene is near enough to have any (the shader's
    // limit is 400 units; 500 leaves room for its filtered depth reads). A software
    // rasteriser shades nothing of a block that fails an early depth test, while a branch
    // in the shader would run both sides for the whole screen.
    const int p = t.slot_combine;
    shaders.use_program(p);
    shaders.set_uniform_1f(p, "Limit", limit);
    shaders.set_uniform_1f(p, "time", static_cast<float>(T));
    shaders.set_sampler(GL_TEXTURE_2D, p, 0, "texture2d_1", tex[t.tex_color0]);
    shaders.set_sampler(GL_TEXTURE_2D, p, 1, "texture2d_2", tex[t.tex_depth]);
    shaders.set_sampler(GL_TEXTURE_2D, p, 2, "texture2d_3", tex[t.tex_color1]);
    shaders.set_sampler(GL_TEXTURE_2D, p, 3, "texture2d_random", tex[t.tex_noise]);
    shaders.set_sampler(GL_TEXTURE_2D, p, 4, "texture2d_glow", tex[t.tex_glow]);
    set_projector_matrix(eye, target, up, 65.0, aspect_of(t), 1.0, 100.0);

    glLoadIdentity();
    glPushAttrib(GL_DEPTH_BUFFER_BIT | GL_VIEWPORT_BIT | GL_ENABLE_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    glDepthMask(GL_FALSE);
    const double near_enough = window_depth(500.0);
    glDepthRange(near_enough, near_enough);
    fullscreen_quad();
    glPopAttrib();
}

void final_pass(render_engine& engine, const shader_bank& shaders, const chain_targets& t,
                double T, float limit, spectrum_bands bands)
{
    engine.bind_default_framebuffer();
    glViewport(0, 0, t.width, t.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE0);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);

    const int p = t.slot_final;
    shaders.use_program(p);
    const uint32_t* tex = engine.texture_table;
    shaders.set_sampler(GL_TEXTURE_2D, p, 0, "texture2d_1", tex[t.tex_combined]);
    shaders.set_sampler(GL_TEXTURE_2D, p, 1, "texture2d_velocities", tex[t.tex_spare]);
    shaders.set_sampler(GL_TEXTURE_2D, p, 2, "texture2d_random", tex[t.tex_noise]);
    shaders.set_sampler(GL_TEXTURE_2D, p, 3, "texture2d_2", tex[t.tex_depth]);
    shaders.set_sampler(GL_TEXTURE_1D, p, 4, "texture1d_dsp", tex[t.tex_spectrum]);
    shaders.set_sampler(GL_TEXTURE_2D, p, 5, "texture2d_bloom", tex[t.tex_bloom]);
    shaders.set_uniform_1f(p, "Limit", limit);
    shaders.set_uniform_1f(p, "bass", bands.bass);
    shaders.set_uniform_1f(p, "mids", bands.mids);
    shaders.set_uniform_1f(p, "time", static_cast<float>(T));

    glActiveTexture(GL_TEXTURE0);
    reset_gl_state();
    glColor3f(1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    fullscreen_quad();
    shader_bank::unuse_program();
}

void fade_pass(double alpha)
{
    glActiveTexture(GL_TEXTURE0);
    reset_gl_state();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (!fade_visible(alpha)) return;
    glColor4f(0, 0, 0, static_cast<float>(alpha));
    fullscreen_quad();
}
