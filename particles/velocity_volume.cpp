#include "particles/velocity_volume.h"

#include <bit>
#include <cstring>

static void to_host_order(std::vector<float>& v, std::size_t count)
{
    if constexpr (std::endian::native == std::endian::big) {
        for (std::size_t i = 0; i < count; ++i) {
            uint32_t w;
            std::memcpy(&w, &v[i], 4);
            w = (w >> 24) | ((w >> 8) & 0xFF00u) | ((w << 8) & 0xFF0000u) | (w << 24);
            std::memcpy(&v[i], &w, 4);
        }
    } else {
        (void)v;
        (void)count;
    }
}

volume_data read_velocity_volume(std::FILE* file)
{
    // Value-initialised, so whatever a short file leaves out is already zero.
    volume_data out;
    out.texels.assign(volume_floats, 0.0f);
    if (!file) return out;
    out.bytes_read = std::fread(out.texels.data(), 1, volume_bytes, file);
    // A trailing partial float stays as read; its missing bytes are the zeros above.
    to_host_order(out.texels, (out.bytes_read + 3) / 4);
    return out;
}

volume_data read_velocity_file(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    volume_data out = read_velocity_volume(file);
    if (file) std::fclose(file);
    if (out.bytes_read < volume_bytes) {
        std::printf("%s: read %zu of %zu bytes; the rest of the velocity volume is zero "
                    "(run thornwake-datagen to write it)\n",
                    path.c_str(), out.bytes_read, volume_bytes);
        std::fflush(stdout);
    }
    return out;
}
