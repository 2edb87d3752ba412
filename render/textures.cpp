#include "render/textures.h"

#include "base/vecmath.h"

#include <algorithm>

int random_up_to(int n)
{
    const int bucket = 32767 / (n + 1);
    int r = 0;
    do {
        r = rand_next() / bucket;
    } while (r > n);
    return r;
}

static size_t texel_count(int width, int height)
{
    return size_t(std::max(width, 0)) * size_t(std::max(height, 0));
}

std::vector<uint8_t> noise_texture_bytes(int width, int height)
{
    std::vector<uint8_t> bytes(texel_count(width, height) * 3);
    rand_seed(24234234);
    for (int i = 0; i < 10000; ++i) rand_next();
    // Column-major with three wasted draws per texel: that order is the pattern.
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y) {
            for (int i = 0; i < 3; ++i) random_up_to(256);
            uint8_t* texel = &bytes[(size_t(y) * size_t(width) + size_t(x)) * 3];
            for (int c = 0; c < 3; ++c) texel[c] = uint8_t(random_up_to(256));
        }
    }
    return bytes;
}

std::vector<uint8_t> random_texture_bytes(int width, int height)
{
    std::vector<uint8_t> bytes(texel_count(width, height) * 4);
    for (uint8_t& b : bytes) b = uint8_t(rand_next() % 255);
    return bytes;
}
