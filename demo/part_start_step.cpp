// The part's fixed simulation step, and the snapshot of what the steps carry.
#include "demo/part_start.h"

#include "demo/choreography.h"
#include "demo/contour_stage.h"
#include "demo/particle_stage.h"
#include "demo/camera_rig.h"
#include "post/chain_curves.h"
#include "post/post_passes.h"
#include "render/frame_stats.h"
#include "render/render_engine.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>

namespace {

// What a step leaves bound, unbound: the frame after a step and the frame after a restored
// snapshot then start from the same GL state.
void settle_step_state()
{
    for (int unit = 5; unit >= 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_1D, 0);
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindTexture(GL_TEXTURE_3D, 0);
        glBindTexture(GL_TEXTURE_BUFFER, 0);
    }
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glUseProgram(0);
}

}  // namespace

void part_start::load_sequence_frame()
{
    serve_sequence_request(seq_request, seq_idle, seq_frame, seq_work, seq_source);
}

void part_start::step(render_engine* engine, double show_time, const float* spectrum)
{
    render_engine& e = *engine;
    const double t = scene_time_at(show_time);
    step_scene_time = t;
    {
        frame_stage_timer timer(frame_stage::sequence_load);
        load_sequence_frame();
        // The contour stage always starts from an untouched copy of the current frame.
        if (!seq_frame.empty()) seq_frame.copyTo(seq_work);
    }
    upload_spectrum(e, spectrum, spectrum_texture);
    particles_main.readback = follow_weight(t) > camera_follow_threshold;
    run_particle_step(*this, e, t);
    run_contour_step(*this, t);
    lead_followed = follow_lead(lead_followed, particles_main.lead_particle);
    settle_step_state();
}

snapshot_shape part_start::state_shape() const
{
    snapshot_shape s;
    s.main_floats = particles_main.state_bytes() / sizeof(float);
    s.splash_floats = particles_splash.state_bytes() / sizeof(float);
    s.box_floats = cloud_box.positions.size();
    return s;
}

sim_snapshot part_start::save_state() const
{
    sim_snapshot s;
    s.main_state = particles_main.read_state();
    s.splash_state = particles_splash.read_state();
    s.box_positions = cloud_box.positions;
    s.box_colours = cloud_box.colours;
    const vec3& lead = particles_main.lead_particle;
    s.lead[0] = lead.x;
    s.lead[1] = lead.y;
    s.lead[2] = lead.z;
    s.lead_read = int32_t(lead.state);
    s.lead_followed[0] = lead_followed.x;
    s.lead_followed[1] = lead_followed.y;
    s.lead_followed[2] = lead_followed.z;
    s.seq_request = seq_request;
    return s;
}

void part_start::restore_state(const sim_snapshot& s, double show_time)
{
    particles_main.write_state(s.main_state);
    particles_splash.write_state(s.splash_state);
    if (s.box_positions.size() == cloud_box.positions.size()) cloud_box.positions = s.box_positions;
    if (s.box_colours.size() == cloud_box.colours.size()) cloud_box.colours = s.box_colours;
    cloud_box.upload();
    particles_main.lead_particle = make_vec3(s.lead[0], s.lead[1], s.lead[2]);
    particles_main.lead_particle.state = uint32_t(s.lead_read);
    lead_followed = make_vec3(s.lead_followed[0], s.lead_followed[1], s.lead_followed[2]);
    seq_request = s.seq_request;
    step_scene_time = scene_time_at(show_time);
    settle_step_state();
}
