#include "datagen/polygon_meshes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "datagen/output_file.h"

namespace {

std::string vertex_block(const polygon_mesh& mesh) {
    std::string out;
    char line[96];
    for (const auto& p : mesh.positions) {
        std::snprintf(line, sizeof line, "v %.5f %.5f %.5f\n", p[0], p[1], p[2]);
        out += line;
    }
    return out;
}

// Smooth minimum: blends two distances over a band of width k, so parts grow together.
float blend(float a, float b, float k) {
    const float h = std::clamp(0.5f + 0.5f * (b - a) / k, 0.0f, 1.0f);
    return b + (a - b) * h - k * h * (1 - h);
}

float carve(float a, float b, float k) { return -blend(-a, b, k); }

// Distance to an axis-aligned ellipsoid; close enough near its surface for blending.
float ellipsoid(float x, float y, float z, float cx, float cy, float cz, float rx, float ry,
                float rz) {
    const float dx = (x - cx) / rx, dy = (y - cy) / ry, dz = (z - cz) / rz;
    return (std::sqrt(dx * dx + dy * dy + dz * dz) - 1) * std::min({rx, ry, rz});
}

float sphere(float x, float y, float z, float cx, float cy, float cz, float r) {
    return std::hypot(x - cx, y - cy, z - cz) - r;
}

// The surface point along direction (dx, dy, dz) from the head's centre: the outermost
// crossing, found by stepping in from outside and bisecting.
std::array<float, 3> surface_along(float dx, float dy, float dz) {
    const float cy = -0.15f;
    auto field = [&](float r) { return head_distance(r * dx, cy + r * dy, r * dz); };
    float outside = 2.5f, r = outside;
    while (r > 0 && field(r) > 0) {
        outside = r;
        r -= 0.01f;
    }
    float inside = std::max(r, 0.0f);
    for (int i = 0; i < 30; ++i) {
        const float mid = (inside + outside) / 2;
        (field(mid) > 0 ? outside : inside) = mid;
    }
    return {outside * dx, cy + outside * dy, outside * dz};
}

}  // namespace

float head_distance(float x, float y, float z) {
    const float ax = std::abs(x);  // the head is symmetric left to right
    float d = ellipsoid(x, y, z, 0, 0.25f, -0.05f, 0.74f, 0.82f, 0.92f);       // cranium
    d = blend(d, ellipsoid(x, y, z, 0, -0.3f, 0.22f, 0.6f, 0.62f, 0.66f), 0.2f);  // face
    d = blend(d, ellipsoid(x, y, z, 0, -0.78f, 0.42f, 0.3f, 0.2f, 0.26f), 0.15f); // chin
    d = blend(d, ellipsoid(ax, y, z, 0.42f, -0.45f, 0.35f, 0.22f, 0.3f, 0.3f), 0.12f);  // jaw
    d = blend(d, ellipsoid(ax, y, z, 0.38f, -0.12f, 0.62f, 0.2f, 0.14f, 0.16f), 0.1f);  // cheek
    d = blend(d, ellipsoid(x, y, z, 0, 0.2f, 0.7f, 0.52f, 0.12f, 0.16f), 0.08f);       // brow
    d = blend(d, ellipsoid(x, y, z, 0, -0.14f, 0.9f, 0.1f, 0.24f, 0.16f), 0.06f);      // nose
    d = blend(d, ellipsoid(x, y, z, 0, -0.33f, 0.92f, 0.15f, 0.06f, 0.1f), 0.05f);     // nose tip
    d = blend(d, ellipsoid(x, y, z, 0, -0.52f, 0.8f, 0.24f, 0.07f, 0.1f), 0.05f);      // lips
    d = blend(d, ellipsoid(ax, y, z, 0.72f, -0.05f, -0.02f, 0.09f, 0.22f, 0.15f), 0.1f);  // ears
    d = blend(d, ellipsoid(x, y, z, 0, -1.15f, -0.12f, 0.4f, 0.6f, 0.42f), 0.15f);     // neck
    d = carve(d, sphere(ax, y, z, 0.27f, 0.04f, 0.86f, 0.13f), 0.06f);                 // eye sockets
    d = blend(d, sphere(ax, y, z, 0.27f, 0.04f, 0.74f, 0.1f), 0.02f);                  // eyes
    return std::max(d, -1.6f - y);  // the neck ends in a flat cut
}

polygon_mesh make_box() {
    polygon_mesh box;
    for (int i = 0; i < 8; ++i)
        box.positions.push_back({i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f});
    box.faces = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    return box;
}

polygon_mesh make_head() {
    constexpr int rings = 24, segments = 40;  // latitude bands, longitude steps
    const double pi = std::numbers::pi;
    polygon_mesh head;
    head.positions.push_back(surface_along(0, 1, 0));
    for (int i = 1; i < rings; ++i) {
        const double polar = pi * i / rings;
        for (int j = 0; j < segments; ++j) {
            const double azimuth = 2 * pi * j / segments;
            head.positions.push_back(surface_along(float(std::sin(polar) * std::sin(azimuth)),
                                                   float(std::cos(polar)),
                                                   float(std::sin(polar) * std::cos(azimuth))));
        }
    }
    head.positions.push_back(surface_along(0, -1, 0));
    const int south = int(head.positions.size()) - 1;
    auto at = [](int ring, int segment) { return 1 + (ring - 1) * segments + segment % segments; };
    for (int j = 0; j < segments; ++j) head.faces.push_back({0, at(1, j), at(1, j + 1)});
    for (int i = 1; i + 1 < rings; ++i)
        for (int j = 0; j < segments; ++j)
            head.faces.push_back({at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
    for (int j = 0; j < segments; ++j)
        head.faces.push_back({south, at(rings - 1, j + 1), at(rings - 1, j)});
    return head;
}

std::string encode_box(const polygon_mesh& box) {
    std::string out = "# thegoodbox: a cube of side 2, quads\n" + vertex_block(box);
    out += "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    char ref[32];
    for (const auto& face : box.faces) {
        out += "f";
        for (size_t k = 0; k < face.size(); ++k) {
            std::snprintf(ref, sizeof ref, " %d/%d", face[k] + 1, int(k % 4) + 1);
            out += ref;
        }
        out += "\n";
    }
    return out;
}

std::string encode_head(const polygon_mesh& head) {
    std::string out = "# thehead: a low-poly human head looking along +z\n" + vertex_block(head);
    char ref[32];
    for (const auto& face : head.faces) {
        out += "f";
        for (int index : face) {
            std::snprintf(ref, sizeof ref, " %d//", index + 1);
            out += ref;
        }
        out += "\n";
    }
    return out;
}

bool generate_box(const std::filesystem::path& out_dir, std::string& error) {
    return write_output(out_dir, "newneomeshes/thegoodbox.obj", encode_box(make_box()), error);
}

bool generate_head(const std::filesystem::path& out_dir, std::string& error) {
    return write_output(out_dir, "newneomeshes/thehead.obj", encode_head(make_head()), error);
}
