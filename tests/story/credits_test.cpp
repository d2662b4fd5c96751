// The credits: the script's commands, the layer's scrolling and ending, the
// file's lookup, and the credits on the headless display.
#include <string>

#include "base/paths.h"
#include "base/strings.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "gfx/font_test_fonts.h"
#include "gfx/screen.h"
#include "story/credits.h"
#include "support/temp_folder.h"
#include "window_harness.h"

namespace {

std::vector<credits_line> all_lines(credits_script& script) {
    std::vector<credits_line> out;
    while (auto line = script.next()) out.push_back(*line);
    return out;
}

TEST(CreditsScript, StateCommandsSetFontColourAndPlaceOfTheLinesThatFollow) {
    credits_script script({"Opening", "*head", "Heading", "*SMALL", "Still big", "*NAME", "Small name",
                           "*BIG", "*CENTER", "Big centred", "*LINE 30", "*TEXT", "", "*SPEED 2", "*KONEC",
                           "Never shown"});
    const std::vector<credits_line> lines = all_lines(script);
    ASSERT_EQ(lines.size(), 6u);
    auto expect = [&](size_t i, const char* text, handle_id font, uint16_t colour, int x, bool centred,
                      int min) {
        SCOPED_TRACE(text);
        EXPECT_EQ(lines[i].text, text);
        EXPECT_EQ(lines[i].font, font);
        EXPECT_EQ(lines[i].colour, colour);
        EXPECT_EQ(lines[i].x, x);
        EXPECT_EQ(lines[i].centred, centred);
        EXPECT_EQ(lines[i].min_height, min);
    };
    expect(0, "Opening", FONT_TIMESE, 32766, 320, true, 0);  // the initial state: centred, big
    expect(1, "Heading", FONT_TIMESE, 19185, 50, false, 0);
    expect(2, "Still big", FONT_TIMESE, 19185, 50, false, 0);  // SMALL waits for the next state command
    expect(3, "Small name", FONT_SADA16, 24470, 100, false, 0);
    expect(4, "Big centred", FONT_TIMESE, 32766, 320, true, 0);
    expect(5, "", FONT_TIMESE, 32766, 50, false, 30);
    EXPECT_EQ(script.speed(), 2);
    EXPECT_TRUE(script.ended());
}

TEST(CreditsScript, EndOfFileEndsAScriptWithoutEndCommandAndLongLinesAreCut) {
    credits_script script({"*SPEED 0", std::string(100, 'x')});
    const std::vector<credits_line> lines = all_lines(script);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text.size(), size_t(CREDITS_LINE_MAX));
    EXPECT_TRUE(script.ended());
    EXPECT_EQ(script.speed(), 1) << "a speed of 0 would never move";
    EXPECT_FALSE(script.next().has_value());
}

// Lines of the given height, each row full of the line's number.
credits_layer::line_renderer rows_of(int height) {
    return [height](const credits_line& line) {
        return std::vector<credits_layer::row>(size_t(height),
                                               credits_layer::row(640, uint16_t(line.text.size())));
    };
}

TEST(CreditsLayer, LinesEnterAtTheBandsBottomAndLeaveAtItsTopThenTheCreditsEnd) {
    credits_script script({"a", "bb"});  // no end command
    credits_layer layer(script, rows_of(10));
    EXPECT_EQ(layer.band_row(CREDITS_BAND_ROWS - 1), nullptr) << "the first line starts below the band";
    EXPECT_TRUE(layer.advance(4));  // one pixel at the default speed
    ASSERT_NE(layer.band_row(CREDITS_BAND_ROWS - 1), nullptr);
    EXPECT_EQ((*layer.band_row(CREDITS_BAND_ROWS - 1))[0], 1);
    for (int i = 1; i < 10; ++i) layer.advance(4);
    EXPECT_EQ((*layer.band_row(CREDITS_BAND_ROWS - 1))[0], 1);
    layer.advance(4);
    EXPECT_EQ((*layer.band_row(CREDITS_BAND_ROWS - 1))[0], 2) << "the next line follows straight under it";
    // Both lines (20 rows) scroll on until the last one has left the band.
    while (layer.scrolled() < 20 + CREDITS_BAND_ROWS - 1) ASSERT_TRUE(layer.advance(4));
    ASSERT_NE(layer.band_row(0), nullptr);
    EXPECT_EQ((*layer.band_row(0))[0], 2);
    EXPECT_FALSE(layer.advance(4));
    EXPECT_TRUE(layer.finished());
    EXPECT_EQ(layer.scrolled(), 20 + CREDITS_BAND_ROWS);
}

