#include "app/capture.h"

#include "app/step_schedule.h"

#include <GL/glew.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cstdio>

capture_session g_capture;

bool capture_start_at(capture_session& c, double from)
{
    c.first = long(capture_first_multiple(from, c.fps));
    c.from = double(c.first) / c.fps;
    return c.from == from || (from <= 0 && c.first == 0);
}

double capture_frame_time(const capture_session& c, long k) { return double(c.first + k + 1) / c.fps; }

long capture_frame_count(const capture_session& c)
{
    long n = 0;
    while (capture_frame_time(c, n) <= c.to) ++n;
    return n;
}

double capture_pace(double seconds_per_frame, long done, double frame_seconds)
{
    const double weight = 1.0 / double(done < 1 ? 1 : done < 64 ? done : 64);
    return seconds_per_frame + weight * (frame_seconds - seconds_per_frame);
}

std::string capture_progress(long done, long total, double show_time, double seconds_per_frame)
{
    const double fps = seconds_per_frame > 0 ? 1.0 / seconds_per_frame : 0;
    const long eta = long(double(total - done) * seconds_per_frame + 0.5);
    char buf[128];
    std::snprintf(buf, sizeof buf, "frame %ld/%ld  show %.2f s  %.1f fps  ETA %ld:%02ld", done, total, show_time,
                  fps, eta / 60, eta % 60);
    return buf;
}

std::string capture_png_name(const std::string& dir, long index)
{
    char name[32];
    std::snprintf(name, sizeof name, "/%06ld.png", index);
    return dir + name;
}

bool capture_write_png(const std::string& dir, long index, int width, int height)
{
    cv::Mat rgb(height, width, CV_8UC3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, rgb.data);
    cv::flip(rgb, rgb, 0);  // GL rows run bottom-up
    const std::string path = capture_png_name(dir, index);
    if (!cv::imwrite(path, rgb)) {
        std::fprintf(stderr, "thornwake: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
