// The only GL code of the assets: client-side arrays straight from the mesh's host memory,
// one instanced draw per group with a single instance.
#include <GL/glew.h>

#include <algorithm>

#include "assets/obj_mesh.h"

std::vector<obj_draw_range> group_draw_ranges(const obj_mesh& mesh, int32_t group)
{
    std::vector<obj_draw_range> ranges;
    const int64_t entries = static_cast<int64_t>(mesh.group_starts.size());
    if (!mesh.ready || entries == 0) return ranges;
    int64_t first = group < 0 ? 0 : group;
    int64_t last = group < 0 ? entries - 1 : int64_t(group) + 1;
    last = std::max<int64_t>(last, 0);
    first = std::min(first, entries - 1);
    last = std::min(last, entries - 1);

    const int64_t stored_triangles = static_cast<int64_t>(mesh.indices.size() / 3);
    for (int64_t i = first; i < last; ++i) {
        int64_t s = std::clamp<int64_t>(mesh.group_starts[size_t(i)], 0, stored_triangles);
        int64_t e = std::clamp<int64_t>(mesh.group_starts[size_t(i + 1)], 0, stored_triangles);
        if (e <= s) continue;
        ranges.push_back({3 * s, 3 * (e - s)});
    }
    return ranges;
}

static void draw_indices(GLsizei count, const GLuint* first)
{
    if (GLEW_EXT_draw_instanced && glDrawElementsInstancedEXT)
        glDrawElementsInstancedEXT(GL_TRIANGLES, count, GL_UNSIGNED_INT, first, 1);
    else if (glDrawElementsInstanced)
        glDrawElementsInstanced(GL_TRIANGLES, count, GL_UNSIGNED_INT, first, 1);
    else
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT, first);
}

void obj_mesh::draw_group(int32_t group) const
{
    if (!ready || vertices.empty()) return;
    constexpr GLsizei stride = sizeof(obj_vertex);
    const float* base = vertices.front().f;
    for (const obj_draw_range& r : group_draw_ranges(*this, group)) {
        if (has_positions) {
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(3, GL_FLOAT, stride, base);
        }
        if (has_texcoords) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, stride, base + 3);
        }
        if (has_normals) {
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(GL_FLOAT, stride, base + 5);
        }
        draw_indices(static_cast<GLsizei>(r.count), indices.data() + r.first);
        if (has_normals) glDisableClientState(GL_NORMAL_ARRAY);
        if (has_positions) glDisableClientState(GL_VERTEX_ARRAY);
        if (has_texcoords) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}
