// Font state, glyph decoding, text output and measuring.
#include <gtest/gtest.h>

#include <array>

#include "font_test_fonts.h"
#include "gfx/font.h"
#include "gfx/screen.h"

namespace {

using test_fonts::font_bytes;

constexpr handle_id FONT_A = 0x9100;
constexpr handle_id FONT_B = 0x9101;
constexpr handle_id NEVER_DEFINED = 0x9180;
constexpr uint16_t BACKGROUND = 0x1234;

class Font : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_font_state();
        target_frame_buffer();
        clear_buffer(frame_buffer, BACKGROUND);
    }
    void TearDown() override {
        reset_font_state();
        undefine_handle(FONT_A);
        undefine_handle(FONT_B);
        undefine_handle(NEVER_DEFINED);
        target_frame_buffer();
    }
    static uint16_t at(int x, int y) { return frame_buffer[y * 640 + x]; }
    static int lock_count(handle_id id) {
        const handle_record* r = handle_info(id);
        return r ? r->lock_count : 0;
    }
    // Slots 0..6 = 0x100, 0x200, ... so a drawn pixel tells its slot.
    static void numbered_slots(handle_id font) {
        set_font(font, std::array<uint16_t, 7>{0x100, 0x200, 0x300, 0x400, 0x500, 0x600, 0x700});
    }
};

// ---- glyph decoding ----

TEST_F(Font, TransparentRunLeavesPixelsAndEndsTheGlyphBeforeLaterCodes) {
    // 3 x 1: code 9 leaves three pixels, so the code 2 is never reached.
    test_fonts::install(FONT_A, font_bytes().glyph('a', 3, 1, {9, 2}).bytes);
    numbered_slots(FONT_A);
    set_text_position(10, 10);
    draw_text("a");
    for (int x = 9; x <= 13; ++x) EXPECT_EQ(at(x, 10), BACKGROUND) << x;
    EXPECT_EQ(text_x, 13);
}

TEST_F(Font, TransparentRunContinuesIntoTheNextColumn) {
    // 2 x 3: code 10 leaves four pixels (column 0 and the top of column 1),
    // code 2 paints row 1 of column 1, row 2 reads the next code (3).
    test_fonts::install(FONT_A, font_bytes().glyph('a', 2, 3, {10, 2, 3}).bytes);
    numbered_slots(FONT_A);
    set_text_position(20, 30);
    draw_text("a");
    for (int y = 30; y < 33; ++y) EXPECT_EQ(at(20, y), BACKGROUND);
    EXPECT_EQ(at(21, 30), BACKGROUND);
    EXPECT_EQ(at(21, 31), 0x200);
    EXPECT_EQ(at(21, 32), 0x300);
}

TEST_F(Font, CodesPaintTheirSlotsColumnByColumnAndEndCodeStops) {
    // 2 x 2: column 0 = codes 1, 7; column 1 = code 0 then 255 (stop).
    test_fonts::install(FONT_A, font_bytes().glyph('a', 2, 2, {1, 7, 0, 255, 2}).bytes);
    numbered_slots(FONT_A);
    set_text_position(0, 0);
    draw_text("a");
    EXPECT_EQ(at(0, 0), 0x100);
    EXPECT_EQ(at(0, 1), 0x700);
    EXPECT_EQ(at(1, 0), BACKGROUND);
    EXPECT_EQ(at(1, 1), BACKGROUND);
}

TEST_F(Font, SlotValuesSkipBlendOrStore) {
    test_fonts::install(FONT_A, font_bytes().glyph('a', 3, 1, {1, 2, 3}).bytes);
    set_font(FONT_A, std::array<uint16_t, 7>{0xFFFF, 0x8000 | 0x7C00, 0x001F, 0, 0, 0, 0});
    set_text_position(5, 5);
    draw_text("a");
    EXPECT_EQ(at(5, 5), BACKGROUND);                   // 0xFFFF: not drawn
    EXPECT_EQ(at(6, 5), blend50(BACKGROUND, 0x7C00));  // bit 15: half and half
    EXPECT_EQ(at(6, 5) & 0x8000, 0);
    EXPECT_EQ(at(7, 5), 0x001F);
}

