// The scenes: every element is drawn every frame; what is visible at a given moment is
// decided only by the curves of scene_time.
#include "demo/part_start.h"

#include "demo/contour_stage.h"
#include "demo/particle_stage.h"
#include "demo/scene_curves.h"
#include "render/frame_stats.h"
#include "render/render_engine.h"
#include "render/screen.h"

#include <GL/glew.h>
#include <GL/glu.h>

namespace {

void look_through_camera(const render_engine& e)
{
    gluLookAt(e.camera_eye.x, e.camera_eye.y, e.camera_eye.z, e.camera_target.x,
              e.camera_target.y, e.camera_target.z, e.camera_up.x, e.camera_up.y,
              e.camera_up.z);
}

void draw_title_ring(const obj_mesh& mesh, int ring, double t)
{
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, 1.64f);
    if (ring != 0) glRotatef(title_ring_angle(ring), 0.0f, 0.0f, 1.0f);
    glScalef(0.3f, 0.3f, 0.3f);
    glScalef(0.2f, 0.2f, 0.2f);
    glEnable(GL_DEPTH_TEST);
    for (int i = 0; i < title_letters_per_ring; ++i) {
        const title_letter letter = title_letter_at(ring, i, t);
        glColor3f(letter.r, letter.g, letter.b);
        // The first ring flattens a little more with every letter.
        if (ring == 0) glScalef(1.0f, 1.0f, 0.1f);
        if (letter.group >= 0 && !title_letter_repeats(ring, i, t)) mesh.draw_group(letter.group);
    }
    glPopMatrix();
}

}  // namespace

void part_start::render_scene(render_engine* engine)
{
    render_engine& e = *engine;
    const double t = scene_time;
    frame_stage_timer timer(frame_stage::draw);

    glViewport(0, 0, screen_width, screen_height);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(field_of_view(t),
                   static_cast<double>(screen_width) / static_cast<double>(screen_height), 0.1,
                   800.0);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    look_through_camera(e);

    reset_gl_state();
    shader_bank::unuse_program();
    for (int ring = 0; ring < title_rings; ++ring) draw_title_ring(title_mesh, ring, t);
    // A CPU renderer's threads rasterise what is handed over while this thread shades the
    // next draws' vertices; without a flush they would wait for the whole scene.
    glFlush();

    draw_particle_stage(*this, t);
    draw_contour_stage(t);
}
