// The forge's font compiler: what it writes is what the font reader draws.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "forge/font_bdf.h"
#include "forge/font_build.h"
#include "forge/font_codepage.h"
#include "forge/font_grid.h"
#include "forge/font_scalable.h"
#include "gfx/font.h"
#include "gfx/screen.h"

namespace {

using forge::font_glyph;
using forge::font_glyphs;

constexpr uint16_t BACKGROUND = 0x0421;
const std::array<uint16_t, 7> NUMBERED{0x100, 0x200, 0x300, 0x400, 0x500, 0x600, 0x700};

// Draws one character of an encoded font at (0, 0) with numbered slots and
// reads the pixels back as codes (0 where nothing was drawn).
font_glyph draw_back(const std::vector<uint8_t>& file, uint8_t c) {
    const font_data font{file.data(), static_cast<int32_t>(file.size())};
    const int w = glyph_width(font, c), h = glyph_height(font, c);
    clear_buffer(frame_buffer, BACKGROUND);
    draw_glyph(frame_buffer, 0, 0, font, c, NUMBERED);
    font_glyph out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint16_t p = frame_buffer[y * SCREEN_PITCH + x];
            out.at(x, y) = p == BACKGROUND ? 0 : static_cast<uint8_t>(p >> 8);
        }
    return out;
}

std::string rows_of(const font_glyph& g) {
    std::string s;
    for (int y = 0; y < g.height; ++y) {
        for (int x = 0; x < g.width; ++x) s += g.at(x, y) ? char('0' + g.at(x, y)) : '.';
        s += '\n';
    }
    return s;
}

TEST(FontCompiler, TransparentRunsArePackedAndTheTailEndsTheGlyph) {
    font_glyph g(1, 300);
    g.at(0, 0) = 2;
    g.at(0, 2) = 3;    // one transparent pixel between: code 0
    g.at(0, 253) = 4;  // 250 transparent pixels: 248 + 2
    EXPECT_EQ(forge::encode_glyph_codes(g), (std::vector<uint8_t>{2, 0, 3, 254, 8, 4, 255}));
    font_glyph full(2, 1);
    full.at(0, 0) = full.at(1, 0) = 7;
    EXPECT_EQ(forge::encode_glyph_codes(full), (std::vector<uint8_t>{7, 7}));
}

TEST(FontCompiler, ShadowGoesRightAndBelowTheInkOnly) {
    font_glyph g(2, 2);
    g.at(0, 0) = 2;
    g.at(1, 1) = 2;
    forge::add_shadow(g);
    EXPECT_EQ(rows_of(g), "2..\n.2.\n..1\n");
}

TEST(FontCompiler, DrawnGlyphsComeBackPixelForPixel) {
    const font_glyphs glyphs = forge::parse_glyph_grid(
        "# test\n"
        "glyph 'a'\n"
        "1.2\n"
        ".7\n"
        "\n"
        "glyph 0x41\n"
        "..........\n"
        "3........4\n");
    const std::vector<uint8_t> file = forge::encode_font(glyphs);
    EXPECT_EQ(rows_of(draw_back(file, 'a')), "1.2\n.7.\n");
    EXPECT_EQ(rows_of(draw_back(file, 'A')), "..........\n3........4\n");
    const font_data font{file.data(), static_cast<int32_t>(file.size())};
    EXPECT_EQ(glyph_size(font, 'b'), 0);
}

TEST(FontCompiler, IdenticalGlyphsShareTheirBytes) {
    font_glyphs glyphs;
    font_glyph g(3, 3);
    g.at(1, 1) = 2;
    glyphs['x'] = g;
    glyphs['y'] = g;
    const std::vector<uint8_t> file = forge::encode_font(glyphs);
    EXPECT_EQ(file['x' * 2], file['y' * 2]);
    EXPECT_EQ(file.size(), 512u + 2 + forge::encode_glyph_codes(g).size());
}

TEST(FontCompiler, RejectsFontsThatCannotBeAddressed) {
    font_glyphs glyphs;
    glyphs['a'] = font_glyph(256, 1);
    EXPECT_THROW(forge::encode_font(glyphs), std::runtime_error);
    // 256 different glyphs of 255 pixels do not fit behind 16-bit offsets.
    font_glyphs big;
    for (int c = 0; c < 256; ++c) {
        font_glyph g(255, 1);
        for (int x = 0; x < 255; ++x) g.at(x, 0) = 1;
        g.at(0, 0) = static_cast<uint8_t>(1 + c % 7);  // c in base 7: every glyph differs
        g.at(1, 0) = static_cast<uint8_t>(1 + c / 7 % 7);
        g.at(2, 0) = static_cast<uint8_t>(1 + c / 49);
        big[c] = g;
    }
    EXPECT_THROW(forge::encode_font(big), std::runtime_error);
}

