// The show's GL work per frame with nothing else: the two transform-feedback updates
// (500 × 500 and 300 × 300 particles), the main population's line strips and points, the
// splash points, the scene resolve, a full-screen quad into the multisample target and
// its resolve, and a full-screen quad to the window. Trivial shaders, no CPU stages. The
// show's frame rate divided by this one is what its own overhead leaves of the GL's pace.
//
//   bench_gl_bare [--size WxH] [--samples N] [--seconds S] [--warmup N] [--csv FILE]
// prints one line: size, samples, frames, median and p95 frame time, frames per second,
// and the median thread CPU of the updates and of each draw; --csv also writes every
// frame's values (frame_ms, update_cpu_ms, lines_cpu_ms, points_cpu_ms, splash_cpu_ms).
// Without a GPU a draw's thread CPU is its vertex shading and primitive setup, as in the
// show's --stats columns of the same names, so the two compare draw by draw.
#include "platform/platform.h"

#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct options {
    int width = 640, height = 360;
    int samples = 4;
    double seconds = 10;
    int warmup = 3;
    std::string csv;
};

bool parse(int argc, char** argv, options& o)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const char* v = argv[i + 1];
        if (key == "--size") {
            if (std::sscanf(v, "%dx%d", &o.width, &o.height) != 2) return false;
        } else if (key == "--samples") {
            o.samples = std::atoi(v);
        } else if (key == "--seconds") {
            o.seconds = std::atof(v);
        } else if (key == "--warmup") {
            o.warmup = std::atoi(v);
        } else if (key == "--csv") {
            o.csv = v;
        } else {
            return false;
        }
    }
    return (argc % 2) == 1 && o.width > 0 && o.height > 0 && o.samples >= 0;
}

GLuint compile(GLenum kind, const char* source)
{
    const GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1000];
        glGetShaderInfoLog(s, sizeof log, nullptr, log);
        std::fprintf(stderr, "bench_gl_bare: shader: %s\n", log);
    }
    return s;
}

GLuint link(const char* vertex, const char* fragment, bool feedback)
{
    const GLuint p = glCreateProgram();
    glAttachShader(p, compile(GL_VERTEX_SHADER, vertex));
    if (fragment) glAttachShader(p, compile(GL_FRAGMENT_SHADER, fragment));
    if (feedback) {
        const char* varying = "vPosition";
        glTransformFeedbackVaryings(p, 1, &varying, GL_INTERLEAVED_ATTRIBS);
    }
    glBindAttribLocation(p, 0, "State");
    glLinkProgram(p);
    return p;
}

const char* const update_vs = R"(#version 330 compatibility
layout(location = 0) in vec4 State;
out vec4 vPosition;
void main() { vPosition = vec4(State.xyz * 0.9999 + 0.00001, State.w); }
)";

const char* const particle_vs = R"(#version 330 compatibility
layout(location = 0) in vec4 State;
uniform float PointSize;
void main() {
    gl_Position = gl_ModelViewProjectionMatrix * vec4(State.xyz, 1.0);
    gl_PointSize = PointSize;
}
)";

const char* const particle_fs = R"(#version 330 compatibility
layout(location = 0) out vec4 Colour;
layout(location = 1) out vec4 Glow;
void main() { Colour = gl_Color; Glow = 0.3 * gl_Color; }
)";

const char* const quad_vs = R"(#version 330 compatibility
out vec2 uv;
void main() {
    uv = vec2(gl_VertexID & 1, gl_VertexID >> 1);
    gl_Position = vec4(uv * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const quad_fs = R"(#version 330 compatibility
in vec2 uv;
uniform sampler2D Image;
layout(location = 0) out vec4 Colour;
void main() { Colour = texture(Image, uv); }
)";

double thread_cpu_ms()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// This thread's CPU time per part of a frame, in the order of the CSV columns.
enum cpu_part { update_part, lines_part, points_part, splash_part, cpu_parts };
constexpr const char* cpu_part_names[cpu_parts] = {"update", "lines", "points", "splash"};

struct cpu_clock {
    double parts[cpu_parts] = {};
    double last = 0;  // set when the first part starts

    // Charges the time since the last call to part p.
    void charge(cpu_part p)
    {
        const double now = thread_cpu_ms();
        parts[p] += now - last;
        last = now;
    }
};

// A population whose neighbours in index order sit close together, as the show's strips
// join them: a wound curve through a 3-unit ball.
struct population {
    GLuint buffers[2] = {};
    int count = 0;

    void create(int n, float turns)
    {
        count = n;
        std::vector<float> state(size_t(n) * 4);
        for (int i = 0; i < n; ++i) {
            const float u = float(i) / float(n);
            const float a = turns * 6.2831853f * u;
            const float r = 1.5f * std::sin(3.1415927f * u);
            state[size_t(i) * 4 + 0] = r * std::cos(a);
            state[size_t(i) * 4 + 1] = 3.0f * u - 1.5f;
            state[size_t(i) * 4 + 2] = r * std::sin(a);
            state[size_t(i) * 4 + 3] = 1.0f;
        }
        glGenBuffers(2, buffers);
        for (GLuint b : buffers) {
            glBindBuffer(GL_ARRAY_BUFFER, b);
            glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(state.size() * sizeof(float)), state.data(), GL_STREAM_DRAW);
        }
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }

    void bind_source()
    {
        glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    }

    void update(GLuint program)
    {
        glUseProgram(program);
        bind_source();
        glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, buffers[1]);
        glEnable(GL_RASTERIZER_DISCARD);
        glBeginTransformFeedback(GL_POINTS);
        glDrawArrays(GL_POINTS, 0, count);
        glEndTransformFeedback();
        glDisable(GL_RASTERIZER_DISCARD);
        std::swap(buffers[0], buffers[1]);
    }
};

