// Frame statistics without GL: exclusive stage times and the CSV's shape.
#include "render/frame_stats.h"

#include "tests/render/csv_fields.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

time_stamp at(double wall, double cpu = 0) { return {wall, cpu}; }

double wall_of(const stage_clock& c, frame_stage s) { return c.wall[static_cast<int>(s)]; }
double other_of(const stage_clock& c) { return c.wall[frame_stage_count]; }

}  // namespace

TEST(StageClock, NestedStagesPauseTheOuterOneAndRepeatsAddUp)
{
    stage_clock c;
    c.start(at(0));
    c.push(frame_stage::draw, at(1, 0.5));
    c.push(frame_stage::particle_update, at(3, 1.0));
    c.pop(at(7, 2.0));
    c.switch_to(frame_stage::post, at(8));
    c.pop(at(10));
    c.push(frame_stage::draw, at(11));
    c.pop(at(12));
    c.settle(at(15));

    EXPECT_DOUBLE_EQ(wall_of(c, frame_stage::draw), 2 + 1 + 1);
    EXPECT_DOUBLE_EQ(wall_of(c, frame_stage::particle_update), 4);
    EXPECT_DOUBLE_EQ(wall_of(c, frame_stage::post), 2);
    EXPECT_DOUBLE_EQ(other_of(c), 1 + 1 + 3);
    EXPECT_DOUBLE_EQ(c.cpu[static_cast<int>(frame_stage::particle_update)], 1.0);
    EXPECT_EQ(c.current(), frame_stage::count);

    // Unbalanced or too deep: ignored, never out of range.
    c.pop(at(16));
    c.switch_to(frame_stage::draw, at(17));
    for (int i = 0; i < stage_clock::max_depth + 3; ++i) c.push(frame_stage::contours, at(20));
    for (int i = 0; i < stage_clock::max_depth + 3; ++i) c.pop(at(30));
    EXPECT_EQ(c.current(), frame_stage::count);
    EXPECT_DOUBLE_EQ(wall_of(c, frame_stage::contours), 10);
}

TEST(FrameStatsCsv, RowsMatchTheHeaderAndMissingGpuTimesStayEmpty)
{
    const std::vector<std::string> header = csv_fields(frame_stats_header());
    ASSERT_GE(header.size(), 6u);
    EXPECT_EQ(header[0], "frame");
    EXPECT_EQ(header[1], "show_time");
    EXPECT_EQ(header[2], "scene_time");
    EXPECT_NE(frame_stats_header().find(",contours_cpu_ms,"), std::string::npos);
    EXPECT_NE(frame_stats_header().find(",gpu_particle_update_ms"), std::string::npos);

    frame_stats_row row;
    row.frame = 12;
    row.show_time = 1.5;
    row.span = at(0.0205, 0.01);
    row.stages.wall[static_cast<int>(frame_stage::contours)] = 0.00125;
    for (double& g : row.gpu) g = -1;
    row.gpu[static_cast<int>(frame_stage::draw)] = 0.004;
    const std::vector<std::string> f = csv_fields(frame_stats_csv_row(row));
    ASSERT_EQ(f.size(), header.size());
    std::map<std::string, std::string> by_name;
    for (size_t i = 0; i < header.size(); ++i) by_name[header[i]] = f[i];
    EXPECT_EQ(by_name["frame"], "12");
    EXPECT_EQ(by_name["show_time"], "1.5000");
    EXPECT_EQ(by_name["frame_ms"], "20.500");
    EXPECT_EQ(by_name["contours_ms"], "1.250");
    EXPECT_EQ(by_name["gpu_draw_ms"], "4.000");
    EXPECT_EQ(by_name["gpu_post_ms"], "");
}
