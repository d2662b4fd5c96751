// Frame styles, frames around rectangles and the text cursor box.
#include "core/events_cursor.h"
#include "gfx/draw.h"
#include "gfx/screen.h"
#include "ui/toolkit.h"

void derive_frame_colours(frame_style& style, uint16_t base) {
    // Doubling lets a channel's overflow bit land in the next field's lowest
    // bit; a set overflow bit saturates the channel below it. The overflow of
    // one channel stays behind as the lowest bit of the next.
    uint16_t a = static_cast<uint16_t>(base * 2);
    if (a & 0x0020) a |= 0x001F;
    if (a & 0x0400) a |= 0x03E0;
    if (a & 0x8000) a |= 0x7C00;
    style.colour_a = a;
    style.colour_b = static_cast<uint16_t>((base & 0x7BDF) >> 1);
}

frame_style make_frame_style(int type, uint16_t base) {
    static frame_style record;
    derive_frame_colours(record, base);
    switch (type) {
        case 0:
            record.rings = 0;
            break;
        case 1:
            record.rings = 1;
            record.colour_a = record.colour_b = base;
            break;
        case 2:
            record.rings = 2;
            record.sunken = 0;
            break;
        case 3:
            record.rings = 2;
            record.sunken = 3;
            break;
        case 4:
            record.rings = 1;
            record.sunken = 0;
            break;
        case 5:
            record.rings = 1;
            record.sunken = 1;
            break;
        case 6:
            record.rings = 2;
            record.sunken = 1;
            break;
        case 7:
            record.rings = 2;
            record.sunken = 2;
            break;
        default:
            break;
    }
    return record;
}

void draw_frame(int x, int y, int w, int h, const frame_style& style) {
    const uint16_t saved = draw_colour;
    for (int i = 1; i <= style.rings; ++i) {
        const int left = x - i, top = y - i, right = x + w + i, bottom = y + h + i;
        const bool sunken = i <= 16 && (style.sunken >> (i - 1)) & 1;
        const uint16_t first = sunken ? style.colour_b : style.colour_a;
        const uint16_t second = sunken ? style.colour_a : style.colour_b;
        draw_colour = first;
        draw_hline(left, top, right);
        draw_vline(left, top, bottom);
        draw_colour = second;
        draw_hline(left, bottom, right);
        draw_vline(right, top, bottom);
    }
    draw_colour = saved;
}

void xor_cursor_box(int x, int y, int w, int h) {
    draw_colour = 0x7FFF;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    if (x >= SCREEN_WIDTH || y >= SCREEN_HEIGHT) return;
    if (x + w >= SCREEN_WIDTH) w = SCREEN_WIDTH - x - 1;
    if (y + h >= SCREEN_HEIGHT) h = SCREEN_HEIGHT - y - 1;
    if (w < 0 || h < 0) return;
    hide_cursor();
    xor_hline(x, y, x + w);
    xor_vline(x, y, y + h);
    if (w != 0 && h != 0) {
        xor_hline(x, y + h, x + w);
        xor_vline(x + w, y, y + h);
    }
    show_cursor();
    // One rectangle covers all four edges.
    present_rect(x, y, w + 1, h + 1);
}
