#include "datagen/velocity_volume.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>

#include "datagen/output_file.h"
#include "datagen/parallel.h"
#include "datagen/seeded.h"

namespace {

constexpr int sizes[3] = {volume_width, volume_height, volume_depth};
constexpr double two_pi = 2 * std::numbers::pi;

struct scale_band {
    int modes;
    double min_cycles, max_cycles;  // wave number in cycles per 128 texels
    double speed;
};

// Large slow gyres, medium eddies, small curls; enough waves per band, in directions
// spread over the sphere, that their sum swirls instead of showing a plaid of stripes.
constexpr scale_band bands[] = {{16, 1, 2.5, 1.0}, {24, 3, 6, 0.5}, {32, 8, 14, 0.25}};

double angle_step(int axis, int cycles) { return two_pi * cycles / sizes[axis]; }

}  // namespace

// Each wave is the curl of a potential a·sin(θ). Taking the curl with the central-difference
// wave numbers sin(step) instead of step makes the sampled field's central-difference
// divergence vanish exactly, not only approximately.
std::vector<velocity_mode> velocity_modes() {
    seeded_random random{20130101};
    std::vector<velocity_mode> modes;
    double mean_square = 0;
    std::vector<std::array<int, 3>> taken;
    for (const scale_band& band : bands) {
        for (int m = 0; m < band.modes;) {
            // A direction uniform on the sphere, a length in the band, rounded to whole
            // cycles so the wave wraps; y spans 256 texels, so it takes twice the cycles.
            const double z = random.range(-1, 1), azimuth = random.range(0, two_pi);
            const double r = std::sqrt(1 - z * z), length = random.range(band.min_cycles, band.max_cycles);
            const std::array<int, 3> cycles = {int(std::lround(r * std::cos(azimuth) * length)),
                                               int(std::lround(r * std::sin(azimuth) * length * 2)),
                                               int(std::lround(z * length))};
            const std::array<int, 3> opposite = {-cycles[0], -cycles[1], -cycles[2]};
            if (cycles == std::array<int, 3>{0, 0, 0} ||
                std::find(taken.begin(), taken.end(), cycles) != taken.end() ||
                std::find(taken.begin(), taken.end(), opposite) != taken.end())
                continue;
            taken.push_back(cycles);
            velocity_mode mode{};
            double kd[3];
            for (int axis = 0; axis < 3; ++axis) {
                mode.cycles[axis] = cycles[axis];
                kd[axis] = std::sin(angle_step(axis, cycles[axis]));
            }
            double a[3] = {random.range(-1, 1), random.range(-1, 1), random.range(-1, 1)};
            double v[3] = {kd[1] * a[2] - kd[2] * a[1], kd[2] * a[0] - kd[0] * a[2],
                           kd[0] * a[1] - kd[1] * a[0]};
            const double length_v = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            if (length_v < 1e-9) continue;
            for (int c = 0; c < 3; ++c) mode.velocity[c] = v[c] / length_v * band.speed;
            mode.phase = random.range(0, two_pi);
            mean_square += band.speed * band.speed / 2;
            modes.push_back(mode);
            ++m;
        }
    }
    const double gain = 1 / std::sqrt(mean_square);
    for (velocity_mode& mode : modes)
        for (double& c : mode.velocity) c *= gain;
    return modes;
}

velocity_field::velocity_field(std::vector<velocity_mode> m) : modes(std::move(m)) {
    for (int axis = 0; axis < 3; ++axis) {
        for (const velocity_mode& mode : modes) {
            std::vector<std::complex<double>> wave(sizes[axis]);
            for (int index = 0; index < sizes[axis]; ++index) {
                const long long n = (long long)mode.cycles[axis] * index;
                const long long r = ((n % sizes[axis]) + sizes[axis]) % sizes[axis];
                wave[index] = std::polar(1.0, two_pi * double(r) / sizes[axis]);
            }
            waves[axis].push_back(std::move(wave));
        }
    }
}

namespace {

int wrap(int index, int size) { return ((index % size) + size) % size; }

// The y-z part of every mode's wave for one row of texels, phase included.
void row_factors(const velocity_field& field, int j, int k, std::vector<std::complex<double>>& out) {
    out.resize(field.modes.size());
    for (size_t m = 0; m < field.modes.size(); ++m)
        out[m] = field.waves[1][m][j] * field.waves[2][m][k] *
                 std::polar(1.0, field.modes[m].phase);
}

velocity_sample texel(const velocity_field& field, int i, const std::vector<std::complex<double>>& row) {
    double v[3] = {0, 0, 0};
    for (size_t m = 0; m < field.modes.size(); ++m) {
        const std::complex<double> x = field.waves[0][m][i];
        const double c = x.real() * row[m].real() - x.imag() * row[m].imag();
        for (int axis = 0; axis < 3; ++axis) v[axis] += field.modes[m].velocity[axis] * c;
    }
    return {float(v[0]), float(v[1]), float(v[2])};
}

}  // namespace

velocity_sample velocity_field::at(int i, int j, int k) const {
    std::vector<std::complex<double>> row;
    row_factors(*this, wrap(j, volume_height), wrap(k, volume_depth), row);
    return texel(*this, wrap(i, volume_width), row);
}

std::string encode_velocity_volume() {
    const velocity_field field(velocity_modes());
    std::string bytes(volume_bytes, '\0');
    const size_t slice_bytes = size_t(volume_width) * volume_height * 12;
    parallel_for(volume_depth, [&](int k) {
        char* out = bytes.data() + slice_bytes * size_t(k);
        std::vector<std::complex<double>> row;
        for (int j = 0; j < volume_height; ++j) {
            row_factors(field, j, k, row);
            for (int i = 0; i < volume_width; ++i) {
                const velocity_sample s = texel(field, i, row);
                std::memcpy(out, &s, 12);
                out += 12;
            }
        }
    });
    return bytes;
}

bool generate_velocity_volume(const std::filesystem::path& out_dir, std::string& error) {
    return write_output(out_dir, "binaries/Velocity.dat", encode_velocity_volume(), error);
}
