#include "sound/sound_system.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "sound/mp3_stream.h"
#include "sound/resampler.h"

namespace {

constexpr int lowest_rate = 8000;
constexpr int highest_rate = 192000;
constexpr int most_channels = 256;

double steady_seconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

bool sound_system::start(const sound_settings& settings)
{
    close();
    if (settings.rate < lowest_rate || settings.rate > highest_rate || settings.channels < 1 ||
        settings.channels > most_channels)
        return false;
    mixer_ = std::make_unique<mixer>(settings.rate, settings.channels);
    analyser_ = std::make_unique<spectrum_analyser>();
    kind_ = settings.output;
    if (kind_ == sink_kind::device) {
        std::string why;
        sink_ = open_device_sink(*mixer_, why);
        if (!sink_) {
            std::fprintf(stderr, "thornwake: no audio device (%s); the music runs silently\n", why.c_str());
            kind_ = sink_kind::silent;
        }
    }
    const std::function<double()> clock = settings.clock ? settings.clock : steady_seconds;
    if (kind_ == sink_kind::silent) sink_ = open_silent_sink(*mixer_, clock);
    if (kind_ != sink_kind::offline) mixer_->set_clock(clock);
    return true;
}

void sound_system::close()
{
    sink_.reset();
    mixer_.reset();
    analyser_.reset();
    spectrum_on_ = false;
}

std::unique_ptr<sound_source> sound_system::open_stream(const std::string& path, uint32_t) const
{
    if (!mixer_) return nullptr;
    return at_rate(mp3_stream::open(path), mixer_->rate());
}

std::shared_ptr<const pcm_sound> sound_system::load_sample(const std::string& path, uint32_t) const
{
    if (!mixer_) return nullptr;
    auto sound = decode_whole_mp3(path);
    if (!sound || sound->rate == mixer_->rate()) return sound;
    // Resample once at load so every playback is a plain copy.
    resampled_source converted(std::make_unique<pcm_cursor>(sound), mixer_->rate());
    auto out = std::make_shared<pcm_sound>();
    out->rate = mixer_->rate();
    std::vector<float> block(4096 * 2);
    while (const size_t got = converted.read(block.data(), 4096))
        out->stereo.insert(out->stereo.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got * 2));
    return out;
}

bool sound_system::play(int channel, std::unique_ptr<sound_source> stream)
{
    return mixer_ && mixer_->play(channel, std::move(stream));
}

bool sound_system::play(int channel, const std::shared_ptr<const pcm_sound>& sample)
{
    return mixer_ && sample && mixer_->play(channel, std::make_unique<pcm_cursor>(sample));
}

void sound_system::hold_output(bool held)
{
    if (mixer_) mixer_->set_held(held);
}

void sound_system::set_volume(int channel, int volume)
{
    if (mixer_) mixer_->set_volume(channel, volume);
}

void sound_system::set_position(int channel, uint64_t frame)
{
    if (mixer_) mixer_->set_position(channel, frame);
}

uint64_t sound_system::position(int channel) const { return mixer_ ? mixer_->position(channel) : 0; }

stereo_level sound_system::levels(int channel) const { return mixer_ ? mixer_->levels(channel) : stereo_level{}; }

bool sound_system::spectrum(float* out)
{
    if (!mixer_ || !spectrum_on_) return false;
    float mono[spectrum_fft_size];
    mixer_->recent_mono(mono, spectrum_fft_size);
    analyser_->compute(mono, out);
    return true;
}

void sound_system::mix_window_ending_at(int channel, uint64_t end_frame)
{
    if (mixer_ && kind_ == sink_kind::offline) mixer_->mix_window_ending_at(channel, end_frame, spectrum_fft_size);
}
