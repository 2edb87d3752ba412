#include "assets/polygons.h"

#include "assets/asset_registry.h"
#include "assets/file_bytes.h"
#include "assets/text_cursor.h"

namespace {

bool skip_to_token(text_cursor& in, std::string_view& tok, std::string_view wanted)
{
    while (tok != wanted) {
        if (!in.token(tok)) return false;
    }
    return true;
}

polygon corners_of(const std::vector<int32_t>& refs, const std::vector<vec3>& vertices)
{
    polygon face;
    face.reserve(refs.size());
    for (int32_t r : refs) {
        // Indices are 1-based; anything outside the vertex block names no point.
        if (r < 1 || static_cast<size_t>(r) > vertices.size()) continue;
        face.push_back(vertices[size_t(r) - 1]);
    }
    return face;
}

}  // namespace

polygon_list parse_polygons(std::string_view text)
{
    polygon_list polygons;
    text_cursor in{std::string(text)};
    std::string_view tok;
    if (!skip_to_token(in, tok, "v")) return polygons;

    std::vector<vec3> vertices;
    while (tok == "v") {
        float x, y, z;
        if (!in.read_float(x) || !in.read_float(y) || !in.read_float(z)) return polygons;
        vertices.push_back(make_vec3(x, y, z));
        if (!in.token(tok)) return polygons;
    }
    if (!skip_to_token(in, tok, "f")) return polygons;

    std::vector<int32_t> refs;
    for (;;) {
        refs.clear();
        bool at_end = false;
        for (;;) {
            int32_t index;
            if (!in.read_int(index)) return polygons;  // an unfinished face is not kept
            refs.push_back(index);
            char tail[2];
            if (!in.next_char(tail[0]) || !in.next_char(tail[1])) {
                refs.pop_back();  // the file ends inside this reference
                at_end = true;
                break;
            }
            char next;
            if (!in.peek_char(next)) {
                at_end = true;
                break;
            }
            if (next == 'f') break;
        }
        polygon face = corners_of(refs, vertices);
        if (!face.empty()) polygons.push_back(std::move(face));
        if (at_end) return polygons;
        char f;
        in.next_char(f);
    }
}

void read_polygons(const std::string& path, polygon_list& polygons)
{
    polygons.clear();
    std::optional<std::string> bytes = read_file_bytes(path);
    if (!bytes) return;
    register_asset(asset_kind_mesh, path, static_cast<long long>(bytes->size()));
    polygons = parse_polygons(*bytes);
}
