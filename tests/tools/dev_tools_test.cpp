#include "tools/asset_list.h"
#include "tools/clipboard_dump.h"
#include "tools/frame_log.h"
#include "tools/local_path.h"
#include "tools/state_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <unistd.h>

TEST(LocalPath, DriveLettersAndDoubledSlashesGo)
{
    EXPECT_EQ(local_path("c://logs//shiftling2.log"), "logs/shiftling2.log");
    EXPECT_EQ(local_path("c://3dsjpglist4.txt"), "3dsjpglist4.txt");
    EXPECT_EQ(local_path("C:/grainwell/"), "grainwell/");
    EXPECT_EQ(local_path("state.txt"), "state.txt");
}

TEST(LocalPath, OutputsGoUnderTheOutputFolder)
{
    EXPECT_EQ(output_path("", "c://logs//shiftling2.log"), "logs/shiftling2.log");
    EXPECT_EQ(output_path("/home/u/.local/state/thornwake", "c://logs//shiftling2.log"),
              "/home/u/.local/state/thornwake/logs/shiftling2.log");
    EXPECT_EQ(output_path("/xdg/thornwake/", "C:/grainwell/"), "/xdg/thornwake/grainwell/");

    // The first run after a fresh install has no state folder yet.
    const auto root = std::filesystem::temp_directory_path() / ("tw_output_path_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    const std::string log = prepare_output_path((root / "thornwake").string(), "c://logs//shiftling2.log");
    EXPECT_TRUE(std::filesystem::is_directory(root / "thornwake/logs"));
    EXPECT_TRUE(std::ofstream(log).good());
    std::filesystem::remove_all(root);
}

TEST(AssetList, EmptyTableStillReportsTotals)
{
    std::vector<asset_record> table;
    std::ostringstream out;
    write_asset_list(out, table, 1.5, "/nonexistent/");
    EXPECT_EQ(out.str(),
              "\n-- JPG LIST\n\n-- 3DS LIST\n\nTotal : 0 files,  0 bytes\nLoadtime :1.5\n\n\n"
              "-- JPG Sorted\n\n-- JPG LIST\n\n-- 3DS LIST\n\nTotal sorted : 0");
}

TEST(AssetList, DuplicatesListedTwiceButCopiedOnce)
{
    const auto dir = std::filesystem::temp_directory_path() / ("tw_asset_list_test_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "src");
    const std::string b = (dir / "src/b.jpeg").string(), a = (dir / "src/a.jpeg").string();
    std::ofstream(b) << "bb";
    std::ofstream(a) << "a";
    std::vector<asset_record> table{{b, 0, 0, 2, 2, asset_kind_image, 2},
                                    {a, 0, 1, 1, 1, asset_kind_image, 1},
                                    {b, 0, 2, 2, 2, asset_kind_image, 2},
                                    {"m.obj", 0, 3, 0, 0, asset_kind_mesh, 9}};
    std::ostringstream out;
    write_asset_list(out, table, 0.25, (dir / "copy").string());
    const std::string s = out.str();
    EXPECT_NE(s.find("Total : 4 files,  27 bytes"), std::string::npos);
    const size_t sorted = s.find("-- JPG Sorted");
    ASSERT_NE(sorted, std::string::npos);
    EXPECT_LT(s.find("Name  : " + a, sorted), s.find("Name  : " + b, sorted));  // ascending
    EXPECT_NE(s.find("Total sorted : 3"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / ("copy" + b)));
    EXPECT_TRUE(std::filesystem::exists(dir / ("copy" + a)));
    std::filesystem::remove_all(dir);
}

TEST(FrameLog, SlotsByTenthsAndTheLastSlotEdge)
{
    frame_log log;
    open_frame_log(log, "/dev/null", 240.0);
    ASSERT_EQ(log.slots.size(), 2400u);
    EXPECT_EQ(log.slots[17].time, 1.7);
    log_frame(log, 60, 239.95, 0);
    log_frame(log, 55, 240.0, 0);
    log_frame(log, 50, -0.01, 0);
    log_frame(log, 30, 1.71, 0);
    log_frame(log, 31, 1.75, 0);  // the slot keeps the last frame
    EXPECT_EQ(log.slots[2399].fps, 60);
    EXPECT_EQ(log.slots[0].fps, 0);
    EXPECT_EQ(log.slots[17].fps, 31);
    EXPECT_EQ(log.slots[17].time, 1.75);
}

TEST(FrameLog, SmoothingUsesAlreadySmoothedPredecessors)
{
    std::vector<frame_log_slot> s(8);
    for (auto& x : s) x.fps = 21;
    s[4].fps = 0;  // one unreached slot pulls its neighbours down
    smooth_frame_log(s);
    EXPECT_EQ(s[0].fps, 21);
    EXPECT_EQ(s[7].fps, 21);
    EXPECT_DOUBLE_EQ(s[3].fps, ((210 + 0 + 63 + 42) / 21.0 + 21) * 0.5);
    const double s3 = s[3].fps;
    EXPECT_DOUBLE_EQ(s[4].fps, ((0 + 6 * 21 + 3 * 21 + 2 * 21) / 21.0 + (6 * s3 + 3 * 21 + 2 * 21) / 21.0) * 0.5);
    std::ostringstream out;
    write_frame_log(out, s);
    EXPECT_EQ(out.str().substr(0, 2), "8\n");
}

static recording_state sample_recording()
{
    recording_state r;
    uint8_t a[32] = {1, 0, 1}, b[32] = {0, 1};
    double values[9] = {0.5, 2};
    record_frame(r, 10.0, a, b, values);
    a[0] = 0;
    values[0] = 7.25;
    record_frame(r, 30.0, a, b, values);
    record_frame(r, 20.0, a, b, values);
    return r;
}

TEST(StateFile, RoundTripsAndNearestPrefersTheEarliest)
{
    const recording_state r = sample_recording();
    std::stringstream file;
    write_state_file(file, r);
    recording_state back;
    read_state_file(file, back);
    ASSERT_EQ(back.recording.size(), 3u);
    EXPECT_EQ(back.recording[1].time, 30.0);
    EXPECT_EQ(back.recording[1].part_values[0], 7.25);
    EXPECT_TRUE(back.recording[0].switches_a[2]);
    EXPECT_TRUE(back.recording[0].switches_b[1]);

    ASSERT_TRUE(nearest_snapshot(back, 25.0));  // 30 and 20 tie: 30 is earlier in the recording
    EXPECT_EQ(back.current_snapshot.time, 30.0);
    recording_state empty;
    empty.current_snapshot.time = 99;
    EXPECT_FALSE(nearest_snapshot(empty, 1.0));
    EXPECT_EQ(empty.current_snapshot.time, 99);
}

TEST(StateFile, UntrustedCountsAndShortEntries)
{
    recording_state r;
    std::istringstream huge("1e18\n\n\n5\n2\n1 1 0 2 0 1 ");
    read_state_file(huge, r);
    ASSERT_EQ(r.recording.size(), 1u);  // stops with what was there
    EXPECT_EQ(r.recording[0].part_values.size(), 9u);  // short sequences read as nine
    EXPECT_TRUE(r.recording[0].switches_b[1]);

    std::istringstream missing("");
    read_state_file(missing, r);
    EXPECT_TRUE(r.recording.empty());
    std::istringstream garbage("3 x y z");
    read_state_file(garbage, r);
    EXPECT_TRUE(r.recording.empty());
}

TEST(StateFile, TwoDigitKeysApplyInOrderAndTheHigherWins)
{
    recording_state r;
    uint8_t a[32] = {}, b[32] = {};
    double v[9] = {};
    a[0] = 1;
    v[0] = 1;
    record_frame(r, 25, a, b, v);  // bookmark 0
    a[0] = 0;
    a[1] = 1;
    v[0] = 2;
    record_frame(r, 146, a, b, v);  // bookmark 1
    uint8_t keys[256] = {};
    keys[0x30] = keys[0x31] = 1;
    uint8_t fa[32] = {}, fb[32] = {};
    double values[9] = {};
    bool filled[9] = {true};
    apply_bookmarks(r, keys, fa, fb, values, filled);
    EXPECT_EQ(fa[0], 0);
    EXPECT_EQ(fa[1], 1);
    EXPECT_EQ(values[0], 2);
    EXPECT_EQ(values[1], 0);  // empty slots receive nothing
}

TEST(ClipboardDump, TheTextOutlivesTheProcessInAFile)
{
    const auto root = std::filesystem::temp_directory_path() / ("tw_clipboard_" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    const std::string text = "cam 1.5 2 3\npnt 0 0 0\n";
    const std::string path = write_clipboard_dump((root / "state").string(), text);
    EXPECT_EQ(path, std::filesystem::absolute(root / "state" / clipboard_dump_file).string());
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);

    EXPECT_EQ(write_clipboard_dump((root / "state").string(), ""), "");  // nothing to keep
    // A root that cannot hold a folder: said by the empty path, nothing thrown.
    std::ofstream(root / "file") << "x";
    EXPECT_EQ(write_clipboard_dump((root / "file").string(), text), "");
    std::filesystem::remove_all(root);
}
