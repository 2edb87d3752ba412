#include "platform/platform.h"
#include "platform/overlay_window.h"
#include "base/virtual_keys.h"

#include <SDL2/SDL.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

struct platform_window {
    SDL_Window* sdl = nullptr;
};
struct platform_context {
    SDL_GLContext gl = nullptr;
};

static bool g_messages_to_stderr = false;

void platform_keep_freed_memory()
{
#if defined(__GLIBC__)
    // Never trim the heap's top, and serve blocks up to 32 MB (glibc's largest threshold)
    // from the heap, where a freed one is reused instead of unmapped.
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
}

bool platform_init_video()
{
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    return SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
}

std::string platform_last_error() { return SDL_GetError(); }

std::string platform_video_driver()
{
    const char* name = SDL_GetCurrentVideoDriver();
    return name ? name : "";
}

bool platform_has_display()
{
    const char* x = std::getenv("DISPLAY");
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wl && *wl);
}

void platform_shutdown() { SDL_Quit(); }

std::vector<display_mode> platform_display_modes()
{
    std::vector<display_mode> modes;
    if (!platform_init_video()) return modes;
    const int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
        SDL_DisplayMode m;
        if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
        modes.push_back({m.w, m.h, int(SDL_BITSPERPIXEL(m.format)), m.refresh_rate});
    }
    return modes;
}

platform_window* platform_create_window(const char* title, int x, int y, int width, int height, unsigned flags)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    Uint32 sdl_flags = SDL_WINDOW_OPENGL;
    if (flags & window_fullscreen) sdl_flags |= SDL_WINDOW_FULLSCREEN;
    if (flags & window_hidden) sdl_flags |= SDL_WINDOW_HIDDEN;
    SDL_Window* w = SDL_CreateWindow(title, x, y, width, height, sdl_flags);
    if (!w) return nullptr;
    return new platform_window{w};
}

bool platform_set_fullscreen_mode(platform_window* w, int width, int height, int bits)
{
    SDL_DisplayMode want{}, got{};
    want.w = width;
    want.h = height;
    if (!SDL_GetClosestDisplayMode(0, &want, &got)) return false;
    if (got.w != width || got.h != height) return false;
    if (bits && int(SDL_BITSPERPIXEL(got.format)) < 24 && bits >= 24) return false;
    return SDL_SetWindowDisplayMode(w->sdl, &got) == 0;
}

void platform_destroy_window(platform_window* w)
{
    if (!w) return;
    SDL_DestroyWindow(w->sdl);
    delete w;
}

void platform_focus_window(platform_window* w)
{
    SDL_ShowWindow(w->sdl);
    SDL_RaiseWindow(w->sdl);
}

platform_context* platform_create_context(platform_window* w)
{
    SDL_GLContext c = SDL_GL_CreateContext(w->sdl);
    return c ? new platform_context{c} : nullptr;
}

bool platform_make_current(platform_window* w, platform_context* c)
{
    return SDL_GL_MakeCurrent(w ? w->sdl : nullptr, c ? c->gl : nullptr) == 0;
}

void platform_delete_context(platform_context* c)
{
    if (!c) return;
    SDL_GL_DeleteContext(c->gl);
    delete c;
}

void platform_set_vsync(bool on) { SDL_GL_SetSwapInterval(on ? 1 : 0); }
void platform_swap(platform_window* w) { SDL_GL_SwapWindow(w->sdl); }

void platform_show_cursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void platform_inhibit_screensaver(bool inhibit)
{
    if (inhibit) SDL_DisableScreenSaver();
    else SDL_EnableScreenSaver();
}

void platform_messages_to_stderr(bool on) { g_messages_to_stderr = on; }

static Uint32 sdl_icon(message_icon icon)
{
    switch (icon) {
    case message_icon::information: return SDL_MESSAGEBOX_INFORMATION;
    case message_icon::exclamation: return SDL_MESSAGEBOX_WARNING;
    case message_icon::stop: return SDL_MESSAGEBOX_ERROR;
    }
    return SDL_MESSAGEBOX_INFORMATION;
}

static void print_message(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

void platform_message_box(const char* caption, const char* text, message_icon icon)
{
    if (g_messages_to_stderr || !platform_has_display() ||
        SDL_ShowSimpleMessageBox(sdl_icon(icon), caption, text, nullptr) != 0)
        print_message(caption, text);
}

bool platform_ask_yes_no(const char* caption, const char* text, message_icon icon)
{
    if (g_messages_to_stderr || !platform_has_display()) {
        print_message(caption, text);
        std::fprintf(stderr, "%s: answered Yes\n", caption);
        return true;
    }
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
    };
    const SDL_MessageBoxData data{sdl_icon(icon), nullptr, caption, text, 2, buttons, nullptr};
    int pressed = 0;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        print_message(caption, text);
        return true;
    }
    return pressed == 1;
}

