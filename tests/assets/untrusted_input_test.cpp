// Every reader meets mutated versions of well-formed files: bytes flipped, cut, duplicated.
// The checks are the ones a crash or an out-of-range read would break; under ASan this is
// the fuzz run for the readers.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "assets/obj_mesh.h"
#include "assets/polygons.h"
#include "assets/recorded_path.h"

namespace {

const char* obj_seed =
    "# mesh\nmtllib x.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 1\nvn 0 0 1\n"
    "o first\nf 1/1/1 2/2/1 3/1/1 4/2/1\ng side\ns 1\no second\nf -4//1 -3//1 -2//1\nf 1 2 3\n"
    "f 1/2 2/2 4/1\n";

const char* polygon_seed = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nf 1/1 2/1 3/1 4/1\nf 4// 3// 2//\n";

std::string mutate(std::string s, std::mt19937& rng)
{
    const char alphabet[] = "0123456789-+/ \n\r\t.efvnto#\0xX9e99nanINF";
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
    for (int edits = int(pick(6)) + 1; edits > 0 && !s.empty(); --edits) {
        switch (pick(4)) {
        case 0: s[pick(s.size())] = alphabet[pick(sizeof alphabet - 1)]; break;
        case 1: s.erase(pick(s.size()), pick(8)); break;
        case 2: s.insert(pick(s.size()), s.substr(pick(s.size()), pick(40))); break;
        default: s.resize(pick(s.size())); break;
        }
    }
    return s;
}

}  // namespace

TEST(untrusted_input, obj_reader_survives_mutations)
{
    std::mt19937 rng(1234);
    for (int i = 0; i < 3000; ++i) {
        std::string text = mutate(obj_seed, rng);
        obj_mesh m;
        ASSERT_TRUE(m.load_obj_text(text, i % 2 == 0));
        ASSERT_FALSE(m.group_starts.empty());
        ASSERT_LE(size_t(m.group_starts.back()) * 3, m.indices.size());
        for (size_t k = 0; k < size_t(m.group_starts.back()) * 3; ++k) ASSERT_LT(m.indices[k], m.vertices.size());
        ASSERT_EQ(m.raw_texcoords.size(), 2u * m.texcoord_count);
        ASSERT_EQ(m.raw_normals.size(), 3u * m.normal_count);
        for (const obj_draw_range& r : group_draw_ranges(m, -1))
            ASSERT_LE(size_t(r.first + r.count), m.indices.size());
    }
}

TEST(untrusted_input, polygon_reader_survives_mutations)
{
    std::mt19937 rng(99);
    for (int i = 0; i < 3000; ++i) {
        polygon_list l = parse_polygons(mutate(polygon_seed, rng));
        for (const polygon& p : l) {
            ASSERT_FALSE(p.empty());
            for (const vec3& v : p) ASSERT_EQ(v.state, uint32_t(vec_set));
        }
    }
}

TEST(untrusted_input, path_reader_takes_any_bytes)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 300; ++i) {
        std::string bytes(std::uniform_int_distribution<size_t>(0, 28 * 60)(rng), '\0');
        for (char& c : bytes) c = char(rng());
        recorded_path path;
        path.load_path_bytes(bytes);
        ASSERT_EQ(path.points.size(), bytes.size() / 28);
        ASSERT_EQ(path.channel.size(), path.points.size());
    }
}
