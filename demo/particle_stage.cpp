#include "demo/particle_stage.h"

#include "demo/choreography.h"
#include "demo/part_start.h"
#include "render/frame_stats.h"
#include "render/render_engine.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstring>

namespace {

// Units the programs expect their inputs on.
constexpr int spectrum_unit = 4;
constexpr int particle_view_unit = 5;
constexpr int head_colour_unit = 0;
constexpr int box_colour_unit = 1;
constexpr int segment_list_unit = 6;

// Segments one vertex of the segment pass writes: vSegment[4].
constexpr int segments_per_vertex = 4;

void set_float(uint32_t program, const char* name, float v)
{
    glUniform1f(glGetUniformLocation(program, name), v);
}

void bind_spectrum(uint32_t program, const render_engine& engine)
{
    glActiveTexture(GL_TEXTURE0 + spectrum_unit);
    glBindTexture(GL_TEXTURE_1D, engine.texture_table[spectrum_texture]);
    glUniform1i(glGetUniformLocation(program, "DSP"), spectrum_unit);
    glActiveTexture(GL_TEXTURE0);
}

// The update program's scalar inputs, in the order the programs were tuned with.
void set_update_uniforms(uint32_t program, double t, const particle_controls& c, float pos_x,
                         float pos_y, const mat4& rotation)
{
    set_float(program, "time", float(t));
    set_float(program, "DeltaT", c.delta_t);
    set_float(program, "PosX", pos_x);
    set_float(program, "PosY", pos_y);
    set_float(program, "Attract", c.attract);
    set_float(program, "ThePS", c.the_ps);
    set_float(program, "Attack", c.attack);
    set_float(program, "ClockInterpolate", c.clock_interpolate);
    set_float(program, "Quantiser", c.quantiser);
    glUniformMatrix4fv(glGetUniformLocation(program, "RotationMatrix"), 1, GL_FALSE, rotation.m);
}

void update_main(part_start& part, const render_engine& engine, double t,
                 const particle_controls& c, float pos_y, const mat4& rotation)
{
    particle_system& main = part.particles_main;
    const emitter_cloud& box = part.cloud_box;
    main.bind_for_update(box.positions_texture, box.colours_texture, box.positions_texture);
    bind_spectrum(main.program, engine);
    set_update_uniforms(main.program, t, c, c.pos_x_main, pos_y, rotation);
    main.run_update();
}

void update_splash(part_start& part, const render_engine& engine, double t,
                   const particle_controls& c, float pos_y, const mat4& rotation)
{
    particle_system& splash = part.particles_splash;
    const emitter_cloud& box = part.cloud_box;
    splash.bind_for_update(box.positions_texture, box.colours_texture, box.positions_texture);
    // The splash follows the main population as it was just updated.
    glActiveTexture(GL_TEXTURE0 + particle_view_unit);
    glBindTexture(GL_TEXTURE_BUFFER, part.particles_main.source_view);
    glUniform1i(glGetUniformLocation(splash.program, "TheVBO"), particle_view_unit);
    bind_spectrum(splash.program, engine);
    set_update_uniforms(splash.program, t, c, c.pos_x_splash, pos_y, rotation);
    splash.run_update();
}

struct draw_inputs {
    float transform;
    float mode;
    float dsp;
    float dat_x;  // sideways shift: the splash's own; the main population is never shifted
};

// The per-draw inputs of the program in `slot`, which must be current.
void set_draw_uniforms(const part_start& part, int slot, const particle_system& system, float takeover,
                       const draw_inputs& in)
{
    const shader_bank& bank = part.shaders;
    bank.set_sampler(GL_TEXTURE_2D, slot, head_colour_unit, "RenderedRGB", part.cloud_head.colours_texture);
    bank.set_sampler(GL_TEXTURE_2D, slot, box_colour_unit, "RenderedRGB2", part.cloud_box.colours_texture);
    bank.set_uniform_1f(slot, "takeover", takeover);
    bank.set_uniform_1f(slot, "transform", in.transform);
    bank.set_sampler(GL_TEXTURE_BUFFER, slot, particle_view_unit, "TheVBO", system.source_view);
    bank.set_sampler(GL_TEXTURE_BUFFER, slot, segment_list_unit, "Segments", part.main_segments_view);
    glActiveTexture(GL_TEXTURE0);
    bank.set_uniform_1f(slot, "TheMode", in.mode);
    bank.set_uniform_1f(slot, "Dsp", in.dsp);
    bank.set_uniform_1f(slot, "DatX", in.dat_x);
}

// Program, buffer and state shared by both draws, then the per-draw uniforms.
void begin_draw(part_start& part, const particle_system& system, float takeover, const draw_inputs& in)
{
    const shader_bank& bank = part.shaders;
    const int slot = part.slot_material1;
    bank.use_program(slot);
    glBindBuffer(GL_ARRAY_BUFFER, system.source_buffer);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 0, nullptr);

    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
    glEnable(GL_POINT_SMOOTH);
    glBlendFunc(GL_ONE, GL_ZERO);
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_FALSE);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    set_draw_uniforms(part, slot, system, takeover, in);
}

