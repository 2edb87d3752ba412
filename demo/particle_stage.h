// The scene's particle stage: sends the frame's control values to the update programs,
// advances the main and splash populations and draws them, and asks for the next video
// frame. Every value comes from demo/choreography.h; this file only issues the GL calls.
#pragma once

class part_start;
struct particle_controls;
struct render_engine;

void run_particle_stage(part_start& part, render_engine& engine);

// The main population's line strips, then its points, under the current matrices. A strip
// segment whose ends jump more than 0.35 apart, or touch a lost particle, is not drawn.
void draw_main_particles(part_start& part, const particle_controls& c);