TEST_F(Font, ReadsStayInsideTheFontBytes) {
    font_bytes f;
    f.glyph('a', 4, 4, {2, 2});  // 16 pixels promised, 2 codes present: the glyph just ends
    f.bytes['b' * 2] = 0xF0;     // offset far past the end: no glyph
    f.bytes['b' * 2 + 1] = 0xFF;
    const size_t last = f.bytes.size() - 1;  // header would straddle the end
    f.bytes['c' * 2] = static_cast<uint8_t>(last & 0xFF);
    f.bytes['c' * 2 + 1] = static_cast<uint8_t>(last >> 8);
    test_fonts::install(FONT_A, f.bytes);
    set_font(FONT_A, 0x7C00);
    set_text_position(0, 0);
    draw_text("abc");
    EXPECT_EQ(at(0, 0), 0x7C00);
    EXPECT_EQ(at(0, 1), 0x7C00);
    EXPECT_EQ(at(0, 2), BACKGROUND);
    EXPECT_EQ(glyph_size(current_font, 'b'), 0);
    EXPECT_EQ(glyph_size(current_font, 'c'), 0);
    EXPECT_EQ(text_width("abc"), 4);

    // A file shorter than its offset table: the codes past its end have no glyph.
    font_data tiny{f.bytes.data(), 100};
    EXPECT_EQ(glyph_size(tiny, 'a'), 0);
    EXPECT_EQ(glyph_size(tiny, 10), 0);
}

TEST_F(Font, GlyphsAreCutAtTheBufferEdges) {
    test_fonts::install(FONT_A, font_bytes().block('a', 4, 4).bytes);
    set_font(FONT_A, 0x7C00);
    set_text_position(638, 478);
    draw_text("a");
    EXPECT_EQ(at(638, 478), 0x7C00);
    EXPECT_EQ(at(639, 479), 0x7C00);
    EXPECT_EQ(at(0, 479), BACKGROUND);  // no wrap into the next row
    set_text_position(-2, -2);
    draw_text("a");
    EXPECT_EQ(at(0, 0), 0x7C00);
    EXPECT_EQ(at(1, 1), 0x7C00);
    EXPECT_EQ(at(2, 0), BACKGROUND);
}

// ---- colours ----

TEST_F(Font, ColourSpecsFillTheSlots) {
    test_fonts::install(FONT_A, font_bytes().bytes);
    set_font(FONT_A, std::array<uint16_t, 7>{1, 2, 3, 4, 5, 6, 7});

    set_font(FONT_A, 0x7FFF);  // black shadow, bit 5 cleared, slots 5 and 6 kept
    EXPECT_EQ(font_colours, (std::array<uint16_t, 7>{0, 0x7FDF, 0x7FDF, 0x7FDF, 0x7FDF, 6, 7}));
    set_font(FONT_A, 0x30000);  // grey half shadow
    EXPECT_EQ(font_colours[0], 0xC20F);
    EXPECT_EQ(font_colours[1], 0);
    set_font(FONT_A, 0x17FF0);  // black half shadow
    EXPECT_EQ(font_colours[0], 0x8000);
    EXPECT_EQ(font_colours[4], 0x7FD0);
    set_font(FONT_A, 0xFFFF);  // white without shadow: bit 5 stays
    EXPECT_EQ(font_colours[0], 0xFFFF);
    EXPECT_EQ(font_colours[1], 0x7FFF);
    set_font(FONT_A, 0x8000);  // black without shadow
    EXPECT_EQ(font_colours[1], 0);
    const auto before = font_colours;
    set_font(FONT_A, FONT_KEEP_COLOURS);
    EXPECT_EQ(font_colours, before);
    EXPECT_EQ(font_colours[5], 6);
}

TEST_F(Font, WindowDefaultsFollowEverySetFontAndRestore) {
    test_fonts::install(FONT_A, font_bytes().block('a', 1, 1).bytes);
    test_fonts::install(FONT_B, font_bytes().block('a', 5, 1).bytes);
    set_font(FONT_A, 0x7C00);
    EXPECT_EQ(window_font_defaults.handle, FONT_A);
    const font_settings saved = current_font_settings();
    set_font(FONT_B, 0x03E0);
    EXPECT_EQ(window_font_defaults.colours[1], 0x03C0);
    apply_font_settings(saved);
    EXPECT_EQ(current_font_handle, FONT_A);
    EXPECT_EQ(font_colours[1], 0x7C00);
    EXPECT_EQ(text_width("a"), 1);
}

// ---- the current font's lock ----

