// The one file that talks to SDL2 audio. SDL calls back on its own thread; the callback
// only asks the mixer for the frames the device wants.
#include <SDL.h>

#include "sound/mixer.h"
#include "sound/sound_sink.h"

namespace {

constexpr Uint16 device_buffer_frames = 1024;

class device_sink final : public sound_sink {
public:
    explicit device_sink(mixer& m) : mixer_(m) {}
    ~device_sink() override {
        if (device_ != 0)
            SDL_CloseAudioDevice(device_);
        if (sdl_started_)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool open(std::string& why) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            why = SDL_GetError();
            return false;
        }
        sdl_started_ = true;
        SDL_AudioSpec want{};
        want.freq = mixer_.rate();
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = device_buffer_frames;
        want.callback = &device_sink::pull;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the hardware wants.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) {
            why = SDL_GetError();
            return false;
        }
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

private:
    static void SDLCALL pull(void* self, Uint8* stream, int bytes) {
        auto* out = static_cast<device_sink*>(self);
        out->mixer_.mix(reinterpret_cast<float*>(stream), static_cast<size_t>(bytes) / (2 * sizeof(float)));
    }

    mixer& mixer_;
    SDL_AudioDeviceID device_ = 0;
    bool sdl_started_ = false;
};

}  // namespace

std::unique_ptr<sound_sink> open_device_sink(mixer& m, std::string& why) {
    auto out = std::make_unique<device_sink>(m);
    if (!out->open(why))
        return nullptr;
    return out;
}
