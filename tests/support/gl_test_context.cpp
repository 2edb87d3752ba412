#include "tests/support/gl_test_context.h"

#include <GL/glew.h>
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static SDL_Window* g_window = nullptr;

// One try: SDL, a hidden window, a context and GLEW. False with the reason on stderr.
static bool create(int width, int height, int attempt)
{
    // GLEW here speaks GLX, so only X will do. Left to fall back to its offscreen driver,
    // SDL loads a GL driver that GLEW then refuses; unloaded again, it leaves leaks that
    // the leak checker cannot attribute, and a test that passed on the retry fails.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_DEFAULT);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "gl test: attempt %d: SDL_Init: %s\n", attempt, SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    g_window = SDL_CreateWindow("gl test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!g_window || !SDL_GL_CreateContext(g_window)) {
        std::fprintf(stderr, "gl test: attempt %d: no window/context: %s\n", attempt, SDL_GetError());
        return false;
    }
    glewExperimental = GL_TRUE;
    // GLEW here speaks GLX: it fails when SDL fell back to a driver without X.
    if (const GLenum e = glewInit(); e != GLEW_OK) {
        std::fprintf(stderr, "gl test: attempt %d: glewInit error %u under SDL's %s video driver\n", attempt,
                     unsigned(e), SDL_GetCurrentVideoDriver());
        return false;
    }
    glGetError();  // glewInit may leave GL_INVALID_ENUM behind on some drivers
    return true;
}

bool gl_test_context::get(int width, int height)
{
    static bool tried = false, ok = false;
    if (tried) return ok;
    tried = true;
    // Under CI a test process once found no X display: try again shortly before failing.
    const int attempts = required() ? 3 : 1;
    for (int attempt = 1; attempt <= attempts && !ok; ++attempt) {
        if (attempt > 1) {
            SDL_Quit();
            g_window = nullptr;
            SDL_Delay(500);
        }
        ok = create(width, height, attempt);
    }
    return ok;
}

void gl_test_context::swap()
{
    if (g_window) SDL_GL_SwapWindow(g_window);
}

bool gl_test_context::required()
{
    const char* ci = std::getenv("CI");
    return ci && *ci && std::strcmp(ci, "false") != 0 && std::strcmp(ci, "0") != 0;
}
