#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "assets/asset_registry.h"
#include "assets/image_sequence.h"

namespace fs = std::filesystem;

namespace {

// A folder with imageseq/ holding the given frames, each a grey square on black whose
// brightness tells the frames apart.
std::string make_sequence(const std::string& name, std::initializer_list<int> frames)
{
    fs::path root = fs::path(THORNWAKE_BINARY_DIR) / name;
    fs::remove_all(root);
    fs::create_directories(root / "imageseq");
    for (int k : frames) {
        cv::Mat img(48, 64, CV_8UC1, cv::Scalar(0));
        cv::rectangle(img, {16, 12}, {48, 36}, cv::Scalar(40 + k % 200), cv::FILLED);
        cv::imwrite((root / sequence_frame_name(k)).string(), img);
    }
    return root.string() + "/";
}

}  // namespace

TEST(sequence_names, requests_wrap_into_the_550_frames)
{
    EXPECT_EQ(sequence_frame_name(sequence_frame_number(600)), "imageseq//00050.jpeg");
    EXPECT_EQ(sequence_frame_name(sequence_frame_number(-5)), "imageseq//00000.jpeg");
    EXPECT_EQ(sequence_frame_name(7), "imageseq//00007.jpeg");
    EXPECT_EQ(sequence_frame_name(42), "imageseq//00042.jpeg");
    EXPECT_EQ(sequence_frame_name(549), "imageseq//00549.jpeg");
    EXPECT_EQ(sequence_frame_number(550), 0);
    EXPECT_EQ(sequence_frame_number(INT32_MAX), INT32_MAX % 550);
}

TEST(sequence_loading, a_request_is_served_once)
{
    std::string root = make_sequence("seq_served", {30, 50});
    cv::Mat frame, work;
    int request = 30;
    EXPECT_TRUE(serve_sequence_request(request, -1, frame, work, root));
    EXPECT_EQ(request, -1);
    ASSERT_FALSE(frame.empty());
    EXPECT_EQ(frame.type(), CV_8UC1);
    EXPECT_EQ(frame.size(), cv::Size(64, 48));
    EXPECT_NE(frame.data, work.data);  // two decodes, not one image shared
    work.setTo(0);
    EXPECT_GT(cv::countNonZero(frame), 0);

    EXPECT_FALSE(serve_sequence_request(request, -1, frame, work, root));
    EXPECT_FALSE(frame.empty());  // nothing asked, nothing touched

    request = 600;
    EXPECT_TRUE(serve_sequence_request(request, -1, frame, work, root));
    EXPECT_NEAR(frame.at<uint8_t>(24, 32), 90, 3);

    // Asking again for the frame already shown decodes it again.
    work.setTo(0);
    request = 50;
    EXPECT_TRUE(serve_sequence_request(request, -1, frame, work, root));
    EXPECT_GT(cv::countNonZero(work), 0);
}

TEST(sequence_loading, a_missing_frame_leaves_both_images_empty)
{
    std::string root = make_sequence("seq_missing", {30});
    cv::Mat frame, work;
    ASSERT_TRUE(load_sequence_frame(30, frame, work, root));
    EXPECT_FALSE(load_sequence_frame(31, frame, work, root));
    EXPECT_TRUE(frame.empty());
    EXPECT_TRUE(work.empty());
    // An unreadable file is as good as a missing one.
    std::FILE* f = std::fopen((root + sequence_frame_name(32)).c_str(), "wb");
    std::fputs("not a jpeg", f);
    std::fclose(f);
    EXPECT_FALSE(load_sequence_frame(32, frame, work, root));
    EXPECT_TRUE(frame.empty() && work.empty());
}

TEST(sequence_loading, frames_are_registered_for_the_asset_list)
{
    std::string root = make_sequence("seq_registered", {5});
    cv::Mat frame, work;
    asset_table().clear();
    load_sequence_frame(5, frame, work, root);
    EXPECT_TRUE(asset_table().empty());  // off unless a developer switch turns it on
    set_asset_registry_enabled(true);
    load_sequence_frame(5, frame, work, root);
    set_asset_registry_enabled(false);
    ASSERT_EQ(asset_table().size(), 1u);
    EXPECT_EQ(asset_table()[0].kind, asset_kind_image);
    EXPECT_EQ(asset_table()[0].width, 64);
    EXPECT_EQ(asset_table()[0].height, 48);
    EXPECT_GT(asset_table()[0].size, 0);
    asset_table().clear();
}

