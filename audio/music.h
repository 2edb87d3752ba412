// The show's music over our sound layer: the start-up sequence, the per-frame levels and
// spectrum, volume and position changes, and closing. Called from the show's thread only.
#pragma once
#include "base/show_clock.h"

#include <cstdint>
#include <functional>

enum class sound_output {
    device,   // the audio device; silent (with one line on stderr) when there is none
    silent,   // no device is opened; time still runs
    offline,  // capture: levels and spectrum come from the music at music_set_offline_time
};

enum class music_status { ok, init_failed, no_music_file, no_effects_file };

// Starts the layer and the music 50.0 s into the track on channel 1 (effects on channel 2).
// Any failure leaves the layer closed. clock: the silent output's, see sound_settings.
music_status music_start(bool effects_enabled, sound_output output, std::function<double()> clock = {});
// The text of the message box for a failed start ("" for ok).
const char* music_status_message(music_status s);
// 0 for ok, 1 for every failure.
int music_status_exit_code(music_status s);

// level = mean of channel 1's left and right peaks; spectrum gets 512 values in 0..1.
// Both are left as they were when the music is not running.
void music_read_frame(float& level, float spectrum[512]);
// Offline output only: the next read describes the music just before this track time.
void music_set_offline_time(double track_seconds);
// The spectrum of the track just before show time `show_time`, from the decoded file alone:
// the same in every run and at every frame rate, whatever the output plays. The simulation
// steps read it. False (spectrum untouched) when the music cannot be opened.
bool music_spectrum_at(double show_time, float spectrum[512]);
void music_set_volume(int channel, int volume);
void music_set_position(int channel, uint32_t sample);
// The track's sample that plays at this show time.
uint32_t music_track_sample(double show_time);
void music_close();
