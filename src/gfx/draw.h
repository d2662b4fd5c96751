#pragma once
// Software drawing primitives over the drawing target (gfx/screen.h). All of
// them clip to 0..639 x 0..479 except put_pixel and rounded_box, whose callers
// keep them inside the buffer.
#include <cstdint>

// Solid primitives in draw_colour; both ends inclusive, in either order.
void fill_rect(int x1, int y1, int x2, int y2);
void draw_hline(int x1, int y, int x2);
void draw_vline(int x, int y1, int y2);
// Each pixel is XORed with draw_colour (rubber-band frames drawn twice vanish).
void xor_hline(int x1, int y, int x2);
void xor_vline(int x, int y1, int y2);
void draw_line(int x1, int y1, int x2, int y2);
// Sets draw_colour to colour (it stays set) and draws the four edges.
void draw_rect(int x1, int y1, int x2, int y2, uint16_t colour);
void put_pixel(int x, int y, uint16_t colour);
void rounded_box(int x, int y, int width, int height, int radius, uint16_t border_colour,
                 uint16_t fill_colour);

// Blending primitives; rectangles are x, y, width, height.
void blend_rect(int x, int y, int width, int height, uint16_t colour);
void blend_hline(int x, int y, int length, uint16_t colour);
void blend_vline(int x, int y, int length, uint16_t colour);
// Three quarters of the brightness.
void darken_rect(int x, int y, int width, int height);
// Grey of the same brightness; bit 15 is kept.
void grey_rect(int x, int y, int width, int height);
