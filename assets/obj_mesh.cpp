// Two passes over the text, as the format allows: the first counts so every array is sized
// once, the second fills them. The passes tokenise slightly differently (the first skips
// attribute lines whole, the second reads their numbers), so a crafted file can make them
// disagree: every write is bounds-checked and anything beyond the counted space is dropped.
#include "assets/obj_mesh.h"

#include <cstdio>
#include <cstring>

#include "assets/asset_registry.h"
#include "assets/file_bytes.h"
#include "assets/text_cursor.h"

namespace {

enum class face_form { p, pt, ptn, pn };  // %d, %d/%d, %d/%d/%d, %d//%d

struct face_ref {
    int32_t p = 0, t = 0, n = 0;
};

int items_in(face_form form)
{
    switch (form) {
    case face_form::p: return 1;
    case face_form::pt: return 2;
    case face_form::ptn: return 3;
    case face_form::pn: return 2;
    }
    return 1;
}

// One reference in the given form; returns how many numbers matched, like scanf would.
int read_ref(text_cursor& in, face_form form, face_ref& r)
{
    if (!in.read_int(r.p)) return 0;
    switch (form) {
    case face_form::p: return 1;
    case face_form::pt: return in.literal('/') && in.read_int(r.t) ? 2 : 1;
    case face_form::ptn:
        if (!in.literal('/') || !in.read_int(r.t)) return 1;
        return in.literal('/') && in.read_int(r.n) ? 3 : 2;
    case face_form::pn:
        return in.literal('/') && in.literal('/') && in.read_int(r.n) ? 2 : 1;
    }
    return 0;
}

face_form detect_form(std::string_view first)
{
    if (first.find("//") != std::string_view::npos) return face_form::pn;
    face_ref r;
    text_cursor probe{std::string(first)};
    if (read_ref(probe, face_form::ptn, r) == 3) return face_form::ptn;
    text_cursor probe2{std::string(first)};
    if (read_ref(probe2, face_form::pt, r) == 2) return face_form::pt;
    return face_form::p;
}

bool parse_first_ref(std::string_view token, face_form form, face_ref& r)
{
    text_cursor probe{std::string(token)};
    return read_ref(probe, form, r) == items_in(form);
}

// Keyword dispatch looks at the first character, and for `v` also at the second.
enum class keyword { position, texcoord, normal, other_v, object, face, other };

keyword classify(std::string_view tok)
{
    char c0 = tok.empty() ? '\0' : tok[0];
    char c1 = tok.size() > 1 ? tok[1] : '\0';
    if (c0 == 'v') {
        if (c1 == '\0') return keyword::position;
        if (c1 == 't') return keyword::texcoord;
        if (c1 == 'n') return keyword::normal;
        return keyword::other_v;
    }
    if (c0 == 'o') return keyword::object;
    if (c0 == 'f') return keyword::face;
    return keyword::other;
}

struct obj_counts {
    int32_t positions = 0, texcoords = 0, normals = 0, triangles = 0;
};

void bump(int32_t& n)
{
    if (n < INT32_MAX) ++n;
}

obj_counts count_pass(const std::string& text)
{
    obj_counts c;
    text_cursor in{text};
    std::string_view tok;
    while (in.token(tok)) {
        switch (classify(tok)) {
        case keyword::face: {
            std::string_view first;
            face_form form = in.token(first) ? detect_form(first) : face_form::p;
            face_ref r;
            read_ref(in, form, r);
            read_ref(in, form, r);
            bump(c.triangles);
            while (read_ref(in, form, r) > 0) bump(c.triangles);
            break;
        }
        case keyword::position: bump(c.positions); in.skip_line(); break;
        case keyword::texcoord: bump(c.texcoords); in.skip_line(); break;
        case keyword::normal: bump(c.normals); in.skip_line(); break;
        case keyword::other_v: break;
        default: in.skip_line(); break;
        }
    }
    return c;
}

class obj_builder {
public:
    explicit obj_builder(obj_mesh& m) : m_(m) {}

    void parse(const std::string& text)
    {
        text_cursor in{text};
        std::string_view tok;
        while (in.token(tok)) {
            switch (classify(tok)) {
            case keyword::position: read_floats(in, m_.raw_positions, 3, positions_); break;
            case keyword::texcoord: read_floats(in, m_.raw_texcoords, 2, texcoords_); break;
            case keyword::normal: read_floats(in, m_.raw_normals, 3, normals_); break;
            case keyword::other_v: break;
            case keyword::object: {
                m_.group_starts.push_back(triangle_);
                std::string_view name;
                in.token(name);
                break;
            }
            case keyword::face: read_face(in); break;
            case keyword::other: in.skip_line(); break;
            }
        }
        m_.group_starts.push_back(triangle_);
    }

private:
    // Numbers that cannot be read keep the zero the array was filled with.
    static void read_floats(text_cursor& in, std::vector<float>& dst, int n, int32_t& count)
    {
        float v[3] = {};
        for (int i = 0; i < n && in.read_float(v[i]); ++i) {}
        size_t at = static_cast<size_t>(count) * n;
        if (at + n > dst.size()) return;  // more than the first pass saw: nowhere to put it
        std::memcpy(&dst[at], v, sizeof(float) * n);
        ++count;
    }

