// The velocity volume measured as a flow, and the camera path read back by the show's reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "assets/recorded_path.h"
#include "datagen/camera_path.h"
#include "datagen/velocity_volume.h"

namespace {

const velocity_field& field() {
    static const velocity_field f(velocity_modes());
    return f;
}

bool same_bits(velocity_sample a, velocity_sample b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct probe {
    int i, j, k;
};

std::vector<probe> probes() {
    std::vector<probe> out;
    for (int n = 0; n < 300; ++n)  // spread over the volume, edges included
        out.push_back({(n * 37) % volume_width, (n * 101) % volume_height, (n * 59) % volume_depth});
    out.push_back({0, 0, 0});
    out.push_back({volume_width - 1, volume_height - 1, volume_depth - 1});
    return out;
}

}  // namespace

TEST(VelocityVolume, WrapsInAllThreeDirections) {
    for (const probe& p : probes()) {
        const velocity_sample v = field().at(p.i, p.j, p.k);
        EXPECT_TRUE(same_bits(v, field().at(p.i + volume_width, p.j, p.k)));
        EXPECT_TRUE(same_bits(v, field().at(p.i, p.j - volume_height, p.k)));
        EXPECT_TRUE(same_bits(v, field().at(p.i, p.j, p.k + volume_depth)));
    }
}

// Central differences across the wrap included: a seam would show up as divergence there.
TEST(VelocityVolume, IsDivergenceFreeWhereTheShaderSamplesIt) {
    double worst_divergence = 0, mean_gradient = 0, mean_square = 0, fastest = 0;
    const auto all = probes();
    for (const probe& p : all) {
        const auto d = [&](int axis) {
            const int di = axis == 0, dj = axis == 1, dk = axis == 2;
            const velocity_sample a = field().at(p.i + di, p.j + dj, p.k + dk);
            const velocity_sample b = field().at(p.i - di, p.j - dj, p.k - dk);
            const float* fa = &a.x;
            const float* fb = &b.x;
            return std::array<double, 3>{(fa[0] - fb[0]) / 2.0, (fa[1] - fb[1]) / 2.0, (fa[2] - fb[2]) / 2.0};
        };
        const auto dx = d(0), dy = d(1), dz = d(2);
        worst_divergence = std::max(worst_divergence, std::abs(dx[0] + dy[1] + dz[2]));
        mean_gradient += (std::abs(dx[0]) + std::abs(dy[1]) + std::abs(dz[2])) / 3;
        const velocity_sample v = field().at(p.i, p.j, p.k);
        const double speed2 = v.x * v.x + v.y * v.y + v.z * v.z;
        mean_square += speed2;
        fastest = std::max(fastest, std::sqrt(speed2));
    }
    mean_gradient /= all.size();
    EXPECT_GT(mean_gradient, 0.01);  // it does swirl
    EXPECT_LT(worst_divergence, 1e-4 * mean_gradient * 100);
    EXPECT_NEAR(std::sqrt(mean_square / all.size()), 1.0, 0.35);
    EXPECT_LT(fastest, 5.0);
}

TEST(VelocityVolume, FileIsTheFieldTexelForTexelXFastest) {
    const std::string bytes = encode_velocity_volume();
    ASSERT_EQ(bytes.size(), 50331648u);
    for (const probe& p : probes()) {
        velocity_sample stored;
        std::memcpy(&stored, bytes.data() + 12 * (p.i + 128 * p.j + 128 * 256 * size_t(p.k)), 12);
        EXPECT_TRUE(same_bits(stored, field().at(p.i, p.j, p.k)));
    }
}

TEST(CameraPath, ReadsBackRecordForRecord) {
    const std::vector<path_record> records = make_path();
    const std::string bytes = encode_path(records);
    ASSERT_EQ(bytes.size(), records.size() * 28);
    recorded_path path;
    path.load_path_bytes(bytes);
    ASSERT_EQ(path.points.size(), size_t(path_record_count));
    ASSERT_EQ(path.channel.size(), size_t(path_record_count));
    EXPECT_EQ(path.points[100].x, records[100].x);
    EXPECT_EQ(path.points[100].y, records[100].y);
    EXPECT_EQ(path.points[100].z, records[100].z);
    EXPECT_NEAR(path.channel[1000], records[1000].channel, 0.5);  // the reader smooths it
}

// The camera turns by 0.000228 per unit of x and y; the contour wobble moves by up to
// 0.0063 per unit. Both must stay gentle, and the path must loop without a jump.
TEST(CameraPath, SwaysGentlyAndLoopsSmoothly) {
    const std::vector<path_record> r = make_path();
    double max_x = 0, max_y = 0, max_channel = 0, max_step = 0, max_channel_step = 0;
    for (size_t i = 0; i < r.size(); ++i) {
        const path_record& a = r[i];
        const path_record& b = r[(i + 1) % r.size()];
        max_x = std::max(max_x, double(std::abs(a.x)));
        max_y = std::max(max_y, double(std::abs(a.y)));
        max_channel = std::max(max_channel, std::abs(a.channel));
        max_step = std::max(max_step, double(std::hypot(b.x - a.x, b.y - a.y)));
        max_channel_step = std::max(max_channel_step, std::abs(b.channel - a.channel));
    }
    EXPECT_GT(max_x, 50);  // it does sway
    EXPECT_LE(0.0063 * max_x, 1.0);
    EXPECT_LE(0.000228 * std::max(max_x, max_y), 0.03);
    EXPECT_LT(max_step, 3.0);  // includes the step from the last record to the first
    EXPECT_GT(max_channel, 10);
    EXPECT_LT(max_channel, 60);
    EXPECT_LT(max_channel_step, 0.3);
    EXPECT_EQ(encode_path(make_path()), encode_path(r));
}
