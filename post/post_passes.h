// The GL half of the post-processing chain: the scene target, the quarter-size glow pass,
// the combine pass into a texture of its own, the quarter-size bloom pass, the final pass to
// the window and the fade. Each takes what the curves computed and only issues the calls.
#pragma once
#include "base/vecmath.h"
#include "post/spectrum_bands.h"

#include <cstdint>

struct render_engine;
struct shader_bank;

// The glow and bloom textures are this many times smaller than the screen on each side:
// soft enough there, and a full-screen pass costs by the pixel on a CPU renderer.
inline constexpr int reduced_scale = 4;

// Texture and program slots the chain reads, and the screen size (W x H).
struct chain_targets {
    int tex_color0 = 0;
    int tex_color1 = 11;
    int tex_depth = 26;
    int tex_depth_copy = 29;  // what the combine pass depth-tests against
    int tex_noise = 27;
    int tex_spare = 32;
    int tex_combined = 33;
    int tex_spectrum = 34;  // the final pass's
    int tex_glow = 30;   // quarter size
    int tex_bloom = 31;  // quarter size
    int slot_combine = 3;
    int slot_combine_open = 13;  // the combine pass where nothing occludes
    int slot_final = 4;
    int slot_glow = 7;
    int slot_bloom = 6;
    int reduced_set = 1;  // the framebuffer set the quarter-size passes draw through
    int combine_set = 2;  // the one the combine pass draws through
    int width = 0;
    int height = 0;
};

// 256 grey texels into the 1D spectrum texture in `slot`; returns the bands read from them.
spectrum_bands upload_spectrum(render_engine& engine, const float* spectrum, int slot);

// Set 0 with both colour targets and the depth target; the scenes draw into two outputs.
void begin_scene_pass(render_engine& engine, const chain_targets& t);
// Resolves both colours and the depth into their textures.
void end_scene_pass(render_engine& engine, const chain_targets& t);

// Glow and streaks of tex_color1 at quarter size into tex_glow; the camera places the point
// the streaks run to.
void glow_pass(render_engine& engine, const shader_bank& shaders, const chain_targets& t,
               double T, vec3 eye, vec3 target, vec3 up);

// Ambient occlusion of the resolved scene plus tex_glow, drawn into tex_combined.
// limit: the per-frame random threshold; the camera feeds the projector matrix.
void combine_pass(render_engine& engine, const shader_bank& shaders, const chain_targets& t,
                  double T, float limit, vec3 eye, vec3 target, vec3 up);

// Bloom of the combined image at quarter size into tex_bloom, with how far the scene is
// (from tex_depth) in its alpha.
void bloom_pass(render_engine& engine, const shader_bank& shaders, const chain_targets& t);

// The window's picture from the combined image and its bloom; limit is the developer
// adjustment.
void final_pass(render_engine& engine, const shader_bank& shaders, const chain_targets& t,
                double T, float limit, spectrum_bands bands);

// Black over everything with the given alpha; draws nothing when it would not show.
void fade_pass(double alpha);
