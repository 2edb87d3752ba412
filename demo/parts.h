// The interface the shell sees: a part loads its assets once, then renders frames on
// request. The shell owns the part on the heap and deletes it through this base.
#pragma once
#include <cstdint>

struct render_engine;
struct frame_input;

class parts {
public:
    virtual void render(double* delta, render_engine* engine, frame_input* frame) = 0;
    virtual ~parts() = default;
    virtual void load(render_engine* engine) = 0;

    // Set by start-up once load has returned; the part itself never reads it.
    int32_t loaded = 0;
    // Read and written per part by the developer state tools.
    double state_value = 0;
};
