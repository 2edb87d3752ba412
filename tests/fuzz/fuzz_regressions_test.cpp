#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/obj_mesh.h"
#include "assets/polygons.h"
#include "fuzz/reader_inputs.h"
#include "state/snapshot.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> saved_inputs(const std::string& reader)
{
    std::vector<fs::path> files;
    for (const char* kind : {"regressions", "corpus"}) {
        const fs::path dir = fs::path(THORNWAKE_SOURCE_DATA_DIR).parent_path() / "fuzz" / kind / reader;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(dir, ec))
            if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string file_bytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class saved_fuzz_inputs : public ::testing::TestWithParam<fuzz_reader> {};

TEST_P(saved_fuzz_inputs, every_input_reads_without_fault)
{
    const fuzz_reader& reader = GetParam();
    const std::vector<fs::path> files = saved_inputs(reader.name);
    // Each reader has seeds; none found means the folder moved and this test checks nothing.
    ASSERT_FALSE(files.empty()) << "no saved inputs for " << reader.name;
    for (const fs::path& p : files) {
        SCOPED_TRACE(p.string());
        const std::string bytes = file_bytes(p);
        reader.feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
}

INSTANTIATE_TEST_SUITE_P(readers, saved_fuzz_inputs, ::testing::ValuesIn(fuzz_readers().begin(), fuzz_readers().end()),
                         [](const auto& info) { return std::string(info.param.name); });

// Too large to keep as files: one face with 100,000 corners, fanned into triangles.
std::string hundred_thousand_corner_face(const char* suffix)
{
    std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf";
    for (int i = 0; i < 100000; ++i) text += " " + std::to_string(1 + i % 3) + suffix;
    return text + "\n";
}

TEST(huge_faces, obj_fans_every_corner)
{
    obj_mesh mesh;
    mesh.load_obj_text(hundred_thousand_corner_face(""), true);
    EXPECT_EQ(mesh.triangle_count, 99998);
    EXPECT_EQ(mesh.indices.size(), 3u * 99998);
    EXPECT_EQ(mesh.vertices.size(), 3u);
}

TEST(huge_faces, polygon_keeps_every_corner)
{
    const polygon_list faces = parse_polygons(hundred_thousand_corner_face("//"));
    ASSERT_EQ(faces.size(), 1u);
    EXPECT_EQ(faces[0].size(), 100000u);
}

// The snapshot seeds come from a second writer (make_seeds.py): those named valid must read,
// or the fuzzer never starts inside an accepted file; the damaged ones must not.
TEST(snapshot_seeds, only_the_valid_ones_read)
{
    const snapshot_shape shape{fuzz_snapshot_floats[0], fuzz_snapshot_floats[1], fuzz_snapshot_floats[2]};
    const fs::path dir = fs::path(THORNWAKE_SOURCE_DATA_DIR).parent_path() / "fuzz" / "corpus" / "snapshot";
    int valid = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string bytes = file_bytes(entry.path());
        const bool named_valid = entry.path().filename().string().starts_with("valid");
        std::string why;
        const bool reads = decode_snapshot({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()},
                                           fuzz_snapshot_key, shape, why).has_value();
        EXPECT_EQ(reads, named_valid) << entry.path() << ": " << why;
        valid += named_valid;
    }
    EXPECT_GE(valid, 4);
}

}  // namespace
