#include "datagen/glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

glyph_image copy_glyph(FT_GlyphSlot slot) {
    glyph_image g;
    const FT_Bitmap& bitmap = slot->bitmap;
    g.coverage.width = int(bitmap.width);
    g.coverage.height = int(bitmap.rows);
    g.coverage.value.resize(size_t(bitmap.width) * bitmap.rows);
    for (unsigned r = 0; r < bitmap.rows; ++r)
        for (unsigned c = 0; c < bitmap.width; ++c)
            g.coverage.value[size_t(r) * bitmap.width + c] =
                bitmap.buffer[ptrdiff_t(r) * bitmap.pitch + c] / 255.0f;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.advance = float(slot->advance.x) / 64.0f;
    return g;
}

}  // namespace

bool render_glyphs(const std::string& font_path, int pixel_size, const std::u32string& text,
                   std::vector<glyph_image>& glyphs, std::string& error) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library)) {
        error = "cannot initialise FreeType";
        return false;
    }
    FT_Face face = nullptr;
    bool ok = FT_New_Face(library, font_path.c_str(), 0, &face) == 0;
    if (!ok) error = "cannot open font " + font_path + " (install fonts-dejavu-core)";
    if (ok && FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixel_size))) {
        error = "cannot size font " + font_path;
        ok = false;
    }
    for (size_t i = 0; ok && i < text.size(); ++i) {
        if (FT_Load_Char(face, text[i], FT_LOAD_RENDER | FT_LOAD_NO_HINTING)) {
            error = "font " + font_path + " cannot render character " + std::to_string(text[i]);
            ok = false;
        } else {
            glyphs.push_back(copy_glyph(face->glyph));
        }
    }
    if (face) FT_Done_Face(face);
    FT_Done_FreeType(library);
    return ok;
}
