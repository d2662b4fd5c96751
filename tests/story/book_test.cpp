// The book's markup, its layout into lines and pages, its numbers and the
// drawing of two facing pages, with a font and pictures made up by the tests.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "base/strings.h"
#include "story/book.h"

namespace {

// Letters 6 pixels wide and 10 high, the space 4 wide and 8 high, 'W' 10
// wide; one picture of 100 x 30 and a tall one of 50 x 60.
class test_metrics final : public book_metrics {
  public:
    int char_width(uint8_t c) const override { return c == ' ' ? 4 : c == 'W' ? 10 : 6; }
    int char_height(uint8_t c) const override { return c == ' ' ? 8 : 10; }
    bool picture_size(const std::string& name, int& w, int& h) const override {
        if (name == "pic.pcx") {
            w = 100;
            h = 30;
            return true;
        }
        if (name == "tall.pcx") {
            w = 50;
            h = 60;
            return true;
        }
        return false;
    }
};

// A line made readable: text as it stands, commands in braces.
std::string readable(const std::string& line) {
    std::string out;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i++];
        if (c != BOOK_ESC) {
            out.push_back(c);
            continue;
        }
        if (i >= line.size()) return out + "{?}";
        const char command = line[i++];
        int a = 0, b = 0, f = 0, r = 0;
        if (command == 'e') {
            out += "{e}";
        } else if (command == 'l' || command == 's') {
            if (!read_book_number(line, i, a)) return out + "{?}";
            out += std::string("{") + command + std::to_string(a) + "}";
        } else if (command == 'p') {
            const size_t colon = line.find(':', i);
            if (colon == std::string::npos) return out + "{?}";
            const std::string name = line.substr(i, colon - i);
            i = colon + 1;
            if (!read_book_number(line, i, a) || !read_book_number(line, i, b) ||
                !read_book_number(line, i, f) || !read_book_number(line, i, r))
                return out + "{?}";
            out += "{p " + name + " " + std::to_string(a) + " " + std::to_string(b) + " " +
                   std::to_string(f) + " " + std::to_string(r) + "}";
        } else {
            return out + "{?}";
        }
    }
    return out;
}

std::vector<std::string> lay_out(const std::string& source, int number, book_layout* layout_out = nullptr) {
    test_metrics metrics;
    book_layout layout;
    std::vector<std::string> lines;
    EXPECT_TRUE(book_add_text(source, number, metrics, layout_out ? *layout_out : layout, lines));
    std::vector<std::string> shown;
    for (const std::string& line : lines) shown.push_back(readable(line));
    return shown;
}

std::string words(int first, int count) {
    std::string out;
    for (int i = first; i < first + count; ++i) {
        char word[16];
        std::snprintf(word, sizeof word, "w%03d", i);
        if (!out.empty()) out += ' ';
        out += word;
    }
    return out;
}

std::string repeat(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += s;
    return out;
}

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

TEST(BookNumbers, SixBitGroupsLeastSignificantFirst) {
    std::string out;
    put_book_number(out, 100);
    EXPECT_EQ(out, bytes({0xE4, 0x41}));
    out.clear();
    put_book_number(out, 0);
    EXPECT_EQ(out, bytes({0x40}));
    for (int value : {0, 1, 63, 64, 4095, 4096, 390, 254, 1 << 24, INT_MAX}) {
        std::string encoded;
        put_book_number(encoded, value);
        for (char c : encoded) {
            EXPECT_NE(c, 0);
            EXPECT_NE(c, '\n');
            EXPECT_NE(c, BOOK_ESC);
        }
        size_t pos = 0;
        int read = -1;
        ASSERT_TRUE(read_book_number(encoded, pos, read)) << value;
        EXPECT_EQ(read, value);
        EXPECT_EQ(pos, encoded.size());
    }
}

TEST(BookNumbers, NegativeValueIsWrittenAsZeroAndTheWritingEnds) {
    std::string out;
    put_book_number(out, -1);
    put_book_number(out, INT_MIN);
    EXPECT_EQ(out, bytes({0x40, 0x40}));
}

TEST(BookNumbers, DamagedNumbersAreRefused) {
    int value = 0;
    size_t pos = 0;
    EXPECT_FALSE(read_book_number(bytes({0xE4}), pos, value));  // runs past the end
    pos = 0;
    EXPECT_FALSE(read_book_number(bytes({0x24}), pos, value));  // not a number byte
    pos = 0;
    // Seven groups: more than an int holds.
    EXPECT_FALSE(read_book_number(bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x41}), pos, value));
    pos = 0;
    EXPECT_FALSE(read_book_number(bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), pos, value));  // past INT_MAX
    pos = 0;
    EXPECT_FALSE(read_book_number("", pos, value));
}

