#include "datagen/music/cues.h"

#include <cmath>

#include "datagen/music/dsp.h"

namespace music {

namespace {

using enum cue_kind;

// Gathered from the choreography: section changes of the particle curves, the zoom
// punches, the quantiser pulses and the attack bumps. Where one moment is several of these
// at once the stronger gesture (section) wins.
constexpr cue cue_table[] = {
    {16, section},  {18, pulse},     {32.5, punch},   {50, section},   {72, section},
    {84, section},  {90, punch},     {94, bump},      {95, pulse},     {98, section},
    {100, section}, {104, bump},     {110, bump},     {114, pulse},    {117, bump},
    {119, section}, {124, punch},    {127, section},  {129, pulse},    {140, section},
    {146, section}, {154, section},  {176, section},  {187, section},  {191, section},
    {195, section}, {199, section},  {200.2, pulse},  {203, section},  {205, pulse},
    {209, section},
};

}  // namespace

std::span<const cue> show_cues() { return cue_table; }

int64_t sample_at_track_time(double track_time) {
    return std::llround(track_time * sample_rate);
}

}  // namespace music
