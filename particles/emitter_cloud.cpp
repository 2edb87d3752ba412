#include "particles/emitter_cloud.h"

#include <GL/glew.h>

#include <cstring>

static void define_rgb16f(uint32_t texture, int32_t columns, int32_t rows, const float* data)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, columns, rows, 0, GL_RGB, GL_FLOAT, data);
}

// Into the storage create() defined: redefining it for every step made the driver
// allocate a new image each time.
static void send_rgb16f(uint32_t texture, int32_t columns, int32_t rows, const float* data)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, columns, rows, GL_RGB, GL_FLOAT, data);
}

static uint32_t make_texture(int32_t columns, int32_t rows, const float* data)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    define_rgb16f(texture, columns, rows, data);
    // Targets are looked up per texel; filtering would blend neighbouring outlines.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return texture;
}

void emitter_cloud::allocate(int32_t columns_, int32_t rows_)
{
    columns = columns_ > 0 && rows_ > 0 ? columns_ : 0;
    rows = columns > 0 ? rows_ : 0;
    positions.assign(static_cast<std::size_t>(capacity()) * 3, 0.0f);
    colours.assign(static_cast<std::size_t>(capacity()) * 3, 0.0f);
}

void emitter_cloud::create(int32_t columns_, int32_t rows_)
{
    allocate(columns_, rows_);
    positions_texture = make_texture(columns, rows, positions.data());
    colours_texture = make_texture(columns, rows, colours.data());
    sent_colours = colours;
}

void emitter_cloud::upload()
{
    send_rgb16f(positions_texture, columns, rows, positions.data());
    // The contour colours settle within a few frames; converting them to half floats
    // again every frame is wasted. Compared bitwise, so -0 is not taken for 0.
    const bool same = sent_colours.size() == colours.size() &&
                      (colours.empty() ||
                       std::memcmp(sent_colours.data(), colours.data(), colours.size() * sizeof(float)) == 0);
    if (same) {
        glBindTexture(GL_TEXTURE_2D, colours_texture);
        return;
    }
    send_rgb16f(colours_texture, columns, rows, colours.data());
    sent_colours = colours;
}

void emitter_cloud::sample_segment(vec3 a, vec3 b, int32_t& cursor, int32_t n, vec3 colour)
{
    const int32_t cap = capacity();
    if (cap <= 0) return;
    // A cursor handed in from outside the grid restarts at 0 instead of writing past it.
    if (cursor < 0 || cursor >= cap) cursor = 0;
    const vec3 step = subtract(b, a);
    // This loop runs for every contour sample of every frame: the state rules of add()
    // and scale() are settled once per segment (an unset a gives zeros; step is always
    // set), leaving the same float arithmetic inline.
    const bool a_set = a.state != vec_unset;
    for (int32_t i = 0; i < n; ++i) {
        const float u = static_cast<float>(i) / static_cast<float>(n);
        float* pos = &positions[static_cast<std::size_t>(cursor) * 3];
        pos[0] = a_set ? a.x + step.x * u : 0.0f;
        pos[1] = a_set ? a.y + step.y * u : 0.0f;
        pos[2] = a_set ? a.z + step.z * u : 0.0f;
        float* col = &colours[static_cast<std::size_t>(cursor) * 3];
        col[0] = colour.x;
        col[1] = colour.y;
        col[2] = colour.z;
        if (++cursor == cap) cursor = 0;
    }
}

int64_t emitter_cloud::sample_rings(int32_t rings, int32_t density, vec3 base_colour)
{
    int32_t cursor = 0;
    int64_t written = 0;
    mat4 rotation = identity();
    from_euler(rotation, 0, 0, 0);
    for (const std::vector<vec3>& v : faces) {
        const std::size_t m = v.size();
        // A point or an empty face has no edge (and v[1] below would not exist).
        if (m < 2) continue;
        vec3 c = make_vec3(0, 0, 0);
        for (const vec3& p : v) c = add(c, p);
        c = scale(c, 1.0f / static_cast<float>(m));
        const vec3 normal = normalise(cross(normalise(subtract(v[0], c)), normalise(subtract(v[1], c))));
        // Half-Lambert towards (0.707, 0, 0.707): faces turned away stay half lit.
        const float s = 0.5f + 0.5f * (0.707f * normal.x + 0.0f * normal.y + 0.707f * normal.z);
        const vec3 colour = scale(base_colour, s);
        for (int32_t r = 0; r < rings; ++r) {
            const float u = static_cast<float>(r) / static_cast<float>(rings);
            const int32_t n = static_cast<int32_t>(0.5 * density);
            for (std::size_t k = 0; k < m; ++k) {
                vec3 a = v[k];
                vec3 b = v[(k + 1) % m];
                a = add(a, scale(subtract(c, a), u));
                b = add(b, scale(subtract(c, b), u));
                a = scale(rotate(rotation, a), 0.75f);
                b = scale(rotate(rotation, b), 0.75f);
                sample_segment(a, b, cursor, n, colour);
                if (n > 0 && capacity() > 0) written += n;
            }
        }
    }
    return written;
}

void emitter_cloud::build_rings(int32_t rings, int32_t density, vec3 base_colour)
{
    sample_rings(rings, density, base_colour);
    upload();
}
