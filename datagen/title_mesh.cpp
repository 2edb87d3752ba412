#include "datagen/title_mesh.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "datagen/glyphs.h"
#include "datagen/output_file.h"

namespace {

constexpr char32_t title_text[] = U"THORNWAKE \u2022 BY QEL \u2022 MMXIII";
constexpr int pixel_size = 48;      // em in pixels: outlines stay smooth, meshes small
constexpr float depth_em = 0.22f;   // extrusion depth as a fraction of the em
constexpr float mark_em = 0.8f;     // star diameter
constexpr float gap_em = 0.45f;     // space between the text and the stars

constexpr double pi = std::numbers::pi;

// Lays the quarter out along arc length s in pixels: half a star's room, a gap, the text,
// a gap and the centre of this quarter's star at s = length. The next copy, a quarter turn
// on, puts its text in the room left at s < 0's mirror, so stars sit on the diagonals.
struct arc_layout {
    double length = 0, scale = 0;  // total pixels, mesh units per pixel
    double cap_centre = 0;         // pixels above the baseline that land on the radius

    // Pixel point (s along the arc, v above the baseline) to mesh coordinates. Angles go
    // clockwise from 135 degrees, so the text reads left to right over the top.
    std::array<float, 3> place(double s, double v, float z) const {
        const double angle = pi * 0.75 - (pi / 2) * s / length;
        const double r = title_radius + scale * (v - cap_centre);
        return {float(r * std::cos(angle)), float(r * std::sin(angle)), float(z * scale)};
    }
};

void bend(solid_mesh& mesh, const arc_layout& arc, double s0, double v0) {
    for (auto& p : mesh.positions) p = arc.place(s0 + p[0], v0 + p[1], p[2]);
}

std::string group_name(int index, char32_t c) {
    char name[32];
    if (c >= U'A' && c <= U'Z')
        std::snprintf(name, sizeof name, "letter%02d_%c", index, char(c));
    else
        std::snprintf(name, sizeof name, "mark%02d", index);
    return name;
}

}  // namespace

coverage_image closing_mark(int size) {
    coverage_image image{size, size, std::vector<float>(size_t(size) * size)};
    const double half = size / 2.0;
    const int sub = 4;  // 4 x 4 samples per pixel
    // Eight points reaching the edge, a hole of a fifth of the radius.
    auto inside = [&](double x, double y) {
        const double r = std::hypot(x, y) / half, a = std::atan2(y, x);
        const double star = 0.42 + 0.58 * std::pow(std::abs(std::cos(a * 4)), 3.0);
        return r < star * 0.98 && r > 0.2;
    };
    for (int row = 0; row < size; ++row)
        for (int col = 0; col < size; ++col) {
            int hits = 0;
            for (int i = 0; i < sub; ++i)
                for (int j = 0; j < sub; ++j)
                    hits += inside(col + (j + 0.5) / sub - half, half - (row + (i + 0.5) / sub));
            image.value[size_t(row) * size + col] = float(hits) / (sub * sub);
        }
    return image;
}

bool make_title_groups(std::vector<obj_group>& groups, std::string& error) {
    const std::u32string text = title_text;
    std::vector<glyph_image> glyphs;
    if (!render_glyphs(title_font_path, pixel_size, text, glyphs, error)) return false;

    const int mark_size = int(mark_em * pixel_size);
    const double gap = gap_em * pixel_size;
    double text_length = 0;
    int cap_top = 0;
    for (const glyph_image& g : glyphs) {
        text_length += g.advance;
        cap_top = std::max(cap_top, g.top);
    }
    arc_layout arc;
    arc.length = mark_size / 2.0 + gap + text_length + gap + mark_size / 2.0;
    arc.scale = title_radius * (pi / 2) / arc.length;
    arc.cap_centre = cap_top / 2.0;
    const float depth = depth_em * pixel_size;

    groups.clear();
    double pen = mark_size / 2.0 + gap;
    for (size_t i = 0; i < text.size(); ++i) {
        const glyph_image& g = glyphs[i];
        if (text[i] != U' ') {
            obj_group group{group_name(int(groups.size()), text[i]),
                            extrude_coverage(g.coverage, depth)};
            bend(group.mesh, arc, pen + g.left, g.top);
            groups.push_back(std::move(group));
        }
        pen += g.advance;
    }
    obj_group star{group_name(int(groups.size()), U'*'), extrude_coverage(closing_mark(mark_size), depth)};
    bend(star.mesh, arc, arc.length - mark_size / 2.0, arc.cap_centre + mark_size / 2.0);
    groups.push_back(std::move(star));
    if (int(groups.size()) != title_group_count) {
        error = "title text gives " + std::to_string(groups.size()) + " groups, not 23";
        return false;
    }
    return true;
}

std::string encode_obj(const std::vector<obj_group>& groups, const std::string& comment) {
    std::string out = "# " + comment + "\n";
    char line[128];
    int base = 1;
    for (const obj_group& g : groups) {
        out += "o " + g.name + "\n";
        for (const auto& p : g.mesh.positions) {
            std::snprintf(line, sizeof line, "v %.5f %.5f %.5f\n", p[0], p[1], p[2]);
            out += line;
        }
        for (const auto& t : g.mesh.triangles) {
            std::snprintf(line, sizeof line, "f %d %d %d\n", t[0] + base, t[1] + base, t[2] + base);
            out += line;
        }
        base += int(g.mesh.positions.size());
    }
    return out;
}

bool generate_title_mesh(const std::filesystem::path& out_dir, std::string& error) {
    std::vector<obj_group> groups;
    if (!make_title_groups(groups, error)) return false;
    return write_output(out_dir, "newneomeshes/thornwake.obj",
                        encode_obj(groups, "thornwake title letters: 23 groups, normals left to the loader"),
                        error);
}
