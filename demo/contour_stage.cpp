#include "demo/contour_stage.h"

#include "assets/image_sequence.h"
#include "demo/part_start.h"
#include "render/frame_stats.h"
#include "render/shader_bank.h"

#include <GL/glew.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstring>
#include <utility>

void find_edges(cv::Mat& work)
{
    // Replicated borders, as the show's original smoothing call had.
    cv::GaussianBlur(work, work, cv::Size(9, 9), 0, 0, cv::BORDER_REPLICATE);
    cv::Canny(work, work, 20, 150, 3);
}

void sort_longest_first(std::vector<polyline>& contours, int keep)
{
    const size_t size = contours.size();
    const size_t passes = std::min(size, size_t(keep > 0 ? keep : 0));
    for (size_t i = 0; i < passes; ++i)
        for (size_t j = i; j < size; ++j)
            if (contours[i].count < contours[j].count) std::swap(contours[i], contours[j]);
}

namespace {

bool same_points(const polyline& a, const polyline& b)
{
    return a.count == b.count && a.points.size() == b.points.size() &&
           (a.points.empty() ||
            std::memcmp(a.points.data(), b.points.data(), a.points.size() * sizeof(vec3)) == 0);
}

// The working copy of contour k: open, and smoothed when long enough. Smoothing depends
// on the record alone, so a record equal to the one met at place k last time keeps its
// copy: while the video holds a frame, its contours come back unchanged every frame.
const polyline& prepared_copy(const polyline& record, size_t k, contour_scratch& scratch)
{
    if (scratch.copies.size() <= k) {
        polyline never_met;
        never_met.count = -1;
        scratch.copies.resize(k + 1);
        scratch.sources.resize(k + 1, never_met);
    }
    polyline& source = scratch.sources[k];
    polyline& copy = scratch.copies[k];
    if (same_points(source, record)) return copy;
    source.points = record.points;
    source.count = record.count;
    copy.points = record.points;  // copy-assignment keeps the scratch's capacity
    copy.closed = false;
    copy.count = record.count;
    const int32_t n = record.count;
    if (n > contour_smoothing_threshold) {
        copy.resample(n / 10, 3);
        copy.resample(n, 3);
    }
    return copy;
}

}  // namespace

int32_t emit_contours(std::vector<polyline>& contours, double t, path_view path,
                      emitter_cloud& cloud, contour_scratch& scratch)
{
    const int used = int(std::min(contours.size(), size_t(max_contours)));
    sort_longest_first(contours, used);
    const int32_t m = samples_per_segment(t);
    int32_t cursor = 0;
    for (int k = 0; k < used; ++k) {
        polyline& record = contours[k];
        record.closed = false;
        const std::vector<vec3>& points = prepared_copy(record, size_t(k), scratch).points;
        const int32_t n = record.count;
        const contour_drift drift = contour_drift_for(n);
        if (n < 2 || points.empty()) continue;

        // Each point is placed once; segment l joins placed points l and l + 1.
        const contour_motion motion = contour_motion_at(t, k, drift, path);
        scratch.placed.resize(points.size());
        for (size_t i = 0; i < points.size(); ++i)
            scratch.placed[i] = place_contour_point(points[i], motion);

        const size_t last = points.size() - 1;
        for (int32_t l = 0; l + 1 < n; ++l) {
            const vec3 p = scratch.placed[std::min(size_t(l), last)];
            const vec3 q = scratch.placed[std::min(size_t(l) + 1, last)];
            cloud.sample_segment(p, q, cursor, m, contour_colour);
            // A spark: a straight streak from p five units up. contour_drift_for reseeded
            // the generator from n, so the same segments spark in every frame: while the
            // video holds a frame each spark stands still as a line out of the picture.
            if (spark_due()) cloud.sample_segment(p, add(p, spark_rise), cursor, m, contour_colour);
        }
    }
    return cursor;
}

void park_emitter(emitter_cloud& cloud, int32_t cursor, double t)
{
    if (!parks_emitter(t)) return;
    const size_t texels = std::min(size_t(std::max(cloud.capacity(), 0)), cloud.positions.size() / 3);
    for (size_t i = size_t(std::max(cursor, 0)); i < texels; ++i) {
        float* p = &cloud.positions[i * 3];
        p[0] = park_position.x;
        p[1] = park_position.y;
        p[2] = park_position.z;
    }
}

namespace {

struct contour_workspace {
    std::vector<polyline> contours;
    contour_scratch scratch;
    cv::Mat traced;  // the frame `contours` were traced from
};

// One per process: the stage runs on the GL thread only, once per frame.
contour_workspace& workspace()
{
    static contour_workspace w;
    return w;
}

// The contours depend on the frame alone, and emitting leaves the list as it found it
// (already sorted, already open), so while the video holds a frame its contours are kept.
void trace_contours(cv::Mat& work, contour_workspace& w)
{
    const bool same = w.traced.size() == work.size() && w.traced.isContinuous() && work.isContinuous() &&
                      std::equal(work.datastart, work.dataend, w.traced.datastart);
    if (same) return;
    work.copyTo(w.traced);
    find_edges(work);
    w.contours.clear();
    extract_contours(work, w.contours, 0);
}

bool has_sequence_image(const part_start& part)
{
    const auto usable = [](const cv::Mat& m) { return !m.empty() && m.type() == CV_8UC1; };
    return usable(part.seq_frame) && usable(part.seq_work);
}

void draw_dust_points(double t)
{
    const auto dust = dust_points_at(t);
    float size = 0;
    for (const dust_point& d : dust) {
        if (d.size != size) {
            if (size != 0) glEnd();
            size = d.size;
            glPointSize(size);
            glBegin(GL_POINTS);
        }
        glColor3f(dust_colour.x, dust_colour.y, dust_colour.z);
        glVertex3f(d.x, d.y, d.z);
    }
    if (size != 0) glEnd();
}

}  // namespace

void run_contour_step(part_start& part, double t)
{
    frame_stage_timer timer(frame_stage::contours);
    contour_workspace& w = workspace();
    int32_t cursor = 0;
    // Without a frame there is nothing to trace; the emitter is still parked and sent.
    if (has_sequence_image(part)) {
        trace_contours(part.seq_work, w);
        const path_view path{part.path.points, part.path.channel};
        cursor = emit_contours(w.contours, t, path, part.cloud_box, w.scratch);
    }
    park_emitter(part.cloud_box, cursor, t);
    timer.switch_to(frame_stage::emitter_upload);
    part.cloud_box.upload();
}

void draw_contour_stage(double t)
{
    frame_stage_timer timer(frame_stage::draw);
    glDisable(GL_BLEND);
    shader_bank::unuse_program();
    glLineWidth(2);
    glDisable(GL_TEXTURE_2D);
    // The passes after the scene clear to this grey.
    glClearColor(0.1f, 0.1f, 0.1f, 0);

    draw_dust_points(t);
    glPointSize(2);
    glLineWidth(1);
    glColor3f(1, 1, 1);
    glMatrixMode(GL_TEXTURE);
    glActiveTexture(GL_TEXTURE0);
}