GLuint renderbuffer(int samples, GLenum format, int w, int h)
{
    GLuint r = 0;
    glGenRenderbuffers(1, &r);
    glBindRenderbuffer(GL_RENDERBUFFER, r);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, w, h);
    return r;
}

GLuint texture(GLenum internal, GLenum format, GLenum type, int w, int h)
{
    GLuint t = 0;
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_2D, t);
    glTexImage2D(GL_TEXTURE_2D, 0, internal, w, h, 0, format, type, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return t;
}

// The scene target: two colours and depth, multisampled, resolved into textures.
struct scene_target {
    GLuint draw = 0, resolve = 0;
    GLuint colour0 = 0, colour1 = 0, depth = 0;
    int width = 0, height = 0;

    void create(int w, int h, int samples)
    {
        width = w, height = h;
        glGenFramebuffers(1, &draw);
        glBindFramebuffer(GL_FRAMEBUFFER, draw);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  renderbuffer(samples, GL_RGBA8, w, h));
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_RENDERBUFFER,
                                  renderbuffer(samples, GL_RGBA8, w, h));
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  renderbuffer(samples, GL_DEPTH_COMPONENT24, w, h));
        colour0 = texture(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, w, h);
        colour1 = texture(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, w, h);
        depth = texture(GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, w, h);
        glGenFramebuffers(1, &resolve);
        glBindFramebuffer(GL_FRAMEBUFFER, resolve);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour0, 0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_2D, colour1, 0);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depth, 0);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            std::fprintf(stderr, "bench_gl_bare: resolve target incomplete\n");
    }

    void resolve_colours(int n, bool with_depth)
    {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, draw);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolve);
        for (int k = 0; k < n; ++k) {
            glReadBuffer(GL_COLOR_ATTACHMENT0 + k);
            glDrawBuffer(GL_COLOR_ATTACHMENT0 + k);
            glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        }
        if (with_depth)
            glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    }
};

void draw_quad(GLuint program, GLuint image)
{
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, image);
    glUniform1i(glGetUniformLocation(program, "Image"), 0);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

struct workload {
    GLuint update = 0, particles = 0, quad = 0;
    population main, splash;
    scene_target scene;
    GLuint empty_vao = 0;

    void create(const options& o)
    {
        update = link(update_vs, nullptr, true);
        particles = link(particle_vs, particle_fs, false);
        quad = link(quad_vs, quad_fs, false);
        main.create(500 * 500, 400.0f);
        splash.create(300 * 300, 150.0f);
        GLint max_samples = 0;
        glGetIntegerv(GL_MAX_SAMPLES, &max_samples);
        scene.create(o.width, o.height, std::min(o.samples, int(max_samples)));
        glGenVertexArrays(1, &empty_vao);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        const double f = 0.1 * std::tan(3.1415927 * 22.5 / 180.0), aspect = double(o.width) / o.height;
        glFrustum(-f * aspect, f * aspect, -f, f, 0.1, 800.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0, 0, -5);
        glUseProgram(particles);
        glUniform1f(glGetUniformLocation(particles, "PointSize"), std::max(1.0f, 2.0f * float(o.height) / 720.0f));
    }

