// Turns a coverage image (a glyph or a mark, 0 outside .. 1 inside) into a closed solid:
// the region above one half, traced with interpolated marching squares, as a front face,
// a back face and side walls. Pure geometry; no files, no fonts.
#pragma once
#include <array>
#include <vector>

struct coverage_image {
    int width = 0, height = 0;
    std::vector<float> value;  // row-major, row 0 at the top
    float at(int column, int row) const;  // 0 outside the image
};

struct solid_mesh {
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<int, 3>> triangles;  // counter-clockwise seen from outside
};

// Pixel (c, r) has its centre at (c + 0.5, -(r + 0.5)): x right, y up, the image's top-left
// corner at the origin. Faces lie at z = ±depth / 2. The side walls get their own vertices,
// so smooth normals stay flat on the faces and round only along the outline.
solid_mesh extrude_coverage(const coverage_image& image, float depth);
