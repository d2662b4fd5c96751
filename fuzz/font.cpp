// Fuzz target: any bytes as a font file, every glyph drawn (partly off the
// screen too), and the start of the input measured, wrapped and written as text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "gfx/font.h"
#include "gfx/screen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so that a read past the font's end is caught.
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size ? size : 1]);
    if (size) std::memcpy(bytes.get(), data, size);
    const font_data font{bytes.get(), static_cast<int32_t>(size)};

    const std::array<uint16_t, FONT_COLOUR_SLOTS> colours{0, 0x7FFF, 0x801F, 0xFFFF, 0x03E0, 0x7C00, 0xC20F};
    for (int c = 0; c < 256; ++c) {
        const int x = (c * 37) % 700 - 30;
        const int y = (c * 53) % 540 - 30;
        draw_glyph(frame_buffer, x, y, font, static_cast<uint8_t>(c), colours);
        (void)glyph_size(font, static_cast<uint8_t>(c));
    }

    current_font = font;
    font_colours = colours;
    const std::string text(reinterpret_cast<const char*>(data), size < 96 ? size : 96);
    (void)text_width(text);
    (void)text_height(text);
    const wrapped_text wrapped = wrap_text(text, 1 + (size % 200));
    set_text_position(600, 460);
    for (const std::string& line : wrapped.lines) draw_text(line);
    set_aligned_position(320, 240, 1, 1, text);
    draw_text_lines(text);
    current_font = font_data{};
    return 0;
}
