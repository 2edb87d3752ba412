#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "assets/polygons.h"

namespace {

const char* header = "# box\nmtllib box.mtl\nv 1 0 0\nv 2 0 0\nv 3 0 0\nv 4 0 0\nv 5 0 0\nv 6 0 0\nv 7 0 0\n"
                     "vt 0 0\nvn 0 1 0\nusemtl side\ns off\n";

std::vector<float> xs(const polygon& p)
{
    std::vector<float> out;
    for (const vec3& v : p) out.push_back(v.x);
    return out;
}

}  // namespace

TEST(polygon_reader, texture_and_normal_reference_forms)
{
    polygon_list l = parse_polygons(std::string(header) + "f 1/1 2/2 3/3 4/4\nf 5// 6// 7//\n");
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(xs(l[0]), (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(xs(l[1]), (std::vector<float>{5, 6, 7}));
    for (const vec3& v : l[0]) EXPECT_EQ(v.state, uint32_t(vec_set));
}

TEST(polygon_reader, file_ending_inside_a_reference_keeps_the_rest_of_the_face)
{
    polygon_list l = parse_polygons(std::string(header) + "f 1/1 2/1 3/1\nf 4/1 5/1 6");
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(xs(l[1]), (std::vector<float>{4, 5}));
    // No trailing newline and CR LF line ends read the same.
    polygon_list crlf = parse_polygons("v 1 0 0\r\nv 2 0 0\r\nv 3 0 0\r\nf 1/1 2/1 3/1");
    ASSERT_EQ(crlf.size(), 1u);
    EXPECT_EQ(xs(crlf[0]), (std::vector<float>{1, 2, 3}));
}

TEST(polygon_reader, out_of_range_indices_are_skipped)
{
    polygon_list l = parse_polygons(std::string(header) +
                                    "f 0/1 1/1 8/1 2147483647/1 -2147483648/1 99999999999/1 2/1\nf 9/1 9/1\n");
    ASSERT_EQ(l.size(), 1u);  // a face with no valid corner is dropped
    EXPECT_EQ(xs(l[0]), (std::vector<float>{1, 2}));
}

TEST(polygon_reader, a_failed_read_keeps_the_faces_before_it)
{
    polygon_list l = parse_polygons(std::string(header) + "f 1/1 2/1 3/1\nf 4/1 x/1 6/1\n");
    ASSERT_EQ(l.size(), 1u);
    EXPECT_TRUE(parse_polygons("").empty());
    EXPECT_TRUE(parse_polygons("v 1 2").empty());
    EXPECT_TRUE(parse_polygons("v 1 2 3\nv 4 5 6\n").empty());
}

TEST(polygon_reader, file_wrapper_replaces_the_list)
{
    polygon_list l(3);
    read_polygons("/nonexistent/thegoodbox.obj", l);
    EXPECT_TRUE(l.empty());
    std::string path = std::string(THORNWAKE_BINARY_DIR) + "/polygon_reader_test.obj";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fputs("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1/1 2/1 3/1 4/1\n", f);
    std::fclose(f);
    read_polygons(path, l);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_EQ(l[0].size(), 4u);
    std::remove(path.c_str());
}
