#include "audio/timeline.h"

#include <gtest/gtest.h>

TEST(Timeline, ThirtyOneWindowsEachStartingBeforeItEnds)
{
    timeline tl;
    fill_timeline(tl);
    ASSERT_EQ(tl.count, 31);
    for (int i = 0; i < tl.count; ++i) {
        EXPECT_LT(tl.windows[i].start, tl.windows[i].end) << i;
        EXPECT_GT(tl.windows[i].value, 0) << i;
    }
}