// Writes segment (a, a + 1) of the main population into part.main_segments for every a
// below n - 1 (n > 1), and broken ones up to the next multiple of four, by transform
// feedback from the segment program given the main draw's inputs, and leaves that buffer
// bound as the element array with the drawing program current in line mode. A group of
// four within a pixel is written as (a, a + 4) and three broken ones; the point draw
// reads that through main_segments_view.
void capture_segments(part_start& part, int n, float takeover, const draw_inputs& in)
{
    const int vertices = (n - 1 + segments_per_vertex - 1) / segments_per_vertex;
    const int segments = vertices * segments_per_vertex;
    if (part.main_segments_capacity < segments) {
        if (!part.main_segments) glGenBuffers(1, &part.main_segments);
        glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, part.main_segments);
        glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER, GLsizeiptr(segments) * 2 * sizeof(GLuint), nullptr,
                     GL_STREAM_DRAW);
        part.main_segments_capacity = segments;
        if (!part.main_segments_view) {
            glGenTextures(1, &part.main_segments_view);
            glBindTexture(GL_TEXTURE_BUFFER, part.main_segments_view);
            glTexBuffer(GL_TEXTURE_BUFFER, GL_RG32UI, part.main_segments);
            glBindTexture(GL_TEXTURE_BUFFER, 0);
        }
    }
    const shader_bank& bank = part.shaders;
    bank.use_program(part.slot_segments);
    set_draw_uniforms(part, part.slot_segments, part.particles_main, takeover, in);
    bank.set_uniform_1f(part.slot_segments, "LineSegments", 2);
    glEnable(GL_RASTERIZER_DISCARD);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, part.main_segments);
    glBeginTransformFeedback(GL_POINTS);
    glDrawArrays(GL_POINTS, 0, vertices);
    glEndTransformFeedback();
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0);
    glDisable(GL_RASTERIZER_DISCARD);
    bank.use_program(part.slot_material1);
    bank.set_uniform_1f(part.slot_material1, "LineSegments", 1);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, part.main_segments);
}

// The same points in the same order whatever the batch, so the same pixels.
void draw_points(int count, int batch)
{
    if (batch <= 0) batch = count;
    for (int first = 0; first < count; first += batch)
        glDrawArrays(GL_POINTS, first, std::min(batch, count - first));
}