TEST_F(Font, CurrentFontHoldsExactlyOneLock) {
    test_fonts::install(FONT_A, font_bytes().bytes);
    test_fonts::install(FONT_B, font_bytes().bytes);
    set_font(FONT_A, 0);
    EXPECT_EQ(lock_count(FONT_A), 1);
    EXPECT_EQ(release_handle(FONT_A), nullptr);  // stays resident while current
    set_font(FONT_A, 0x7FFF);                    // selected again: no second lock
    EXPECT_EQ(lock_count(FONT_A), 1);
    set_font(FONT_B, 0);
    EXPECT_EQ(lock_count(FONT_A), 0);
    EXPECT_EQ(lock_count(FONT_B), 1);
    reset_font_state();
    EXPECT_EQ(lock_count(FONT_B), 0);
}

TEST_F(Font, SwitchingFontsLeavesOtherLocksAlone) {
    test_fonts::install(FONT_A, font_bytes().bytes);
    test_fonts::install(FONT_B, font_bytes().bytes);
    lock_handle(FONT_A);  // somebody else keeps FONT_A
    set_font(FONT_A, 0);
    set_font(FONT_B, 0);
    EXPECT_EQ(lock_count(FONT_A), 1);
    unlock_handle(FONT_A);
}

TEST_F(Font, UndefinedFontIsEmptyAndStaysDefinable) {
    set_font(NEVER_DEFINED, 0x7FFF);
    EXPECT_EQ(lock_count(NEVER_DEFINED), 0);
    EXPECT_EQ(current_font.bytes, nullptr);
    EXPECT_EQ(text_width("abc"), 0);
    EXPECT_EQ(text_height("abc"), 0);
    set_text_position(50, 50);
    draw_text("abc");
    EXPECT_EQ(text_x, 50);
    EXPECT_EQ(at(50, 50), BACKGROUND);
    EXPECT_TRUE(wrap_text("abc def", 1).lines.size() == 1);

    test_fonts::install(NEVER_DEFINED, font_bytes().block('a', 2, 2).bytes);
    ASSERT_NE(handle_info(NEVER_DEFINED), nullptr);
    EXPECT_EQ(handle_info(NEVER_DEFINED)->state, HANDLE_DEFINED);
    set_font(NEVER_DEFINED, 0x7FFF);  // now it has glyphs and the lock
    EXPECT_EQ(lock_count(NEVER_DEFINED), 1);
    EXPECT_EQ(text_width("a"), 2);
}

// ---- text output and measuring ----

class Text : public Font {
  protected:
    void SetUp() override {
        Font::SetUp();
        font_bytes f;
        f.block('A', 3, 5).block('B', 4, 7).block('C', 2, 5).block('X', 5, 6).block(' ', 2, 1);
        f.block(0xA0, 3, 8);  // a letter of the upper half (unsigned character)
        test_fonts::install(FONT_A, f.bytes);
        set_font(FONT_A, 0x7C00);
    }
};

TEST_F(Text, DrawAdvancesByGlyphWidthAndSkipsMissingGlyphs) {
    set_text_position(100, 20);
    draw_text("AzB");
    EXPECT_EQ(text_x, 107);
    EXPECT_EQ(at(100, 20), 0x7C00);
    EXPECT_EQ(at(103, 20), 0x7C00);  // B follows A directly, z drew nothing
    EXPECT_EQ(at(107, 20), BACKGROUND);
    draw_text_spaced("AA", 2);
    EXPECT_EQ(text_x, 117);
    EXPECT_EQ(at(110, 20), BACKGROUND);  // two pixels of spacing after the first A
    EXPECT_EQ(at(112, 20), 0x7C00);
    advance_text(-17);
    EXPECT_EQ(text_x, 100);
}

TEST_F(Text, WidthAndHeightMeasureTheGlyphs) {
    EXPECT_EQ(text_width("ABC"), 9);
    EXPECT_EQ(text_height("ABC"), 7);
    EXPECT_EQ(text_width(""), 0);
    EXPECT_EQ(text_height(""), 0);
    EXPECT_EQ(text_width("\xA0"), 3);
    EXPECT_EQ(glyph_size(current_font, 'B'), 0x0704);
}

TEST_F(Text, LineFeedReturnsToTheStartColumnOneXHeightLower) {
    set_text_position(100, 10);
    draw_text_lines("AB\nC");
    // C at x = 100, 6 rows lower (the height of X).
    EXPECT_EQ(at(100, 16), 0x7C00);
    EXPECT_EQ(at(101, 20), 0x7C00);
    EXPECT_EQ(at(102, 16), BACKGROUND);
    EXPECT_EQ(text_x, 102);
    EXPECT_EQ(text_y, 16);
}

