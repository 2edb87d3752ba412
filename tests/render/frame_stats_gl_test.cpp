// Frame statistics on a GL context: GPU results that arrive frames later but are never lost.
#include "render/frame_stats.h"

#include "tests/render/csv_fields.h"
#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

TEST(FrameStatsGL, EveryFrameGetsARowWithGpuTimesOnceClosed)
{
    TW_REQUIRE_GL();
    const std::string path = std::string(THORNWAKE_BINARY_DIR) + "/frame_stats_test.csv";
    // Nothing is measured, and nothing breaks, while stats are off.
    {
        frame_stage_timer idle(frame_stage::draw);
        idle.switch_to(frame_stage::post);
    }
    frame_stats_row last;
    EXPECT_FALSE(frame_stats_last_row(last));
    ASSERT_TRUE(frame_stats_open(path));
    EXPECT_FALSE(frame_stats_last_row(last));  // no frame has ended yet
    const int frames = 7;                      // more than the frames a row waits for its GPU results
    for (int i = 0; i < frames; ++i) {
        frame_stats_begin_frame();
        // Inside a frame, the last row is the previous frame's, complete.
        if (i > 0) {
            ASSERT_TRUE(frame_stats_last_row(last));
            EXPECT_EQ(last.frame, i - 1);
            EXPECT_DOUBLE_EQ(last.show_time, 0.1 * (i - 1));
            EXPECT_GT(last.stages.wall[int(frame_stage::draw)], 0.0);
        }
        {
            frame_stage_timer t(frame_stage::draw);
            glClear(GL_COLOR_BUFFER_BIT);
            frame_stage_timer inner(frame_stage::contours);  // a CPU-only stage inside
            inner.switch_to(frame_stage::post);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        glFinish();  // what the buffer swap would do
        frame_stats_end_frame(0.1 * i, 0.1113 * i);
    }
    frame_stats_close();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_FALSE(frame_stats_enabled());

    std::ifstream in(path);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    const std::vector<std::string> header = csv_fields(line);
    int rows = 0;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = csv_fields(line);
        ASSERT_EQ(f.size(), header.size()) << line;
        EXPECT_EQ(f[0], std::to_string(rows));
        for (size_t i = 0; i < header.size(); ++i) {
            if (header[i].rfind("gpu_", 0) == 0) {
                EXPECT_FALSE(f[i].empty()) << header[i] << " in " << line;
            }
        }
        ++rows;
    }
    EXPECT_EQ(rows, frames);
    std::filesystem::remove(path);
}