void end_draw()
{
    glPointSize(1);
    glDisableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace

void draw_main_particles(part_start& part, const particle_controls& c)
{
    const particle_system& main = part.particles_main;
    const float dsp = float(0.6 * part.frame_copy.spectrum[2]);
    const draw_inputs in{c.transform, 0.0f, dsp, 0.0f};
    begin_draw(part, main, c.takeover, in);
    const int n = std::max(main.count(), 0);
    glColor3f(0.9f, 0.9f, 0.9f);
    // Lines go by index, two per segment, from a list the drawing program writes first.
    // A broken segment is listed as a vertex outside the clip volume, so it is dropped
    // whole before it reaches the rasteriser, and a particle shared by two segments is
    // still shaded once. Attribute 0 must stay enabled for anything to be drawn; this
    // layout keeps its reads, up to that outside vertex, inside the buffer.
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 2 * sizeof(float), nullptr);
    if (n > 1) {
        frame_stage_timer timer(frame_stage::draw_segments);
        capture_segments(part, n, c.takeover, in);
        timer.switch_to(frame_stage::draw_lines);
        for (const strip_draw& s : main_line_draws(n)) {
            glLineWidth(s.line_width);
            const uintptr_t offset = uintptr_t(s.first) * 2 * sizeof(GLuint);
            glDrawElements(GL_LINES, 2 * (s.count - 1), GL_UNSIGNED_INT, reinterpret_cast<const void*>(offset));
        }
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        glFlush();  // the lines rasterise while the points are shaded (see render_scene)
    }
    const shader_bank& bank = part.shaders;
    bank.set_uniform_1f(part.slot_material1, "LineSegments", 0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    glColor3f(1, 1, 1);
    {
        frame_stage_timer timer(frame_stage::draw_points);
        draw_points(n, part.point_batch);
    }
    end_draw();
}

namespace {

void draw_splash(part_start& part, const particle_controls& c, bool drawn)
{
    const particle_system& splash = part.particles_splash;
    const float dsp = float(0.6 * part.frame_copy.spectrum[1]);
    begin_draw(part, splash, c.takeover, {1.0f, 1.0f, dsp, float(0.3 * c.pos_x_splash)});
    glColor3f(1, 1, 1);
    const int n = std::clamp(splash.count(), 0, splash_particle_count);
    if (drawn) {
        frame_stage_timer timer(frame_stage::draw_splash);
        draw_points(n, part.point_batch);
    }
    end_draw();
}

void set_up_stage(part_start& part, double t, float cam_y)
{
    const shader_bank& bank = part.shaders;
    glEnable(GL_TEXTURE_2D);
    // The segment pass places particles as the draws do; the drawing program stays current.
    for (const int slot : {part.slot_segments, part.slot_material1}) {
        bank.use_program(slot);
        bank.set_uniform_1f(slot, "PosY", cam_y);
        bank.set_uniform_1f(slot, "PP", cam_y);
        bank.set_uniform_1f(slot, "time", float(t));
        bank.set_uniform_3f(slot, "GlobalResolution", float(part.screen_width), float(part.screen_height), 0);
        bank.set_uniform_1f(slot, "time", float(t));
    }
    glDisable(GL_CULL_FACE);
    // The rest of the scene runs with the texture matrix selected.
    glMatrixMode(GL_TEXTURE);
    glActiveTexture(GL_TEXTURE1);
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE0);
    glLoadIdentity();
}

}  // namespace

int point_draw_batch(const char* renderer)
{
    // 256 measured best here: 4096 saves nothing, 64 starts to pay for the calls.
    if (!renderer) return 0;
    return std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe") ? 256 : 0;
}

void run_particle_step(part_start& part, const render_engine& engine, double t)
{
    frame_stage_timer timer(frame_stage::choreography);
    // The shell zeroes cam_y before every frame, so the steps take it as 0.
    const float cam_y = 0.0f;
    const mat4 rotation = rotation_matrix_at(t);
    const particle_controls c = particle_controls_at(t, step_seconds);
    part.seq_request = c.seq_request;

    timer.switch_to(frame_stage::particle_update);
    update_main(part, engine, t, c, cam_y, rotation);
    update_splash(part, engine, t, c, cam_y, rotation);
}

void draw_particle_stage(part_start& part, double t)
{
    frame_stage_timer timer(frame_stage::draw);
    const float cam_y = float(part.frame_copy.cam_y);
    set_up_stage(part, t, cam_y);
    const particle_controls c = particle_controls_at(t, step_seconds);
    draw_main_particles(part, c);
    draw_splash(part, c, splash_drawn(pos_x_splash_at(part.step_scene_time)));
}
