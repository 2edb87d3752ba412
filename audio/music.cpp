#include "audio/music.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "sound/sound_system.h"

static_assert(spectrum_bins == 512, "the frame record holds 512 spectrum values");

namespace {

constexpr int software_channels = 32;
constexpr uint32_t start_options = 2;
constexpr uint32_t open_mode = 0x130;
constexpr int music_channel = 1;
constexpr int effects_channel = 2;
constexpr int music_volume = 255;
constexpr int effects_volume = 200;
// Show time 0 meets the music here.
constexpr auto music_first_sample = uint32_t(music_offset_seconds * mixing_rate);
constexpr const char* music_file = "music//PS.mp3";
constexpr const char* effects_file = "music//Kelpwander sfx.mp3";

sound_system& layer()
{
    static sound_system s;
    return s;
}

sink_kind sink_for(sound_output output)
{
    switch (output) {
    case sound_output::silent: return sink_kind::silent;
    case sound_output::offline: return sink_kind::offline;
    case sound_output::device: break;
    }
    return sink_kind::device;
}

// A second, offline layer that only analyses the track, apart from the one that plays it.
sound_system& analysis()
{
    static sound_system s;
    return s;
}

uint64_t track_frame(double track_seconds)
{
    // Negative, NaN or absurd times must not convert out of range.
    const double sample = std::round(track_seconds * mixing_rate);
    return static_cast<uint64_t>(sample >= 0 ? std::min(sample, 1e15) : 0.0);
}

bool open_analysis()
{
    sound_system& s = analysis();
    if (s.running()) return true;
    sound_settings settings;
    settings.rate = mixing_rate;
    settings.channels = 1;
    settings.output = sink_kind::offline;
    std::unique_ptr<sound_source> music = s.start(settings) ? s.open_stream(music_file, open_mode) : nullptr;
    if (!music) {
        s.close();
        return false;
    }
    s.set_spectrum_enabled(true);
    s.play(0, std::move(music));
    s.set_volume(0, music_volume);
    return true;
}

music_status fail(music_status s)
{
    layer().close();
    return s;
}

}  // namespace

music_status music_start(bool effects_enabled, sound_output output, std::function<double()> clock)
{
    sound_system& s = layer();
    sound_settings settings;
    settings.rate = mixing_rate;
    settings.channels = software_channels;
    settings.options = start_options;
    settings.output = sink_for(output);
    settings.clock = std::move(clock);
    if (!s.start(settings)) return fail(music_status::init_failed);
    std::unique_ptr<sound_source> music = s.open_stream(music_file, open_mode);
    if (!music) return fail(music_status::no_music_file);
    std::shared_ptr<const pcm_sound> effects;
    if (effects_enabled) {
        effects = s.load_sample(effects_file, open_mode);
        if (!effects) return fail(music_status::no_effects_file);
    }
    s.set_spectrum_enabled(true);
    // Otherwise the output could play a moment of the track's opening before the move to 50 s.
    s.hold_output(true);
    s.play(music_channel, std::move(music));
    if (effects_enabled) s.play(effects_channel, effects);
    s.set_volume(music_channel, music_volume);
    if (effects_enabled) s.set_volume(effects_channel, effects_volume);
    s.set_position(music_channel, music_first_sample);
    s.hold_output(false);
    return music_status::ok;
}

const char* music_status_message(music_status s)
{
    switch (s) {
    case music_status::init_failed: return "Problem initializing FMod. \nProgram will now exit.";
    case music_status::no_music_file: return "Problem initializing FMod. \nNo sound file.";
    case music_status::no_effects_file: return "Problem initializing FMod. \nNo sfx file.";
    case music_status::ok: break;
    }
    return "";
}

// Every failure ends the run non-zero: a show without its music has no clock to keep, and a
// script that asked for a video must not read success with no file written.
int music_status_exit_code(music_status s) { return s == music_status::ok ? 0 : 1; }

void music_read_frame(float& level, float spectrum[512])
{
    sound_system& s = layer();
    if (!s.running()) return;
    const stereo_level l = s.levels(music_channel);
    level = (l.left + l.right) * 0.5f;
    s.spectrum(spectrum);
}

void music_set_offline_time(double track_seconds)
{
    layer().mix_window_ending_at(music_channel, track_frame(track_seconds));
}

bool music_spectrum_at(double show_time, float spectrum[512])
{
    if (!open_analysis()) return false;
    analysis().mix_window_ending_at(0, track_frame(music_offset_seconds + show_time));
    return analysis().spectrum(spectrum);
}

void music_set_volume(int channel, int volume) { layer().set_volume(channel, volume); }

void music_set_position(int channel, uint32_t sample) { layer().set_position(channel, sample); }

uint32_t music_track_sample(double show_time)
{
    return static_cast<uint32_t>(std::min<uint64_t>(track_frame(music_offset_seconds + show_time), UINT32_MAX));
}

void music_close()
{
    layer().close();
    analysis().close();
}
