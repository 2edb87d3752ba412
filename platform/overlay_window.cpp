#include "platform/overlay_window.h"

#include <SDL2/SDL.h>
#include <imgui.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>

// The same records as platform.cpp's, which owns them.
struct platform_window { SDL_Window* sdl = nullptr; };
struct platform_context { SDL_GLContext gl = nullptr; };

static bool g_open = false;
static bool g_shown = false;  // drawn in the last frame

bool platform_overlay_open(platform_window* w, platform_context* c)
{
    if (g_open) return true;
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;
    ImGui::StyleColorsDark();
    if (!ImGui_ImplSDL2_InitForOpenGL(w->sdl, c->gl) || !ImGui_ImplOpenGL2_Init()) {
        ImGui::DestroyContext();
        return false;
    }
    g_open = true;
    return true;
}

void platform_overlay_close()
{
    if (!g_open) return;
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    g_open = false;
}

bool platform_overlay_is_open() { return g_open; }

void platform_overlay_hidden_frame() { g_shown = false; }

void platform_overlay_begin_frame()
{
    g_shown = true;
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
}

void platform_overlay_end_frame()
{
    ImGui::Render();
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
}

bool platform_overlay_take_event(const void* sdl_event)
{
    if (!g_open) return false;
    const SDL_Event& e = *static_cast<const SDL_Event*>(sdl_event);
    ImGui_ImplSDL2_ProcessEvent(&e);
    const bool mouse = e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP || e.type == SDL_MOUSEWHEEL;
    return mouse && g_shown && ImGui::GetIO().WantCaptureMouse;
}
