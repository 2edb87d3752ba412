#include "render/screen.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <numbers>

double cosine_ease(double t, double p)
{
    const double a = std::clamp(t, 0.0, 1.0);
    const double c = (1.0 + std::cos(std::numbers::pi * a)) / 2.0;
    return std::pow(1.0 - std::pow(c, (p - 1.0) / 2.0 + 1.0), p);
}

double cosine_ease(const double* t, double p) { return cosine_ease(*t, p); }

// Keeps the translation (and the bottom row) of the modelview, drops rotation and scale,
// so the sprite faces the viewer wherever it is placed.
static void strip_rotation()
{
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row) m[column * 4 + row] = column == row ? 1.0f : 0.0f;
    glLoadMatrixf(m);
}

void draw_sprite_quad(double angle, double width, double height, bool billboard, float extent)
{
    if (billboard) strip_rotation();
    glRotated(angle, 0, 0, 1);
    glScaled(std::fabs(width), height, 0);
    const float f = extent;
    const float u_left = width > 0 ? 0 : f;
    const float u_right = width > 0 ? f : 0;
    glBegin(GL_QUADS);
    glTexCoord2f(u_left, 0);
    glVertex3f(-1, -1, 0);
    glTexCoord2f(u_right, 0);
    glVertex3f(1, -1, 0);
    glTexCoord2f(u_right, f);
    glVertex3f(1, 1, 0);
    glTexCoord2f(u_left, f);
    glVertex3f(-1, 1, 0);
    glEnd();
}

void draw_sprite_quad(const double* angle, const double* width, const double* height,
                      bool billboard, float extent)
{
    draw_sprite_quad(*angle, *width, *height, billboard, extent);
}

void set_projector_matrix(vec3 eye, vec3 target, vec3 up, double fovy, double aspect,
                          double z_near, double z_far)
{
    glActiveTexture(GL_TEXTURE2);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    // Clip coordinates -1..1 to texture coordinates 0..1.
    glTranslated(0.5, 0.5, 0.5);
    glScaled(0.5, 0.5, 0.5);
    gluPerspective(fovy, aspect, z_near, z_far);
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, up.x, up.y, up.z);
    glActiveTexture(GL_TEXTURE0);
}

void reset_gl_state()
{
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHT0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_FOG);
    glColor4f(1, 1, 1, 1);
}
