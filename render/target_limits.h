// The clamping rules of the framebuffer-set operations, kept apart so they are tested
// without a GL context.
#pragma once
#include <algorithm>

inline int clamp_set_index(int set) { return std::clamp(set, 0, 15); }
inline int clamp_draw_count(int count) { return std::clamp(count, 1, 3); }
inline int clamp_attachment(int attachment) { return std::clamp(attachment, 0, 2); }

// A request above GL_MAX_SAMPLES is refused by the GL and leaves the renderbuffer
// without storage (a black show), so ask for the most the GL gives instead.
inline int clamp_samples(int requested, int max_samples)
{
    return std::clamp(requested, 0, std::max(max_samples, 0));
}
