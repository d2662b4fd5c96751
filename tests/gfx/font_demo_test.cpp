// The demo adventure's fonts, built by the forge: every fixed font handle
// loads through the handle table and draws; golden pictures of text.
#include <gtest/gtest.h>

#include <string>

#include "base/paths.h"
#include "base/strings.h"
#include "core/decoders.h"
#include "core/handles.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/screen.h"
#include "startup/run/fixed_handles.h"
#include "support/golden.h"

namespace {

const std::string GOLDEN = VORTHAN_SOURCE_DIR "/tests/gfx/golden/";
constexpr uint16_t SLATE = 0x294A;      // dark blue-grey
constexpr uint16_t PARCHMENT = 0x6F36;  // light yellowish
constexpr handle_id FIXED_FONTS[] = {FONT_SADA16, FONT_IKONES, FONT_4X8,   FONT_5X8,   FONT_6X9,
                                     FONT_SADA7,  FONT_TINY,   FONT_KNIHA, FONT_TIMESE};

std::string game_text(const char* utf8) {
    const auto converted = utf8_to_game_codepage(utf8);
    EXPECT_TRUE(converted.has_value()) << utf8;
    return converted.value_or("");
}

const char* const PANGRAM = "Příliš žluťoučký kůň úpěl ďábelské ódy. ŽŠČŘĎŤŇ 0123456789";

class DemoFonts : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        path_table[PATH_FONTS] = VORTHAN_DEMO_DIR "/font";
        define_fixed_handles();
    }
    static void TearDownTestSuite() {
        reset_font_state();
        free_all_handles();
    }
    void SetUp() override {
        reset_font_state();
        target_frame_buffer();
        clear_buffer(frame_buffer, SLATE);
    }
    void TearDown() override { reset_font_state(); }

    static int changed_pixels(uint16_t background) {
        int n = 0;
        for (int i = 0; i < SCREEN_WIDTH * SCREEN_HEIGHT; ++i) n += frame_buffer[i] != background;
        return n;
    }
};

TEST_F(DemoFonts, EveryFixedFontHandleLoadsAndDraws) {
    for (handle_id font : FIXED_FONTS) {
        SCOPED_TRACE(font);
        clear_buffer(frame_buffer, SLATE);
        set_font(font, 0x7FFF);
        ASSERT_NE(current_font.bytes, nullptr);
        EXPECT_GT(current_font.length, FONT_TABLE_BYTES);
        const std::string sample =
            font == FONT_IKONES ? std::string("\x04\x05\x06\x07MNTs") : game_text(PANGRAM);
        EXPECT_GT(text_width(sample), 0);
        EXPECT_GT(text_height(sample), 0);
        set_text_position(4, 4);
        draw_text(sample);
        EXPECT_GT(changed_pixels(SLATE), 20);
    }
}

TEST_F(DemoFonts, TextFontsHaveEveryCzechLetterAtOneHeight) {
    const std::string letters = game_text("áčďéěíĺľňóŕřšťúůýžÁČĎÉĚÍĹĽŇÓŔŘŠŤÚŮÝŽ");
    ASSERT_EQ(letters.size(), 36u);
    for (handle_id font : FIXED_FONTS) {
        if (font == FONT_IKONES) continue;
        SCOPED_TRACE(font);
        set_font(font, 0x7FFF);
        const int height = glyph_height(current_font, 'X');
        EXPECT_GT(height, 5);
        for (const char c : letters) {
            EXPECT_GT(glyph_width(current_font, static_cast<uint8_t>(c)), 0) << int(static_cast<uint8_t>(c));
            EXPECT_EQ(glyph_height(current_font, static_cast<uint8_t>(c)), height);
        }
    }
}