TEST(CreditsLayer, SpeedOneScrollsFourTimesAsFastAndMissedTicksCatchUpTenPixelsAtMost) {
    credits_script slow({"line"});
    credits_layer slow_layer(slow, rows_of(10));
    credits_script fast({"*SPEED 1", "line"});
    credits_layer fast_layer(fast, rows_of(10));
    for (int tick = 0; tick < 40; ++tick) {
        slow_layer.advance(1);
        fast_layer.advance(1);
    }
    EXPECT_EQ(slow_layer.scrolled(), 10);
    EXPECT_EQ(fast_layer.scrolled(), 40);
    fast_layer.advance(25);
    EXPECT_EQ(fast_layer.scrolled(), 50);
    slow_layer.advance(3);
    slow_layer.advance(1);
    EXPECT_EQ(slow_layer.scrolled(), 11) << "ticks short of a pixel are kept";
}

TEST(CreditsLayer, SpeedChangesAsTheCommandIsRead) {
    // The speed command stands below the first line: it is read once that line has scrolled in.
    credits_script script({"first", "*SPEED 1", "second"});
    credits_layer layer(script, rows_of(5));
    EXPECT_EQ(script.speed(), 4);
    for (int i = 0; i < 5; ++i) layer.advance(4);
    EXPECT_EQ(script.speed(), 1);
    layer.advance(4);
    EXPECT_EQ(layer.scrolled(), 9);
}

// ---- Files ---------------------------------------------------------------------

class CreditsFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_maps_ = path_table[PATH_MAPS];
        path_table[PATH_MAPS] = folder_ / "maps";
        folder_.mkdir("maps");
        std::filesystem::current_path(folder_.path());
    }
    void TearDown() override {
        path_table[PATH_MAPS] = saved_maps_;
        set_language_folder(nullptr);
    }
    temp_folder folder_;
    std::string saved_maps_;
};

TEST_F(CreditsFiles, LanguageFileComesFirstThenTheMapsFolderThenTheScrambledFormThenTheBaseFolder) {
    folder_.write("maps/TITULKY.TXT", "maps\r\n*KONEC\r\n");
    folder_.write("lang/en/end_titles.txt", "english\n");
    set_language_folder((folder_ / "lang/en").c_str());
    EXPECT_EQ(read_credits_file("TITULKY.TXT"), (std::vector<std::string>{"english"}));
    set_language_folder(nullptr);
    EXPECT_EQ(read_credits_file("TITULKY.TXT"), (std::vector<std::string>{"maps", "*KONEC"}));

    folder_.write("maps/ENDTEXT.ENC", scramble_enc("scrambled\nend"));
    EXPECT_EQ(read_credits_file("ENDTEXT.TXT"), (std::vector<std::string>{"scrambled", "end"}));
    folder_.write("other.txt", "from the base folder\n");
    EXPECT_EQ(read_credits_file("other.txt"), (std::vector<std::string>{"from the base folder"}));
}

TEST_F(CreditsFiles, MissingFileEndsTheProgramNamingBothPaths) {
    EXPECT_EXIT(read_credits_file("TITULKY.TXT"), ::testing::ExitedWithCode(1),
                "Soubor nenalezen: " + (folder_ / "maps") + "/TITULKY.TXT nebo TITULKY.TXT");
}

// ---- On the display ----------------------------------------------------------------

class CreditsScreen : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        saved_maps_ = path_table[PATH_MAPS];
        path_table[PATH_MAPS] = folder_.path();
        test_fonts::font_bytes font;
        for (int c = 'A'; c <= 'Z'; ++c) font.block(uint8_t(c), 4, 8);
        test_fonts::install(FONT_TIMESE, font.bytes);
        test_fonts::install(FONT_SADA16, font.bytes);
    }
    void TearDown() override {
        undefine_handle(FONT_TIMESE);
        undefine_handle(FONT_SADA16);
        path_table[PATH_MAPS] = saved_maps_;
        WindowTest::TearDown();
    }
    temp_folder folder_;
    std::string saved_maps_;
};

// The heading and text colours as the font draws them.
constexpr uint16_t HEAD_DRAWN = 19185 & ~0x20, TEXT_DRAWN = 32766 & ~0x20;