TEST(BookLayout, TextFlowsBesideAPictureThenALongWordIsBrokenAtTheColumn) {
    const std::string source =
        "[1]<IMG SRC=\"pic.pcx\" ALIGN=LEFT>" + words(1, 15) + " " + std::string(50, 'x') + " end[][2] other";
    // Beside the 100-pixel picture the column is 149 pixels: five words of 24
    // with their spaces; after 30 rows the text has the whole column again.
    const std::vector<std::string> expected = {
        "{p pic.pcx 0 0 0 30}",
        "{s105}" + words(1, 5) + "{l10}",
        "{s105}" + words(6, 5) + "{l10}",
        "{s105}" + words(11, 5) + "{l10}",
        std::string(42, 'x') + "{l10}",
        std::string(8, 'x') + " end{l10}",
        "{e}",
    };
    EXPECT_EQ(lay_out(source, 1), expected);
}

TEST(BookLayout, PictureAtTheRightNarrowsTheColumnWithoutAMargin) {
    const auto lines = lay_out("[1]<img src='pic.pcx' align=right line=10 lsize=10>" + words(1, 6), 1);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "{p pic.pcx 154 0 10 10}");
    EXPECT_EQ(lines[1], words(1, 5) + "{l10}");
    EXPECT_EQ(lines[2], words(6, 1) + "{l10}");  // the picture's ten rows are past
}

TEST(BookLayout, OutOfRangePictureRowsAreKeptWithinThePicture) {
    EXPECT_EQ(lay_out("[1]<IMG SRC=pic.pcx LINE=-5 LSIZE=99999>", 1)[0], "{l40}{p pic.pcx 77 0 0 30}");
    EXPECT_EQ(lay_out("[1]<IMG SRC=pic.pcx LINE=25 LSIZE=-3>", 1)[0], "{l15}{p pic.pcx 77 0 25 5}");
    // A picture that is not there, or a name that could not be written into
    // a line, is left out.
    EXPECT_EQ(lay_out("[1]<IMG SRC=none.pcx>a", 1), (std::vector<std::string>{"a{l10}", "{e}"}));
    EXPECT_EQ(lay_out("[1]<IMG SRC=\"a:b\">a", 1), (std::vector<std::string>{"a{l10}", "{e}"}));
}

TEST(BookLayout, CentredPictureTakesItsRowsAndALineBelow) {
    book_layout layout;
    const auto lines = lay_out("[1]abc<IMG SRC=pic.pcx>def", 1, &layout);
    const std::vector<std::string> expected = {"abc{l10}", "{l40}{p pic.pcx 77 10 0 30}", "def{l10}", "{e}"};
    EXPECT_EQ(lines, expected);
}

TEST(BookLayout, ParagraphHeadersAndBracketsInsideTheText) {
    const std::string source = "[4]four[][5] five [6] six[][7]seven";
    EXPECT_EQ(lay_out(source, 5), (std::vector<std::string>{"five six{l10}", "{e}"}));
    EXPECT_EQ(lay_out(source, 6), (std::vector<std::string>{"six{l10}", "{e}"}));
    test_metrics metrics;
    book_layout layout;
    std::vector<std::string> lines;
    EXPECT_FALSE(book_add_text(source, 8, metrics, layout, lines));
    EXPECT_FALSE(book_add_text(source, 40, metrics, layout, lines));
    EXPECT_TRUE(lines.empty());
}

TEST(BookLayout, AmpersandWritesBracketsAndControlBytesStaySpaces) {
    EXPECT_EQ(lay_out("[1]a &<b&> &[c&] &&", 1)[0], "a <b> [c] &{l10}");
    // An ampersand before ESC or a line feed cannot put either into a line.
    EXPECT_EQ(lay_out("[1]a&\x1b"
                      "b&\nc\x1b"
                      "d",
                      1)[0],
              "a b c d{l10}");
}

TEST(BookLayout, ParagraphTagAddsAnEmptyLineBreakDoesNot) {
    EXPECT_EQ(lay_out("[1]one two<P>three", 1),
              (std::vector<std::string>{"one two{l10}", "{l10}", "three{l10}", "{e}"}));
    EXPECT_EQ(lay_out("[1]one two<BR>three", 1),
              (std::vector<std::string>{"one two{l10}", "three{l10}", "{e}"}));
    // Unknown tags and attributes are passed over; spaces count once.
    EXPECT_EQ(lay_out("[1]one <FONT size=3>   two\t\r\n three<P x=1>", 1)[0], "one two three{l10}");
}

TEST(BookLayout, CentredAndJustifiedBlocks) {
    // "abc" is 18 pixels: centred in 254 it starts at 118.
    // A line takes the block it ends in.
    EXPECT_EQ(lay_out("[1]<CENTER>abc<BR></CENTER>abc", 1)[0], "{s118}abc{l10}");
    EXPECT_EQ(lay_out("[1]<CENTER>abc<BR></CENTER>abc", 1)[1], "abc{l10}");
    // Three words of 18: the two gaps share 254 - 54 = 200 pixels.
    EXPECT_EQ(lay_out("[1]<DISTEND>abc def ghi", 1)[0], "{s0}abc{s100}def{s100}ghi{l10}");
    EXPECT_EQ(lay_out("[1]<DISTEND>ab cd ef gh", 1)[0], "{s0}ab{s68}cd{s69}ef{s69}gh{l10}");
    // One word stays at the left.
    EXPECT_EQ(lay_out("[1]<DISTEND>abc", 1)[0], "abc{l10}");
}

