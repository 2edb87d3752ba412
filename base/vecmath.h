// Single-precision vector/matrix toolkit, the show's shared random generator and the
// response curve. Plain records and free functions; nothing allocates, nothing touches GL.
#pragma once
#include <cstdint>

enum : uint32_t { vec_unset = 0, vec_set = 1, vec_normalised = 2 };

struct vec3 {
    uint32_t state = vec_unset;
    float x = 0, y = 0, z = 0;
};

inline vec3 make_vec3(float x, float y, float z) { return {vec_set, x, y, z}; }

vec3 add(vec3 a, vec3 b);
vec3 subtract(vec3 a, vec3 b);
vec3 cross(vec3 a, vec3 b);
vec3 scale(vec3 v, float s);
vec3 normalise(vec3 v);

// Row-major: entry (r, c) at index 4r + c.
struct mat4 {
    float m[16] = {};
    float& at(int r, int c) { return m[4 * r + c]; }
    float at(int r, int c) const { return m[4 * r + c]; }
};

mat4 identity();
// Writes only the upper-left 3x3 block with Rx(ax)·Ry(ay)·Rz(az); the rest is kept.
void from_euler(mat4& m, float ax, float ay, float az);
mat4 scaled(const mat4& m, float s);
vec3 rotate(const mat4& m, vec3 v);

double response_curve(double x);

// The one generator of the show: seeds and draw counts are part of the choreography,
// so it must be exactly this LCG, never the platform's rand().
void rand_seed(uint32_t s);
int rand_next();
double rand01();
uint32_t rand_state();
