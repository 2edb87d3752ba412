// The encoder's command line: what lets separately rendered ranges join into one video.
#include "app/video_export.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
video_settings settings(int fps)
{
    video_settings s;
    s.output = "/tmp/out.mp4";
    s.music = "music/PS.mp3";
    s.music_start = music_offset_seconds + 301.0 / 30;
    s.seconds = 2.5;
    s.width = 160;
    s.height = 90;
    s.fps = fps;
    return s;
}

// The value that follows `option`, or "" when the option is absent.
std::string value_of(const std::vector<std::string>& args, const std::string& option)
{
    const auto it = std::find(args.begin(), args.end(), option);
    return it == args.end() || it + 1 == args.end() ? "" : *(it + 1);
}
}  // namespace

TEST(VideoExport, EverySecondIsAClosedGroupOfPictures)
{
    // Key frames on the frame grid of whole seconds, and nowhere else: no scene cuts, no open
    // groups that reach back across a key frame.
    EXPECT_EQ(value_of(ffmpeg_arguments(settings(30)), "-x264-params"),
              "keyint=30:min-keyint=30:scenecut=0:open-gop=0");
    EXPECT_EQ(value_of(ffmpeg_arguments(settings(60)), "-x264-params"),
              "keyint=60:min-keyint=60:scenecut=0:open-gop=0");
}

TEST(VideoExport, RateControlCarriesNoStateAcrossFrames)
{
    const auto args = ffmpeg_arguments(settings(30));
    EXPECT_EQ(value_of(args, "-qp"), std::to_string(video_quantiser));
    for (const char* stateful : {"-crf", "-b:v", "-maxrate"}) EXPECT_EQ(value_of(args, stateful), "") << stateful;
}

TEST(VideoExport, MusicStartsAtTheRangeAndLastsAsLong)
{
    const auto args = ffmpeg_arguments(settings(30));
    EXPECT_EQ(value_of(args, "-ss"), "60.033333");
    EXPECT_EQ(value_of(args, "-t"), "2.500000");
    EXPECT_EQ(value_of(args, "-s"), "160x90");
    EXPECT_EQ(value_of(args, "-r"), "30");
    EXPECT_EQ(args.back(), "/tmp/out.mp4");
}
