// The scene's particle stage. A simulation step sends the step's control values to the
// update programs, advances the main and splash populations and asks for the next video
// frame; a frame draws both populations as the steps left them. Every value comes from
// demo/choreography.h; this file only issues the GL calls.
#pragma once

class part_start;
struct particle_controls;
struct render_engine;

// One fixed step at scene time t. The spectrum texture must hold the step's spectrum.
void run_particle_step(part_start& part, const render_engine& engine, double t);
// The frame's draw at scene time t; the splash shows when the last step drew it out.
void draw_particle_stage(part_start& part, double t);

// The main population's line strips, then its points, under the current matrices. A strip
// segment whose ends jump more than 0.35 apart, or touch a lost particle, is not drawn.
// Four segments in a row (from a multiple of four) that together span less than a pixel
// on screen are drawn as one, and the three points inside them not at all: where the
// population crowds onto a curve, hundreds of them would land on each of its pixels.
// The drawing program must record main_segments_output by transform feedback.
void draw_main_particles(part_start& part, const particle_controls& c);

// Points per draw call on a GL whose GL_RENDERER string this is; 0: a population in one
// call. Mesa's CPU renderers send smooth points without multisampling through a path that
// walks every vertex of the call's batch whenever its small output buffer fills, so there
// short calls save a quarter of the point draw; a GPU would pay for each call instead.
int point_draw_batch(const char* renderer);

// The drawing program's output that lists the segments to draw.
inline constexpr const char* main_segments_output = "vSegment";
