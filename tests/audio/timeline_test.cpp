#include "audio/timeline.h"

#include <gtest/gtest.h>

TEST(Timeline, LaterWindowsWinAndGapsGiveZero)
{
    timeline tl;
    fill_timeline(tl);
    ASSERT_EQ(tl.count, 31);
    const struct { double t; int value; } cases[] = {
        {0.0, 9},    {79.999, 9}, {80.0, 9},    {80.001, 1}, {85.14, 2}, {92.85, 3},
        {100.0, 0},  {105.01, 5}, {105.2, 0},   {-1.0, 0},   {198.0, 0}, {270.9, 21},
        {281.5, 0},
    };
    for (auto c : cases) EXPECT_EQ(window_value_at(tl, c.t), c.value) << "t = " << c.t;
}

TEST(Timeline, EmptyTableAnswersZero)
{
    timeline tl;
    EXPECT_EQ(window_value_at(tl, 10.0), 0);
}
