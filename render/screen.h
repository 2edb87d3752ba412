// Stateless helpers shared by the frame driver, the post chain and the scenes: the easing
// curve the choreography is written in, the sprite / full-screen quad, the projector
// texture matrix and the reset of fixed-function state between passes.
#pragma once
#include "base/vecmath.h"

// ((1 - c^((p - 1) / 2 + 1))^p with c = (1 + cos(pi * clamp(t, 0, 1))) / 2: a ramp from 0
// at t <= 0 to 1 at t >= 1; p = 1 is the plain cosine ramp. Pure.
double cosine_ease(double t, double p);
double cosine_ease(const double* t, double p);

// One textured quad (-1..1 in x and y) with the current GL state, rotated by angle degrees
// about z and scaled by (|width|, height); width <= 0 mirrors the texture in u. billboard
// strips rotation and scale from the modelview first. Texture coordinates run 0..extent.
// Leaves the current matrix changed. With identity matrices and (0, 1, 1, -, 1) it is the
// full-screen quad.
void draw_sprite_quad(double angle, double width, double height, bool billboard, float extent);
void draw_sprite_quad(const double* angle, const double* width, const double* height,
                      bool billboard, float extent);

// Loads unit 2's texture matrix with bias * perspective * look-at (only x, y, z of the
// vectors count), then selects unit 0 again; the matrix mode is left at GL_TEXTURE and
// every matrix stack at the depth it had.
void set_projector_matrix(vec3 eye, vec3 target, vec3 up, double fovy, double aspect,
                          double z_near, double z_far);

// Blending, lighting, colour material, light 0, 2D texturing and fog off; colour white.
// Depth testing is left alone.
void reset_gl_state();