    void draw_populations(cpu_clock& clock)
    {
        glUseProgram(particles);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ZERO);
        glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
        glEnable(GL_POINT_SMOOTH);
        main.bind_source();
        const int n = main.count;
        glColor3f(0.9f, 0.9f, 0.9f);
        glLineWidth(1);
        clock.charge(update_part);
        glDrawArrays(GL_LINE_STRIP, 0, n);
        glLineWidth(2);
        glDrawArrays(GL_LINE_STRIP, 100, n * 13 / 100);
        glLineWidth(4);
        glDrawArrays(GL_LINE_STRIP, 20000, n / 100);
        glDrawArrays(GL_LINE_STRIP, 200000, n * 2 / 100);
        glColor3f(1, 1, 1);
        clock.charge(lines_part);
        glDrawArrays(GL_POINTS, 0, n);
        clock.charge(points_part);
        splash.bind_source();
        glDrawArrays(GL_POINTS, 0, splash.count);
        clock.charge(splash_part);
        glDisableVertexAttribArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glDisable(GL_BLEND);
        glLineWidth(1);
    }

    // The frame's GL calls; the updates and the particle draws charge their thread CPU to clock.
    void frame(const options& o, cpu_clock& clock)
    {
        const GLenum both[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
        glBindFramebuffer(GL_FRAMEBUFFER, scene.draw);
        glDrawBuffers(2, both);
        glViewport(0, 0, o.width, o.height);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        clock.last = thread_cpu_ms();
        main.update(update);
        splash.update(update);
        draw_populations(clock);
        scene.resolve_colours(2, true);

        glBindVertexArray(empty_vao);
        glDisable(GL_DEPTH_TEST);
        glBindFramebuffer(GL_FRAMEBUFFER, scene.draw);
        glDrawBuffers(1, both);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw_quad(quad, scene.colour0);
        scene.resolve_colours(1, false);

        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDrawBuffer(GL_BACK);
        draw_quad(quad, scene.colour0);
        glBindVertexArray(0);
        glUseProgram(0);
    }
};

double seconds_now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t k = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return v[k];
}

}  // namespace

int main(int argc, char** argv)
{
    // As the show does: with the C library's default the point draws' scratch memory is
    // faulted in again each frame, and the baseline doubles some runs (MSAA most of all).
    platform_keep_freed_memory();
    options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "usage: bench_gl_bare [--size WxH] [--samples N] [--seconds S] [--warmup N] [--csv FILE]\n");
        return 2;
    }
    if (!platform_init_video()) return 1;
    platform_window* window = platform_create_window("bare GL", 50, 50, o.width, o.height, 0);
    platform_context* context = window ? platform_create_context(window) : nullptr;
    if (!context || !platform_make_current(window, context)) {
        std::fprintf(stderr, "bench_gl_bare: no GL context\n");
        return 1;
    }
    platform_set_vsync(false);
    glewExperimental = GL_TRUE;
    if (const GLenum e = glewInit(); e != GLEW_OK) {
        std::fprintf(stderr, "bench_gl_bare: glewInit error %u\n", unsigned(e));
        return 1;
    }
    glGetError();

    workload w;
    w.create(o);
    GLint samples = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, w.scene.draw);
    glGetIntegerv(GL_SAMPLES, &samples);

    std::vector<double> frame_ms;
    std::vector<cpu_clock> frame_cpu;
    const double start = seconds_now();
    double last = start;
    for (int i = 0; last - start < o.seconds || i < o.warmup + 3; ++i) {
        platform_event ev;
        while (platform_poll_event(ev)) {
        }
        cpu_clock clock;
        w.frame(o, clock);
        platform_swap(window);
        const double now = seconds_now();
        if (i >= o.warmup) {
            frame_ms.push_back((now - last) * 1000.0);
            frame_cpu.push_back(clock);
        }
        last = now;
    }
    const GLenum error = glGetError();
    const double median = percentile(frame_ms, 0.5);
    std::printf("bare_gl size=%dx%d samples=%d frames=%zu median_ms=%.3f p95_ms=%.3f fps=%.3f",
                o.width, o.height, int(samples), frame_ms.size(), median, percentile(frame_ms, 0.95),
                median > 0 ? 1000.0 / median : 0.0);
    for (int p = 0; p < cpu_parts; ++p) {
        std::vector<double> part;
        for (const cpu_clock& c : frame_cpu) part.push_back(c.parts[p]);
        std::printf(" %s_cpu_ms=%.3f", cpu_part_names[p], percentile(part, 0.5));
    }
    std::printf(" gl_error=0x%x\n", error);
    if (std::FILE* f = o.csv.empty() ? nullptr : std::fopen(o.csv.c_str(), "w")) {
        std::fputs("frame_ms", f);
        for (const char* name : cpu_part_names) std::fprintf(f, ",%s_cpu_ms", name);
        std::fputs("\n", f);
        for (size_t i = 0; i < frame_ms.size(); ++i) {
            std::fprintf(f, "%.3f", frame_ms[i]);
            for (double ms : frame_cpu[i].parts) std::fprintf(f, ",%.3f", ms);
            std::fputs("\n", f);
        }
        std::fclose(f);
    }
    platform_delete_context(context);
    platform_destroy_window(window);
    platform_shutdown();
    return error == GL_NO_ERROR ? 0 : 1;
}
