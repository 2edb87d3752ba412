#include "app/window_proc.h"

#include <gtest/gtest.h>

TEST(WindowProc, WheelCountsWholeNotchesTowardZero)
{
    EXPECT_EQ(wheel_notches(60), 0);
    EXPECT_EQ(wheel_notches(-60), 0);
    EXPECT_EQ(wheel_notches(120), 1);
    EXPECT_EQ(wheel_notches(-240), -2);
    EXPECT_EQ(wheel_notches(359), 2);
}

TEST(WindowProc, DumpTextHasSixSignificantDigits)
{
    EXPECT_EQ(dump_text(1.0, -2.5, 0.1234567, 100000.0, 1234567.0, 0, 0.5f, 1.0f, -3.0f),
              "Cam :1,-2.5,0.123457  \nPnt :100000,1.23457e+06,0  \n \nMCr :0.5,1,-3  \n \n");
}
