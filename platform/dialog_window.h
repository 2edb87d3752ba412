// A small modal window drawn with Dear ImGui: the setup dialog's look and event loop.
// The dialog's content and decisions live in app/; this file only presents them.
#pragma once
#include <functional>
#include <string>
#include <vector>

struct dialog_model {
    std::string caption;
    std::vector<std::string> labels;
    int selected = 0;
    bool antialiased = true;
    bool windowed = false;
    std::string cannot_run_reason;  // non-empty: "Run ... " is disabled and this is shown
    // Called once the layout has settled, with the window's pixels (RGB, top row first).
    std::function<void(const unsigned char* rgb, int width, int height)> on_shown;
};

enum class dialog_answer { run, quit, failed };
dialog_answer platform_run_dialog(dialog_model& model);
