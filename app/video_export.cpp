#include "app/video_export.h"

#include <GL/glew.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

extern char** environ;

namespace {
struct encoder {
    pid_t pid = -1;
    int pipe_fd = -1;
    video_settings settings;
    std::thread writer;
    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::vector<unsigned char>> queue;
    std::vector<std::vector<unsigned char>> spare;
    bool closing = false;
    bool broken = false;
};
encoder g_enc;

// Two frames in flight keep ffmpeg busy without letting memory grow.
constexpr size_t max_queued = 2;

void writer_loop()
{
    for (;;) {
        std::vector<unsigned char> frame;
        {
            std::unique_lock<std::mutex> l(g_enc.lock);
            g_enc.changed.wait(l, [] { return !g_enc.queue.empty() || g_enc.closing; });
            if (g_enc.queue.empty()) return;
            frame = std::move(g_enc.queue.front());
            g_enc.queue.pop_front();
        }
        g_enc.changed.notify_all();
        size_t done = 0;
        while (done < frame.size()) {
            const ssize_t n = write(g_enc.pipe_fd, frame.data() + done, frame.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                std::lock_guard<std::mutex> l(g_enc.lock);
                g_enc.broken = true;
                g_enc.queue.clear();
                g_enc.changed.notify_all();
                return;
            }
            done += size_t(n);
        }
        std::lock_guard<std::mutex> l(g_enc.lock);
        g_enc.spare.push_back(std::move(frame));
    }
}

std::string number(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    return buf;
}

int wait_child()
{
    int status = 0;
    while (waitpid(g_enc.pid, &status, 0) < 0 && errno == EINTR) {
    }
    g_enc.pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

// Xlib ends the process through exit() when the display goes away. Destroying the encoder
// while the writer thread waits on its condition would then block forever, and ffmpeg would
// leave a partial file: stop both first.
void abort_at_exit() { video_abort(); }

void stop_writer()
{
    {
        std::lock_guard<std::mutex> l(g_enc.lock);
        g_enc.closing = true;
    }
    g_enc.changed.notify_all();
    if (g_enc.writer.joinable()) g_enc.writer.join();
    if (g_enc.pipe_fd >= 0) close(g_enc.pipe_fd);
    g_enc.pipe_fd = -1;
}
}  // namespace

std::vector<std::string> ffmpeg_arguments(const video_settings& s)
{
    const std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
    // Every second of video is a closed group of pictures at a constant quantiser, so its
    // encoding depends on nothing outside it: exports of adjacent whole-second ranges, joined
    // without re-encoding, decode to the very frames of one export (scripts/render-parallel).
    // CRF would not do: its rate control and lookahead carry state across the cut.
    const std::string second = std::to_string(s.fps);
    const std::string gop = "keyint=" + second + ":min-keyint=" + second + ":scenecut=0:open-gop=0";
    return {"-hide_banner", "-loglevel", "error", "-nostdin", "-y",
            "-f", "rawvideo", "-pix_fmt", "rgb24", "-s", size, "-r", std::to_string(s.fps), "-i", "-",
            "-ss", number(s.music_start), "-t", number(s.seconds), "-i", s.music,
            "-map", "0:v", "-map", "1:a",
            // GL rows arrive bottom-up.
            "-vf", "vflip", "-c:v", "libx264", "-qp", std::to_string(video_quantiser),
            // At a fixed quantiser the fastest preset keeps the frames as well (SSIM against
            // them within about a thousandth of veryfast's) and only compresses less: about a
            // quarter more bytes for under half the encoder's CPU, which an export without a
            // GPU takes from the rasteriser. The deblocking filter it leaves out costs little: on.
            "-preset", "ultrafast", "-deblock", "0:0",
            "-x264-params", gop, "-pix_fmt", "yuv420p",
            "-c:a", "aac", "-b:a", "192k", "-movflags", "+faststart", s.output};
}

bool video_open(const video_settings& s)
{
    g_enc.settings = s;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "thornwake: cannot make a pipe for ffmpeg: %s\n", std::strerror(errno));
        return false;
    }
    fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    std::vector<std::string> args = ffmpeg_arguments(s);
    args.insert(args.begin(), "ffmpeg");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawnp(&g_enc.pid, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (rc != 0) {
        close(fds[1]);
        std::fprintf(stderr, "thornwake: cannot start ffmpeg (%s); install it with scripts/install-deps\n",
                     std::strerror(rc));
        return false;
    }
    // A dying ffmpeg must show up as a failed write, not kill us.
    signal(SIGPIPE, SIG_IGN);
    g_enc.pipe_fd = fds[1];
    g_enc.closing = g_enc.broken = false;
    g_enc.writer = std::thread(writer_loop);
    // Registered after g_enc was built, so it runs before g_enc's destructor.
    static const bool hooked = std::atexit(abort_at_exit) == 0;
    (void)hooked;
    return true;
}

bool video_write_frame()
{
    const video_settings& s = g_enc.settings;
    std::vector<unsigned char> frame;
    {
        std::unique_lock<std::mutex> l(g_enc.lock);
        g_enc.changed.wait(l, [] { return g_enc.queue.size() < max_queued || g_enc.broken; });
        if (g_enc.broken) return false;
        if (!g_enc.spare.empty()) {
            frame = std::move(g_enc.spare.back());
            g_enc.spare.pop_back();
        }
    }
    frame.resize(size_t(s.width) * s.height * 3);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, s.width, s.height, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
    {
        std::lock_guard<std::mutex> l(g_enc.lock);
        g_enc.queue.push_back(std::move(frame));
    }
    g_enc.changed.notify_all();
    return true;
}

bool video_close()
{
    if (g_enc.pid < 0) return false;
    stop_writer();
    const bool broken = g_enc.broken;
    const int code = wait_child();
    if (broken || code != 0) {
        std::fprintf(stderr, "thornwake: ffmpeg failed (exit code %d); removed the partial %s\n", code,
                     g_enc.settings.output.c_str());
        std::remove(g_enc.settings.output.c_str());
        return false;
    }
    return true;
}

void video_abort()
{
    if (g_enc.pid < 0) return;
    kill(g_enc.pid, SIGTERM);
    {
        std::lock_guard<std::mutex> l(g_enc.lock);
        g_enc.queue.clear();
        g_enc.broken = true;
    }
    stop_writer();
    wait_child();
    std::remove(g_enc.settings.output.c_str());
}
