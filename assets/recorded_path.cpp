#include "assets/recorded_path.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#include "assets/file_bytes.h"
#include "assets/polyline.h"

namespace {

uint64_t little_endian(const unsigned char* p, int bytes)
{
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

float read_f32(const unsigned char* p)
{
    uint32_t bits = static_cast<uint32_t>(little_endian(p, 4));
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

double read_f64(const unsigned char* p)
{
    uint64_t bits = little_endian(p, 8);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// A channel value from the file can be any double; narrowing one beyond float's range is
// undefined, so saturate to infinity the way the hardware would.
float narrow(double v)
{
    if (v > FLT_MAX) return INFINITY;
    if (v < -FLT_MAX) return -INFINITY;
    return static_cast<float>(v);
}

// The path ends on a straight approach to its start so that indexing it modulo its length
// loops without a jump.
void bend_tail(recorded_path& path)
{
    const size_t u = path.points.size();
    if (u < 6) return;
    const vec3 p = path.points[u - 6], q = path.points[0];
    const double cp = path.channel[u - 6], cq = path.channel[0];
    for (int k = 1; k <= 5; ++k) {
        float w = float(k) / 6.0f;
        path.points[u - 6 + k] = make_vec3(p.x + (q.x - p.x) * w, p.y + (q.y - p.y) * w, p.z + (q.z - p.z) * w);
        path.channel[u - 6 + k] = cp + (cq - cp) * (double(k) / 6.0);
    }
}

// Shrinking to a tenth of the points and sampling back keeps only the slow trend of the
// recorded channel.
void smooth_channel(recorded_path& path)
{
    const size_t u = path.channel.size();
    if (u < 40) return;
    std::vector<vec3> samples(u);
    for (size_t i = 0; i < u; ++i) samples[i] = make_vec3(float(i), narrow(path.channel[i]), 0.0f);
    polyline curve = make_polyline(std::move(samples), false);
    curve.resample(static_cast<int32_t>(u / 10), 3);
    curve.resample(static_cast<int32_t>(u), 3);
    for (size_t i = 0; i < u && i < curve.points.size(); ++i) path.channel[i] = curve.points[i].y;
}

}  // namespace

void recorded_path::load_path_bytes(std::string_view bytes)
{
    points.clear();
    channel.clear();
    const size_t records = bytes.size() / path_record_bytes;
    points.reserve(records);
    channel.reserve(records);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t r = 0; r < records; ++r) {
        const unsigned char* rec = data + r * path_record_bytes;
        points.push_back(make_vec3(read_f32(rec), read_f32(rec + 4), read_f32(rec + 8)));
        channel.push_back(read_f64(rec + 12));
    }
    bend_tail(*this);
    smooth_channel(*this);
}

void recorded_path::load_path(const std::string& file_name)
{
    points.clear();
    channel.clear();
    std::optional<std::string> bytes = read_file_bytes(file_name);
    if (bytes) load_path_bytes(*bytes);
}
