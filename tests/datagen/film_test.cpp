// The video as the show uses it: the frames the choreography asks for, loaded by the
// sequence reader and turned into contours exactly as the contour stage does.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "assets/image_sequence.h"
#include "datagen/film.h"
#include "demo/choreography.h"
#include "temp_dir.h"

namespace {

// Every frame number the show can request: the request curve, sampled finer than any of
// its steps, over the whole show and a little beyond.
std::set<int> requested_frames() {
    std::set<int> frames;
    for (double t = 0; t < 230; t += 0.005) frames.insert(sequence_frame_number(seq_request_at(t)));
    return frames;
}

void write_frame(const std::filesystem::path& root, int frame) {
    const std::string bytes = encode_film_frame(frame);
    std::filesystem::create_directories(root / "imageseq");
    std::ofstream(root / film_frame_name(frame), std::ios::binary) << bytes;
}

// Blur, edges and contours as the contour stage runs them.
std::vector<polyline> show_contours(cv::Mat& work) {
    cv::GaussianBlur(work, work, cv::Size(9, 9), 0);
    cv::Canny(work, work, 20, 150, 3);
    std::vector<polyline> contours;
    extract_contours(work, contours, 0);
    std::stable_sort(contours.begin(), contours.end(),
                     [](const polyline& a, const polyline& b) { return a.count > b.count; });
    return contours;
}

cv::Point pixel_of(const vec3& p) {
    const int hw = film_width / 2, hh = film_height / 2;
    return {int(std::lround(hw - p.y * hw)), int(std::lround(hh - p.x * hh))};
}

double overlap(const cv::Mat& a, const cv::Mat& b) {
    cv::Mat both, either;
    cv::bitwise_and(a, b, both);
    cv::bitwise_or(a, b, either);
    return double(cv::countNonZero(both)) / cv::countNonZero(either);
}

}  // namespace

TEST(Film, TheShowRequestsAHandfulOfFrames) {
    const std::set<int> frames = requested_frames();
    EXPECT_TRUE(frames.count(30));  // the part's first request
    EXPECT_GE(frames.size(), 10u);
    for (int frame : frames) EXPECT_LT(frame, film_frame_count);
}

TEST(Film, EveryRequestedFrameGivesEighteenContoursOnTheFigure) {
    temp_dir dir;
    const std::string root = dir.path.string() + "/";
    for (int request : requested_frames()) {
        SCOPED_TRACE(request);
        write_frame(dir.path, request);
        cv::Mat frame, work;
        ASSERT_TRUE(load_sequence_frame(request, frame, work, root));
        ASSERT_EQ(frame.cols, film_width);
        ASSERT_EQ(frame.rows, film_height);
        ASSERT_EQ(frame.type(), CV_8UC1);

        const std::vector<polyline> contours = show_contours(work);
        ASSERT_GE(contours.size(), 18u);
        cv::Mat near_figure;
        cv::dilate(film_subject_mask(request), near_figure,
                   cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(11, 11)));
        for (size_t c = 0; c < 18; ++c) {
            EXPECT_GE(contours[c].count, 20);
            int off = 0;
            for (const vec3& p : contours[c].points) off += near_figure.at<uchar>(pixel_of(p)) == 0;
            EXPECT_EQ(off, 0) << "contour " << c << " strays off the figure";
        }
        // Together they outline the whole figure, not a cluster of details.
        cv::Rect traced;
        for (size_t c = 0; c < 18; ++c)
            for (const vec3& p : contours[c].points) traced |= cv::Rect(pixel_of(p), cv::Size(1, 1));
        const cv::Rect figure = cv::boundingRect(film_subject_mask(request));
        EXPECT_GT(traced.height, 0.9 * figure.height);
        EXPECT_GT(traced.width, 0.8 * figure.width);
    }
}

TEST(Film, BackgroundHasNoEdgesAfterJpeg) {
    for (int frame : {0, 137, 274, 411, 549}) {
        const std::string bytes = encode_film_frame(frame);
        cv::Mat work = cv::imdecode(std::vector<uchar>(bytes.begin(), bytes.end()), cv::IMREAD_GRAYSCALE);
        cv::GaussianBlur(work, work, cv::Size(9, 9), 0);
        cv::Canny(work, work, 20, 150, 3);
        cv::Mat near_figure;
        cv::dilate(film_subject_mask(frame), near_figure,
                   cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(11, 11)));
        work.setTo(0, near_figure);
        EXPECT_EQ(cv::countNonZero(work), 0) << "frame " << frame;
    }
}

// Consecutive frames differ by a small step of the dance, and the loop closes.
TEST(Film, MotionIsSmoothAndLoops) {
    for (int frame = 0; frame < film_frame_count; frame += 25) {
        const int next = (frame + 1) % film_frame_count;
        EXPECT_GT(overlap(film_subject_mask(frame), film_subject_mask(next)), 0.85) << frame;
    }
    EXPECT_GT(overlap(film_subject_mask(film_frame_count - 1), film_subject_mask(0)), 0.85);
    EXPECT_LT(overlap(film_subject_mask(0), film_subject_mask(55)), 0.7);  // it does dance
}

TEST(Film, FramesAreByteIdenticalOnEveryRun) {
    EXPECT_EQ(encode_film_frame(300), encode_film_frame(300));
    EXPECT_EQ(film_frame_name(7), "imageseq/00007.jpeg");
    EXPECT_EQ(film_frame_name(549), "imageseq/00549.jpeg");
}
