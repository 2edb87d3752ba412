// A grid of target positions for the particles, one per texel, mirrored into GL_RGB16F
// textures the update programs sample. Filled on the CPU by sampling line segments: the
// shrinking outlines of a mesh's faces at load, the video's contours during the show.
// The colour of a sample is stored at the same texel as its position, so a shader that
// finds a particle's target texel finds its colour at the same coordinates.
#pragma once
#include "assets/polygons.h"
#include "base/vecmath.h"

#include <cstdint>
#include <vector>

struct emitter_cloud {
    uint32_t positions_texture = 0;   // GL_TEXTURE_2D, GL_RGB16F, columns x rows
    uint32_t colours_texture = 0;     // same format and size
    int32_t columns = 0;
    int32_t rows = 0;
    polygon_list faces;                    // polygons read from the mesh file
    std::vector<float> positions;          // x, y, z per texel, row-major, column fastest
    std::vector<float> colours;            // r, g, b per texel, same order
    std::vector<float> sent_colours;       // what the colours texture holds

    // allocate() plus both textures. Needs GL.
    void create(int32_t columns, int32_t rows);
    // Re-sends the positions whole, and the colours when they differ from what was sent,
    // into the textures create() made (same columns and rows); the colours texture stays
    // bound to GL_TEXTURE_2D.
    void upload();
    // n points from a towards b (b itself never written) at cursor, which wraps to 0 at
    // capacity(). The colour goes to the same texel as the position.
    void sample_segment(vec3 a, vec3 b, int32_t& cursor, int32_t n, vec3 colour);
    // sample_rings() then upload().
    void build_rings(int32_t rings, int32_t density, vec3 base_colour);

    // The CPU halves of create and build_rings, usable without a GL context.
    void allocate(int32_t columns, int32_t rows);
    // Writes every face's rings from texel 0 on; returns how many samples were written
    // (more than capacity() means the cursor wrapped and overwrote earlier ones).
    int64_t sample_rings(int32_t rings, int32_t density, vec3 base_colour);

    int32_t capacity() const { return columns * rows; }
};
