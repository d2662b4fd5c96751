#pragma once
// Building font files: glyph bitmaps of colour codes in, the encoded font
// (256 glyph offsets, then width, height and pixel codes per glyph) out.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace forge {

// Pixel codes of a glyph bitmap: 0 transparent, 1-7 colour slot code - 1.
// Slot 0 is the shadow (or outline) colour, slots 1-4 the text colour.
constexpr uint8_t FONT_SHADOW_CODE = 1;
constexpr uint8_t FONT_INK_CODE = 2;
constexpr int FONT_MAX_GLYPH_SIZE = 255;

struct font_glyph {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // row-major, width x height codes

    font_glyph() = default;
    font_glyph(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0) {}
    uint8_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint8_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// One optional glyph per character code of the game's code page.
using font_glyphs = std::array<std::optional<font_glyph>, 256>;

// Grows the glyph by one column and one row and puts the shadow code one pixel
// right of and below every ink pixel where there is no ink.
void add_shadow(font_glyph& glyph);

// The pixel codes of one glyph, transparent runs packed, ended early by 255
// when only transparent pixels remain.
std::vector<uint8_t> encode_glyph_codes(const font_glyph& glyph);

// The whole font file. Identical glyphs share their bytes. Throws
// std::runtime_error when a glyph is too large or the file passes 64 KB.
std::vector<uint8_t> encode_font(const font_glyphs& glyphs);

// Writes bytes to a file safely (temporary file, fsync, rename); throws on failure.
void write_font_file(const std::string& path, const std::vector<uint8_t>& bytes);

// The whole file; throws when it cannot be read.
std::string read_source_file(const std::string& path);

}  // namespace forge
