// Studio mode's side of the shell (--studio): it owns the transport, moves the simulation
// and the music when the transport jumps, and draws the overlay. The frame driver takes the
// frame's show time and spectrum from it; the main loop gives it the keys and the end of
// each frame. A scripted run (--studio-script) drives the same commands, one frame apart.
#pragma once

struct frame_input;
struct platform_event;

bool studio_on();
// The frame's show time (into g_demo.show_time), its spectrum from the decoded track as
// capture reads it, and the simulation there: exact unless a drag is in progress.
void studio_begin_frame(frame_input& frame, double wall_seconds);
// True for a studio key: the show does not see it.
bool studio_take_event(const platform_event& ev);
// After the show's frame and before the swap: scripted shots, then the overlay.
void studio_end_frame();
