#include "datagen/music/drums.h"

#include <utility>

#include "datagen/music/dsp.h"

namespace music {

namespace {

mono make(float seconds) { return mono(static_cast<size_t>(seconds * sample_rate), 0.0f); }

// Whatever is left of a decay when the buffer ends would click; 5 ms of fade hides it.
mono faded(mono out) {
    const size_t len = std::min<size_t>(out.size(), 220);
    for (size_t i = 0; i < len; ++i) out[out.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(len);
    return out;
}

}  // namespace

mono kick(float velocity) {
    mono out = make(0.5f);
    sine_osc body;
    decay_env amp(0.16f), pitch(0.03f), click(0.0015f);
    noise n(7);
    one_pole_lowpass click_tone;
    click_tone.set(4000.0f);
    for (size_t i = 0; i < out.size(); ++i) {
        const float hz = 47.0f + 150.0f * pitch.next();
        const float tail = i < 60 ? static_cast<float>(i) / 60.0f : 1.0f;
        float s = body.next(hz) * amp.next() * tail;
        s += 0.35f * click_tone.process(n.next()) * click.next();
        out[i] = velocity * soft_clip(1.6f * s) * 0.8f;
    }
    return faded(std::move(out));
}

mono snare(float velocity, uint32_t seed) {
    mono out = make(0.35f);
    sine_osc tone1, tone2;
    decay_env tone_amp(0.05f), noise_amp(0.11f);
    noise n(seed);
    svf shape;
    shape.set(3200.0f, 0.6f);
    for (size_t i = 0; i < out.size(); ++i) {
        const float ta = tone_amp.next();
        // The upper body sits at 300 Hz, where the show's spectrum history looks.
        const float body = 0.5f * tone1.next(185.0) + 0.45f * tone2.next(300.0);
        const auto f = shape.process(n.next());
        out[i] = velocity * (body * ta + (0.7f * f.band + 0.35f * f.high) * noise_amp.next());
    }
    return faded(std::move(out));
}

mono clap(float velocity, uint32_t seed) {
    mono out = make(0.3f);
    noise n(seed);
    svf shape;
    shape.set(1300.0f, 1.2f);
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sample_rate;
        // Three quick slaps then the room: what makes a clap a clap.
        const float burst = std::fmod(t, 0.011f) < 0.004f && t < 0.033f ? 1.0f : 0.0f;
        const float room = t >= 0.022f ? std::exp(-(t - 0.022f) / 0.09f) : 0.0f;
        out[i] = velocity * 1.8f * shape.band(n.next()) * std::max(burst, 0.8f * room);
    }
    return faded(std::move(out));
}

mono hat(float velocity, bool open, uint32_t seed) {
    mono out = make(open ? 0.45f : 0.09f);
    noise n(seed);
    svf shape;
    shape.set(8000.0f, 0.9f);
    pulse_osc metal[4];
    constexpr float partials[4] = {317.0f, 431.0f, 563.0f, 739.0f};
    decay_env amp(open ? 0.12f : 0.018f);
    for (size_t i = 0; i < out.size(); ++i) {
        float ring = 0;
        for (int k = 0; k < 4; ++k) ring += metal[k].next(partials[k] * 2.0f);
        const float x = 0.6f * n.next() + 0.15f * ring;
        out[i] = velocity * 0.5f * shape.high(x) * amp.next();
    }
    return faded(std::move(out));
}

mono crash(float velocity, uint32_t seed) {
    mono out = make(2.6f);
    noise n(seed);
    svf shape;
    shape.set(5000.0f, 0.7f);
    pulse_osc metal[6];
    constexpr float partials[6] = {421.0f, 587.0f, 683.0f, 911.0f, 1187.0f, 1433.0f};
    decay_env amp(0.7f), splash(0.05f);
    for (size_t i = 0; i < out.size(); ++i) {
        float ring = 0;
        for (int k = 0; k < 6; ++k) ring += metal[k].next(partials[k]);
        const float x = n.next() + 0.12f * ring;
        const float a = amp.next();
        out[i] = velocity * 0.45f * shape.high(x) * (0.6f * a + 0.8f * splash.next());
    }
    return faded(std::move(out));
}

mono tom(float velocity, float hz) {
    mono out = make(0.4f);
    sine_osc body;
    decay_env amp(0.12f), pitch(0.06f);
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = velocity * 0.8f * body.next(hz * (1.0f + 0.6f * pitch.next())) * amp.next();
    }
    return faded(std::move(out));
}

mono impact(float velocity, uint32_t seed) {
    mono out = make(2.2f);
    sine_osc boom;
    decay_env amp(0.5f), pitch(0.08f), burst(0.06f);
    noise n(seed);
    svf shape;
    for (size_t i = 0; i < out.size(); ++i) {
        if (i % 32 == 0) shape.set(200.0f + 6000.0f * burst.level, 0.7f);
        const float b = burst.next();
        const float s = boom.next(38.0f + 80.0f * pitch.next()) * amp.next();
        out[i] = velocity * soft_clip(1.3f * s + 0.9f * shape.low(n.next()) * b);
    }
    return faded(std::move(out));
}

mono riser(float length_s, float velocity, uint32_t seed) {
    mono out = make(length_s);
    noise n(seed);
    svf shape;
    saw_osc tone;
    const float len = static_cast<float>(out.size());
    // The last moment before the hit is held silent, so the hit lands on a clean edge
    // instead of being swallowed by the noise wall.
    const size_t breath = std::min<size_t>(out.size(), static_cast<size_t>(0.05f * sample_rate));
    const size_t stop = out.size() - breath;
    for (size_t i = 0; i < stop; ++i) {
        const float x = static_cast<float>(i) / len;
        if (i % 32 == 0) shape.set(250.0f * std::pow(40.0f, x), 2.5f);
        const float duck = i + 441 > stop ? static_cast<float>(stop - i) / 441.0f : 1.0f;
        const float tone_hz = 110.0f * std::pow(8.0f, x);
        out[i] = velocity * x * x * duck * (0.8f * shape.band(n.next()) + 0.08f * tone.next(tone_hz));
    }
    return out;
}

mono sub_drop(float velocity) {
    mono out = make(1.6f);
    sine_osc body;
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sample_rate;
        const float hz = 30.0f + 90.0f * std::exp(-t / 0.4f);
        const float amp = std::min(1.0f, t / 0.01f) * std::exp(-t / 0.6f);
        out[i] = velocity * body.next(hz) * amp;
    }
    return faded(std::move(out));
}

}  // namespace music
