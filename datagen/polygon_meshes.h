// The two emitter meshes, written in the simple polygon-file form the particle clouds read:
// a header, one block of "v" lines, then only face lines whose references are an index
// followed by exactly two characters ("7/4" or "7//").
#pragma once
#include <array>
#include <filesystem>
#include <string>
#include <vector>

struct polygon_mesh {
    std::vector<std::array<float, 3>> positions;
    std::vector<std::vector<int>> faces;  // 0-based, counter-clockwise seen from outside
};

polygon_mesh make_box();   // a cube of side 2 around the origin, six quads
polygon_mesh make_head();  // a low-poly human head looking along +z, about 1000 faces

// The head's surface as a signed distance (negative inside), in head units.
float head_distance(float x, float y, float z);

// Box references carry the one-character texture index of the face corner ("7/4").
std::string encode_box(const polygon_mesh& box);
// Head references carry no texture ("7//").
std::string encode_head(const polygon_mesh& head);

bool generate_box(const std::filesystem::path& out_dir, std::string& error);
bool generate_head(const std::filesystem::path& out_dir, std::string& error);
