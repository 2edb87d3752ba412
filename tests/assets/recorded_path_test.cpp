#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "assets/recorded_path.h"

namespace {

void put(std::string& out, const void* p, size_t n)
{
    // The test machine is little-endian like the format; write the bytes as they lie.
    out.append(static_cast<const char*>(p), n);
}

std::string records(int count, float (*x)(int), double (*ch)(int))
{
    std::string out;
    for (int i = 0; i < count; ++i) {
        float xyz[3] = {x(i), float(i) * 2.0f, -float(i)};
        double two[2] = {ch(i), 12345.0};
        put(out, xyz, sizeof xyz);
        put(out, two, sizeof two);
    }
    return out;
}

float x_linear(int i) { return float(i) + 0.5f; }
double ch_linear(int i) { return i * 0.25; }

}  // namespace

TEST(recorded_path, ten_records_bend_their_tail_toward_the_start)
{
    recorded_path path;
    path.load_path_bytes(records(10, x_linear, ch_linear));
    ASSERT_EQ(path.points.size(), 10u);
    ASSERT_EQ(path.channel.size(), 10u);
    const vec3 p = make_vec3(4.5f, 8.0f, -4.0f), q = make_vec3(0.5f, 0.0f, 0.0f);
    for (int k = 1; k <= 5; ++k) {
        const vec3& v = path.points[size_t(4 + k)];
        EXPECT_NEAR(v.x, p.x + (q.x - p.x) * k / 6.0f, 1e-5f);
        EXPECT_NEAR(v.y, p.y + (q.y - p.y) * k / 6.0f, 1e-5f);
        EXPECT_NEAR(v.z, p.z + (q.z - p.z) * k / 6.0f, 1e-5f);
        EXPECT_EQ(v.state, uint32_t(vec_set));
        EXPECT_NEAR(path.channel[size_t(4 + k)], 1.0 + (0.0 - 1.0) * k / 6.0, 1e-12);
    }
    EXPECT_EQ(path.points[4].x, 4.5f);
    EXPECT_EQ(path.channel[3], 0.75);  // blended, not smoothed
}

TEST(recorded_path, partial_record_is_ignored)
{
    for (int u : {0, 1, 5, 6, 45}) {
        recorded_path path;
        path.load_path_bytes(records(u, x_linear, ch_linear) + std::string(10, '\x7f'));
        EXPECT_EQ(path.points.size(), size_t(u));
        EXPECT_EQ(path.channel.size(), size_t(u));
    }
}

TEST(recorded_path, long_channel_is_smoothed_short_one_is_not)
{
    // A ramp with alternating noise: the smoothed channel keeps the ramp and loses the
    // zigzag, whose raw second difference is 0.2.
    auto noisy = [](int i) { return i * 0.1 + (i % 2 ? 0.05 : -0.05); };
    recorded_path path;
    path.load_path_bytes(records(120, x_linear, noisy));
    ASSERT_EQ(path.channel.size(), 120u);
    for (size_t i = 10; i < 100; ++i)
        EXPECT_LT(std::fabs(path.channel[i + 1] - 2 * path.channel[i] + path.channel[i - 1]), 0.02) << i;
    EXPECT_GT(path.channel[90], path.channel[20] + 5.0);

    recorded_path short_path;
    short_path.load_path_bytes(records(39, x_linear, noisy));
    EXPECT_EQ(short_path.channel[11], noisy(11));
}

TEST(recorded_path, missing_file_and_hostile_numbers)
{
    recorded_path path;
    path.load_path_bytes(records(8, x_linear, ch_linear));
    path.load_path("/nonexistent/try1.sav");
    EXPECT_TRUE(path.points.empty());
    EXPECT_TRUE(path.channel.empty());
    auto wild = [](int i) { return i % 3 == 0 ? NAN : i % 3 == 1 ? 1e300 : -INFINITY; };
    auto wild_x = [](int i) { return i % 2 ? NAN : INFINITY; };
    path.load_path_bytes(records(64, wild_x, wild));
    EXPECT_EQ(path.channel.size(), 64u);
}