TEST(FontCompiler, GridSourceErrorsNameTheLine) {
    auto message = [](const char* text) {
        try {
            forge::parse_glyph_grid(text);
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_NE(message("glyph 1\n1\n\n12x\n").find("line 4"), std::string::npos);
    EXPECT_NE(message("glyph 1\n1\nglyph 1\n2\n").find("line 3"), std::string::npos);
    EXPECT_NE(message("glyph 300\n1\n").find("line 1"), std::string::npos);
    EXPECT_NE(message("glyph 1\n1\n12x\n").find("unknown pixel"), std::string::npos);
}

// A small BDF font of our own: 'A' (with a descent row under the baseline),
// 'j' reaching below it, and U+010D (c with caron) at game code 0x87.
const char* const TINY_BDF =
    "STARTFONT 2.1\n"
    "FONT -test-tiny\n"
    "SIZE 6 75 75\n"
    "FONTBOUNDINGBOX 4 6 0 -1\n"
    "STARTPROPERTIES 2\n"
    "FONT_ASCENT 5\n"
    "FONT_DESCENT 1\n"
    "ENDPROPERTIES\n"
    "CHARS 3\n"
    "STARTCHAR A\n"
    "ENCODING 65\n"
    "SWIDTH 500 0\n"
    "DWIDTH 4 0\n"
    "BBX 3 3 0 0\n"
    "BITMAP\n"
    "40\n"
    "E0\n"
    "A0\n"
    "ENDCHAR\n"
    "STARTCHAR j\n"
    "ENCODING 106\n"
    "DWIDTH 2 0\n"
    "BBX 1 4 1 -1\n"
    "BITMAP\n"
    "80\n"
    "80\n"
    "80\n"
    "80\n"
    "ENDCHAR\n"
    "STARTCHAR ccaron\n"
    "ENCODING 269\n"
    "DWIDTH 3 0\n"
    "BBX 2 4 0 0\n"
    "BITMAP\n"
    "C0\n"
    "00\n"
    "C0\n"
    "C0\n"
    "ENDCHAR\n"
    "ENDFONT\n";

TEST(FontCompiler, BdfGlyphsSitOnTheBaselineOfAOneCellFont) {
    forge::bdf_options plain;
    plain.shadow = false;
    const std::vector<uint8_t> file = forge::encode_font(forge::import_bdf(TINY_BDF, plain));
    EXPECT_EQ(rows_of(draw_back(file, 'A')), "....\n....\n.2..\n222.\n2.2.\n....\n");
    EXPECT_EQ(rows_of(draw_back(file, 'j')), "..\n..\n.2\n.2\n.2\n.2\n");
    EXPECT_EQ(rows_of(draw_back(file, 0x87)), "...\n22.\n...\n22.\n22.\n...\n");
    const font_data font{file.data(), static_cast<int32_t>(file.size())};
    EXPECT_EQ(glyph_size(font, 'B'), 0);

    const std::vector<uint8_t> shadowed = forge::encode_font(forge::import_bdf(TINY_BDF, {}));
    EXPECT_EQ(rows_of(draw_back(shadowed, 'A')), ".....\n.....\n.2...\n222..\n2121.\n.1.1.\n.....\n");
}

TEST(FontCompiler, BdfErrorsNameTheLine) {
    auto message = [](const std::string& text) {
        try {
            forge::import_bdf(text, {});
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_NE(message("FONT x\n").find("line 1"), std::string::npos);
    std::string bad_hex = TINY_BDF;
    bad_hex.replace(bad_hex.find("E0\n"), 3, "G0\n");
    EXPECT_NE(message(bad_hex).find("line 17"), std::string::npos);
    std::string short_bitmap = TINY_BDF;
    short_bitmap.erase(short_bitmap.find("A0\n"), 3);
    EXPECT_NE(message(short_bitmap).find("fewer bitmap rows"), std::string::npos);
    EXPECT_NE(message("STARTFONT 2.1\nSTARTCHAR a\nBBX 1 1 0 0\n").find("no ENDCHAR"), std::string::npos);
}

TEST(FontCompiler, CodePageLettersAreTheCzechAlphabet) {
    // The 36 letter pairs of the game code page, as Unicode.
    const std::pair<uint8_t, char32_t> letters[] = {
        {0xA0, U'á'}, {0x87, U'č'}, {0x83, U'ď'}, {0x82, U'é'}, {0x88, U'ě'}, {0xA1, U'í'},
        {0x8D, U'ĺ'}, {0x8C, U'ľ'}, {0xA4, U'ň'}, {0xA2, U'ó'}, {0xAA, U'ŕ'}, {0xA9, U'ř'},
        {0xA8, U'š'}, {0x9F, U'ť'}, {0xA3, U'ú'}, {0x96, U'ů'}, {0x98, U'ý'}, {0x91, U'ž'},
        {0x8F, U'Á'}, {0x80, U'Č'}, {0x85, U'Ď'}, {0x90, U'É'}, {0x89, U'Ě'}, {0x8B, U'Í'},
        {0x8A, U'Ĺ'}, {0x9C, U'Ľ'}, {0xA5, U'Ň'}, {0x95, U'Ó'}, {0xAB, U'Ŕ'}, {0x9E, U'Ř'},
        {0x9B, U'Š'}, {0x86, U'Ť'}, {0x97, U'Ú'}, {0xA6, U'Ů'}, {0x9D, U'Ý'}, {0x92, U'Ž'}};
    for (const auto& [byte, unicode] : letters)
        EXPECT_EQ(forge::codepage_to_unicode(byte), unicode) << int(byte);
    EXPECT_EQ(forge::codepage_to_unicode('A'), U'A');
    EXPECT_EQ(forge::codepage_to_unicode(10), 0u);
    EXPECT_EQ(forge::codepage_to_unicode(0x7F), 0u);
}

TEST(FontCompiler, ScalableFontCoversTheCodePageInOneCell) {
    forge::scalable_font_options options;
    options.pixel_size = 10;
    const font_glyphs glyphs = forge::render_scalable_font(DEJAVU_SANS, options);
    const std::vector<uint8_t> file = forge::encode_font(glyphs);
    const font_data font{file.data(), static_cast<int32_t>(file.size())};
    const int height = glyph_height(font, 'X');
    EXPECT_GE(height, 10);
    EXPECT_LE(height, 16);
    for (int c = 0x20; c < 0x7F; ++c) EXPECT_EQ(glyph_height(font, static_cast<uint8_t>(c)), height) << c;
    EXPECT_EQ(glyph_size(font, '\n'), 0);
    EXPECT_GT(glyph_width(font, ' '), 1);
    EXPECT_GT(glyph_width(font, 'W'), glyph_width(font, 'i'));

    // C with caron is C with ink above: the same lower rows, more pixels on top.
    const font_glyph plain = draw_back(file, 'C');
    const font_glyph caron = draw_back(file, 0x80);
    int plain_top = height, caron_top = height;
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < plain.width; ++x) {
            if (plain.at(x, y)) plain_top = y;
            if (x < caron.width && caron.at(x, y)) caron_top = y;
        }
    EXPECT_LT(caron_top, plain_top);
    // Ink in slot 1, shadow in slot 0, nothing else.
    bool ink = false, shadow = false;
    for (uint8_t code : plain.pixels) {
        EXPECT_LE(code, 2);
        ink |= code == 2;
        shadow |= code == 1;
    }
    EXPECT_TRUE(ink && shadow);

    EXPECT_THROW(forge::render_scalable_font("/nonexistent.ttf", options), std::runtime_error);
}

// The rows of a glyph that hold ink (code 2), from the top.
std::vector<bool> inked_rows(const font_glyph& g) {
    std::vector<bool> rows(g.height, false);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) rows[y] = rows[y] || g.at(x, y) == 2;
    return rows;
}

TEST(FontCompiler, SeparatedAccentsStandOneEmptyRowAboveTheCapital) {
    forge::scalable_font_options options;
    options.pixel_size = 7;
    options.separate_accents = true;
    const std::vector<uint8_t> file = forge::encode_font(forge::render_scalable_font(DEJAVU_SANS, options));
    for (uint8_t capital : {0x80, 0x9B, 0x8F, 0xA6}) {  // C, S with caron, A with acute, U with ring
        SCOPED_TRACE(int(capital));
        const std::vector<bool> rows = inked_rows(draw_back(file, capital));
        // ink (the accent), then an empty row, then ink again (the letter)
        size_t y = 0;
        while (y < rows.size() && !rows[y]) ++y;
        while (y < rows.size() && rows[y]) ++y;
        ASSERT_LT(y + 1, rows.size());
        EXPECT_FALSE(rows[y]);
        EXPECT_TRUE(rows[y + 1]);
    }
}

}  // namespace
