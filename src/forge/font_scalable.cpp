// Scalable fonts through FreeType.
#include "forge/font_scalable.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

#include "forge/font_codepage.h"

namespace forge {

namespace {

struct library_deleter {
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct face_deleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};

// One rendered character before it is placed in the common cell.
struct rendered {
    int left = 0, top = 0, advance = 0;
    int width = 0, rows = 0;
    std::vector<uint8_t> ink;  // row-major, 1 = ink
};

rendered render_one(FT_Face face, FT_UInt index, const scalable_font_options& options) {
    const FT_Int32 flags = options.threshold > 0 ? FT_LOAD_RENDER : (FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
    if (FT_Load_Glyph(face, index, flags)) throw std::runtime_error("FreeType cannot render a glyph");
    FT_GlyphSlot slot = face->glyph;
    if (options.threshold > 0 && slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL))
        throw std::runtime_error("FreeType cannot render a glyph");
    const FT_Bitmap& bitmap = slot->bitmap;
    rendered out;
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    out.width = static_cast<int>(bitmap.width);
    out.rows = static_cast<int>(bitmap.rows);
    out.ink.assign(static_cast<size_t>(out.width) * out.rows, 0);
    for (int y = 0; y < out.rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < out.width; ++x) {
            bool on;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                on = (row[x >> 3] >> (7 - (x & 7))) & 1;
            else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
                on = row[x] >= std::max(1, options.threshold);
            else
                throw std::runtime_error("FreeType gave an unexpected bitmap format");
            out.ink[static_cast<size_t>(y) * out.width + x] = on ? 1 : 0;
        }
    }
    return out;
}

}  // namespace

font_glyphs render_scalable_font(const std::string& path, const scalable_font_options& options) {
    if (options.pixel_size < 2 || options.pixel_size > 200)
        throw std::runtime_error("the pixel size must lie between 2 and 200");
    FT_Library raw_library;
    if (FT_Init_FreeType(&raw_library)) throw std::runtime_error("FreeType cannot start");
    std::unique_ptr<FT_LibraryRec_, library_deleter> library(raw_library);
    FT_Face raw_face;
    if (FT_New_Face(raw_library, path.c_str(), 0, &raw_face))
        throw std::runtime_error("cannot open the font " + path);
    std::unique_ptr<FT_FaceRec_, face_deleter> face(raw_face);
    if (FT_Set_Pixel_Sizes(raw_face, 0, static_cast<FT_UInt>(options.pixel_size)))
        throw std::runtime_error("the font cannot be set to " + std::to_string(options.pixel_size) +
                                 " pixels");

    std::array<std::optional<rendered>, 256> characters;
    // The cell is sized by the ink of the letters, digits and signs; box
    // drawing and block characters are cut to it (they are meant to fill it).
    int ascent = 0;
    int descent = 0;
    for (int c = 0; c < 256; ++c) {
        const char32_t unicode = codepage_to_unicode(static_cast<uint8_t>(c));
        if (!unicode) continue;
        const FT_UInt index = FT_Get_Char_Index(raw_face, unicode);
        if (!index) continue;
        rendered glyph = render_one(raw_face, index, options);
        const bool fills_cell = unicode >= 0x2300 && unicode < 0x2600;
        if (glyph.rows > 0 && !fills_cell) {
            ascent = std::max(ascent, glyph.top);
            descent = std::max(descent, glyph.rows - glyph.top);
        }
        characters[c] = std::move(glyph);
    }

    font_glyphs glyphs;
    const int height = ascent + descent;
    for (int c = 0; c < 256; ++c) {
        if (!characters[c]) continue;
        const rendered& r = *characters[c];
        const int left = std::max(0, r.left);
        const int width = std::max(r.advance, left + r.width) + options.spacing;
        font_glyph glyph(width, height);
        for (int y = 0; y < r.rows; ++y) {
            const int row = ascent - r.top + y;
            if (row < 0 || row >= height) continue;
            for (int x = 0; x < r.width; ++x)
                if (r.ink[static_cast<size_t>(y) * r.width + x]) glyph.at(left + x, row) = FONT_INK_CODE;
        }
        if (options.shadow) add_shadow(glyph);
        glyphs[c] = std::move(glyph);
    }
    return glyphs;
}

}  // namespace forge
