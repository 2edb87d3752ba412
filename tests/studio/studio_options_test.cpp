#include "app/run_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {
int parse(std::vector<const char*> args, run_options& o)
{
    args.insert(args.begin(), "thornwake");
    return parse_run_options(int(args.size()), args.data(), o);
}
}  // namespace

TEST(StudioOptions, StudioOpensAWindowWithoutTheSetupDialog)
{
    run_options o;
    ASSERT_EQ(parse({"--studio"}, o), -1);
    EXPECT_TRUE(o.studio);
    EXPECT_TRUE(o.windowed);
    run_options full;
    ASSERT_EQ(parse({"--studio", "--fullscreen"}, full), -1);
    EXPECT_TRUE(full.fullscreen);
    EXPECT_FALSE(full.windowed);
}

TEST(StudioOptions, AScriptMeansStudioAndCaptureIsRefused)
{
    run_options o;
    ASSERT_EQ(parse({"--studio-script", "cmds.txt"}, o), -1);
    EXPECT_TRUE(o.studio);
    EXPECT_EQ(o.studio_script, "cmds.txt");
    run_options c;
    EXPECT_EQ(parse({"--studio", "--capture", "out"}, c), 2);
    run_options v;
    EXPECT_EQ(parse({"--studio", "--video", "x.mp4"}, v), 2);
}

TEST(StudioOptions, HelpListsEveryStudioKey)
{
    run_options o;
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    EXPECT_EQ(parse({"--help"}, o), 0);
    const std::string help = testing::internal::GetCapturedStdout();
    for (const char* k : {"--studio", "Tab", "PageDown", "F8", "Shift+drag"})
        EXPECT_NE(help.find(k), std::string::npos) << k;
}
