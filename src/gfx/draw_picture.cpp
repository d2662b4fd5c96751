// Drawing picture records into pitch-640 buffers.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#include "gfx/picture.h"
#include "gfx/screen.h"

namespace {

// The palette an 8-bit picture is drawn with, or null for types that are not
// drawn through a palette of their own.
const uint16_t* draw_palette(const picture* pic) {
    switch (pic->type) {
        case PIC_PAL8:
        case PIC_FADE8:  // the first of its ten palettes
        case PIC_WIDE8:
            return picture_palette(pic);
        default:
            return nullptr;
    }
}

// Index 0 is transparent. Stretches of eight opaque pixels are stored
// without a test per pixel.
void draw_indexed_row(const uint8_t* src, const uint16_t* palette, uint16_t* dest, int width) {
    constexpr uint64_t LOW = 0x0101010101010101ull, HIGH = 0x8080808080808080ull;
    int i = 0;
    for (; i + 8 <= width; i += 8) {
        uint64_t eight;
        std::memcpy(&eight, src + i, 8);
        if (((eight - LOW) & ~eight & HIGH) == 0) {  // no zero byte among them
            for (int k = 0; k < 8; ++k) dest[i + k] = palette[src[i + k]];
        } else {
            for (int k = 0; k < 8; ++k)
                if (src[i + k]) dest[i + k] = palette[src[i + k]];
        }
    }
    for (; i < width; ++i)
        if (src[i]) dest[i] = palette[src[i]];
}

}  // namespace

void put_picture_to(int x, int y, const picture* pic, uint16_t* buffer, int pitch) {
    if (!pic || !buffer || pitch <= 0) return;
    const unsigned ux = static_cast<uint16_t>(x), uy = static_cast<uint16_t>(y);
    const unsigned limit_x = std::min(screen_width(), pitch);
    if (ux > limit_x || uy > static_cast<unsigned>(screen_height())) return;
    const int width = static_cast<int>(std::min<unsigned>(pic->width, limit_x - ux));
    const int height = static_cast<int>(std::min<unsigned>(pic->height, screen_height() - uy));
    if (width <= 0 || height <= 0) return;
    uint16_t* dest = buffer + static_cast<ptrdiff_t>(uy) * pitch + ux;
    if (pic->type == PIC_RAW15 || pic->type == PIC_HICOLOR) {
        const uint16_t* src = picture_pixels16(pic);
        for (int row = 0; row < height; ++row, dest += pitch, src += pic->width)
            std::memcpy(dest, src, sizeof(uint16_t) * width);
        return;
    }
    const uint16_t* palette = draw_palette(pic);
    if (!palette) return;
    const uint8_t* src = picture_pixels8(pic);
    for (int row = 0; row < height; ++row, dest += pitch, src += pic->width)
        draw_indexed_row(src, palette, dest, width);
}

void put_picture(int x, int y, const picture* pic) {
    put_picture_to(x, y, pic, screen_address(), screen_pitch());
}

void get_picture(int x, int y, int width, int height, picture* out) {
    if (!out) return;
    const unsigned ux = static_cast<uint16_t>(x), uy = static_cast<uint16_t>(y);
    int w = 0, h = 0;
    if (ux <= static_cast<unsigned>(screen_width()) && uy <= static_cast<unsigned>(screen_height())) {
        w = std::clamp<int>(width, 0, screen_width() - static_cast<int>(ux));
        h = std::clamp<int>(height, 0, screen_height() - static_cast<int>(uy));
    }
    out->width = static_cast<uint16_t>(w);
    out->height = static_cast<uint16_t>(h);
    out->type = PIC_RAW15;
    uint16_t* dest = picture_pixels16(out);
    for (int row = 0; row < h; ++row)
        std::memcpy(dest + static_cast<ptrdiff_t>(row) * w,
                    pixel_address(static_cast<int>(ux), static_cast<int>(uy) + row), sizeof(uint16_t) * w);
}

