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
    const channel_layout l = describe(layout);
    alpha_bits_ = l.alpha_bits;
    shift_a_ = l.shift_a;
    shift_r_ = l.shift_r;
    shift_g_ = l.shift_g;
    shift_b_ = l.shift_b;
    for (uint32_t v = 0; v < 256; ++v) {
        low_[v] = convert_pixel(layout, static_cast<uint16_t>(v)) & ~convert_pixel(layout, 0);
        high_[v] = convert_pixel(layout, static_cast<uint16_t>(v << 8));
    }
}

namespace {

// Widening by (c << up) | (c >> down): 8 bits (3, 2), 10 bits (5, 0); 4 bits is c >> 1.
template <class Out, int UP, int DOWN>
[[gnu::always_inline]] inline void convert_arithmetic(const uint16_t* src, Out* out, int count, int sa,
                                                      int sr, int sg, int sb, uint32_t alpha_max) {
    for (int i = 0; i < count; ++i) {
        const uint32_t p = src[i];
        const uint32_t r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
        const uint32_t a = ((p >> 15) - 1) & alpha_max;  // 0 when bit 15 is set
        const uint32_t wr = UP ? (r << UP) | (r >> DOWN) : r >> DOWN;
        const uint32_t wg = UP ? (g << UP) | (g >> DOWN) : g >> DOWN;
        const uint32_t wb = UP ? (b << UP) | (b >> DOWN) : b >> DOWN;
        out[i] = static_cast<Out>((a << sa) | (wr << sr) | (wg << sg) | (wb << sb));
    }
}

// 8-bit channels: every channel moved to its byte of an A R G B word with one
// mask and shift, then widened at once for all three by copying each byte's
// top three bits into its bottom three; other byte orders are a swap away.
template <texture_layout L>
[[gnu::always_inline]] inline void convert_8888(const uint16_t* src, uint32_t* out, int count) {
    for (int i = 0; i < count; ++i) {
        const uint32_t p = src[i];
        uint32_t v = ((p & 0x7C00) << 9) | ((p & 0x03E0) << 6) | ((p & 0x001F) << 3);
        v |= (v >> 5) & 0x070707;
        const uint32_t a = ((p >> 15) - 1) << 24;  // 0xFF000000 when bit 15 is clear
        const uint32_t argb = a | v;
        if constexpr (L == texture_layout::argb8888) out[i] = argb;
        if constexpr (L == texture_layout::bgra8888) out[i] = __builtin_bswap32(argb);
        if constexpr (L == texture_layout::rgba8888) out[i] = (v << 8) | (a >> 24);
        if constexpr (L == texture_layout::abgr8888) out[i] = __builtin_bswap32((v << 8) | (a >> 24));
    }
}

// The row loops are built for the vector units the machine may have; the
// best one is chosen when the program loads.
// (Not under ThreadSanitizer or clang's instrumented builds: the loader runs
// the chooser before the sanitizer runtime is ready.)
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define VECTOR_CLONES
#endif

VECTOR_CLONES void rows_argb8888(const uint16_t* src, uint32_t* out, int count) {
    convert_8888<texture_layout::argb8888>(src, out, count);
}
VECTOR_CLONES void rows_rgba8888(const uint16_t* src, uint32_t* out, int count) {
    convert_8888<texture_layout::rgba8888>(src, out, count);
}
VECTOR_CLONES void rows_bgra8888(const uint16_t* src, uint32_t* out, int count) {
    convert_8888<texture_layout::bgra8888>(src, out, count);
}
VECTOR_CLONES void rows_abgr8888(const uint16_t* src, uint32_t* out, int count) {
    convert_8888<texture_layout::abgr8888>(src, out, count);
}
VECTOR_CLONES void rows_10bit(const uint16_t* src, uint32_t* out, int count, int sa, int sr, int sg, int sb,
                              uint32_t alpha_max) {
    convert_arithmetic<uint32_t, 5, 0>(src, out, count, sa, sr, sg, sb, alpha_max);
}
VECTOR_CLONES void rows_4bit(const uint16_t* src, uint16_t* out, int count, int sa, int sr, int sg, int sb,
                             uint32_t alpha_max) {
    convert_arithmetic<uint16_t, 0, 1>(src, out, count, sa, sr, sg, sb, alpha_max);
}

}  // namespace

void pixel_converter::convert_row(const uint16_t* src, void* dst, int count) const {
    uint32_t* out32 = static_cast<uint32_t*>(dst);
    const uint32_t alpha_max = (1u << alpha_bits_) - 1;
    switch (layout_) {
        case texture_layout::argb8888:
            return rows_argb8888(src, out32, count);
        case texture_layout::rgba8888:
            return rows_rgba8888(src, out32, count);
        case texture_layout::bgra8888:
            return rows_bgra8888(src, out32, count);
        case texture_layout::abgr8888:
            return rows_abgr8888(src, out32, count);
        case texture_layout::argb2101010:
            return rows_10bit(src, out32, count, shift_a_, shift_r_, shift_g_, shift_b_, alpha_max);
        default:
            return rows_4bit(src, static_cast<uint16_t*>(dst), count, shift_a_, shift_r_, shift_g_, shift_b_,
                             alpha_max);
    }
}
