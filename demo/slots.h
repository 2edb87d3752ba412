// The shader-bank program slots and the engine's texture slots the part builds at load.
// The part copies them into fields of its own and refers to them only through those;
// this is the one place the numbers are written.
#pragma once

// Three programs are built and never drawn with: material1b, material2 and velocities.
// They stay, built in this order at load, because the load's console output
// (each file's path and log) and its order are the show's.
namespace program_slot {
inline constexpr int material1 = 1;  // particle drawing
// The same program, recording the main population's segment list. Kept apart because a
// recorded output stays in every draw's vertices, which costs the software rasteriser.
inline constexpr int segments = 24;
inline constexpr int material1b = 23;
inline constexpr int material2 = 22;
inline constexpr int combine_ssao = 3;  // combine pass
inline constexpr int blurpass = 4;      // final pass to the window
inline constexpr int velocities = 5;
inline constexpr int blurhighlights = 6;  // bloom, at quarter size
inline constexpr int simpleblur = 13;  // combine pass where nothing is occluded
inline constexpr int godrays = 7;  // glow and streaks, at quarter size
}  // namespace program_slot

namespace texture_slot {
inline constexpr int depth2 = 29;
inline constexpr int color0 = 0;
inline constexpr int color1 = 11;
inline constexpr int spare = 32;
inline constexpr int quarter = 28;
inline constexpr int depth = 26;
inline constexpr int noise = 27;
inline constexpr int glow = 30;   // half size: glow and streaks of color1
inline constexpr int bloom = 31;  // half size: bloom of the combined picture
inline constexpr int combined = 33;  // the combine pass's picture
// The final pass's spectrum, frame by frame in turn: a CPU renderer may still be drawing
// the last frame's passes when the next frame writes its own.
inline constexpr int post_spectrum[2] = {34, 35};
}  // namespace texture_slot
