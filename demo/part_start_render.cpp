// The part's frame: its clock, the spectrum memory, the camera, then the scene pass and
// the post-processing passes around render_scene, and the fade.
#include "demo/part_start.h"

#include "demo/choreography.h"
#include "demo/slots.h"
#include "base/virtual_keys.h"
#include "demo/camera_rig.h"
#include "post/chain_curves.h"
#include "post/post_passes.h"
#include "demo/spectrum_history.h"
#include "render/frame_stats.h"
#include "render/render_engine.h"

#include <GL/glew.h>

namespace {

constexpr int reload_key = vk_space;

}  // namespace

void part_start::render(double* delta, render_engine* engine, frame_input* frame)
{
    render_engine& e = *engine;
    frame_stage_timer timer(frame_stage::choreography);
    e.frame_input = frame;
    frame_copy = *frame;

    last_delta = *delta;
    // From show time, not summed from deltas, so every frame rate meets the same times.
    scene_time = scene_time_at(frame->show_time);
    render_count += 1;
    scene_time_shown = scene_time;
    const double T = scene_time;

    advance_spectrum_history(spectrum_history, frame_copy.spectrum[7]);
    upload_spectrum(e, frame_copy.spectrum, spectrum_texture);
    const int post_spectrum = texture_slot::post_spectrum[render_count % 2];
    const spectrum_bands bands = upload_spectrum(e, frame_copy.spectrum, post_spectrum);

    if (frame_copy.keys[reload_key] != 0) {
        shaders.build_fragment_program("PostProcessing//f_combineSSAO.cpp", slot_combine_ssao);
        rebuild_count += 1;
    }

    glPushAttrib(GL_ALL_ATTRIB_BITS);

    const camera_pose pose = place_camera(T, path.points, path.channel, lead_followed);
    e.camera_eye = pose.eye;
    e.camera_target = pose.target;
    e.camera_up = pose.up;

    chain_targets targets;
    targets.tex_color0 = tex_color0;
    targets.tex_color1 = tex_color1;
    targets.tex_depth = tex_depth;
    targets.tex_depth_copy = tex_depth2;
    targets.tex_noise = tex_noise;
    targets.tex_spare = tex_spare;
    targets.slot_combine = slot_combine_ssao;
    targets.slot_combine_open = slot_simpleblur;
    targets.slot_final = slot_blurpass;
    targets.tex_glow = texture_slot::glow;
    targets.tex_bloom = texture_slot::bloom;
    targets.tex_combined = texture_slot::combined;
    targets.tex_spectrum = post_spectrum;
    targets.slot_glow = slot_godrays;
    targets.slot_bloom = slot_blurhighlights;
    targets.width = screen_width;
    targets.height = screen_height;

    timer.switch_to(frame_stage::draw);
    begin_scene_pass(e, targets);
    render_scene(engine);
    if (e.while_scene_draws) {
        glFlush();
        e.while_scene_draws();
    }
    timer.switch_to(frame_stage::post);
    end_scene_pass(e, targets);

    glow_pass(e, shaders, targets, T, e.camera_eye, e.camera_target, e.camera_up);
    const float limit = combine_limit(T);
    combine_pass(e, shaders, targets, T, limit, e.camera_eye, e.camera_target, e.camera_up);
    bloom_pass(e, shaders, targets);
    if (e.before_final_pass) e.before_final_pass();
    final_pass(e, shaders, targets, T, static_cast<float>(frame_copy.adjust_aq), bands);
    fade_pass(fade_alpha(T));

    glPopAttrib();

    frame_copy.values[0] = T;
    *e.frame_input = frame_copy;
}