TEST_F(DemoFonts, SamplesOfAllNineFonts) {
    int y = 6;
    for (handle_id font : FIXED_FONTS) {
        if (font == FONT_KNIHA) {
            set_font(font, 0x8000);  // book text: black on paper
            draw_colour = PARCHMENT;
            fill_rect(0, y - 2, 639, y + text_height("X") + 1);
        } else {
            set_font(font, 0x7FFF);
        }
        if (font == FONT_IKONES) {
            set_text_position(6, y);
            set_font(font, 0x7FFF);
            draw_text("\x04\x05\x06\x07M");
            set_font(font, 0x7D08);
            draw_text("N");
            set_font(font, 0x03E0);
            draw_text("T");
            set_font(font, std::array<uint16_t, 7>{0x356A, 0x398B, 0x3DCC, 0x41EC, 0x460D, 0, 0});
            draw_text("s");
            y += 12;
            continue;
        }
        set_text_position(6, y);
        draw_text(game_text(PANGRAM));
        y += text_height("X") + 6;
    }
    // Shadow variants of one line: none, soft, grey half.
    for (int32_t colour_spec : {0x7FE0 | 0x8000, 0x17FE0, 0x37FE0}) {
        set_font(FONT_SADA16, colour_spec);
        set_text_position(6, y);
        draw_text(game_text("Zlaťáky: 1250"));
        y += 16;
    }
    EXPECT_TRUE(golden::matches(GOLDEN + "font_samples.png", frame_buffer));
}

TEST_F(DemoFonts, CzechParagraphWrappedToAColumn) {
    const std::string paragraph = game_text(
        "Když družina sestoupila do sklepení pod starou věží, uslyšela z hlubin tiché šumění vody. "
        "Na stěnách se třpytily kapky a v prachu ležely stopy, které nepatřily žádnému člověku. "
        "Čaroděj zvedl pochodeň a řekl: \"Držte se blízko u sebe. Řeka pod námi je hluboká, "
        "Ďáblova úžina ještě dál a Ťapkův most už nikdo nepamatuje.\"\n"
        "Ozvěna jeho slov se rozběhla chodbou a zmizela.");
    constexpr int COLUMN = 254;
    draw_colour = PARCHMENT;
    fill_rect(30, 20, 30 + COLUMN + 20, 460);

    set_font(FONT_KNIHA, 0x8000);
    const wrapped_text book = wrap_text(paragraph, COLUMN);
    EXPECT_GE(book.lines.size(), 8u);
    EXPECT_EQ(book.width, COLUMN);
    int y = 30;
    for (const std::string& line : book.lines) {
        EXPECT_LE(text_width(line), COLUMN) << line;
        set_aligned_position(40, y, ALIGN_START, ALIGN_START, line);
        draw_text(line);
        y += text_height(line);
    }
    EXPECT_EQ(y - 30, book.height);

    // The same in the interface font, centred in a narrower column.
    set_font(FONT_SADA16, 0x7FFF);
    const wrapped_text ui = wrap_text(paragraph, 300);
    y = 30;
    for (const std::string& line : ui.lines) {
        set_aligned_position(470, y, ALIGN_CENTRE, ALIGN_START, line);
        draw_text(line);
        y += text_height(line);
    }
    EXPECT_TRUE(golden::matches(GOLDEN + "text_paragraph.png", frame_buffer));
}

TEST_F(DemoFonts, AlignedTextAroundOnePoint) {
    draw_colour = 0x7C00;
    draw_hline(300, 240, 340);
    draw_vline(320, 220, 260);
    draw_hline(310, 300, 330);
    draw_vline(320, 290, 310);
    set_font(FONT_TIMESE, 0x7FFF);
    const std::string word = game_text("Střed");
    const int width = text_width(word);
    const int height = text_height(word);
    set_aligned_position(320, 240, ALIGN_CENTRE, ALIGN_END, word);
    EXPECT_EQ(text_x, 320 - width / 2);
    EXPECT_EQ(text_y, 240 - height);
    draw_text(word);
    set_font(FONT_SADA16, 0x7FE0);
    const std::string right = game_text("končí zde");
    set_aligned_position(320, 240, ALIGN_END, ALIGN_START, right);
    draw_text(right);
    const std::string left = game_text("začíná zde, na středu");
    set_aligned_position(320, 300, ALIGN_START, ALIGN_CENTRE, left);
    draw_text(left);
    EXPECT_TRUE(golden::matches(GOLDEN + "text_aligned.png", frame_buffer));
}

}  // namespace
