#pragma once
// The party's book: paragraphs of prepared text taken from marked-up text
// files, laid out once into fixed-width lines and pages when they are added,
// and kept as a list of encoded lines.
//
// An encoded line holds characters to draw in the book font, and commands
// that start with ESC (27):
//   ESC 'l' h               end of line: down by h pixels, back to the page's left edge
//   ESC 's' w               right by w pixels
//   ESC 'p' name ':' x y first rows   rows first.. of a picture at (x, y) of the page
//   ESC 'e'                 end of page
// Numbers are 6-bit groups, least significant first, each byte 0x40 | bits
// with bit 7 set when another byte follows: no byte of a number is 0, 10 or
// 27, so a line never holds a line feed and the book is saved line by line.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr char BOOK_ESC = 27;
constexpr int BOOK_COLUMN_WIDTH = 254;
constexpr int BOOK_PAGE_HEIGHT = 390;
// The gap between a picture at the side and the text flowing beside it.
constexpr int BOOK_PICTURE_GAP = 5;

// Appends a number in 6-bit groups. Nothing the layout makes is negative; a
// negative value is written as 0.
void put_book_number(std::string& out, int value);
// Reads a number at pos and moves pos past it. False (pos unspecified) when
// the number runs past the end, a byte is not a number byte, or the value
// does not fit an int.
bool read_book_number(std::string_view line, size_t& pos, int& value);

// What the layout measures with: the book font's glyphs and the pictures.
class book_metrics {
  public:
    virtual ~book_metrics() = default;
    virtual int char_width(uint8_t c) const = 0;
    virtual int char_height(uint8_t c) const = 0;
    // The size of a picture by file name; false: no such picture (the tag is
    // ignored).
    virtual bool picture_size(const std::string& /*name*/, int& /*w*/, int& /*h*/) const { return false; }
};

// The layout's state between paragraphs (a new game starts from the default).
struct book_layout {
    int column = BOOK_COLUMN_WIDTH;
    int margin = 0;
    int page_fill = 0;     // pixels used on the current page
    int last_height = 0;   // the height of the last line (0: the height of 'X')
    int picture_left = 0;  // rows of a picture at the side still beside the text
};

// Where paragraph `number` of a book source starts: the offset just after its
// header's "]", with `convert` set from the header's W and K letters (the
// last wins; W: the text is Windows-1250). npos when there is none.
size_t find_book_paragraph(std::string_view source, int number, bool& convert);

// Lays out the paragraph's text (from its start to "[]" or the end) and
// appends its lines, then ends the page, so that every paragraph starts on a
// page of its own.
void lay_out_book_paragraph(std::string_view text, bool convert, const book_metrics& metrics,
                            book_layout& layout, std::vector<std::string>& lines);

// Finds and lays out paragraph `number`; false when the source has none.
bool book_add_text(std::string_view source, int number, const book_metrics& metrics, book_layout& layout,
                   std::vector<std::string>& lines);

// The number of page ends in the book.
int book_page_count(const std::vector<std::string>& lines);
// The left page shown, brought into range: at most the last odd page, at
// least 1 (an empty book shows pages 1 and 2).
int book_page_in_range(int page, int page_count);

// What drawing a book page does, for the screen or a test.
class book_canvas {
  public:
    virtual ~book_canvas() = default;
    virtual int char_width(uint8_t c) const = 0;
    virtual void glyph(int x, int y, uint8_t c) = 0;
    virtual void picture(const std::string& name, int x, int y, int first_row, int rows) = 0;
};
// The page origins of the two facing pages on the screen.
constexpr int BOOK_LEFT_PAGE_X = 34, BOOK_RIGHT_PAGE_X = 354, BOOK_PAGE_Y = 50;
// Draws pages `page` and page + 1 (counted from 1). A picture whose bottom
// would pass the page's height is not drawn; a damaged command ends its line.
void draw_book_pages(const std::vector<std::string>& lines, int page, book_canvas& canvas);
