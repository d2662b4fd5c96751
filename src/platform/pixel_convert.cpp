#include "platform/pixel_convert.h"

#include <cstring>

namespace {

struct channel_layout {
    int bits;        // 4, 8 or 10 for the colours
    int alpha_bits;  // 4, 8 or 2
    int shift_a, shift_r, shift_g, shift_b;
    int bytes;
};

channel_layout describe(texture_layout layout) {
    switch (layout) {
        case texture_layout::argb8888:
            return {8, 8, 24, 16, 8, 0, 4};
        case texture_layout::rgba8888:
            return {8, 8, 0, 24, 16, 8, 4};
        case texture_layout::bgra8888:
            return {8, 8, 0, 8, 16, 24, 4};
        case texture_layout::abgr8888:
            return {8, 8, 24, 0, 8, 16, 4};
        case texture_layout::argb4444:
            return {4, 4, 12, 8, 4, 0, 2};
        case texture_layout::rgba4444:
            return {4, 4, 0, 12, 8, 4, 2};
        case texture_layout::bgra4444:
            return {4, 4, 0, 4, 8, 12, 2};
        case texture_layout::abgr4444:
            return {4, 4, 12, 0, 4, 8, 2};
        case texture_layout::argb2101010:
            return {10, 2, 30, 20, 10, 0, 4};
    }
    return {8, 8, 24, 16, 8, 0, 4};
}

uint32_t widen(uint32_t c, int bits) {
    switch (bits) {
        case 8:
            return (c << 3) | (c >> 2);
        case 10:
            return (c << 5) | c;
        default:
            return c >> 1;
    }
}

}  // namespace

uint32_t convert_pixel(texture_layout layout, uint16_t p) {
    const channel_layout l = describe(layout);
    const uint32_t r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
    const uint32_t a = (p & 0x8000) ? 0 : (1u << l.alpha_bits) - 1;
    return (a << l.shift_a) | (widen(r, l.bits) << l.shift_r) | (widen(g, l.bits) << l.shift_g) |
           (widen(b, l.bits) << l.shift_b);
}

// The widening formulas only ever OR together shifted copies of a channel's
// bits, and those copies never overlap, so a channel split across the two
// bytes (green) widens to the OR of its two halves widened separately.
pixel_converter::pixel_converter(texture_layout layout) : layout_(layout), bytes_(describe(layout).bytes) {
    for (uint32_t v = 0; v < 256; ++v) {
        low_[v] = convert_pixel(layout, static_cast<uint16_t>(v)) & ~convert_pixel(layout, 0);
        high_[v] = convert_pixel(layout, static_cast<uint16_t>(v << 8));
    }
}

void pixel_converter::convert_row(const uint16_t* src, void* dst, int count) const {
    if (bytes_ == 4) {
        uint32_t* out = static_cast<uint32_t*>(dst);
        for (int i = 0; i < count; ++i) out[i] = low_[src[i] & 0xFF] | high_[src[i] >> 8];
    } else {
        uint16_t* out = static_cast<uint16_t*>(dst);
        for (int i = 0; i < count; ++i)
            out[i] = static_cast<uint16_t>(low_[src[i] & 0xFF] | high_[src[i] >> 8]);
    }
}
