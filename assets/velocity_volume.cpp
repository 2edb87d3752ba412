#include "assets/velocity_volume.h"

volume_data read_velocity_volume(std::FILE* file)
{
    // Value-initialised, so whatever a short file leaves out is already zero.
    volume_data out;
    out.texels.assign(volume_floats, 0.0f);
    if (!file) return out;
    out.bytes_read = std::fread(out.texels.data(), 1, volume_bytes, file);
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
