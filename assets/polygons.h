// Reader of the simple polygon form of OBJ files the emitter clouds are built from: one block
// of `v` lines, then face lines whose references are an index plus exactly two non-blank
// characters ("7/4", "7//"). Faces come back as their corner points, nothing more.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "base/vecmath.h"

// One face: its corners in file order, each with state word 1.
using polygon = std::vector<vec3>;
using polygon_list = std::vector<polygon>;

// Replaces `polygons` with the faces of the file; a missing file leaves it empty.
// References outside 1..vertex count are skipped; a face left without corners is dropped.
void read_polygons(const std::string& path, polygon_list& polygons);
polygon_list parse_polygons(std::string_view text);
