#include "app/setup_dialog.h"

#include "platform/dialog_window.h"
#include "platform/platform.h"

setup_choice choose_setup(const std::vector<mode_size>& modes, int selected, bool antialiased, bool windowed)
{
    setup_choice c;
    if (selected < 0 || selected >= int(modes.size())) return c;
    c.run = true;
    c.antialiased = antialiased;
    c.fullscreen = !windowed;
    c.width = modes[size_t(selected)].first;
    c.height = run_height(c.width);
    return c;
}

setup_choice run_setup_dialog(const std::vector<mode_size>& modes,
                              std::function<void(const unsigned char*, int, int)> on_shown)
{
    dialog_model m;
    m.caption = setup_caption;
    for (const mode_size& s : modes) m.labels.push_back(mode_label(s));
    m.selected = preselected_mode(modes);
    m.antialiased = true;
    if (modes.empty())
        m.cannot_run_reason = "The display offers no usable mode (landscape, below 2048 x 2048, "
                              "not wider than 1.8 : 1), so the demo cannot run on it.";
    m.on_shown = std::move(on_shown);
    const dialog_answer answer = platform_run_dialog(m);
    if (answer == dialog_answer::failed) {
        setup_choice failed;
        failed.dialog_failed = true;
        failed.why = platform_last_error();
        if (failed.why.empty()) failed.why = "no reason given";
        return failed;
    }
    if (answer != dialog_answer::run) return {};
    return choose_setup(modes, m.selected, m.antialiased, m.windowed);
}
