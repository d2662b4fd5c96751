// BDF reader: STARTFONT ... FONTBOUNDINGBOX, FONT_ASCENT, FONT_DESCENT,
// then STARTCHAR / ENCODING / DWIDTH / BBX / BITMAP ... ENDCHAR blocks.
#include "forge/font_bdf.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "forge/font_codepage.h"

namespace forge {

namespace {

struct bdf_char {
    long encoding = -1;
    int advance = -1;
    int width = 0, height = 0, x_offset = 0, y_offset = 0;
    std::vector<std::vector<bool>> rows;
};

[[noreturn]] void fail(int line, const std::string& what) {
    throw std::runtime_error("BDF line " + std::to_string(line) + ": " + what);
}

std::vector<bool> hex_row(const std::string& hex, int width, int line) {
    std::vector<bool> bits;
    for (char ch : hex) {
        int value;
        if (ch >= '0' && ch <= '9')
            value = ch - '0';
        else if (ch >= 'a' && ch <= 'f')
            value = ch - 'a' + 10;
        else if (ch >= 'A' && ch <= 'F')
            value = ch - 'A' + 10;
        else
            fail(line, "bad hexadecimal digit in a bitmap row");
        for (int bit = 3; bit >= 0; --bit) bits.push_back((value >> bit) & 1);
    }
    if (static_cast<int>(bits.size()) < width) fail(line, "bitmap row shorter than the BBX width");
    bits.resize(width);
    return bits;
}

}  // namespace

font_glyphs import_bdf(std::string_view text, const bdf_options& options) {
    std::istringstream in{std::string(text)};
    std::string line_text;
    int line = 0;
    int ascent = -1, descent = -1;
    int box_height = 0, box_y = 0;
    bool started = false;
    std::map<long, bdf_char> chars;
    bdf_char current;
    bool in_char = false;
    int bitmap_rows_left = -1;  // >= 0 while reading BITMAP rows

    while (std::getline(in, line_text)) {
        ++line;
        if (!line_text.empty() && line_text.back() == '\r') line_text.pop_back();
        std::istringstream words(line_text);
        std::string keyword;
        if (!(words >> keyword)) continue;
        if (bitmap_rows_left >= 0 && keyword != "ENDCHAR") {
            if (bitmap_rows_left == 0) fail(line, "more bitmap rows than the BBX height");
            current.rows.push_back(hex_row(keyword, current.width, line));
            --bitmap_rows_left;
            continue;
        }
        if (keyword == "STARTFONT") {
            started = true;
        } else if (!started) {
            fail(line, "the file does not begin with STARTFONT");
        } else if (keyword == "FONTBOUNDINGBOX") {
            int w, x;
            if (!(words >> w >> box_height >> x >> box_y)) fail(line, "FONTBOUNDINGBOX needs four numbers");
        } else if (keyword == "FONT_ASCENT") {
            if (!(words >> ascent) || ascent < 0) fail(line, "bad FONT_ASCENT");
        } else if (keyword == "FONT_DESCENT") {
            if (!(words >> descent) || descent < 0) fail(line, "bad FONT_DESCENT");
        } else if (keyword == "STARTCHAR") {
            if (in_char) fail(line, "STARTCHAR inside a character");
            current = bdf_char{};
            in_char = true;
        } else if (keyword == "ENCODING") {
            if (!in_char || !(words >> current.encoding)) fail(line, "bad ENCODING");
        } else if (keyword == "DWIDTH") {
            if (!in_char || !(words >> current.advance) || current.advance < 0) fail(line, "bad DWIDTH");
        } else if (keyword == "BBX") {
            if (!in_char ||
                !(words >> current.width >> current.height >> current.x_offset >> current.y_offset) ||
                current.width < 0 || current.height < 0 || current.width > FONT_MAX_GLYPH_SIZE ||
                current.height > FONT_MAX_GLYPH_SIZE)
                fail(line, "bad BBX");
        } else if (keyword == "BITMAP") {
            if (!in_char) fail(line, "BITMAP outside a character");
            bitmap_rows_left = current.height;
        } else if (keyword == "ENDCHAR") {
            if (!in_char) fail(line, "ENDCHAR without STARTCHAR");
            if (bitmap_rows_left > 0) fail(line, "fewer bitmap rows than the BBX height");
            if (current.encoding >= 0) chars[current.encoding] = current;
            in_char = false;
            bitmap_rows_left = -1;
        } else if (keyword == "ENDFONT") {
            break;
        }
    }
    if (!started) fail(line, "the file does not begin with STARTFONT");
    if (in_char) fail(line, "the last character has no ENDCHAR");
    if (ascent < 0) ascent = box_height + box_y;
    if (descent < 0) descent = -box_y;
    const int height = std::max(0, ascent + descent);
    if (height > FONT_MAX_GLYPH_SIZE) fail(line, "the font is more than 255 pixels high");

    font_glyphs glyphs;
    for (int c = 0; c < 256; ++c) {
        const char32_t unicode = codepage_to_unicode(static_cast<uint8_t>(c));
        if (!unicode) continue;
        auto found = chars.find(static_cast<long>(unicode));
        if (found == chars.end()) continue;
        const bdf_char& source = found->second;
        const int left = std::max(0, source.x_offset);
        const int advance = source.advance >= 0 ? source.advance : left + source.width;
        const int width = std::min(FONT_MAX_GLYPH_SIZE, std::max(advance, left + source.width));
        font_glyph glyph(width, height);
        const int top = ascent - (source.y_offset + source.height);  // cell row of the bitmap's first row
        for (int y = 0; y < source.height; ++y) {
            const int cy = top + y;
            if (cy < 0 || cy >= height) continue;
            for (int x = 0; x < source.width; ++x)
                if (source.rows[y][x] && left + x < width) glyph.at(left + x, cy) = FONT_INK_CODE;
        }
        if (options.shadow) add_shadow(glyph);
        glyphs[c] = std::move(glyph);
    }
    return glyphs;
}

}  // namespace forge