bool band_row_has(int screen_row, uint16_t colour, int x_from, int x_to) {
    for (int x = x_from; x < x_to; ++x)
        if (frame_buffer[screen_row * SCREEN_PITCH + x] == colour) return true;
    return false;
}

TEST_F(CreditsScreen, TextRisesThroughTheBandOverTheBackgroundAndAnyKeyEndsIt) {
    folder_.write("TITULKY.TXT", "*HEAD\nAB\n*KONEC\n");
    // With the reveal's twelve ticks the line stands 8 rows into the band at about tick 12 + 8 * 4.
    int row_seen = -1;
    at(80, [&] {
        for (int y = CREDITS_BAND_TOP; y < CREDITS_BAND_TOP + CREDITS_BAND_ROWS; ++y)
            if (band_row_has(y, HEAD_DRAWN, 50, 58)) {
                row_seen = y;
                break;
            }
        ASSERT_GE(row_seen, 0) << "the line is in the band";
        EXPECT_FALSE(band_row_has(CREDITS_BAND_TOP + CREDITS_BAND_ROWS - 1, HEAD_DRAWN, 0, 640));
        EXPECT_FALSE(band_row_has(row_seen, HEAD_DRAWN, 58, 640)) << "two letters of 4 pixels from x = 50";
    });
    key(81, 'x');
    EXPECT_TRUE(credits_run("TITULKY.TXT", false));
    EXPECT_LT(polls(), 90);
    // Rows rise one every 4 ticks: around tick 80 the line's top stands about
    // (80 - 13) / 4 = 16 rows above the band's bottom.
    EXPECT_NEAR(row_seen, CREDITS_BAND_TOP + CREDITS_BAND_ROWS - (80 - 13) / 4, 2);
}

TEST_F(CreditsScreen, CreditsEndByThemselvesOnceTheLastLineHasLeftAndSendEscapeWhenAsked) {
    folder_.write("TITULKY.TXT", "*SPEED 1\n*LINE 10\nAB\n");
    static int escapes = 0;
    escapes = 0;
    add_event_handler(
        EV_KEY, +[](event_msg& msg, void**) {
            if (msg.next_int() == KEY_ESCAPE) ++escapes;
        });
    EXPECT_TRUE(credits_run("TITULKY.TXT", true));
    // 10 rows of text and the band's 360 at a pixel a tick, after the reveal.
    EXPECT_NEAR(polls(), 12 + 10 + CREDITS_BAND_ROWS, 3);
    EXPECT_EQ(escapes, 1);
    for (int y = CREDITS_BAND_TOP; y < CREDITS_BAND_TOP + CREDITS_BAND_ROWS; ++y)
        ASSERT_FALSE(band_row_has(y, TEXT_DRAWN, 0, 640)) << "the text has left the band";
}

TEST_F(CreditsScreen, EndSequencePlaysTheEpilogueThenTheEndTitlesEachEndedByAKey) {
    folder_.write("ENDTEXT.TXT", "*HEAD\nAB\n");
    folder_.write("TITULKY.TXT", "*NAME\nAB\n");
    const uint16_t name_drawn = 24470 & ~0x20;
    auto band_has = [](uint16_t colour) {
        for (int y = CREDITS_BAND_TOP; y < CREDITS_BAND_TOP + CREDITS_BAND_ROWS; ++y)
            if (band_row_has(y, colour, 0, SCREEN_WIDTH)) return true;
        return false;
    };
    static int escapes = 0;
    escapes = 0;
    add_event_handler(
        EV_KEY, +[](event_msg& msg, void**) {
            if (msg.next_int() == KEY_ESCAPE) ++escapes;
        });
    // 150 ticks of black, then the epilogue: 12 ticks of reveal and 4 a row.
    at(140, [&] { EXPECT_FALSE(band_has(HEAD_DRAWN)); });
    at(240, [&] { EXPECT_TRUE(band_has(HEAD_DRAWN)) << "the epilogue"; });
    key(241, 'x');
    at(340, [&] {
        EXPECT_EQ(escapes, 1) << "the epilogue's Escape";
        EXPECT_FALSE(band_has(HEAD_DRAWN));
        EXPECT_TRUE(band_has(name_drawn)) << "the end titles";
    });
    key(341, 'x');
    end_sequence();
    EXPECT_EQ(escapes, 1) << "no Escape after the end titles";
    EXPECT_NEAR(polls(), 341 + 150, 3) << "150 ticks of black at the end";
    EXPECT_FALSE(band_has(name_drawn));
}

}  // namespace
