#pragma once
// Bitmap fonts and text output.
//
// A font file starts with 256 little-endian 16-bit glyph offsets (0 = no
// glyph). At a glyph's offset: width, height, then pixel codes column by
// column from the left, each column from the top down: 0 one transparent
// pixel, 1-7 one pixel in colour slot code - 1, 8-254 code - 6 transparent
// pixels (the run may continue into the next column), 255 end of the glyph.
// Every read is bounded by the font's length: a glyph that points outside the
// font does not exist, and a glyph whose codes run out simply ends.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/handle_ids.h"  // the fixed font handles (FONT_*)
#include "core/handles.h"

constexpr int FONT_COLOUR_SLOTS = 7;
constexpr int FONT_TABLE_BYTES = 256 * 2;

// Colour specs of set_font. A non-negative spec is a text colour (low 16 bits)
// with these modifiers; the negative ones keep or replace all seven slots.
constexpr int32_t FONT_NO_SHADOW = 0x8000;     // slot 0 = 0xFFFF: shadow pixels are not drawn
constexpr int32_t FONT_SOFT_SHADOW = 0x10000;  // slot 0 = 0x8000: shadow darkens the background by half
constexpr int32_t FONT_GREY_SHADOW = 0x30000;  // slot 0 = 0xC20F: shadow blends with grey
constexpr int32_t FONT_KEEP_COLOURS = -1;
constexpr int32_t FONT_SEVEN_COLOURS = -2;  // slots from the seven colours given

// A slot value of 0xFFFF is not drawn; another value with bit 15 set becomes
// blend50(background, value); any other value is stored as it is.
constexpr uint16_t FONT_TRANSPARENT = 0xFFFF;

// The bytes of a font and their length (null / 0 is the empty font).
struct font_data {
    const uint8_t* bytes = nullptr;
    int32_t length = 0;
};

// Font state: one global instance, game side only.
extern font_data current_font;
extern int current_font_handle;  // -1 before the first set_font
extern std::array<uint16_t, FONT_COLOUR_SLOTS> font_colours;

// The text cursor: column and row in the drawing target at the time of
// set_text_position. Glyphs are drawn with their top-left pixel there.
extern int text_x;
extern int text_y;
uint16_t* text_ptr();  // address of the cursor's pixel

// A font with its colours, as windows and controls keep them.
struct font_settings {
    int handle = -1;
    std::array<uint16_t, FONT_COLOUR_SLOTS> colours{};
};
// The defaults for new window objects, refreshed by every set_font.
extern font_settings window_font_defaults;
font_settings current_font_settings();
// Makes a saved font and its colours current again (set_font with all seven slots).
void apply_font_settings(const font_settings& settings);

// Makes a font current and sets its colours (spec as above). The current font
// always holds one lock on its handle, so it stays loaded while it is current;
// selecting the current font again changes no lock. An undefined handle gives
// the empty font: nothing is drawn and every width is 0. seven_colours is read
// only for FONT_SEVEN_COLOURS (null keeps the colours).
void set_font(handle_id font, int32_t colour_spec, const uint16_t* seven_colours = nullptr);
void set_font(handle_id font, const std::array<uint16_t, FONT_COLOUR_SLOTS>& seven_colours);
// Drops the current font's lock and returns to the empty state (shutdown, tests).
void reset_font_state();

// The bytes of the font of a handle (loaded on demand; empty when undefined).
font_data font_of_handle(handle_id font);

// Width (low byte) and height (high byte) of a glyph, 0 when there is none.
uint16_t glyph_size(const font_data& font, uint8_t character);
inline int glyph_width(const font_data& font, uint8_t c) {
    return glyph_size(font, c) & 0xFF;
}
inline int glyph_height(const font_data& font, uint8_t c) {
    return glyph_size(font, c) >> 8;
}

// Draws one glyph with its top-left pixel at (x, y) of a pitch-640 buffer of
// 640 x 480 pixels, in the given colour slots. Pixels outside the buffer are
// left alone.
void draw_glyph(uint16_t* buffer, int x, int y, const font_data& font, uint8_t character,
                const std::array<uint16_t, FONT_COLOUR_SLOTS>& colours);

void set_text_position(int x, int y);
void advance_text(int n);
// Draws each character at the cursor in the current font and colours and
// moves the cursor by the glyph's width (0 for a character without a glyph).
void draw_text(std::string_view text);
// The same with spacing extra pixels after every character.
void draw_text_spaced(std::string_view text, int spacing);
// Like draw_text; a line feed returns to the starting column and moves down
// by the height of the glyph for 'X'.
void draw_text_lines(std::string_view text);

int text_width(std::string_view text);   // sum of the glyph widths
int text_height(std::string_view text);  // largest glyph height, 0 for ""

enum text_align : int { ALIGN_START = 0, ALIGN_CENTRE = 1, ALIGN_END = 2 };
// Places the cursor for the text: horizontal 0 = x is the left edge, 1 the
// centre, 2 the right edge; vertical 0 = y is the top, 1 the middle, 2 the bottom.
void set_aligned_position(int x, int y, int horizontal, int vertical, std::string_view text);

// Word-wrapped text: one entry per output line, in order (empty paragraphs
// stay as empty lines), with the measured size of the block.
struct wrapped_text {
    std::vector<std::string> lines;
    int width = 0;   // widest paragraph, a wrapped one counting as max_width
    int height = 0;  // sum of the lines' text_height
};
// Line feeds separate paragraphs. A paragraph wider than max_width is broken
// at the last space before the point where its width passes max_width; a line
// without a space is not broken.
wrapped_text wrap_text(std::string_view source, int max_width);
