// Generated OBJ text read by our loader and by tinyobjloader must give the same triangle
// corners in the same order. tinyobjloader is asked not to triangulate; we fan its polygons
// ourselves, so this checks parsing, index resolution and fan order separately from its own
// triangulation choices.
#include <gtest/gtest.h>

#include <tiny_obj_loader.h>

#include <cstdio>
#include <random>
#include <string>

#include "assets/obj_mesh.h"

namespace {

struct corner {
    float p[3], t[2], n[3];
};

std::string generate_obj(uint32_t seed)
{
    std::mt19937 rng(seed);
    auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::string out = "# generated\n";
    char line[160];
    int positions = 0, texcoords = 0, normals = 0;
    auto add_attributes = [&](int count) {
        for (int i = 0; i < count; ++i, ++positions) {
            std::snprintf(line, sizeof line, "v %.4f %.4f %.4f\n", uniform(-5, 5), uniform(-5, 5), uniform(-5, 5));
            out += line;
        }
        for (int i = 0; i < count; ++i, ++texcoords) {
            std::snprintf(line, sizeof line, "vt %.4f %.4f\n", uniform(0, 1), uniform(0, 1));
            out += line;
        }
        for (int i = 0; i < count; ++i, ++normals) {
            std::snprintf(line, sizeof line, "vn %.4f %.4f %.4f\n", uniform(-1, 1), uniform(-1, 1), uniform(-1, 1));
            out += line;
        }
    };
    auto ref = [&](int count) {
        int i = pick(1, count);
        return pick(0, 3) == 0 ? i - count - 1 : i;  // sometimes the negative spelling
    };
    add_attributes(8);
    for (int object = 0; object < 4; ++object) {
        out += "o part" + std::to_string(object) + "\n";
        add_attributes(pick(1, 6));
        int form = pick(0, 3);
        for (int face = pick(1, 12); face > 0; --face) {
            out += "f";
            for (int k = pick(3, 7); k > 0; --k) {
                int p = ref(positions), t = ref(texcoords), n = ref(normals);
                switch (form) {
                case 0: std::snprintf(line, sizeof line, " %d", p); break;
                case 1: std::snprintf(line, sizeof line, " %d/%d", p, t); break;
                case 2: std::snprintf(line, sizeof line, " %d/%d/%d", p, t, n); break;
                default: std::snprintf(line, sizeof line, " %d//%d", p, n); break;
                }
                out += line;
            }
            out += "\n";
        }
    }
    return out;
}

std::vector<corner> reference_corners(const std::string& text)
{
    tinyobj::ObjReaderConfig config;
    config.triangulate = false;
    config.vertex_color = false;
    tinyobj::ObjReader reader;
    EXPECT_TRUE(reader.ParseFromString(text, "", config)) << reader.Error();
    const tinyobj::attrib_t& a = reader.GetAttrib();
    std::vector<corner> out;
    auto make = [&](const tinyobj::index_t& i) {
        corner c{};
        for (int k = 0; k < 3; ++k) c.p[k] = a.vertices[3 * size_t(i.vertex_index) + k];
        if (i.texcoord_index >= 0)
            for (int k = 0; k < 2; ++k) c.t[k] = a.texcoords[2 * size_t(i.texcoord_index) + k];
        if (i.normal_index >= 0)
            for (int k = 0; k < 3; ++k) c.n[k] = a.normals[3 * size_t(i.normal_index) + k];
        return c;
    };
    for (const tinyobj::shape_t& shape : reader.GetShapes()) {
        size_t offset = 0;
        for (unsigned char fv : shape.mesh.num_face_vertices) {
            const auto* idx = &shape.mesh.indices[offset];
            for (size_t k = 2; k < fv; ++k) {
                out.push_back(make(idx[0]));
                out.push_back(make(idx[k - 1]));
                out.push_back(make(idx[k]));
            }
            offset += fv;
        }
    }
    return out;
}

}  // namespace

TEST(obj_differential, corners_match_tinyobjloader)
{
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        std::string text = generate_obj(seed);
        obj_mesh mesh;
        ASSERT_TRUE(mesh.load_obj_text(text, true));
        std::vector<corner> expected = reference_corners(text);
        ASSERT_EQ(size_t(mesh.group_starts.back()) * 3, expected.size()) << "seed " << seed;
        ASSERT_EQ(mesh.indices.size(), expected.size()) << "seed " << seed;
        for (size_t i = 0; i < expected.size(); ++i) {
            const obj_vertex& v = mesh.vertices[mesh.indices[i]];
            for (int k = 0; k < 3; ++k) ASSERT_NEAR(v.f[k], expected[i].p[k], 1e-5f) << "seed " << seed << " corner " << i;
            for (int k = 0; k < 2; ++k) ASSERT_NEAR(v.f[3 + k], expected[i].t[k], 1e-5f) << "seed " << seed;
        }
    }
}

TEST(obj_differential, file_normals_match_tinyobjloader)
{
    std::string text = generate_obj(99);
    obj_mesh mesh;
    mesh.load_obj_text(text, false);
    std::vector<corner> expected = reference_corners(text);
    ASSERT_EQ(mesh.indices.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        for (int k = 0; k < 3; ++k) ASSERT_NEAR(mesh.vertices[mesh.indices[i]].f[5 + k], expected[i].n[k], 1e-5f);
}
