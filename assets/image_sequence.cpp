#include "assets/image_sequence.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <sys/stat.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "assets/asset_registry.h"

// OpenCV 4's C++ enum lost the linked-runs method, but findContours still implements it.
static constexpr int chain_link_runs = 5;

int sequence_frame_number(int request)
{
    int k = request >= 0 ? request : 0;
    return k % sequence_frame_total;
}

std::string sequence_frame_name(int frame)
{
    // Frames are 0..549 after wrapping; the four widths keep the names five digits long.
    const char* format = frame < 10     ? "imageseq//0000%d.jpeg"
                         : frame < 100  ? "imageseq//000%d.jpeg"
                         : frame < 1000 ? "imageseq//00%d.jpeg"
                                        : "imageseq//0%d.jpeg";
    char name[64];
    std::snprintf(name, sizeof name, format, frame);
    return name;
}

static void register_frame(const std::string& path, const cv::Mat& image)
{
    if (!asset_registry_enabled()) return;
    std::error_code ec;
    auto bytes = std::filesystem::file_size(path, ec);
    register_asset(asset_kind_image, path, ec ? 0 : static_cast<long long>(bytes), image.cols, image.rows);
}

bool load_sequence_frame(int request, cv::Mat& frame, cv::Mat& work, const std::string& root)
{
    frame.release();
    work.release();
    const std::string path = root + sequence_frame_name(sequence_frame_number(request));
    // A missing frame is an ordinary state (nothing is reported); imread would warn on the
    // console every frame.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    cv::Mat decoded = cv::imread(path, cv::IMREAD_GRAYSCALE);
    // Both or neither: the scenes test one member and then use the other.
    if (decoded.empty()) return false;
    frame = std::move(decoded);
    work = frame.clone();
    register_frame(path, frame);
    return true;
}

bool serve_sequence_request(int& request, int idle, cv::Mat& frame, cv::Mat& work, const std::string& root)
{
    if (request == idle) return false;
    const int asked = request;
    request = idle;
    return load_sequence_frame(asked, frame, work, root);
}

static sequence_source stat_source(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return {path, static_cast<long long>(st.st_size),
            static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

bool serve_sequence_request(int& request, int idle, cv::Mat& frame, cv::Mat& work, sequence_source& source,
                            const std::string& root)
{
    if (request == idle) return false;
    const int asked = request;
    request = idle;
    const sequence_source now = stat_source(root + sequence_frame_name(sequence_frame_number(asked)));
    const bool unchanged = !now.path.empty() && now.path == source.path && now.size == source.size &&
                           now.mtime_ns == source.mtime_ns;
    if (unchanged && !frame.empty()) {
        frame.copyTo(work);
        register_frame(now.path, frame);
        return true;
    }
    const bool loaded = load_sequence_frame(asked, frame, work, root);
    source = loaded ? now : sequence_source{};
    return loaded;
}

vec3 contour_point(int column, int row, int width, int height)
{
    // A one-pixel-wide image would divide by zero and fill the emitter with NaN.
    const int hw = std::max(width / 2, 1), hh = std::max(height / 2, 1);
    const double inv_hw = 1.0 / hw, inv_hh = 1.0 / hh;
    return make_vec3(static_cast<float>((hh - row) * inv_hh), static_cast<float>((hw - column) * inv_hw), 0.0f);
}

static polyline to_polyline(const std::vector<cv::Point>& contour, int width, int height)
{
    polyline line;
    line.closed = true;
    line.points.reserve(contour.size());
    for (const cv::Point& p : contour) line.points.push_back(contour_point(p.x, p.y, width, height));
    line.count = static_cast<int32_t>(line.points.size());
    return line;
}

void extract_contours(const cv::Mat& image, std::vector<polyline>& contours, int mode)
{
    if (image.empty() || image.type() != CV_8UC1) return;
    std::vector<std::vector<cv::Point>> found;
    std::vector<cv::Vec4i> hierarchy;
    if (mode == 1) {
        // Outer boundaries only: follow the top level's next links, skipping the holes.
        cv::findContours(image, found, hierarchy, cv::RETR_CCOMP, chain_link_runs);
        for (int i = found.empty() ? -1 : 0; i >= 0; i = hierarchy[size_t(i)][0])
            contours.push_back(to_polyline(found[size_t(i)], image.cols, image.rows));
        return;
    }
    cv::findContours(image, found, hierarchy, cv::RETR_LIST, cv::CHAIN_APPROX_NONE);
    contours.reserve(contours.size() + found.size());
    for (const auto& c : found) contours.push_back(to_polyline(c, image.cols, image.rows));
}
