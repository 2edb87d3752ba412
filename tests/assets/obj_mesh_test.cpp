#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "assets/obj_mesh.h"

namespace {

obj_mesh load(const std::string& text, bool force_normals = false)
{
    obj_mesh m;
    m.load_obj_text(text, force_normals);
    return m;
}

std::vector<uint32_t> stored_indices(const obj_mesh& m)
{
    return {m.indices.begin(), m.indices.begin() + 3 * m.group_starts.back()};
}

float pos(const obj_mesh& m, size_t corner, int axis) { return m.vertices[m.indices[corner]].f[axis]; }

const char* square = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";

}  // namespace

TEST(obj_faces, quad_is_a_fan_around_its_first_corner)
{
    obj_mesh m = load(std::string(square) + "f 1 2 3 4\n");
    ASSERT_EQ(m.triangle_count, 2);
    EXPECT_EQ(m.indices, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(m.vertices.size(), 4u);
}

TEST(obj_faces, negative_indices_count_back_from_what_was_read)
{
    obj_mesh m = load("v 9 9 9\nv 0 0 0\nv 1 0 0\nf -3 -2 -1\nv 0 1 0\nf -3 -2 -1\n");
    ASSERT_EQ(m.group_starts.back(), 2);
    EXPECT_EQ(pos(m, 0, 0), 9.0f);
    EXPECT_EQ(pos(m, 2, 0), 1.0f);
    EXPECT_EQ(pos(m, 3, 0), 0.0f);  // second face: positions 1, 2, 3
    EXPECT_EQ(pos(m, 5, 1), 1.0f);
}

TEST(obj_faces, all_four_reference_forms_take_their_attributes)
{
    std::string head = std::string(square) + "vt 0.25 0.5\nvt 0.75 1\nvn 0 0 1\nvn 0 1 0\n";
    obj_mesh ptn = load(head + "f 1/1/1 2/2/2 3/1/2\n");
    EXPECT_EQ(ptn.vertices[ptn.indices[1]].f[3], 0.75f);
    EXPECT_EQ(ptn.vertices[ptn.indices[1]].f[6], 1.0f);
    obj_mesh pt = load(head + "f 1/2 2/1 3/1\n");
    EXPECT_EQ(pt.vertices[pt.indices[0]].f[4], 1.0f);
    obj_mesh pn = load(head + "f 1//2 2//2 3//1\n");
    EXPECT_EQ(pn.vertices[pn.indices[0]].f[3], 0.0f);
    EXPECT_EQ(pn.vertices[pn.indices[2]].f[7], 1.0f);
    obj_mesh p = load(head + "f 1 2 3\n");
    EXPECT_EQ(p.group_starts.back(), 1);
    // A file with vn lines keeps its normals; a position-only face leaves them zero.
    EXPECT_EQ(p.vertices[0].f[7], 0.0f);
}

TEST(obj_welding, same_position_and_attributes_share_a_vertex)
{
    std::string head = std::string(square) + "vn 0 0 1\nvn 0 0 -1\n";
    obj_mesh same = load(head + "f 1//1 2//1 3//1\nf 1//1 3//1 4//1\n");
    EXPECT_EQ(same.vertices.size(), 4u);
    obj_mesh different = load(head + "f 1//1 2//1 3//1\nf 1//2 3//2 4//2\n");
    EXPECT_EQ(different.vertices.size(), 6u);
    EXPECT_EQ(different.vertex_lookup.at(0).size(), 2u);
    // Equal coordinates on two v lines are still two positions.
    obj_mesh twins = load("v 0 0 0\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 3 4\nf 2 3 4\n");
    EXPECT_EQ(twins.vertices.size(), 4u);
}

TEST(obj_groups, starts_with_and_without_objects)
{
    std::string tri = "f 1 2 3\n";
    obj_mesh two = load(std::string(square) + "o a\n" + tri + tri + "o b\n" + tri);
    EXPECT_EQ(two.group_starts, (std::vector<int32_t>{0, 2, 3}));
    obj_mesh none = load(std::string(square) + tri + tri);
    EXPECT_EQ(none.group_starts, (std::vector<int32_t>{2}));
    obj_mesh late = load(std::string(square) + tri + "o a\n" + tri);
    EXPECT_EQ(late.group_starts, (std::vector<int32_t>{1, 2}));
}

TEST(obj_groups, draw_ranges_clamp_the_group_number)
{
    obj_mesh m;
    m.ready = true;
    m.group_starts = {0, 120, 300};
    m.indices.assign(900, 0);
    auto one = group_draw_ranges(m, 1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].first, 360);
    EXPECT_EQ(one[0].count, 540);
    EXPECT_TRUE(group_draw_ranges(m, 2).empty());
    EXPECT_TRUE(group_draw_ranges(m, INT32_MAX).empty());
    EXPECT_EQ(group_draw_ranges(m, -1).size(), 2u);
    m.group_starts = {300};
    EXPECT_TRUE(group_draw_ranges(m, -1).empty());
    EXPECT_TRUE(group_draw_ranges(obj_mesh{}, -1).empty());
    // Starts beyond the stored triangles never reach past the index array.
    m.group_starts = {0, 5000};
    EXPECT_EQ(group_draw_ranges(m, 0)[0].count, 900);
}

