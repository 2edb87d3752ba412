// The meshes as the show's own readers see them: the title letters through load_obj, the
// box and the head through the polygon reader.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <numbers>

#include "assets/obj_mesh.h"
#include "assets/polygons.h"
#include "datagen/extrude.h"
#include "datagen/polygon_meshes.h"
#include "datagen/title_mesh.h"

namespace {

using point = std::array<float, 3>;
using triangle = std::array<int, 3>;

// Every edge of a closed, consistently wound surface is used once in each direction.
// Corners are matched by position, because the walls have vertices of their own.
void expect_closed(const std::vector<point>& positions, const std::vector<triangle>& triangles) {
    std::map<std::array<long, 3>, int> ids;
    std::vector<int> id(positions.size());
    for (size_t i = 0; i < positions.size(); ++i) {
        std::array<long, 3> key;
        for (int c = 0; c < 3; ++c) key[c] = std::lround(positions[i][c] * 1e4);
        id[i] = ids.try_emplace(key, int(ids.size())).first->second;
    }
    std::map<std::pair<int, int>, int> edges;
    for (const triangle& t : triangles)
        for (int k = 0; k < 3; ++k) ++edges[{id[t[k]], id[t[(k + 1) % 3]]}];
    int unmatched = 0;
    for (const auto& [edge, uses] : edges)
        if (uses != 1 || edges.count({edge.second, edge.first}) == 0 ||
            edges.at({edge.second, edge.first}) != 1)
            ++unmatched;
    EXPECT_EQ(unmatched, 0);
}

double signed_volume(const std::vector<point>& p, const std::vector<triangle>& triangles) {
    double v = 0;
    for (const triangle& t : triangles) {
        const point &a = p[t[0]], &b = p[t[1]], &c = p[t[2]];
        v += a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
             a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    return v / 6;
}

coverage_image ring_image() {
    coverage_image image{40, 30, std::vector<float>(40 * 30)};
    for (int r = 0; r < 30; ++r)
        for (int c = 0; c < 40; ++c) {
            const double d = std::hypot(c - 19.5, r - 14.5);
            image.value[r * 40 + c] = float(std::clamp(std::min(12 - d, d - 5) + 0.5, 0.0, 1.0));
        }
    return image;
}

struct loaded_title {
    obj_mesh mesh;
    loaded_title() {
        std::vector<obj_group> groups;
        std::string error;
        EXPECT_TRUE(make_title_groups(groups, error)) << error;
        mesh.load_obj_text(encode_obj(groups, "test"), false);
    }
    std::vector<point> positions() const {
        std::vector<point> out;
        for (const obj_vertex& v : mesh.vertices) out.push_back({v.f[0], v.f[1], v.f[2]});
        return out;
    }
    std::vector<triangle> group(int g) const {
        std::vector<triangle> out;
        for (int t = mesh.group_starts[g]; t < mesh.group_starts[g + 1]; ++t)
            out.push_back({int(mesh.indices[3 * t]), int(mesh.indices[3 * t + 1]),
                           int(mesh.indices[3 * t + 2])});
        return out;
    }
};

const loaded_title& title() {
    static const loaded_title t;
    return t;
}

double degrees(double x, double y) { return std::atan2(y, x) * 180 / std::numbers::pi; }

}  // namespace

TEST(Extrusion, RingWithHoleIsAClosedSolidOfTheRightVolume) {
    const solid_mesh mesh = extrude_coverage(ring_image(), 4);
    expect_closed(mesh.positions, mesh.triangles);
    const double area = std::numbers::pi * (12 * 12 - 5 * 5);
    EXPECT_NEAR(signed_volume(mesh.positions, mesh.triangles), area * 4, area * 4 * 0.03);
}

TEST(Extrusion, EmptyImageGivesNothingAndFullImageABox) {
    EXPECT_TRUE(extrude_coverage({3, 3, std::vector<float>(9, 0.0f)}, 1).triangles.empty());
    const solid_mesh box = extrude_coverage({3, 2, std::vector<float>(6, 1.0f)}, 1);
    expect_closed(box.positions, box.triangles);
    EXPECT_GT(signed_volume(box.positions, box.triangles), 0);
}

TEST(TitleMesh, LoadsAsTwentyThreeClosedGroupsWithDepth) {
    const obj_mesh& mesh = title().mesh;
    ASSERT_TRUE(mesh.ready);
    ASSERT_EQ(mesh.group_starts.size(), size_t(title_group_count + 1));
    EXPECT_EQ(mesh.group_starts.front(), 0);
    EXPECT_FALSE(mesh.raw_normals.size());  // normals come from the loader
    const auto positions = title().positions();
    for (int g = 0; g < title_group_count; ++g) {
        SCOPED_TRACE(g);
        const auto triangles = title().group(g);
        ASSERT_GT(triangles.size(), 20u);
        expect_closed(positions, triangles);
        EXPECT_GT(signed_volume(positions, triangles), 0);
        float z_min = 1e9f, z_max = -1e9f;
        for (const triangle& t : triangles)
            for (int k : t) z_min = std::min(z_min, positions[k][2]), z_max = std::max(z_max, positions[k][2]);
        EXPECT_GT(z_max - z_min, 0.2f);
    }
}

TEST(TitleMesh, FrontFacesShadeFlatAfterNormalGeneration) {
    float z_max = -1e9f;
    for (const obj_vertex& v : title().mesh.vertices) z_max = std::max(z_max, v.f[2]);
    int front = 0;
    for (const obj_vertex& v : title().mesh.vertices) {
        if (v.f[2] < z_max - 1e-4f || std::abs(v.f[7]) < 0.5f) continue;  // walls lean sideways
        ++front;
        EXPECT_NEAR(v.f[7], 1.0f, 1e-4f);
    }
    EXPECT_GT(front, 1000);
}

// The show draws four copies turned by quarter turns: each group must stay inside its
// quarter, in reading order, with the star on the diagonal and clear of both neighbours.
TEST(TitleMesh, GroupsFollowAQuarterArcAndTheStarClosesIt) {
    const auto positions = title().positions();
    double previous = 1e9, text_max = -1e9, text_min = 1e9, star_half = 0;
    for (int g = 0; g < title_group_count; ++g) {
        SCOPED_TRACE(g);
        double sx = 0, sy = 0, lo = 1e9, hi = -1e9;
        int n = 0;
        for (const triangle& t : title().group(g))
            for (int k : t) {
                sx += positions[k][0], sy += positions[k][1], ++n;
                const double a = degrees(positions[k][0], positions[k][1]);
                lo = std::min(lo, a), hi = std::max(hi, a);
            }
        const double centre = degrees(sx / n, sy / n);
        EXPECT_NEAR(std::hypot(sx / n, sy / n), title_radius, 1.5);
        EXPECT_LT(centre, previous);
        previous = centre;
        if (g == title_group_count - 1) {
            EXPECT_NEAR(centre, 45, 0.5);
            star_half = (hi - lo) / 2;
        } else {
            text_max = std::max(text_max, hi), text_min = std::min(text_min, lo);
        }
    }
    EXPECT_GT(text_min, 45 + star_half);
    EXPECT_LT(text_max, 135 - star_half);
}

TEST(BoxFile, ReadsAsSixOutwardQuadsOfTheCube) {
    const polygon_list faces = parse_polygons(encode_box(make_box()));
    ASSERT_EQ(faces.size(), 6u);
    for (const polygon& face : faces) {
        ASSERT_EQ(face.size(), 4u);
        vec3 centre{};
        for (const vec3& p : face) {
            EXPECT_EQ(std::abs(p.x), 1.0f);
            EXPECT_EQ(std::abs(p.y), 1.0f);
            EXPECT_EQ(std::abs(p.z), 1.0f);
            centre = add(centre, scale(p, 0.25f));
        }
        const vec3 n = cross(subtract(face[1], face[0]), subtract(face[2], face[0]));
        EXPECT_GT(n.x * centre.x + n.y * centre.y + n.z * centre.z, 0);
    }
}

TEST(HeadFile, ReadsBackFaceForFaceAndIsAClosedHead) {
    const polygon_mesh head = make_head();
    EXPECT_GE(head.faces.size(), 300u);
    EXPECT_LE(head.faces.size(), 3000u);
    const polygon_list faces = parse_polygons(encode_head(head));
    ASSERT_EQ(faces.size(), head.faces.size());
    for (size_t f = 0; f < faces.size(); ++f) {
        ASSERT_EQ(faces[f].size(), head.faces[f].size());
        const auto& p = head.positions[head.faces[f][0]];
        EXPECT_NEAR(faces[f][0].x, p[0], 1e-4);
        EXPECT_NEAR(faces[f][0].z, p[2], 1e-4);
    }
    std::vector<triangle> triangles;
    for (const auto& face : head.faces)
        for (size_t k = 1; k + 1 < face.size(); ++k) triangles.push_back({face[0], face[k], face[k + 1]});
    expect_closed(head.positions, triangles);
    EXPECT_GT(signed_volume(head.positions, triangles), 1.0);
}

// A head, not a ball: the nose is the front-most point, in the middle, below the eyes; the
// ears are the widest points; the face is symmetric.
TEST(HeadFile, HasNoseEarsAndSymmetry) {
    const polygon_mesh head = make_head();
    point nose = head.positions[0], ear = head.positions[0];
    for (const point& p : head.positions) {
        if (p[2] > nose[2]) nose = p;
        if (std::abs(p[0]) > std::abs(ear[0])) ear = p;
    }
    EXPECT_LT(std::abs(nose[0]), 0.05f);
    EXPECT_LT(nose[1], 0.0f);
    EXPECT_GT(nose[1], -0.5f);
    EXPECT_GT(std::abs(ear[0]), 0.78f);
    EXPECT_LT(std::abs(ear[2]), 0.3f);
    int unmirrored = 0;
    for (const point& p : head.positions) {
        double nearest = 1e9;
        for (const point& q : head.positions)
            nearest = std::min(nearest, double(std::hypot(p[0] + q[0], p[1] - q[1], p[2] - q[2])));
        unmirrored += nearest > 1e-3;
    }
    EXPECT_EQ(unmirrored, 0);
}

TEST(MeshFiles, AreByteIdenticalOnEveryRun) {
    std::vector<obj_group> a, b;
    std::string error;
    ASSERT_TRUE(make_title_groups(a, error));
    ASSERT_TRUE(make_title_groups(b, error));
    EXPECT_EQ(encode_obj(a, "x"), encode_obj(b, "x"));
    EXPECT_EQ(encode_head(make_head()), encode_head(make_head()));
}
