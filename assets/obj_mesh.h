// Indexed triangle mesh read from Wavefront OBJ text: 60-byte interleaved vertices welded by
// position index, and object groups as triangle ranges. Parsing never touches GL; only
// draw_group does (client-side arrays, so the mesh needs no upload step).
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Position 0-2, texture coordinate 3-4, normal 5-7; 8-14 stay zero but take part in the
// stride and in the welding comparison.
struct obj_vertex {
    float f[15] = {};
};
static_assert(sizeof(obj_vertex) == 60, "the draw code relies on a 60-byte stride");

struct obj_mesh {
    // Triangle number where each `o` group starts, then the total. Triangles before the
    // first `o` belong to no group.
    std::vector<int32_t> group_starts;
    bool ready = false;
    bool has_positions = false;
    bool has_texcoords = false;
    bool has_normals = false;
    int32_t position_count = 0;
    int32_t texcoord_count = 0;
    int32_t normal_count = 0;
    int32_t triangle_count = 0;
    std::vector<obj_vertex> vertices;
    std::vector<uint32_t> indices;
    std::vector<float> raw_positions;
    std::vector<float> raw_texcoords;
    std::vector<float> raw_normals;
    std::map<int32_t, std::vector<int32_t>> vertex_lookup;

    // Reads a file into this (empty) mesh. False, and the mesh stays empty, when the file
    // cannot be opened. Registers the file in the asset table as a mesh.
    bool load_obj(const std::string& path, bool force_normals);
    // Same as load_obj on bytes already in memory; always true.
    bool load_obj_text(std::string_view text, bool force_normals);

    // Area-weighted smooth normals over welded corners, then normalised; sets has_normals.
    void generate_normals();

    // Draws object group `group`, or every group when negative. Needs a current GL context
    // with glDrawElementsInstancedEXT (or core instancing) available.
    void draw_group(int32_t group) const;
};

// Index range one group draws: `first` index into `indices` and `count` indices.
struct obj_draw_range {
    int64_t first = 0;
    int64_t count = 0;
};

// The ranges draw_group(group) issues, in order, after clamping the group numbers and
// dropping anything that would fall outside `indices`. Pure, so it is testable without GL.
std::vector<obj_draw_range> group_draw_ranges(const obj_mesh& mesh, int32_t group);