TEST(obj_normals, single_triangle_faces_plus_z)
{
    obj_mesh m = load("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    ASSERT_TRUE(m.has_normals);
    for (const obj_vertex& v : m.vertices) {
        EXPECT_EQ(v.f[5], 0.0f);
        EXPECT_EQ(v.f[6], 0.0f);
        EXPECT_EQ(v.f[7], 1.0f);
    }
}

TEST(obj_normals, area_weighted_and_forced_over_file_normals)
{
    // A big triangle in z = 0 and a small one in x = 0 share corner 1; the big one dominates.
    const char* text = "v 0 0 0\nv 4 0 0\nv 0 4 0\nv 0 0 1\nv 0 1 0\nvn 1 0 0\n"
                       "f 1//1 2//1 3//1\nf 1//1 4//1 5//1\n";
    obj_mesh kept = load(text);
    EXPECT_EQ(kept.vertices[0].f[5], 1.0f);
    obj_mesh forced = load(text, true);
    const float* n = &forced.vertices[0].f[5];
    EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0f, 1e-6f);
    EXPECT_GT(n[2], 0.9f);
    EXPECT_LT(n[0], -0.05f);
}

TEST(obj_failures, missing_file_leaves_the_mesh_empty)
{
    obj_mesh m;
    EXPECT_FALSE(m.load_obj("/nonexistent/thornwake.obj", false));
    EXPECT_FALSE(m.ready);
    EXPECT_TRUE(m.group_starts.empty());
}

TEST(obj_failures, bad_faces_are_dropped_and_leave_zero_entries)
{
    // Index 0, an index past the list, and a face cut short by the next keyword.
    obj_mesh m = load(std::string(square) + "o a\nf 0 1 2\nf 1 2 9\nf 1 2\nf 2 3 4\n");
    EXPECT_EQ(m.group_starts, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(stored_indices(m), (std::vector<uint32_t>{0, 1, 2}));  // from f 2 3 4
    EXPECT_EQ(m.indices.size(), 3u * m.triangle_count);
    for (size_t i = 3; i < m.indices.size(); ++i) EXPECT_EQ(m.indices[i], 0u);
}

TEST(obj_untrusted, hostile_bytes_never_read_out_of_range)
{
    const std::string cases[] = {
        std::string("v 1 2 3\0v 4 5 6\nf 1 2 3\n", 24),
        "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nf 1 2 3\r\n",
        "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3",
        "v nan inf 1e999\nv -inf 0 0\nv 0 1 0\nf 1 2 3\n",
        "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 2147483647 -2147483648 99999999999\nf 1 2 -2147483647\n",
        "v f 1 2 3 4 5 6 7\nv 0 0 0\nf 1 1 1\n",
        "v 1 2 3 v v v v\nf 1 1 1 1 1\n",
        "vt 1\nvn\nf 1/1/1 1/1/1 1/1/1\n",
        "f\n", "o", "f 1//", "v", std::string(600, 'v') + " 1 2 3\nf 1 1 1\n",
        "f " + std::string(300, '1') + " 1 1\n",
    };
    for (const std::string& text : cases) {
        obj_mesh m = load(text);
        ASSERT_TRUE(m.ready);
        ASSERT_FALSE(m.group_starts.empty());
        for (uint32_t i : stored_indices(m)) ASSERT_LT(i, m.vertices.size());
        ASSERT_EQ(m.raw_positions.size(), 3u * m.position_count);
    }
}