TEST(contours, pixel_coordinates_map_to_the_centred_square)
{
    vec3 corner = contour_point(0, 0, 640, 480);
    EXPECT_EQ(corner.x, 1.0f);
    EXPECT_EQ(corner.y, 1.0f);
    EXPECT_EQ(corner.z, 0.0f);
    EXPECT_EQ(corner.state, uint32_t(vec_set));
    vec3 centre = contour_point(320, 240, 640, 480);
    EXPECT_EQ(centre.x, 0.0f);
    EXPECT_EQ(centre.y, 0.0f);
    vec3 far = contour_point(639, 479, 640, 480);
    EXPECT_NEAR(far.x, -239.0f / 240.0f, 1e-7f);
    EXPECT_NEAR(far.y, -319.0f / 320.0f, 1e-7f);
    vec3 thin = contour_point(0, 0, 1, 1);
    EXPECT_TRUE(std::isfinite(thin.x) && std::isfinite(thin.y));
}

TEST(contours, every_contour_becomes_a_closed_polyline_of_its_pixels)
{
    cv::Mat edges(480, 640, CV_8UC1, cv::Scalar(0));
    cv::rectangle(edges, {100, 100}, {200, 180}, cv::Scalar(255), 1);
    cv::circle(edges, {400, 300}, 50, cv::Scalar(255), 1);
    cv::rectangle(edges, {450, 50}, {600, 150}, cv::Scalar(255), cv::FILLED);
    cv::rectangle(edges, {500, 80}, {550, 120}, cv::Scalar(0), cv::FILLED);
    cv::Mat untouched = edges.clone();
    for (int mode : {0, 1}) {
        std::vector<polyline> lines(1);  // appended to, never cleared
        extract_contours(edges, lines, mode);
        ASSERT_GT(lines.size(), 3u) << mode;
        for (size_t i = 1; i < lines.size(); ++i) {
            EXPECT_TRUE(lines[i].closed);
            EXPECT_EQ(size_t(lines[i].count), lines[i].points.size());
            EXPECT_GT(lines[i].count, 0);
            for (const vec3& p : lines[i].points) {
                EXPECT_LE(std::fabs(p.x), 1.0f);
                EXPECT_LE(std::fabs(p.y), 1.0f);
            }
        }
    }
    std::vector<polyline> all;
    extract_contours(edges, all, 0);
    // Every boundary pixel: the 1-pixel rectangle outline gives its 360 pixels inside and out.
    size_t biggest = 0;
    for (const polyline& l : all) biggest = std::max(biggest, l.points.size());
    EXPECT_GE(biggest, 360u);
    EXPECT_EQ(cv::countNonZero(edges != untouched), 0);

    std::vector<polyline> none;
    extract_contours(cv::Mat(480, 640, CV_8UC1, cv::Scalar(0)), none, 0);
    extract_contours(cv::Mat(), none, 0);
    EXPECT_TRUE(none.empty());
}

TEST(sequence_loading, an_unchanged_file_asked_for_again_is_not_decoded_again)
{
    std::string root = make_sequence("seq_kept", {30});
    const fs::path file = root + sequence_frame_name(30);
    cv::Mat frame, work;
    sequence_source source;
    int request = 30;
    ASSERT_TRUE(serve_sequence_request(request, -1, frame, work, source, root));
    const uint8_t* decoded = frame.data;

    work.setTo(0);
    request = 30 + 550;  // another request for the same file
    ASSERT_TRUE(serve_sequence_request(request, -1, frame, work, source, root));
    EXPECT_EQ(frame.data, decoded);
    EXPECT_NE(work.data, frame.data);
    EXPECT_EQ(cv::countNonZero(work != frame), 0);  // the scenes' copy is whole again

    // Rewritten on disk: read again although the request is the same.
    cv::Mat brighter(48, 64, CV_8UC1, cv::Scalar(200));
    cv::imwrite(file.string(), brighter);
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(2));
    request = 30;
    ASSERT_TRUE(serve_sequence_request(request, -1, frame, work, source, root));
    EXPECT_NEAR(frame.at<uint8_t>(0, 0), 200, 3);

    fs::remove(file);
    request = 30;
    EXPECT_FALSE(serve_sequence_request(request, -1, frame, work, source, root));
    EXPECT_TRUE(frame.empty() && work.empty());
    EXPECT_TRUE(source.path.empty());
}