bool platform_set_clipboard(const char* text) { return platform_init_video() && SDL_SetClipboardText(text) == 0; }

uint64_t platform_counter() { return SDL_GetPerformanceCounter(); }
uint64_t platform_counter_frequency() { return SDL_GetPerformanceFrequency(); }

int vk_from_sdl_keycode(int32_t key)
{
    if (key >= SDLK_a && key <= SDLK_z) return vk_a + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return vk_0 + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return vk_f1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return vk_numpad_1 + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_ESCAPE: return vk_escape;
    case SDLK_SPACE: return vk_space;
    case SDLK_RETURN: return vk_return;
    case SDLK_TAB: return vk_tab;
    case SDLK_BACKSPACE: return vk_backspace;
    case SDLK_LEFT: return vk_left;
    case SDLK_UP: return vk_up;
    case SDLK_RIGHT: return vk_right;
    case SDLK_DOWN: return vk_down;
    case SDLK_PAGEUP: return vk_page_up;
    case SDLK_PAGEDOWN: return vk_page_down;
    case SDLK_END: return vk_end;
    case SDLK_HOME: return vk_home;
    case SDLK_INSERT: return vk_insert;
    case SDLK_DELETE: return vk_delete;
    case SDLK_KP_0: return vk_numpad_0;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return vk_shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return vk_control;
    case SDLK_LALT:
    case SDLK_RALT: return vk_alt;
    case SDLK_PAUSE: return vk_pause;
    case SDLK_CAPSLOCK: return vk_caps_lock;
    default: return 0;
    }
}

static int32_t sdl_keycode_from_vk(int vk)
{
    for (int32_t k : {SDLK_ESCAPE, SDLK_SPACE, SDLK_RETURN, SDLK_UP, SDLK_DOWN, SDLK_F1, SDLK_F10})
        if (vk_from_sdl_keycode(k) == vk) return k;
    if (vk >= vk_a && vk <= vk_z) return SDLK_a + (vk - vk_a);
    if (vk >= vk_0 && vk <= vk_9) return SDLK_0 + (vk - vk_0);
    return SDLK_UNKNOWN;
}

void platform_push_key(int vk, bool down)
{
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sdl_keycode_from_vk(vk);
    e.key.keysym.scancode = SDL_GetScancodeFromKey(e.key.keysym.sym);
    SDL_PushEvent(&e);
}

// Alt combinations and F10 are system keys: the show never records them.
static bool is_system_key(const SDL_KeyboardEvent& k)
{
    return (k.keysym.mod & KMOD_ALT) || k.keysym.sym == SDLK_F10 || k.keysym.sym == SDLK_LALT ||
           k.keysym.sym == SDLK_RALT;
}

bool platform_poll_event(platform_event& ev)
{
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    ev = {};
    ev.kind = event_kind::other;
    if (platform_overlay_take_event(&e)) return true;
    switch (e.type) {
    case SDL_QUIT: ev.kind = event_kind::close; break;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: ev.kind = event_kind::close; break;
        case SDL_WINDOWEVENT_MINIMIZED: ev.kind = event_kind::minimise; break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_FOCUS_GAINED: ev.kind = event_kind::activate; break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            ev.kind = event_kind::size;
            ev.width = e.window.data1;
            ev.height = e.window.data2;
            break;
        default: break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (is_system_key(e.key)) {
            ev.kind = event_kind::system_key;
            break;
        }
        ev.vk = vk_from_sdl_keycode(e.key.keysym.sym);
        if (ev.vk) ev.kind = e.type == SDL_KEYDOWN ? event_kind::key_down : event_kind::key_up;
        break;
    case SDL_MOUSEWHEEL: {
        const float y = e.wheel.preciseY * (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.f : 1.f);
        ev.kind = event_kind::wheel;
        ev.wheel_delta = int(y * 120.0f);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
        if (e.button.button == SDL_BUTTON_RIGHT) ev.kind = event_kind::right_down;
        if (e.button.button == SDL_BUTTON_MIDDLE) ev.kind = event_kind::middle_down;
        break;
    case SDL_MOUSEBUTTONUP:
        if (e.button.button == SDL_BUTTON_RIGHT) ev.kind = event_kind::right_up;
        break;
    default: break;
    }
    return true;
}