    void read_face(text_cursor& in)
    {
        refs_.clear();
        std::string_view first;
        bool ok = in.token(first);
        face_form form = ok ? detect_form(first) : face_form::p;
        face_ref r;
        ok = ok && parse_first_ref(first, form, r);
        refs_.push_back(r);
        for (int k = 0; k < 2; ++k) {
            face_ref next;
            ok = read_ref(in, form, next) == items_in(form) && ok;
            refs_.push_back(next);
        }
        face_ref more;
        while (read_ref(in, form, more) == items_in(form)) refs_.push_back(more);
        if (!ok) return;

        for (face_ref& ref : refs_) {
            if (!convert(ref.p, positions_)) return;
            if ((form == face_form::pt || form == face_form::ptn) && !convert(ref.t, texcoords_)) return;
            if ((form == face_form::pn || form == face_form::ptn) && !convert(ref.n, normals_)) return;
        }
        int64_t triangles = static_cast<int64_t>(refs_.size()) - 2;
        if (triangle_ + triangles > static_cast<int64_t>(m_.indices.size() / 3)) return;
        for (size_t k = 2; k < refs_.size(); ++k) add_triangle(form, refs_[0], refs_[k - 1], refs_[k]);
    }

    // 1-based, or negative counting back from the end of what has been read so far. 0 and
    // anything past the list make the face invalid.
    static bool convert(int32_t& i, int32_t read_so_far)
    {
        int64_t idx = i > 0 ? int64_t(i) - 1 : int64_t(read_so_far) + i;
        if (i == 0 || idx < 0 || idx >= read_so_far) return false;
        i = static_cast<int32_t>(idx);
        return true;
    }

    void add_triangle(face_form form, const face_ref& a, const face_ref& b, const face_ref& c)
    {
        size_t at = static_cast<size_t>(triangle_) * 3;
        m_.indices[at] = weld(form, a);
        m_.indices[at + 1] = weld(form, b);
        m_.indices[at + 2] = weld(form, c);
        ++triangle_;
    }

    uint32_t weld(face_form form, const face_ref& r)
    {
        obj_vertex v;
        std::memcpy(&v.f[0], &m_.raw_positions[size_t(r.p) * 3], sizeof(float) * 3);
        if (form == face_form::pt || form == face_form::ptn)
            std::memcpy(&v.f[3], &m_.raw_texcoords[size_t(r.t) * 2], sizeof(float) * 2);
        if (form == face_form::pn || form == face_form::ptn)
            std::memcpy(&v.f[5], &m_.raw_normals[size_t(r.n) * 3], sizeof(float) * 3);

        std::vector<int32_t>& same_position = m_.vertex_lookup[r.p];
        for (int32_t number : same_position) {
            if (std::memcmp(&m_.vertices[size_t(number)], &v, sizeof v) == 0)
                return static_cast<uint32_t>(number);
        }
        int32_t number = static_cast<int32_t>(m_.vertices.size());
        m_.vertices.push_back(v);
        same_position.push_back(number);
        return static_cast<uint32_t>(number);
    }

    obj_mesh& m_;
    int32_t positions_ = 0, texcoords_ = 0, normals_ = 0, triangle_ = 0;
    std::vector<face_ref> refs_;
};

}  // namespace

bool obj_mesh::load_obj_text(std::string_view text_view, bool force_normals)
{
    *this = obj_mesh{};
    ready = true;
    std::string text(text_view);
    obj_counts c = count_pass(text);
    position_count = c.positions;
    texcoord_count = c.texcoords;
    normal_count = c.normals;
    triangle_count = c.triangles;
    has_positions = c.positions > 0;
    has_texcoords = c.texcoords > 0;
    has_normals = c.normals > 0;
    raw_positions.assign(size_t(c.positions) * 3, 0.0f);
    raw_texcoords.assign(size_t(c.texcoords) * 2, 0.0f);
    raw_normals.assign(size_t(c.normals) * 3, 0.0f);
    indices.assign(size_t(c.triangles) * 3, 0u);

    obj_builder(*this).parse(text);
    if (force_normals || !has_normals) generate_normals();
    return true;
}

bool obj_mesh::load_obj(const std::string& path, bool force_normals)
{
    std::optional<std::string> bytes = read_file_bytes(path);
    if (!bytes) {
        *this = obj_mesh{};
        return false;
    }
    register_asset(asset_kind_mesh, path, static_cast<long long>(bytes->size()));
    return load_obj_text(*bytes, force_normals);
}
