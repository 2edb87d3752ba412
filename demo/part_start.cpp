#include "demo/part_start.h"

#include "assets/polygons.h"
#include "demo/particle_stage.h"
#include "demo/slots.h"
#include "post/post_passes.h"
#include "render/render_engine.h"

#include <GL/glew.h>

#include <cstdio>

namespace {

// The size the render targets are made at: what the shell told us, else the viewport,
// which covers the window when loading starts.
void resolve_screen_size(int32_t& width, int32_t& height)
{
    if (width > 0 && height > 0) return;
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    width = viewport[2];
    height = viewport[3];
}

}  // namespace

// The show runs without any of these files; one console line says which one is missing
// or unreadable and what the picture lacks for it.
static void say_if_unread(bool unread, const char* path, const char* effect)
{
    if (!unread) return;
    std::printf("%s: missing or unreadable; %s\n", path, effect);
    std::fflush(stdout);
}

std::array<part_program, 10> part_start::programs() const
{
    // The paths are written as the load prints them.
    return {{
        {slot_material1, "Materials//v_material1d.cpp", "Materials//f_material1.cpp"},
        {slot_segments, "Materials//v_material1d.cpp", "Materials//f_material1.cpp", main_segments_output, true},
        {slot_material1b, "Materials//v_material1d.cpp", "Materials//f_material1b.cpp"},
        {slot_material2, "Materials//v_material2d.cpp", "Materials//f_material2.cpp"},
        {slot_combine_ssao, "", "PostProcessing//f_combineSSAO.cpp"},
        {slot_blurpass, "", "PostProcessing//f_blurpass.cpp"},
        {slot_simpleblur, "", "PostProcessing//f_simpleblur.cpp"},
        {slot_blurhighlights, "", "PostProcessing//f_blurhighlights.cpp"},
        {slot_godrays, "", "PostProcessing//f_godrays.cpp"},
        {slot_velocities, "PostProcessing//v_velocities.cpp", "PostProcessing//f_velocities.cpp"},
    }};
}

void part_start::load(render_engine* engine)
{
    render_engine& e = *engine;
    resolve_screen_size(screen_width, screen_height);
    const int W = screen_width;
    const int H = screen_height;

    scene_time = 0.0;
    scene_time_shown = 0.0;
    render_count = 0;
    rebuild_count = 0;
    seq_work.release();
    seq_frame.release();
    seq_idle = -1;
    seq_request = 30;  // the first scene frame shows image 30

    path.load_path("try1.sav");
    say_if_unread(path.points.size() < 2, "try1.sav", "the path and camera wobble stay still");
    for (float& v : spectrum_history) v = 0.0f;

    point_batch = point_draw_batch(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    particles_main.configure(500, 500, true);
    particles_main.load_velocity_volume();
    particles_main.create("Materials//v_material1p.cpp");

    // One velocity volume on the card, shared by name.
    particles_world.configure(20, 20, false);
    particles_world.volume = particles_main.volume;
    particles_world.create("Materials//v_material1p_world.cpp");

    particles_splash.configure(300, 300, false);
    particles_splash.volume = particles_main.volume;
    particles_splash.create("Materials//v_material1p_splash.cpp");

    read_polygons("newneomeshes//thegoodbox.obj", cloud_box.faces);
    say_if_unread(cloud_box.faces.empty(), "newneomeshes//thegoodbox.obj", "the box emitter is empty");
    cloud_box.create(500, 500);
    cloud_box.build_rings(30, 30, make_vec3(1.0f, 0.7f, 0.4f));

    read_polygons("newneomeshes//thehead.obj", cloud_head.faces);
    say_if_unread(cloud_head.faces.empty(), "newneomeshes//thehead.obj", "the head emitter is empty");
    cloud_head.create(500, 500);
    cloud_head.build_rings(20, 15, make_vec3(1.0f, 1.0f, 1.0f));

    const bool title_read = title_mesh.load_obj("newneomeshes//thornwake.obj", false);
    say_if_unread(!title_read || title_mesh.vertices.empty(), "newneomeshes//thornwake.obj",
                  "no title letters are drawn");

    slot_material1 = program_slot::material1;
    slot_segments = program_slot::segments;
    slot_material1b = program_slot::material1b;
    slot_material2 = program_slot::material2;
    slot_combine_ssao = program_slot::combine_ssao;
    slot_blurpass = program_slot::blurpass;
    slot_velocities = program_slot::velocities;
    slot_blurhighlights = program_slot::blurhighlights;
    slot_simpleblur = program_slot::simpleblur;
    slot_godrays = program_slot::godrays;

    for (const part_program& p : programs()) {
        if (*p.vertex)
            shaders.build_program(p.vertex, p.fragment, p.slot, p.captured,
                                  p.quiet ? path_lines::failures : path_lines::always);
        else shaders.build_fragment_program(p.fragment, p.slot);
    }

    tex_depth2 = texture_slot::depth2;
    tex_color0 = texture_slot::color0;
    tex_color1 = texture_slot::color1;
    tex_spare = texture_slot::spare;
    tex_quarter = texture_slot::quarter;
    tex_depth = texture_slot::depth;
    tex_noise = texture_slot::noise;

    e.create_noise_texture(tex_noise, 1024, 1024);
    e.create_random_texture(tex_color0, W, H);
    e.create_random_texture(tex_quarter, W / 4, H / 4);
    e.create_random_texture(tex_color1, W, H);
    e.create_random_texture(tex_spare, W, H);
    e.create_depth_texture(tex_depth, W, H);
    e.create_depth_texture(tex_depth2, W, H);
    e.create_target_texture(texture_slot::glow, W / reduced_scale, H / reduced_scale);
    e.create_target_texture(texture_slot::bloom, W / reduced_scale, H / reduced_scale);
    // Repeating, as tex_color0 does: the bloom's and the lens's reads past the edges wrap.
    e.create_target_texture(texture_slot::combined, W, H, true);

    e.attach_color_texture(0, 0, tex_color0);
    e.attach_color_texture(0, 1, tex_color1);
    e.attach_depth_texture(0, tex_depth);
    e.attach_color_texture(1, 0, tex_quarter);

    e.create_spectrum_texture(spectrum_texture, 512);
    for (const int slot : texture_slot::post_spectrum) e.create_spectrum_texture(slot, 512);
}
