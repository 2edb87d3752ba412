// Rasterises characters of an outline font into coverage images (FreeType).
#pragma once
#include <string>
#include <vector>

#include "datagen/extrude.h"

struct glyph_image {
    coverage_image coverage;
    int left = 0, top = 0;  // bitmap offset from the pen position, y up, in pixels
    float advance = 0;      // pen advance in pixels
};

// DejaVu Sans Condensed Bold from fonts-dejavu-core.
inline const char* title_font_path = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";

bool render_glyphs(const std::string& font_path, int pixel_size, const std::u32string& text,
                   std::vector<glyph_image>& glyphs, std::string& error);
