// Per-sample building blocks of the soundtrack synthesiser: noise, band-limited oscillators,
// envelopes and filters. Header-only because they run in the inner loops; no allocation.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/mixing_rate.h"

namespace music {

constexpr int sample_rate = mixing_rate;  // the track plays at the layer's own rate
constexpr double pi = 3.14159265358979323846;

inline double midi_to_hz(double note) { return 440.0 * std::exp2((note - 69.0) / 12.0); }
inline float db_to_gain(float db) { return std::pow(10.0f, db / 20.0f); }

// Our own generator: the output must be the same bytes on every run and every libstdc++.
struct noise {
    uint32_t state = 0x9E3779B9u;
    explicit noise(uint32_t seed = 1) : state(seed * 2654435761u + 0x9E3779B9u) {
        if (state == 0) state = 1;
    }
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state >> 8) * (2.0f / 16777216.0f) - 1.0f;
    }
};

// Removes the step discontinuity of a naive saw/pulse; t is the phase in [0, 1), dt the
// phase increment. Without it the upper harmonics fold back as audible whistles.
inline float poly_blep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

struct saw_osc {
    float phase = 0;
    float next(float hz) {
        const float dt = hz / sample_rate;
        const float out = 2.0f * phase - 1.0f - poly_blep(phase, dt);
        phase += dt;
        if (phase >= 1.0f) phase -= 1.0f;
        return out;
    }
};

struct pulse_osc {
    float phase = 0;
    float next(float hz, float width = 0.5f) {
        const float dt = hz / sample_rate;
        float shifted = phase + width;
        if (shifted >= 1.0f) shifted -= 1.0f;
        float out = phase < width ? 1.0f : -1.0f;
        out += poly_blep(phase, dt);
        out -= poly_blep(shifted, dt);
        phase += dt;
        if (phase >= 1.0f) phase -= 1.0f;
        return out;
    }
};

struct sine_osc {
    double phase = 0;
    float next(double hz) {
        const float out = static_cast<float>(std::sin(2.0 * pi * phase));
        phase += hz / sample_rate;
        if (phase >= 1.0) phase -= 1.0;
        return out;
    }
};

struct adsr {
    float attack_s = 0.005f;
    float decay_s = 0.1f;   // time constant towards sustain
    float sustain = 1.0f;
    float release_s = 0.1f;  // time constant after the gate closes
};

// Linear attack, exponential decay and release. Gate length in samples.
class envelope {
public:
    envelope(const adsr& p, int64_t gate_samples)
        : attack_(std::max<int64_t>(1, static_cast<int64_t>(p.attack_s * sample_rate))),
          gate_(gate_samples),
          sustain_(p.sustain),
          decay_k_(coef(p.decay_s)),
          release_k_(coef(p.release_s)) {}

    float next() {
        if (n_ < gate_) {
            if (n_ < attack_) {
                level_ = static_cast<float>(n_ + 1) / static_cast<float>(attack_);
            } else {
                above_ *= decay_k_;
                level_ = sustain_ + (1.0f - sustain_) * above_;
            }
        } else {
            level_ *= release_k_;
        }
        ++n_;
        return level_;
    }

private:
    static float coef(float tau_s) {
        return tau_s <= 0 ? 0.0f : std::exp(-1.0f / (tau_s * sample_rate));
    }
    int64_t attack_;
    int64_t gate_;
    float sustain_;
    float decay_k_;
    float release_k_;
    int64_t n_ = 0;
    float level_ = 0;
    float above_ = 1.0f;
};

// Exponential decay from 1, for percussion.
struct decay_env {
    float level = 1.0f;
    float k = 0;
    explicit decay_env(float tau_s) : k(std::exp(-1.0f / (tau_s * sample_rate))) {}
    float next() {
        const float out = level;
        level *= k;
        return out;
    }
};

// Topology-preserving state-variable filter: stays stable while the cutoff moves every
// sample, which the filter sweeps of the risers and plucks rely on.
class svf {
public:
    struct outputs {
        float low, band, high;
    };
    void set(float cutoff_hz, float q) {
        const float fc = std::clamp(cutoff_hz, 10.0f, 0.45f * sample_rate);
        g_ = std::tan(static_cast<float>(pi) * fc / sample_rate);
        k_ = 1.0f / std::max(q, 0.05f);
        a1_ = 1.0f / (1.0f + g_ * (g_ + k_));
    }
    outputs process(float x) {
        const float v3 = x - ic2_;
        const float v1 = a1_ * ic1_ + g_ * a1_ * v3;
        const float v2 = ic2_ + g_ * v1;
        ic1_ = 2.0f * v1 - ic1_;
        ic2_ = 2.0f * v2 - ic2_;
        return {v2, v1, x - k_ * v1 - v2};
    }
    float low(float x) { return process(x).low; }
    float band(float x) { return process(x).band; }
    float high(float x) { return process(x).high; }

private:
    float g_ = 0.1f, k_ = 1.4f, a1_ = 1.0f;
    float ic1_ = 0, ic2_ = 0;
};

struct one_pole_lowpass {
    float a = 1.0f;
    float y = 0;
    void set(float cutoff_hz) { a = 1.0f - std::exp(-2.0f * static_cast<float>(pi) * cutoff_hz / sample_rate); }
    float process(float x) { return y += a * (x - y); }
};

// Gentle saturation that keeps small signals linear; a rational tanh, cheap enough for
// every sample of every voice.
inline float soft_clip(float x) {
    if (x > 3.0f) return 1.0f;
    if (x < -3.0f) return -1.0f;
    const float x2 = x * x;
    return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

}  // namespace music
