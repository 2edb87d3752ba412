#include "fuzz/reader_inputs.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "app/run_options.h"
#include "assets/image_sequence.h"
#include "assets/obj_mesh.h"
#include "assets/polygons.h"
#include "assets/recorded_path.h"
#include "assets/velocity_volume.h"
#include "render/shader_bank.h"
#include "state/snapshot.h"
#include "tools/state_file.h"

static std::string_view as_text(const uint8_t* data, size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

void feed_obj(const uint8_t* data, size_t size)
{
    obj_mesh mesh;
    mesh.load_obj_text(as_text(data, size), true);
    // The draw ranges are what later indexes the arrays: they must stay inside them.
    const int32_t groups = static_cast<int32_t>(mesh.group_starts.size());
    for (int32_t g = -1; g <= groups; ++g) {
        for (const obj_draw_range& r : group_draw_ranges(mesh, g)) {
            if (r.first < 0 || r.count < 0 || r.first + r.count > static_cast<int64_t>(mesh.indices.size()))
                std::abort();
        }
    }
    // Slots of dropped faces stay 0; the draw skips a mesh without vertices, so 0 is safe.
    if (!mesh.vertices.empty())
        for (uint32_t i : mesh.indices)
            if (i >= mesh.vertices.size()) std::abort();
}

void feed_polygons(const uint8_t* data, size_t size)
{
    polygon_list faces = parse_polygons(as_text(data, size));
    for (const polygon& p : faces)
        if (p.empty()) std::abort();
}

void feed_path(const uint8_t* data, size_t size)
{
    recorded_path path;
    path.load_path_bytes(as_text(data, size));
    if (path.points.size() != path.channel.size() || path.points.size() > size / path_record_bytes)
        std::abort();
}

void feed_state_file(const uint8_t* data, size_t size)
{
    std::istringstream in{std::string(as_text(data, size))};
    recording_state r;
    read_state_file(in, r);
    for (const state_snapshot& s : r.recording)
        if (s.part_values.size() < 9 || s.switches_a.size() != s.part_values.size() ||
            s.switches_b.size() != s.part_values.size())
            std::abort();
    // The bookmark keys index the snapshot's first nine entries.
    nearest_snapshot(r, 25.0);
}

void feed_velocity_volume(const uint8_t* data, size_t size)
{
    // fmemopen refuses a zero-length buffer; an empty file is a stream at its end.
    static char empty = 0;
    std::FILE* f = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : fmemopen(&empty, 1, "rb");
    if (!f) return;
    if (!size) std::fgetc(f);
    volume_data v = read_velocity_volume(f);
    std::fclose(f);
    if (v.texels.size() != volume_floats || v.bytes_read > size) std::abort();
}

void feed_shader_source(const uint8_t* data, size_t size)
{
    // The reader takes a path: give it a private file holding the bytes.
    static const std::string path = "/tmp/tw_fuzz_shader_" + std::to_string(getpid()) + ".cpp";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    std::optional<std::string> text = shader_bank::read_shader_source(path);
    if (!text || text->size() != size) std::abort();
    std::remove(path.c_str());
}

void feed_image_sequence(const uint8_t* data, size_t size)
{
    // The show decodes each frame twice, blurs and edge-detects the copy, then traces it.
    const std::vector<uint8_t> bytes(data, data + size);
    cv::Mat work;
    try {
        work = cv::imdecode(bytes, cv::IMREAD_GRAYSCALE);
    } catch (const cv::Exception&) {
        return;  // imread in the show swallows the same failures and returns empty
    }
    if (work.empty()) return;
    cv::GaussianBlur(work, work, cv::Size(9, 9), 0, 0, cv::BORDER_REPLICATE);
    cv::Canny(work, work, 20, 150, 3);
    std::vector<polyline> contours;
    extract_contours(work, contours, 0);
    extract_contours(work, contours, 1);
    for (const polyline& c : contours)
        if (c.count != static_cast<int32_t>(c.points.size())) std::abort();
}

void feed_run_options(const uint8_t* data, size_t size)
{
    // Arguments are the NUL-separated pieces of the input, after the program name.
    std::vector<std::string> args{"thornwake"};
    std::string current;
    for (size_t i = 0; i < size && args.size() < 64; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    if (!current.empty()) args.push_back(current);
    std::vector<const char*> argv;
    for (const std::string& a : args) argv.push_back(a.c_str());
    argv.push_back(nullptr);

    run_options options;
    const int code = parse_run_options(static_cast<int>(args.size()), argv.data(), options);
    if (code != -1 && code != 0 && code != 2) std::abort();
}

static bool same_floats(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), 4 * a.size()) == 0);
}

void feed_snapshot(const uint8_t* data, size_t size)
{
    const snapshot_shape shape{fuzz_snapshot_floats[0], fuzz_snapshot_floats[1], fuzz_snapshot_floats[2]};
    std::string why;
    const std::optional<sim_snapshot> s = decode_snapshot({data, size}, fuzz_snapshot_key, shape, why);
    if (!s) {
        if (why.empty()) std::abort();  // the cache prints the reason
        return;
    }
    if (shape_of(*s) != shape || s->step < 0) std::abort();
    // What reads must write back to bytes that read as the same state.
    const std::optional<sim_snapshot> again =
        decode_snapshot(encode_snapshot(*s, fuzz_snapshot_key), fuzz_snapshot_key, shape, why);
    if (!again || again->step != s->step || !same_floats(again->main_state, s->main_state) ||
        !same_floats(again->splash_state, s->splash_state) || !same_floats(again->box_positions, s->box_positions) ||
        !same_floats(again->box_colours, s->box_colours) ||
        std::memcmp(again->lead, s->lead, sizeof s->lead) != 0 || again->lead_read != s->lead_read ||
        std::memcmp(again->lead_followed, s->lead_followed, sizeof s->lead_followed) != 0 ||
        again->seq_request != s->seq_request)
        std::abort();
}

std::span<const fuzz_reader> fuzz_readers()
{
    static const fuzz_reader readers[] = {
        {"obj", feed_obj},
        {"polygons", feed_polygons},
        {"path", feed_path},
        {"state_file", feed_state_file},
        {"velocity_volume", feed_velocity_volume},
        {"shader_source", feed_shader_source},
        {"image_sequence", feed_image_sequence},
        {"run_options", feed_run_options},
        {"snapshot", feed_snapshot},
    };
    return readers;
}
