// Dear ImGui on top of the show's own window. The studio draws its overlay with plain
// ImGui calls between begin and end; this file owns the SDL and OpenGL2 backends, and
// platform_poll_event hands it every SDL event while it is open.
#pragma once

struct platform_window;
struct platform_context;

bool platform_overlay_open(platform_window* w, platform_context* c);
void platform_overlay_close();
bool platform_overlay_is_open();
void platform_overlay_begin_frame();
// A frame without the overlay: until the next begin, it keeps no mouse event.
void platform_overlay_hidden_frame();
// Draws into the framebuffer bound now; the GL state the backend touches is restored.
void platform_overlay_end_frame();

// Internal to platform/: feeds one SDL event to ImGui; true when the overlay keeps it
// (a mouse event over one of its windows), so the show does not see it.
bool platform_overlay_take_event(const void* sdl_event);