void put_picture_rows(const picture* pic, uint16_t* destination, int first_row, int width, int height) {
    if (!pic || !destination || pic->type != PIC_PAL8 || first_row < 0) return;
    width = std::min<int>(width, pic->width);
    height = std::min<int>(height, pic->height - first_row);
    if (width <= 0 || height <= 0) return;
    const uint16_t* palette = picture_palette(pic);
    const uint8_t* src = picture_pixels8(pic) + static_cast<ptrdiff_t>(first_row) * pic->width;
    for (int row = 0; row < height; ++row, src += pic->width, destination += screen_pitch())
        draw_indexed_row(src, palette, destination, width);
}

void tile_picture(int x, int y, int width, int height, int offset_x, int offset_y, const picture* pic) {
    if (!pic || pic->type != PIC_PAL8 || pic->width == 0 || pic->height == 0) return;
    const int x1 = std::max(x, 0), y1 = std::max(y, 0);
    const int x2 = static_cast<int>(std::min<long>(static_cast<long>(x) + width, screen_width()));
    const int y2 = static_cast<int>(std::min<long>(static_cast<long>(y) + height, screen_height()));
    if (x1 >= x2 || y1 >= y2) return;
    const int pw = pic->width, ph = pic->height;
    auto wrap = [](long v, int size) { return static_cast<int>(((v % size) + size) % size); };
    const uint16_t* palette = picture_palette(pic);
    const uint8_t* pixels = picture_pixels8(pic);
    for (int row = y1; row < y2; ++row) {
        const uint8_t* src =
            pixels + static_cast<ptrdiff_t>(wrap(static_cast<long>(offset_y) + (row - y), ph)) * pw;
        uint16_t* dest = pixel_address(0, row);
        int column = wrap(static_cast<long>(offset_x) + (x1 - x), pw);
        for (int col = x1; col < x2;) {
            // Whole stretches of a picture row at a time.
            const int run = std::min(pw - column, x2 - col);
            draw_indexed_row(src + column, palette, dest + col, run);
            col += run;
            column = 0;
        }
    }
}

void copy_picture_rows(const picture* pic, uint16_t* destination, int first_row, int count) {
    if (!pic || !destination || (pic->type != PIC_RAW15 && pic->type != PIC_HICOLOR) || first_row < 0) return;
    count = std::min<int>(count, pic->height - first_row);
    const int width = std::min<int>(pic->width, screen_pitch());
    if (count <= 0 || width <= 0) return;
    const uint16_t* src = picture_pixels16(pic) + static_cast<ptrdiff_t>(first_row) * pic->width;
    for (int row = 0; row < count; ++row, src += pic->width, destination += screen_pitch())
        std::memcpy(destination, src, sizeof(uint16_t) * width);
}

void compose_picture(const picture* source, picture* destination, int x, int y) {
    if (!source || !destination || source->type != PIC_FADE8 || destination->type != PIC_FADE8) return;
    const int x1 = std::max(x, 0), y1 = std::max(y, 0);
    const int x2 = std::min(x + source->width, static_cast<int>(destination->width));
    const int y2 = std::min(y + source->height, static_cast<int>(destination->height));
    const uint8_t* src = picture_pixels8(source);
    uint8_t* dest = picture_pixels8(destination);
    for (int row = y1; row < y2; ++row) {
        const uint8_t* s = src + static_cast<ptrdiff_t>(row - y) * source->width;
        uint8_t* d = dest + static_cast<ptrdiff_t>(row) * destination->width;
        for (int col = x1; col < x2; ++col)
            if (s[col - x]) d[col] = s[col - x];
    }
}

bool draw_stored_picture(const void* bytes, int32_t length, int x, int y) {
    if (!bytes || length <= 0 || !picture_record_valid(bytes, static_cast<size_t>(length))) return false;
    if (reinterpret_cast<uintptr_t>(bytes) % alignof(picture) == 0) {
        put_picture(x, y, static_cast<const picture*>(bytes));
        return true;
    }
    // Archive data need not be aligned for 16-bit reads.
    std::vector<uint16_t> copy((static_cast<size_t>(length) + 1) / 2);
    std::memcpy(copy.data(), bytes, static_cast<size_t>(length));
    put_picture(x, y, reinterpret_cast<const picture*>(copy.data()));
    return true;
}