TEST_F(Text, CursorDrawsIntoTheTargetItWasPlacedIn) {
    set_text_position(0, 0);
    target_back_buffer();
    back_buffer[0] = BACKGROUND;
    draw_text("A");
    target_frame_buffer();
    EXPECT_EQ(at(0, 0), 0x7C00);
    EXPECT_EQ(back_buffer[0], BACKGROUND);
}

TEST_F(Text, AlignedPositions) {
    // "ABCXA" is 3 + 4 + 2 + 5 + 3 = 17 wide and 7 high.
    const char* s = "ABCXA";
    set_aligned_position(320, 100, ALIGN_START, ALIGN_START, s);
    EXPECT_EQ(text_x, 320);
    EXPECT_EQ(text_y, 100);
    set_aligned_position(320, 100, ALIGN_CENTRE, ALIGN_END, s);
    EXPECT_EQ(text_x, 312);
    EXPECT_EQ(text_y, 93);
    set_aligned_position(320, 100, ALIGN_END, ALIGN_CENTRE, s);
    EXPECT_EQ(text_x, 303);
    EXPECT_EQ(text_y, 97);
    EXPECT_EQ(text_ptr(), frame_buffer + 97 * 640 + 303);
}

TEST_F(Text, CentreBottomOfA41By9Text) {
    font_bytes f;
    f.block('w', 41, 9);
    test_fonts::install(FONT_B, f.bytes);
    set_font(FONT_B, 0);
    set_aligned_position(320, 100, 1, 2, "w");
    EXPECT_EQ(text_x, 300);
    EXPECT_EQ(text_y, 91);
}

// ---- word wrapping ----

TEST_F(Text, WrapBreaksTheThirdWordOntoItsOwnLine) {
    // "AAA BBB CCC": AAA = 9, space = 2, BBB = 12, CCC = 6; the first two words 23.
    const wrapped_text w = wrap_text("AAA BBB CCC", 25);
    ASSERT_EQ(w.lines.size(), 2u);
    EXPECT_EQ(w.lines[0], "AAA BBB");
    EXPECT_EQ(w.lines[1], "CCC");
    EXPECT_EQ(w.width, 25);
    EXPECT_EQ(w.height, 7 + 5);
}

TEST_F(Text, WrapKeepsAParagraphThatFitsAndMeasuresIt) {
    const wrapped_text w = wrap_text("AAA BBB\nCC", 100);
    ASSERT_EQ(w.lines.size(), 2u);
    EXPECT_EQ(w.lines[0], "AAA BBB");
    EXPECT_EQ(w.lines[1], "CC");
    EXPECT_EQ(w.width, 23);
    EXPECT_EQ(w.height, 12);
    EXPECT_TRUE(wrap_text("", 100).lines.empty());
    EXPECT_EQ(wrap_text("AB\n", 100).lines.size(), 1u);
}

TEST_F(Text, WrapLineOfExactlyTheWidthStaysWhole) {
    const wrapped_text w = wrap_text("AAA BBB CCC", 23);
    ASSERT_EQ(w.lines.size(), 2u);
    EXPECT_EQ(w.lines[0], "AAA BBB");
}

TEST_F(Text, WrapWordWithoutSpaceIsNotBroken) {
    wrapped_text w = wrap_text("BBBBBBBB", 10);
    ASSERT_EQ(w.lines.size(), 1u);
    EXPECT_EQ(w.width, 10);
    // A long first word runs on to the next space.
    w = wrap_text("BBBBBB AA", 10);
    ASSERT_EQ(w.lines.size(), 2u);
    EXPECT_EQ(w.lines[0], "BBBBBB");
    EXPECT_EQ(w.lines[1], "AA");
}

TEST_F(Text, WrapKeepsBlankLinesAndTheTextAfterThem) {
    const wrapped_text w = wrap_text("AA\n\nBB\nCC", 14);
    ASSERT_EQ(w.lines.size(), 4u);
    EXPECT_EQ(w.lines[1], "");
    EXPECT_EQ(w.lines[2], "BB");
    EXPECT_EQ(w.lines[3], "CC");
    EXPECT_EQ(w.height, 5 + 0 + 7 + 5);
}

TEST_F(Text, WrapNeverMakesAnEmptyLineFromASecondSpace) {
    // The break falls on the first of two spaces; the next line starts with
    // the other one and its long word, not with an empty line.
    const wrapped_text w = wrap_text("BB  CCCCCC", 9);
    ASSERT_EQ(w.lines.size(), 2u);
    EXPECT_EQ(w.lines[0], "BB");
    EXPECT_EQ(w.lines[1], " CCCCCC");
}

}  // namespace
