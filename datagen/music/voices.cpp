#include "datagen/music/voices.h"

#include "datagen/music/dsp.h"

namespace music {

namespace {

int64_t samples_of(float seconds) { return static_cast<int64_t>(seconds * sample_rate); }

}  // namespace

mono bass(float midi, float length_s, float velocity, float drive) {
    const float hz = static_cast<float>(midi_to_hz(midi));
    const adsr amp_shape{0.004f, 0.25f, 0.75f, 0.04f};
    envelope amp(amp_shape, samples_of(length_s));
    decay_env filter_env(0.09f);
    mono out(static_cast<size_t>(samples_of(length_s + 0.25f)));
    saw_osc saw;
    sine_osc sub;
    svf lp;
    for (size_t i = 0; i < out.size(); ++i) {
        if (i % 16 == 0) lp.set(180.0f + 1400.0f * filter_env.level * (0.5f + drive), 1.1f);
        filter_env.next();
        const float x = 0.55f * saw.next(hz) + 0.8f * sub.next(hz * 0.5);
        float y = lp.low(x);
        if (drive > 0) y = soft_clip(y * (1.0f + 3.0f * drive)) / (1.0f + drive);
        out[i] = velocity * y * amp.next();
    }
    return out;
}

stereo pad(float midi, float length_s, float velocity, float brightness) {
    const float hz = static_cast<float>(midi_to_hz(midi));
    const adsr amp_shape{0.35f, 0.8f, 0.8f, 0.3f};
    const size_t n = static_cast<size_t>(samples_of(length_s + 1.2f));
    stereo out{mono(n), mono(n)};
    constexpr float detune[3] = {-0.11f, 0.0f, 0.13f};
    saw_osc osc_l[3], osc_r[3];
    // Distinct starting phases keep the two sides from summing to mono.
    for (int k = 0; k < 3; ++k) {
        osc_l[k].phase = 0.13f + 0.29f * k;
        osc_r[k].phase = 0.71f - 0.19f * k;
    }
    svf lp_l, lp_r;
    envelope amp(amp_shape, samples_of(length_s));
    float hz_l[3], hz_r[3];
    for (int k = 0; k < 3; ++k) {
        hz_l[k] = hz * std::exp2(detune[k] / 12.0f);
        hz_r[k] = hz_l[k] * 1.002f;
    }
    for (size_t i = 0; i < n; ++i) {
        if (i % 32 == 0) {
            // A slow wobble of the filter keeps long chords alive.
            const float w = static_cast<float>(std::sin(2.0 * pi * 0.23 * static_cast<double>(i) / sample_rate));
            const float cutoff = (500.0f + 2800.0f * brightness) * (1.0f + 0.15f * w);
            lp_l.set(cutoff, 0.8f);
            lp_r.set(cutoff * 1.03f, 0.8f);
        }
        float l = 0, r = 0;
        for (int k = 0; k < 3; ++k) {
            l += osc_l[k].next(hz_l[k]);
            r += osc_r[k].next(hz_r[k]);
        }
        const float a = amp.next() * velocity * 0.22f;
        out.left[i] = lp_l.low(l) * a;
        out.right[i] = lp_r.low(r) * a;
    }
    // What is left of the release when the buffer ends must not click.
    const size_t tail = std::min<size_t>(n, 2000);
    for (size_t i = 0; i < tail; ++i) {
        const float g = static_cast<float>(i) / static_cast<float>(tail);
        out.left[n - 1 - i] *= g;
        out.right[n - 1 - i] *= g;
    }
    return out;
}

mono pluck(float midi, float velocity, float brightness) {
    const float hz = static_cast<float>(midi_to_hz(midi));
    mono out(static_cast<size_t>(samples_of(0.4f)));
    saw_osc saw;
    pulse_osc sq;
    decay_env amp(0.11f), filter_env(0.05f);
    svf lp;
    for (size_t i = 0; i < out.size(); ++i) {
        if (i % 16 == 0) lp.set(300.0f + (1500.0f + 5000.0f * brightness) * filter_env.level, 1.6f);
        filter_env.next();
        const float x = 0.6f * saw.next(hz) + 0.4f * sq.next(hz * 1.004f, 0.3f);
        const float attack = i < 40 ? static_cast<float>(i) / 40.0f : 1.0f;
        out[i] = velocity * 0.5f * lp.low(x) * amp.next() * attack;
    }
    return out;
}

mono lead(float midi, float length_s, float velocity) {
    const float hz = static_cast<float>(midi_to_hz(midi));
    const adsr amp_shape{0.012f, 0.3f, 0.7f, 0.12f};
    envelope amp(amp_shape, samples_of(length_s));
    mono out(static_cast<size_t>(samples_of(length_s + 0.6f)));
    saw_osc a, b;
    sine_osc vibrato;
    svf lp;
    lp.set(3200.0f, 0.9f);
    for (size_t i = 0; i < out.size(); ++i) {
        const float t = static_cast<float>(i) / sample_rate;
        const float depth = std::min(1.0f, std::max(0.0f, t - 0.25f) * 3.0f) * 0.004f;
        const float f = hz * (1.0f + depth * vibrato.next(5.5));
        const float x = a.next(f) + 0.7f * b.next(f * 1.006f);
        out[i] = velocity * 0.3f * lp.low(x) * amp.next();
    }
    return out;
}

mono stab(std::span<const float> notes, float velocity) {
    mono out(static_cast<size_t>(samples_of(0.9f)));
    std::vector<saw_osc> osc(notes.size());
    std::vector<float> hz;
    for (float n : notes) hz.push_back(static_cast<float>(midi_to_hz(n)));
    decay_env amp(0.22f), filter_env(0.08f);
    svf lp;
    for (size_t i = 0; i < out.size(); ++i) {
        if (i % 16 == 0) lp.set(400.0f + 7000.0f * filter_env.level, 1.2f);
        filter_env.next();
        float x = 0;
        for (size_t k = 0; k < osc.size(); ++k) x += osc[k].next(hz[k]);
        out[i] = velocity * 0.35f * lp.low(x) * amp.next();
    }
    return out;
}

}  // namespace music
