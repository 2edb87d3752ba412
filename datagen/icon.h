// The program's icon for the desktop: the title's first letter, from the title font, over
// the star that closes the title ring, on a dark rounded square. Drawn from the same
// glyphs and mark as the title mesh, so the icon follows them; the same inputs give the
// same pixels.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The sizes installed under share/icons/hicolor/<N>x<N>/apps/.
inline constexpr int icon_sizes[] = {48, 64, 128, 256};

struct rgba_image {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // row-major RGBA, straight alpha
};

bool render_icon(int size, rgba_image& image, std::string& error);

// PNG bytes of the image (straight RGBA).
std::string encode_png(const rgba_image& image);

// Writes dir/hicolor/<N>x<N>/apps/thornwake.png for every icon size.
bool write_icons(const std::filesystem::path& dir, std::string& error);
