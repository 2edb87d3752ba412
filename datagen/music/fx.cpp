#include "datagen/music/fx.h"

#include <array>

#include "datagen/music/dsp.h"

namespace music {

namespace {

class comb {
public:
    explicit comb(size_t length) : buffer_(length, 0.0f) {}
    float process(float x, float feedback, float damping) {
        const float y = buffer_[pos_];
        store_ = y * (1.0f - damping) + store_ * damping;
        buffer_[pos_] = x + store_ * feedback;
        if (++pos_ == buffer_.size()) pos_ = 0;
        return y;
    }

private:
    std::vector<float> buffer_;
    size_t pos_ = 0;
    float store_ = 0;
};

class allpass {
public:
    explicit allpass(size_t length) : buffer_(length, 0.0f) {}
    float process(float x) {
        const float b = buffer_[pos_];
        buffer_[pos_] = x + b * 0.5f;
        if (++pos_ == buffer_.size()) pos_ = 0;
        return b - x;
    }

private:
    std::vector<float> buffer_;
    size_t pos_ = 0;
};

constexpr std::array<size_t, 8> comb_lengths = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<size_t, 4> allpass_lengths = {556, 441, 341, 225};
// Different lengths per side decorrelate the tails into a wide image.
constexpr size_t stereo_spread = 23;
constexpr size_t predelay = 900;

struct reverb_side {
    std::vector<comb> combs;
    std::vector<allpass> allpasses;
    explicit reverb_side(size_t spread) {
        for (size_t n : comb_lengths) combs.emplace_back(n + spread);
        for (size_t n : allpass_lengths) allpasses.emplace_back(n + spread);
    }
    float process(float x, const reverb_params& p) {
        float sum = 0;
        for (comb& c : combs) sum += c.process(x, p.room, p.damping);
        for (allpass& a : allpasses) sum = a.process(sum);
        return sum;
    }
};

}  // namespace

void add_reverb(const mono& send, mono& out_left, mono& out_right, const reverb_params& p) {
    reverb_side left(0), right(stereo_spread);
    const size_t n = std::min({send.size(), out_left.size(), out_right.size()});
    const float input_gain = 0.03f;
    one_pole_lowpass tone;
    tone.set(6000.0f);
    for (size_t i = predelay; i < n; ++i) {
        const float x = tone.process(send[i - predelay]) * input_gain;
        out_left[i] += p.level * left.process(x, p);
        out_right[i] += p.level * right.process(x, p);
    }
}

void add_echo(const mono& send, mono& out_left, mono& out_right, const echo_params& p) {
    const size_t n = std::min({send.size(), out_left.size(), out_right.size()});
    const size_t d = static_cast<size_t>(std::max(1, p.delay_samples));
    std::vector<float> line_l(d, 0.0f), line_r(d, 0.0f);
    one_pole_lowpass damp_l, damp_r;
    damp_l.set(3500.0f);
    damp_r.set(3500.0f);
    size_t pos = 0;
    for (size_t i = 0; i < n; ++i) {
        const float yl = line_l[pos];
        const float yr = line_r[pos];
        // Left repeats into right and back: the echo walks across the image.
        line_l[pos] = send[i] + p.feedback * damp_r.process(yr);
        line_r[pos] = p.feedback * damp_l.process(yl);
        if (++pos == d) pos = 0;
        out_left[i] += p.level * yl;
        out_right[i] += p.level * yr;
    }
}

}  // namespace music
