// Font state, glyph drawing and measuring.
#include "gfx/font.h"

#include <algorithm>

#include "gfx/screen.h"

font_data current_font;
int current_font_handle = -1;
std::array<uint16_t, FONT_COLOUR_SLOTS> font_colours{};
font_settings window_font_defaults;

int text_x = 0;
int text_y = 0;
static uint16_t* text_buffer = nullptr;  // drawing target when the cursor was placed
static bool holds_lock = false;          // the current font's handle carries our lock

namespace {

// Offset of a glyph's header, or 0 when the glyph is missing or its header
// does not lie inside the font.
int32_t glyph_offset(const font_data& font, uint8_t character) {
    const int32_t entry = character * 2;
    if (!font.bytes || entry + 2 > font.length) return 0;
    const int32_t offset = font.bytes[entry] | (font.bytes[entry + 1] << 8);
    if (offset == 0 || offset + 2 > font.length) return 0;
    return offset;
}

inline void put_font_pixel(uint16_t* pixel, uint16_t colour) {
    if (colour == FONT_TRANSPARENT) return;
    if (colour & 0x8000)
        *pixel = blend50(*pixel, colour);
    else
        *pixel = colour;
}

uint16_t* cursor_target() {
    return text_buffer ? text_buffer : screen_address();
}

}  // namespace

uint16_t* text_ptr() {
    return cursor_target() + text_y * screen_pitch() + text_x;
}

font_data font_of_handle(handle_id font) {
    font_data result;
    result.bytes = static_cast<const uint8_t*>(get_handle_data(font));
    if (!result.bytes) return result;
    result.length = std::max<int32_t>(0, handle_length(font));
    return result;
}

void set_font(handle_id font, int32_t spec, const uint16_t* seven_colours) {
    // The current font holds exactly one lock on its handle (none when the
    // handle is undefined, so that it can still be defined).
    if (current_font_handle != font) {
        if (holds_lock) unlock_handle(static_cast<handle_id>(current_font_handle));
        holds_lock = false;
    }
    if (!holds_lock) {
        const handle_record* record = handle_info(font);
        holds_lock = record && record->state != HANDLE_UNDEFINED;
        if (holds_lock) lock_handle(font);
    }
    current_font = font_of_handle(font);

    if (spec >= 0) {
        const uint16_t colour = static_cast<uint16_t>(spec & 0xFFFF);
        uint16_t shadow;
        uint16_t text;
        if (spec & 0x8000) {
            shadow = FONT_TRANSPARENT;
            text = colour & 0x7FFF;
        } else {
            if (spec & 0x10000)
                shadow = (spec & 0x20000) ? 0xC20F : 0x8000;
            else
                shadow = 0;
            text = colour & ~0x20;
        }
        font_colours[0] = shadow;
        for (int slot = 1; slot <= 4; ++slot) font_colours[slot] = text;
    } else if (spec == FONT_SEVEN_COLOURS && seven_colours) {
        std::copy(seven_colours, seven_colours + FONT_COLOUR_SLOTS, font_colours.begin());
    }

    current_font_handle = font;
    window_font_defaults = current_font_settings();
}

void set_font(handle_id font, const std::array<uint16_t, FONT_COLOUR_SLOTS>& seven_colours) {
    set_font(font, FONT_SEVEN_COLOURS, seven_colours.data());
}

void reset_font_state() {
    if (holds_lock) unlock_handle(static_cast<handle_id>(current_font_handle));
    holds_lock = false;
    current_font = font_data{};
    current_font_handle = -1;
    font_colours.fill(0);
    window_font_defaults = font_settings{};
}

font_settings current_font_settings() {
    font_settings settings;
    settings.handle = current_font_handle;
    settings.colours = font_colours;
    return settings;
}

void apply_font_settings(const font_settings& settings) {
    if (settings.handle < 0) return;
    set_font(static_cast<handle_id>(settings.handle), settings.colours);
}

