#include <cmath>

#include "assets/obj_mesh.h"

namespace {

struct v3 {
    float x, y, z;
};

v3 position_of(const obj_vertex& v) { return {v.f[0], v.f[1], v.f[2]}; }

}  // namespace

// The unnormalised cross product weights each face by its area, so big faces dominate the
// smooth normal of a shared corner.
void obj_mesh::generate_normals()
{
    for (obj_vertex& v : vertices) v.f[5] = v.f[6] = v.f[7] = 0.0f;

    const size_t vertex_total = vertices.size();
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        uint32_t ia = indices[t], ib = indices[t + 1], ic = indices[t + 2];
        // Entries reserved for dropped faces are zero and may name no vertex at all.
        if (ia >= vertex_total || ib >= vertex_total || ic >= vertex_total) continue;
        v3 a = position_of(vertices[ia]), b = position_of(vertices[ib]), c = position_of(vertices[ic]);
        v3 e1{b.x - a.x, b.y - a.y, b.z - a.z};
        v3 e2{c.x - a.x, c.y - a.y, c.z - a.z};
        v3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
        for (uint32_t i : {ia, ib, ic}) {
            vertices[i].f[5] += n.x;
            vertices[i].f[6] += n.y;
            vertices[i].f[7] += n.z;
        }
    }

    for (obj_vertex& v : vertices) {
        float len = std::sqrt(v.f[5] * v.f[5] + v.f[6] * v.f[6] + v.f[7] * v.f[7]);
        if (len == 0.0f) continue;  // unused or degenerate corner: keep (0, 0, 0), not NaN
        float inv = 1.0f / len;
        v.f[5] *= inv;
        v.f[6] *= inv;
        v.f[7] *= inv;
    }
    has_normals = true;
}
