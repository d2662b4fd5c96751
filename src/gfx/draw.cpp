#include "gfx/draw.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "gfx/screen.h"

namespace {

uint16_t* row_address(int y) {
    return screen_address() + static_cast<ptrdiff_t>(y) * screen_pitch();
}

// Cuts an x, y, width, height rectangle to the screen; false when nothing is left.
bool clip_rect(int& x, int& y, int& width, int& height) {
    if (width <= 0 || height <= 0) return false;
    long x1 = std::max(0, x), y1 = std::max(0, y);
    long x2 = std::min<long>(static_cast<long>(x) + width, screen_width());
    long y2 = std::min<long>(static_cast<long>(y) + height, screen_height());
    if (x1 >= x2 || y1 >= y2) return false;
    x = static_cast<int>(x1);
    y = static_cast<int>(y1);
    width = static_cast<int>(x2 - x1);
    height = static_cast<int>(y2 - y1);
    return true;
}

// Orders and cuts an inclusive range to 0..limit-1; false when it is empty.
bool clip_range(int& a, int& b, int limit) {
    if (a > b) std::swap(a, b);
    a = std::max(a, 0);
    b = std::min(b, limit - 1);
    return a <= b;
}

template <typename PixelFn>
void for_each_pixel(int x, int y, int width, int height, PixelFn fn) {
    if (!clip_rect(x, y, width, height)) return;
    for (int row = y; row < y + height; ++row) {
        uint16_t* p = row_address(row) + x;
        for (int i = 0; i < width; ++i) p[i] = fn(p[i]);
    }
}

}  // namespace

void fill_rect(int x1, int y1, int x2, int y2) {
    if (!clip_range(x1, x2, screen_width()) || !clip_range(y1, y2, screen_height())) return;
    for (int y = y1; y <= y2; ++y) std::fill_n(row_address(y) + x1, x2 - x1 + 1, draw_colour);
}

void draw_hline(int x1, int y, int x2) {
    if (y < 0 || y >= screen_height() || !clip_range(x1, x2, screen_width())) return;
    std::fill_n(row_address(y) + x1, x2 - x1 + 1, draw_colour);
}

void draw_vline(int x, int y1, int y2) {
    if (x < 0 || x >= screen_width() || !clip_range(y1, y2, screen_height())) return;
    for (int y = y1; y <= y2; ++y) row_address(y)[x] = draw_colour;
}

void xor_hline(int x1, int y, int x2) {
    if (y < 0 || y >= screen_height() || !clip_range(x1, x2, screen_width())) return;
    uint16_t* p = row_address(y);
    for (int x = x1; x <= x2; ++x) p[x] ^= draw_colour;
}

void xor_vline(int x, int y1, int y2) {
    if (x < 0 || x >= screen_width() || !clip_range(y1, y2, screen_height())) return;
    for (int y = y1; y <= y2; ++y) row_address(y)[x] ^= draw_colour;
}

void draw_line(int x1, int y1, int x2, int y2) {
    const int dx = x2 - x1, dy = y2 - y1;
    if (dx == 0) return draw_vline(x1, y1, y1 + dy);
    if (dy == 0) return draw_hline(x1, y1, x1 + dx);
    // Drawn from the left end, one vertical run per column.
    const int n = std::abs(dx);
    const int start_x = dx > 0 ? x1 : x2;
    const int start_y = dx > 0 ? y1 : y2;
    const int step_y = dx > 0 ? dy : -dy;
    const int direction = step_y > 0 ? 1 : -1;
    const long rise = std::labs(step_y);
    int current = start_y;
    for (int i = 0; i <= n; ++i) {
        // Rounded the same way in both directions, so the last run ends
        // exactly at the far end of the line.
        const int row = start_y + direction * static_cast<int>((rise * i + n / 2) / n);
        const int from = (row - current) * direction < 0 ? row : current;
        draw_vline(start_x + i, from, row);
        current = row + direction;
    }
}

void draw_rect(int x1, int y1, int x2, int y2, uint16_t colour) {
    draw_colour = colour;
    draw_hline(x1, y1, x2);
    draw_hline(x1, y2, x2);
    draw_vline(x1, y1, y2);
    draw_vline(x2, y1, y2);
}

void put_pixel(int x, int y, uint16_t colour) {
    *pixel_address(x, y) = colour;
}

void rounded_box(int x, int y, int width, int height, int radius, uint16_t border_colour,
                 uint16_t fill_colour) {
    if (width <= 0 || height <= 0) return;
    const int r = std::min({radius, width / 2, height / 2});
    const int left = x + r, right = x + width - r - 1, top = y + r, bottom = y + height - r - 1;
    const long r2 = static_cast<long>(r) * r;
    for (int i = y; i < y + height; ++i) {
        for (int j = x; j < x + width; ++j) {
            const bool in_left = j < x + r, in_right = j >= x + width - r;
            const bool in_top = i < y + r, in_bottom = i >= y + height - r;
            if ((in_left || in_right) && (in_top || in_bottom)) {
                const long cx = in_left ? left : right, cy = in_top ? top : bottom;
                if ((j - cx) * (j - cx) + (i - cy) * (i - cy) > r2) continue;
            }
            put_pixel(j, i, fill_colour);
        }
    }
    const int x_end = x + width - 1, y_end = y + height - 1;
    if (r <= 0) {
        for (int j = x; j <= x_end; ++j) put_pixel(j, y, border_colour), put_pixel(j, y_end, border_colour);
        for (int i = y; i <= y_end; ++i) put_pixel(x, i, border_colour), put_pixel(x_end, i, border_colour);
        return;
    }
    for (int j = left; j <= right; ++j) put_pixel(j, y, border_colour), put_pixel(j, y_end, border_colour);
    for (int i = top; i <= bottom; ++i) put_pixel(x, i, border_colour), put_pixel(x_end, i, border_colour);
    // Midpoint circle, two octant points of each quarter per step.
    int d = 3 - 2 * r, a = 0, b = r;
    while (a <= b) {
        put_pixel(left - a, top - b, border_colour), put_pixel(left - b, top - a, border_colour);
        put_pixel(right + a, top - b, border_colour), put_pixel(right + b, top - a, border_colour);
        put_pixel(right + a, bottom + b, border_colour), put_pixel(right + b, bottom + a, border_colour);
        put_pixel(left - a, bottom + b, border_colour), put_pixel(left - b, bottom + a, border_colour);
        if (d < 0) {
            d += 4 * a + 6;
        } else {
            d += 4 * (a - b) + 10;
            --b;
        }
        ++a;
    }
}

void blend_rect(int x, int y, int width, int height, uint16_t colour) {
    for_each_pixel(x, y, width, height, [colour](uint16_t p) { return blend50(p, colour); });
}

void blend_hline(int x, int y, int length, uint16_t colour) {
    blend_rect(x, y, length, 1, colour);
}
void blend_vline(int x, int y, int length, uint16_t colour) {
    blend_rect(x, y, 1, length, colour);
}

void darken_rect(int x, int y, int width, int height) {
    for_each_pixel(x, y, width, height, [](uint16_t pixel) {
        const unsigned p = pixel & 0x7BDE;
        return static_cast<uint16_t>((p + ((p >> 1) & 0x7BDE)) >> 1);
    });
}

void grey_rect(int x, int y, int width, int height) {
    for_each_pixel(x, y, width, height, [](uint16_t pixel) {
        const unsigned v = (((pixel >> 10) & 31) + ((pixel >> 5) & 31) + (pixel & 31)) / 3;
        return static_cast<uint16_t>((pixel & 0x8000) | v * 0x421);
    });
}
