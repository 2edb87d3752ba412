// The scene's particle stage: sends the frame's control values to the update programs,
// advances the main and splash populations and draws them, and asks for the next video
// frame. Every value comes from demo/choreography.h; this file only issues the GL calls.
#pragma once

class part_start;
struct render_engine;

void run_particle_stage(part_start& part, render_engine& engine);
