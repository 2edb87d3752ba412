// The one part of the show. It owns every asset and GPU resource the show uses, loads
// them in a fixed order (load) and renders a frame on request: the post-processing
// chain around render_scene, which draws the title letters, the particles and the
// contour emitters. Everything on screen is a function of scene_time.
#pragma once
#include "demo/parts.h"
#include "demo/frame_input.h"
#include "demo/spectrum_history.h"
#include "render/shader_bank.h"
#include "assets/image_sequence.h"
#include "assets/obj_mesh.h"
#include "assets/recorded_path.h"
#include "particles/emitter_cloud.h"
#include "particles/particle_system.h"
#include "state/snapshot.h"

#include <array>
#include <cstdint>
#include <opencv2/core.hpp>

// A program the part builds at load: its bank slot and its files under the data folder
// (an empty vertex file: fragment only, on the fixed-function vertex stage), and the
// vertex output that transform feedback records, if any. A quiet one prints only what
// fails: its files and their logs were printed for the program before it.
struct part_program {
    int32_t slot = 0;
    const char* vertex = "";
    const char* fragment = "";
    const char* captured = "";
    bool quiet = false;
};

class part_start : public parts {
public:
    part_start() = default;
    ~part_start() override = default;
    part_start(const part_start&) = delete;
    part_start& operator=(const part_start&) = delete;

    void render(double* delta, render_engine* engine, frame_input* frame) override;
    void load(render_engine* engine) override;

    // One fixed simulation step at this show time: the next video frame, the particle
    // updates with the step's spectrum, the emitter from the video's contours. Frames
    // only draw what the steps left.
    void step(render_engine* engine, double show_time, const float* spectrum);
    // Everything a step carries to the next, and back; restoring leaves the GL state a
    // step leaves, so the frame after it is drawn as in a continuous run.
    sim_snapshot save_state() const;
    void restore_state(const sim_snapshot& s, double show_time);
    snapshot_shape state_shape() const;

    // The bank's programs in the order load builds them; the studio watches the same files.
    std::array<part_program, 10> programs() const;

    // The scenes: title letters, then the particle and contour stages.
    void render_scene(render_engine* engine);
    // Serves seq_request: loads the requested image-sequence frame into seq_frame/seq_work.
    void load_sequence_frame();

    particle_system particles_main;
    particle_system particles_world;
    particle_system particles_splash;
    // Index list of the main population's segments, rewritten before each line draw.
    uint32_t main_segments = 0;
    uint32_t main_segments_view = 0;     // GL_RG32UI texture-buffer view of it: the point draw reads it
    int32_t main_segments_capacity = 0;  // in segments
    int32_t point_batch = 0;             // points per draw call; 0: all in one (point_draw_batch)
    recorded_path path;
    int32_t rebuild_count = 0;
    emitter_cloud cloud_box;
    emitter_cloud cloud_head;
    float spectrum_history[spectrum_history_size] = {};

    int32_t slot_material1 = 0;
    int32_t slot_segments = 0;
    int32_t slot_material1b = 0;
    int32_t slot_material2 = 0;
    int32_t slot_combine_ssao = 0;
    int32_t slot_blurpass = 0;
    int32_t slot_velocities = 0;
    int32_t slot_blurhighlights = 0;
    int32_t slot_simpleblur = 0;
    int32_t slot_godrays = 0;

    double scene_time = 0;
    double scene_time_shown = 0;
    double step_scene_time = 0;  // of the last simulation step
    vec3 lead_followed;          // where the camera follows the lead particle to
    int32_t render_count = 0;
    double last_delta = 0;
    frame_input frame_copy;

    int32_t tex_depth2 = 0;
    int32_t tex_color0 = 0;
    int32_t tex_color1 = 0;
    int32_t tex_spare = 0;
    int32_t tex_quarter = 0;
    int32_t tex_depth = 0;
    int32_t tex_noise = 0;

    obj_mesh title_mesh;
    shader_bank shaders;

    // The current image-sequence frame as loaded, and the copy the contour stage
    // smooths and edge-detects in place. Empty until a frame is loaded, and after a
    // missing one: then every image operation of the frame is skipped.
    cv::Mat seq_work;
    cv::Mat seq_frame;
    int32_t seq_request = 0;
    int32_t seq_idle = -1;
    sequence_source seq_source;  // the file seq_frame was decoded from

    // W and H: the window's pixel size. The shell may set them before load; left at 0,
    // load takes them from the GL viewport, which covers the window at start-up.
    int32_t screen_width = 0;
    int32_t screen_height = 0;
};
