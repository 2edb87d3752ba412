// Send effects over whole buffers: a plate-like reverb and a ping-pong echo. Both take a
// mono send and add their stereo return into the mix.
#pragma once
#include "datagen/music/drums.h"

namespace music {

struct reverb_params {
    float room = 0.84f;     // comb feedback: the length of the tail
    float damping = 0.25f;  // high-frequency loss per round trip
    float level = 1.0f;
};

void add_reverb(const mono& send, mono& out_left, mono& out_right, const reverb_params& p);

struct echo_params {
    int delay_samples = 14860;
    float feedback = 0.45f;
    float level = 1.0f;
};

void add_echo(const mono& send, mono& out_left, mono& out_right, const echo_params& p);

}  // namespace music