TEST(BookLayout, WindowsTextIsConvertedOnlyWithTheWLetter) {
    const std::string text = "\x9a\xe8";  // Windows-1250 letters
    EXPECT_EQ(lay_out("[1 W]" + text, 1)[0], to_game_codepage(text) + "{l10}");
    EXPECT_EQ(lay_out("[1 wk]" + text, 1)[0], text + "{l10}");
}

TEST(BookPages, LineEndingAtTheBottomStaysAndTheNextStartsAPage) {
    const std::string exact = "[1]" + repeat("a<BR>", 39);
    test_metrics metrics;
    book_layout layout;
    std::vector<std::string> lines;
    ASSERT_TRUE(book_add_text(exact, 1, metrics, layout, lines));
    EXPECT_EQ(book_page_count(lines), 1);  // 39 lines of 10: the page's 390 pixels
    ASSERT_TRUE(book_add_text("[2]" + repeat("b<BR>", 40), 2, metrics, layout, lines));
    // The second paragraph starts a page, its 40th line a third one.
    EXPECT_EQ(book_page_count(lines), 3);
    EXPECT_EQ(readable(lines[39]), "{e}");
    EXPECT_EQ(readable(lines[40 + 39]), "{e}");
    EXPECT_EQ(readable(lines[40 + 40]), "b{l10}");
}

TEST(BookPages, PageInRangeShowsTheLastOddPageAtMostAndPageOneAtLeast) {
    EXPECT_EQ(book_page_in_range(0, 0), 1);
    EXPECT_EQ(book_page_in_range(7, 0), 1);
    EXPECT_EQ(book_page_in_range(7, 5), 5);
    EXPECT_EQ(book_page_in_range(7, 6), 5);
    EXPECT_EQ(book_page_in_range(7, 7), 7);
    EXPECT_EQ(book_page_in_range(-3, 5), 1);
}

struct recording_canvas final : book_canvas {
    std::string glyphs;
    std::vector<std::string> pictures;
    int first_x = -1, first_y = -1;
    int char_width(uint8_t) const override { return 6; }
    void glyph(int x, int y, uint8_t c) override {
        if (first_x < 0) first_x = x, first_y = y;
        glyphs += std::to_string(x) + "," + std::to_string(y) + ":" + static_cast<char>(c) + " ";
    }
    void picture(const std::string& name, int x, int y, int first, int rows) override {
        pictures.push_back(name + "@" + std::to_string(x) + "," + std::to_string(y) + "/" +
                           std::to_string(first) + "+" + std::to_string(rows));
    }
};

TEST(BookDrawing, TwoFacingPagesFromTheirOrigins) {
    test_metrics metrics;
    book_layout layout;
    std::vector<std::string> lines;
    for (int p = 1; p <= 3; ++p) book_add_text("[1]a<BR>b[][2]c[][3]<CENTER>d", p, metrics, layout, lines);
    recording_canvas first;
    draw_book_pages(lines, 1, first);
    EXPECT_EQ(first.glyphs, "34,50:a 34,60:b 354,50:c ");
    recording_canvas second;
    draw_book_pages(lines, 3, second);
    EXPECT_EQ(second.glyphs, "158,50:d ");  // 34 + (254 - 6) / 2
    recording_canvas past;
    draw_book_pages(lines, 5, past);
    EXPECT_EQ(past.glyphs, "");
}

TEST(BookDrawing, PictureWhoseBottomPassesThePageIsRecordedButNotDrawn) {
    const std::string source = "[1]" + repeat("a<BR>", 36) + "<IMG SRC=pic.pcx><IMG SRC=tall.pcx>";
    test_metrics metrics;
    book_layout layout;
    std::vector<std::string> lines;
    ASSERT_TRUE(book_add_text(source, 1, metrics, layout, lines));
    ASSERT_EQ(readable(lines[37]), "{l70}{p tall.pcx 102 390 0 60}");
    recording_canvas canvas;
    draw_book_pages(lines, 1, canvas);
    // 360 + 30 ends at the page's 390th row; the tall one would go past it.
    EXPECT_EQ(canvas.pictures, (std::vector<std::string>{"pic.pcx@111,410/0+30"}));
}

TEST(BookDrawing, DamagedLinesEndAtTheDamageWithoutHarm) {
    const std::vector<std::string> lines = {
        "ab" + bytes({BOOK_ESC, 's', 0xE4}),  // a number cut short
        "c" + bytes({BOOK_ESC, 'z'}) + "d",   // an unknown command
        "e" + bytes({BOOK_ESC, 'p'}) + "pic.pcx", "f" + bytes({BOOK_ESC}), "g",
    };
    recording_canvas canvas;
    draw_book_pages(lines, 1, canvas);
    EXPECT_EQ(canvas.glyphs, "34,50:a 40,50:b 46,50:c 52,50:e 58,50:f 64,50:g ");
    EXPECT_TRUE(canvas.pictures.empty());
    EXPECT_EQ(book_page_count(lines), 0);
}

}  // namespace
