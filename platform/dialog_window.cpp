#include "platform/dialog_window.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <imgui.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>

#include <algorithm>
#include <vector>

#include "platform/platform.h"

// The dialog was laid out in dialog units (203 x 88); one unit is a quarter of the average
// character width across and an eighth of the character height down.
namespace {
struct dlu_scale {
    float x, y;
    ImVec2 pos(float dx, float dy) const { return {dx * x, dy * y}; }
    ImVec2 size(float dx, float dy) const { return {dx * x, dy * y}; }
};

float display_scale()
{
    float ddpi = 0;
    if (SDL_GetDisplayDPI(0, &ddpi, nullptr, nullptr) != 0 || ddpi < 72) return 1.0f;
    return ddpi / 96.0f;
}

void deliver_pixels(const dialog_model& m, int w, int h)
{
    std::vector<unsigned char> px(size_t(w) * h * 3), flipped(px.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    for (int y = 0; y < h; ++y)
        std::copy_n(px.data() + size_t(h - 1 - y) * w * 3, size_t(w) * 3, flipped.data() + size_t(y) * w * 3);
    m.on_shown(flipped.data(), w, h);
}

bool toggle_button(const char* label, bool& value, ImVec2 size)
{
    if (value) ImGui::PushStyleColor(ImGuiCol_Button, ImGui::GetStyleColorVec4(ImGuiCol_ButtonActive));
    const bool pressed = ImGui::Button(label, size);
    if (value) ImGui::PopStyleColor();
    if (pressed) value = !value;
    return pressed;
}

dialog_answer draw(dialog_model& m, const dlu_scale& u)
{
    ImGui::SetNextWindowPos({0, 0});
    ImGui::SetNextWindowSize(ImGui::GetIO().DisplaySize);
    ImGui::Begin("setup", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
    ImDrawList* dl = ImGui::GetWindowDrawList();
    const ImU32 frame = ImGui::GetColorU32(ImGuiCol_Border);
    auto group = [&](float x, float y, float w, float h, const char* title) {
        const ImVec2 a = u.pos(x, y), b{a.x + w * u.x, a.y + h * u.y};
        dl->AddRect({a.x, a.y + 4 * u.y}, b, frame);
        if (*title) dl->AddText({a.x + 6 * u.x, a.y}, ImGui::GetColorU32(ImGuiCol_Text), title);
    };
    group(2, 3, 198, 28, "Resolution");
    group(2, 29, 198, 26, "");
    group(2, 53, 198, 34, "");

    ImGui::SetCursorPos(u.pos(16, 14));
    ImGui::SetNextItemWidth(172 * u.x);
    const char* preview = m.labels.empty() ? "(no usable display mode)" : m.labels[size_t(m.selected)].c_str();
    if (ImGui::BeginCombo("##resolution", preview)) {
        for (int i = 0; i < int(m.labels.size()); ++i)
            if (ImGui::Selectable(m.labels[size_t(i)].c_str(), i == m.selected)) m.selected = i;
        ImGui::EndCombo();
    }
    ImGui::SetCursorPos(u.pos(18, 37));
    toggle_button("Antialiased", m.antialiased, u.size(62, 15));
    ImGui::SetCursorPos(u.pos(108, 37));
    toggle_button("Windowed", m.windowed, u.size(62, 15));

    dialog_answer answer = dialog_answer::failed;
    const bool can_run = m.cannot_run_reason.empty();
    ImGui::SetCursorPos(u.pos(17, 61));
    if (!can_run) ImGui::BeginDisabled();
    if (ImGui::Button("Run ... ", u.size(103, 21))) answer = dialog_answer::run;
    if (!can_run) ImGui::EndDisabled();
    ImGui::SetCursorPos(u.pos(145, 61));
    if (ImGui::Button("Quit", u.size(24 + 16, 21))) answer = dialog_answer::quit;
    if (!can_run) {
        ImGui::SetCursorPos(u.pos(8, 83));
        ImGui::TextWrapped("%s", m.cannot_run_reason.c_str());
    }
    if (can_run && ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter))) answer = dialog_answer::run;
    if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape))) answer = dialog_answer::quit;
    ImGui::End();
    return answer;
}
}  // namespace

dialog_answer platform_run_dialog(dialog_model& m)
{
    if (!platform_init_video()) return dialog_answer::failed;
    const float scale = display_scale();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;
    ImGui::StyleColorsDark();
    ImGui::GetStyle().ScaleAllSizes(scale);
    ImGui::GetIO().FontGlobalScale = scale;
    const dlu_scale u{1.75f * scale, 1.75f * scale};
    const int extra = m.cannot_run_reason.empty() ? 0 : 24;
    const int w = int(203 * u.x), h = int((88 + extra) * u.y);

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* win = SDL_CreateWindow(m.caption.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                       SDL_WINDOW_OPENGL | SDL_WINDOW_SKIP_TASKBAR);
    SDL_GLContext gl = win ? SDL_GL_CreateContext(win) : nullptr;
    if (!gl) {
        if (win) SDL_DestroyWindow(win);
        ImGui::DestroyContext();
        return dialog_answer::failed;
    }
    SDL_GL_MakeCurrent(win, gl);
    SDL_GL_SetSwapInterval(1);
    ImGui_ImplSDL2_InitForOpenGL(win, gl);
    ImGui_ImplOpenGL2_Init();

    dialog_answer answer = dialog_answer::failed;
    int frames = 0;
    while (answer == dialog_answer::failed) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            ImGui_ImplSDL2_ProcessEvent(&e);
            if (e.type == SDL_QUIT || (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE))
                answer = dialog_answer::quit;
        }
        ImGui_ImplOpenGL2_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        const dialog_answer a = draw(m, u);
        if (answer == dialog_answer::failed) answer = a;
        ImGui::Render();
        glViewport(0, 0, w, h);
        glClearColor(0.1f, 0.1f, 0.12f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
        // Two frames in, the layout has settled: that is the picture a test wants.
        if (++frames == 3 && m.on_shown) deliver_pixels(m, w, h);
        SDL_GL_SwapWindow(win);
    }
    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    SDL_GL_DeleteContext(gl);
    SDL_DestroyWindow(win);
    return answer;
}
