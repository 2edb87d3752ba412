#include "datagen/extrude.h"

#include <algorithm>
#include <map>
#include <tuple>

float coverage_image::at(int column, int row) const {
    if (column < 0 || row < 0 || column >= width || row >= height) return 0;
    return value[size_t(row) * width + column];
}

namespace {

constexpr float iso = 0.5f;

enum layer { front, back, wall_front, wall_back };

// A point of the marching-squares lattice: a sample (kind 0) or the crossing on the edge
// from sample (x, y) to its right (kind 1) or upper (kind 2) neighbour. Lattice y runs up.
struct lattice_point {
    int kind, x, y;
    auto operator<=>(const lattice_point&) const = default;
};

class extruder {
public:
    extruder(const coverage_image& image, float depth) : image_(image), half_(depth / 2) {}

    solid_mesh run() {
        for (int y = -1; y <= image_.height; ++y)
            for (int x = -1; x <= image_.width; ++x) cell(x, y);
        return std::move(mesh_);
    }

private:
    // Lattice sample (x, y) is pixel (x, height - 1 - y): flipped so y runs up.
    float sample(int x, int y) const { return image_.at(x, image_.height - 1 - y); }
    bool inside(int x, int y) const { return sample(x, y) > iso; }

    std::array<float, 2> place(const lattice_point& p) const {
        float x = float(p.x), y = float(p.y);
        if (p.kind != 0) {
            const int x1 = p.kind == 1 ? p.x + 1 : p.x, y1 = p.kind == 2 ? p.y + 1 : p.y;
            const float a = sample(p.x, p.y), b = sample(x1, y1);
            // Kept off the samples so no crossing lands on a corner: no zero-area triangles.
            const float t = std::clamp((iso - a) / (b - a), 0.02f, 0.98f);
            (p.kind == 1 ? x : y) += t;
        }
        return {x + 0.5f, y + 0.5f - float(image_.height)};
    }

    int vertex(const lattice_point& p, layer l) {
        auto [it, added] = index_.try_emplace({p, l}, int(mesh_.positions.size()));
        if (added) {
            const auto xy = place(p);
            const bool at_front = l == front || l == wall_front;
            mesh_.positions.push_back({xy[0], xy[1], at_front ? half_ : -half_});
        }
        return it->second;
    }

    void triangle(int a, int b, int c) { mesh_.triangles.push_back({a, b, c}); }

    // The cell's inside part, walked counter-clockwise: corners that are inside and the
    // crossings between them. Every such region is convex, so a fan covers it.
    void cell(int x, int y) {
        const int cx[4] = {x, x + 1, x + 1, x}, cy[4] = {y, y, y + 1, y + 1};
        const lattice_point crossings[4] = {{1, x, y}, {2, x + 1, y}, {1, x, y + 1}, {2, x, y}};
        std::vector<std::pair<lattice_point, bool>> ring;  // point, is a crossing
        for (int c = 0; c < 4; ++c) {
            const bool in = inside(cx[c], cy[c]);
            if (in) ring.push_back({{0, cx[c], cy[c]}, false});
            if (in != inside(cx[(c + 1) % 4], cy[(c + 1) % 4])) ring.push_back({crossings[c], true});
        }
        const int n = int(ring.size());
        if (n < 3) return;
        for (int i = 1; i + 1 < n; ++i) {
            triangle(vertex(ring[0].first, front), vertex(ring[i].first, front),
                     vertex(ring[i + 1].first, front));
            triangle(vertex(ring[0].first, back), vertex(ring[i + 1].first, back),
                     vertex(ring[i].first, back));
        }
        // Two crossings in a row bound the region: the outside is on the right of p -> q.
        for (int i = 0; i < n; ++i) {
            const auto& [p, p_crossing] = ring[i];
            const auto& [q, q_crossing] = ring[(i + 1) % n];
            if (!p_crossing || !q_crossing) continue;
            const int pf = vertex(p, wall_front), pb = vertex(p, wall_back);
            const int qf = vertex(q, wall_front), qb = vertex(q, wall_back);
            triangle(pf, pb, qb);
            triangle(pf, qb, qf);
        }
    }

    const coverage_image& image_;
    float half_;
    solid_mesh mesh_;
    std::map<std::pair<lattice_point, layer>, int> index_;
};

}  // namespace

solid_mesh extrude_coverage(const coverage_image& image, float depth) {
    return extruder(image, depth).run();
}
