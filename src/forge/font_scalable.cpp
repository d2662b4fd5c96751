// Scalable fonts through FreeType.
#include "forge/font_scalable.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
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

// The code page byte of a character (0 when it has none).
uint8_t byte_of(char32_t unicode) {
    for (int c = 0x20; c < 256; ++c)
        if (codepage_to_unicode(static_cast<uint8_t>(c)) == unicode) return static_cast<uint8_t>(c);
    return 0;
}

// An accent drawn pixel by pixel; positions are relative to the pen (x) and
// the baseline (top = height of the first row above it).
struct accent_mark {
    int width = 0, rows = 0;
    std::vector<uint8_t> ink;
};

enum accent_kind { CARON, ACUTE, RING, DIAERESIS, CIRCUMFLEX };

accent_mark drawn_accent(accent_kind kind) {
    static const char* const pictures[][3] = {
        {"#.#", ".#.", nullptr},   {".#", "#.", nullptr},   {".#.", "#.#", ".#."},
        {"#.#", nullptr, nullptr}, {".#.", "#.#", nullptr},
    };
    accent_mark mark;
    for (const char* row : pictures[kind]) {
        if (!row) break;
        mark.width = static_cast<int>(std::strlen(row));
        ++mark.rows;
        for (const char* p = row; *p; ++p) mark.ink.push_back(*p == '#');
    }
    return mark;
}

// The letter with the accent one empty row above it, centred on its ink.
rendered compose(const rendered& letter, const accent_mark& mark) {
    rendered out;
    out.advance = letter.advance;
    const int mark_left = letter.left + (letter.width - mark.width) / 2;
    out.left = std::min(letter.left, mark_left);
    const int right = std::max(letter.left + letter.width, mark_left + mark.width);
    out.width = right - out.left;
    out.top = letter.top + 1 + mark.rows;
    out.rows = letter.rows + 1 + mark.rows;
    out.ink.assign(static_cast<size_t>(out.width) * out.rows, 0);
    for (int y = 0; y < mark.rows; ++y)
        for (int x = 0; x < mark.width; ++x)
            out.ink[static_cast<size_t>(y) * out.width + (mark_left - out.left + x)] =
                mark.ink[static_cast<size_t>(y) * mark.width + x];
    for (int y = 0; y < letter.rows; ++y)
        for (int x = 0; x < letter.width; ++x)
            out.ink[static_cast<size_t>(y + 1 + mark.rows) * out.width + (letter.left - out.left + x)] =
                letter.ink[static_cast<size_t>(y) * letter.width + x];
    return out;
}

// Small sizes draw the accents of capitals right onto the letters and drop
// those of small letters; these letters are rebuilt from the plain letter and
// an accent drawn one empty row above it. Letters whose accent stands beside
// an ascender (ď, ť, ľ, ĺ) keep the font's own picture.
void separate_accents(std::array<std::optional<rendered>, 256>& characters,
                      const std::optional<rendered>& dotless_i) {
    struct recipe {
        char32_t letter;
        char base;
        accent_kind accent;
    };
    static const recipe recipes[] = {
        {U'Č', 'C', CARON},      {U'Ď', 'D', CARON},     {U'Ě', 'E', CARON},      {U'Ň', 'N', CARON},
        {U'Ř', 'R', CARON},      {U'Š', 'S', CARON},     {U'Ť', 'T', CARON},      {U'Ž', 'Z', CARON},
        {U'Á', 'A', ACUTE},      {U'É', 'E', ACUTE},     {U'Í', 'I', ACUTE},      {U'Ó', 'O', ACUTE},
        {U'Ú', 'U', ACUTE},      {U'Ý', 'Y', ACUTE},     {U'Ĺ', 'L', ACUTE},      {U'Ŕ', 'R', ACUTE},
        {U'Ů', 'U', RING},       {U'Ä', 'A', DIAERESIS}, {U'Ö', 'O', DIAERESIS},  {U'Ü', 'U', DIAERESIS},
        {U'Ô', 'O', CIRCUMFLEX}, {U'č', 'c', CARON},     {U'ě', 'e', CARON},      {U'ň', 'n', CARON},
        {U'ř', 'r', CARON},      {U'š', 's', CARON},     {U'ž', 'z', CARON},      {U'á', 'a', ACUTE},
        {U'é', 'e', ACUTE},      {U'í', 'i', ACUTE},     {U'ó', 'o', ACUTE},      {U'ú', 'u', ACUTE},
        {U'ý', 'y', ACUTE},      {U'ŕ', 'r', ACUTE},     {U'ů', 'u', RING},       {U'ä', 'a', DIAERESIS},
        {U'ö', 'o', DIAERESIS},  {U'ü', 'u', DIAERESIS}, {U'ô', 'o', CIRCUMFLEX},
    };
    for (const recipe& r : recipes) {
        const uint8_t target = byte_of(r.letter);
        if (!target || !characters[target]) continue;
        const std::optional<rendered>& base =
            r.base == 'i' && dotless_i ? dotless_i : characters[static_cast<uint8_t>(r.base)];
        if (!base || base->rows == 0 || (r.base == 'i' && !dotless_i)) continue;
        characters[target] = compose(*base, drawn_accent(r.accent));
    }
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
    for (int c = 0; c < 256; ++c) {
        const char32_t unicode = codepage_to_unicode(static_cast<uint8_t>(c));
        if (!unicode) continue;
        const FT_UInt index = FT_Get_Char_Index(raw_face, unicode);
        if (index) characters[c] = render_one(raw_face, index, options);
    }
    if (options.separate_accents) {
        std::optional<rendered> dotless_i;
        if (const FT_UInt index = FT_Get_Char_Index(raw_face, U'ı'))
            dotless_i = render_one(raw_face, index, options);
        separate_accents(characters, dotless_i);
    }

    // The cell is sized by the ink of the letters, digits and signs; box
    // drawing and block characters are cut to it (they are meant to fill it).
    int ascent = 0;
    int descent = 0;
    for (int c = 0; c < 256; ++c) {
        if (!characters[c] || characters[c]->rows == 0) continue;
        const char32_t unicode = codepage_to_unicode(static_cast<uint8_t>(c));
        if (unicode >= 0x2300 && unicode < 0x2600) continue;
        ascent = std::max(ascent, characters[c]->top);
        descent = std::max(descent, characters[c]->rows - characters[c]->top);
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
