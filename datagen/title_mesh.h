// The title letters "newneomeshes/thornwake.obj": 23 object groups, 22 characters of the
// title and a closing star, laid out along a quarter circle so that the show's four
// rotated copies make a ring of lettering. Group 22 is the star, the one that stays.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "datagen/extrude.h"

inline constexpr int title_group_count = 23;
// Radius of the lettering's centre line in mesh units. The show draws the mesh scaled by
// 0.06 at z 1.64, seen from z 5 with a 45 degree field of view: about 23 mesh units from
// the centre to the top of the screen.
inline constexpr float title_radius = 18.5f;

struct obj_group {
    std::string name;
    solid_mesh mesh;
};

// The star with a round hole that closes the ring, as coverage (size x size pixels).
coverage_image closing_mark(int size);

bool make_title_groups(std::vector<obj_group>& groups, std::string& error);

// "o" per group, shared "v" lines per group, triangles as "f a b c"; no normals.
std::string encode_obj(const std::vector<obj_group>& groups, const std::string& comment);

bool generate_title_mesh(const std::filesystem::path& out_dir, std::string& error);