uint16_t glyph_size(const font_data& font, uint8_t character) {
    const int32_t offset = glyph_offset(font, character);
    if (!offset) return 0;
    return static_cast<uint16_t>(font.bytes[offset] | (font.bytes[offset + 1] << 8));
}

namespace {

// Draws a glyph and returns its width (0 when there is none).
int draw_glyph_at(uint16_t* buffer, int x, int y, const font_data& font, uint8_t character,
                  const std::array<uint16_t, FONT_COLOUR_SLOTS>& colours) {
    const int32_t offset = glyph_offset(font, character);
    if (!offset) return 0;
    const int width = font.bytes[offset];
    const int height = font.bytes[offset + 1];
    if (width == 0 || height == 0 || !buffer) return width;
    const int pitch = screen_pitch();
    const bool inside = x >= 0 && y >= 0 && x + width <= SCREEN_WIDTH && y + height <= SCREEN_HEIGHT;
    // Codes are read column by column, each column from the top; a run of
    // transparent pixels (code - 6 of them) may go on into the next columns.
    int column = 0;
    int row = 0;
    for (int32_t position = offset + 2; column < width; ++position) {
        if (position >= font.length) break;  // the codes ran out: the glyph ends
        const uint8_t code = font.bytes[position];
        if (code == 255) break;
        if (code >= 8) {
            row += code - 6;
        } else {
            if (code != 0) {
                const int px = x + column, py = y + row;
                if (inside || (px >= 0 && px < SCREEN_WIDTH && py >= 0 && py < SCREEN_HEIGHT))
                    put_font_pixel(buffer + py * pitch + px, colours[code - 1]);
            }
            ++row;
        }
        if (row >= height) {
            column += row / height;
            row %= height;
        }
    }
    return width;
}

}  // namespace

void draw_glyph(uint16_t* buffer, int x, int y, const font_data& font, uint8_t character,
                const std::array<uint16_t, FONT_COLOUR_SLOTS>& colours) {
    draw_glyph_at(buffer, x, y, font, character, colours);
}

void set_text_position(int x, int y) {
    text_x = static_cast<int16_t>(x);
    text_y = y;
    text_buffer = screen_address();
}

void advance_text(int n) {
    text_x = static_cast<int16_t>(text_x + n);
}

void draw_text_spaced(std::string_view text, int spacing) {
    uint16_t* buffer = cursor_target();
    for (const char ch : text) {
        const uint8_t c = static_cast<uint8_t>(ch);
        advance_text(draw_glyph_at(buffer, text_x, text_y, current_font, c, font_colours) + spacing);
    }
}

void draw_text(std::string_view text) {
    draw_text_spaced(text, 0);
}

void draw_text_lines(std::string_view text) {
    uint16_t* buffer = cursor_target();
    const int start_x = text_x;
    const int line_height = glyph_height(current_font, 'X');
    for (const char ch : text) {
        const uint8_t c = static_cast<uint8_t>(ch);
        if (c == '\n') {
            text_x = start_x;
            text_y += line_height;
            continue;
        }
        advance_text(draw_glyph_at(buffer, text_x, text_y, current_font, c, font_colours));
    }
}

int text_width(std::string_view text) {
    int width = 0;
    for (const char ch : text) width += glyph_width(current_font, static_cast<uint8_t>(ch));
    return width;
}

int text_height(std::string_view text) {
    int height = 0;
    for (const char ch : text)
        height = std::max(height, glyph_height(current_font, static_cast<uint8_t>(ch)));
    return height;
}

void set_aligned_position(int x, int y, int horizontal, int vertical, std::string_view text) {
    if (horizontal == ALIGN_CENTRE)
        x -= text_width(text) / 2;
    else if (horizontal == ALIGN_END)
        x -= text_width(text);
    if (vertical == ALIGN_CENTRE)
        y -= text_height(text) / 2;
    else if (vertical == ALIGN_END)
        y -= text_height(text);
    set_text_position(x, y);
}
