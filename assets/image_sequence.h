// The video: 550 grey JPEG frames "imageseq//00000.jpeg".."imageseq//00549.jpeg", decoded
// with OpenCV, and the contour lines of an edge image as normalised polylines.
#pragma once
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "assets/polyline.h"

inline constexpr int sequence_frame_total = 550;

// Any request is wrapped into 0..549 (negative requests read as 0).
int sequence_frame_number(int request);
// "imageseq//00042.jpeg" for frame 42, relative to the working directory.
std::string sequence_frame_name(int frame);

// Releases both images, then decodes the requested frame as 8-bit grey: `frame` stays
// pristine, `work` is a copy of it for the scenes to overwrite. A missing or unreadable file
// leaves both empty and returns false; callers then skip every image operation.
// `root` is prepended to the file name (tests point it at a folder of their own).
bool load_sequence_frame(int request, cv::Mat& frame, cv::Mat& work,
                         const std::string& root = "");

// The part's per-frame step: does nothing while `request` equals `idle`; otherwise
// consumes it (request = idle) and loads the frame. True when a frame was loaded.
bool serve_sequence_request(int& request, int idle, cv::Mat& frame, cv::Mat& work,
                            const std::string& root = "");

// The file the current frame was decoded from, as it was on disk then.
struct sequence_source {
    std::string path;  // empty: no frame held
    long long size = -1;
    long long mtime_ns = 0;
};

// As above, but a request for the file `source` names, unchanged on disk since, keeps
// `frame` and only refreshes `work` from it: the show asks for the same frame every frame.
bool serve_sequence_request(int& request, int idle, cv::Mat& frame, cv::Mat& work,
                            sequence_source& source, const std::string& root = "");

// Appends one closed polyline per contour of a binary edge image (8-bit, one channel,
// non-zero = edge). Mode 1: outer contours of a two-level search with linked runs; any
// other mode: every contour with every boundary pixel. Pixel (c, r) of a w x h image
// becomes x = (h/2 - r)/(h/2), y = (w/2 - c)/(w/2), z = 0. The list is never cleared.
void extract_contours(const cv::Mat& image, std::vector<polyline>& contours, int mode);

// The contour point of one pixel, exposed for tests and the scenes' own checks.
vec3 contour_point(int column, int row, int width, int height);
