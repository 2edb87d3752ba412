// The velocity volume "binaries/Velocity.dat": 128 x 256 x 128 texels of three little-endian
// floats, x fastest. The field is the curl of a sum of periodic waves, so it wraps in all
// three directions and its central-difference divergence is zero (see velocity_modes).
#pragma once
#include <complex>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/velocity_volume.h"  // the file's layout, shared with its reader


struct velocity_mode {
    int cycles[3];       // whole cycles across the volume along x, y, z
    double velocity[3];  // amplitude vector of the flow this wave adds
    double phase;
};

// Swirls at three scales; the sum has a root-mean-square speed of 1.
std::vector<velocity_mode> velocity_modes();

struct velocity_sample {
    float x, y, z;
};

// The modes with their waves tabulated along each axis, so a texel costs a few products
// per mode instead of a cosine.
struct velocity_field {
    explicit velocity_field(std::vector<velocity_mode> modes);
    std::vector<velocity_mode> modes;
    // e^(i·2π·(n·index mod size)/size) per mode and axis: exact at every wrap.
    std::vector<std::vector<std::complex<double>>> waves[3];

    // The field at texel (i, j, k); indices wrap.
    velocity_sample at(int i, int j, int k) const;
};

// The whole volume as the file's bytes, computed on all hardware threads.
std::string encode_velocity_volume();

bool generate_velocity_volume(const std::filesystem::path& out_dir, std::string& error);
