// The PCX reader: 8 bits per pixel, one plane, run-length coded rows, the
// 768-byte R, G, B palette at the end of the file.
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "gfx/picture.h"
#include "gfx/screen.h"

namespace {

constexpr int32_t PCX_HEADER_BYTES = 128;
constexpr int32_t PCX_PALETTE_BYTES = 768;
// Every picture allocation carries the header and 10 bytes of slack on top of
// the palette and the pixels; the size is the resource's length.
constexpr int32_t ALLOCATION_EXTRA = 16;

uint16_t read_u16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

bool type_supported(int type) {
    switch (type) {
        case PIC_PAL8:
        case PIC_HICOLOR:
        case PIC_FADE8:
        case PIC_NOPAL8:
        case PIC_RGBPAL8:
        case PIC_KEYED_REQUEST:
            return true;
        default:
            return false;
    }
}

// Decodes one run-length row of bytes_per_line pixels into row, which has
// room for bytes_per_line + 64 bytes: runs are stored 32 bytes at a time, a run
// passing the row end is stored whole there and simply not used. Returns the
// position after the row, or null when the data ends early.
const uint8_t* decode_row(const uint8_t* data, const uint8_t* end, int bytes_per_line, uint8_t* row) {
    constexpr uint64_t EVERY_BYTE = 0x0101010101010101ull, HIGH_BITS = 0x8080808080808080ull;
    int x = 0;
    // While 9 bytes remain, eight are looked at together: the literals before
    // the first run byte are copied in one go, and a run is stored 32 bytes at
    // a time (nearly every run fits) without a branch on its length.
    while (x < bytes_per_line && end - data >= 9) {
        uint64_t next;
        std::memcpy(&next, data, 8);
        const uint64_t run_bytes = next & (next << 1) & HIGH_BITS;  // bytes of 0xC0 or more
        const bool run = run_bytes & 0x80;
        // Both readings are worked out and the right one picked, so the
        // mix of runs and literals costs no mispredicted branches.
        const int literals = std::min(run_bytes ? std::countr_zero(run_bytes) / 8 : 8, bytes_per_line - x);
        const int count = data[0] & 0x3F;
        const uint64_t fill = data[1] * EVERY_BYTE;
        const uint64_t first[4] = {run ? fill : next, fill, fill, fill}, more[4] = {fill, fill, fill, fill};
        std::memcpy(row + x, first, 32);  // past the literals it is overwritten later
        if (run && count > 32) std::memcpy(row + x + 32, more, 32);
        x += run ? count : literals;
        data += run ? 2 : literals;
    }
    while (x < bytes_per_line) {
        if (data >= end) return nullptr;
        const uint8_t value = *data++;
        if (value < 0xC0) {
            row[x++] = value;
            continue;
        }
        if (data >= end) return nullptr;
        const int count = value & 0x3F;
        std::memset(row + x, *data++, count);
        x += count;
    }
    return data;
}

void write_header(picture* pic, int width, int height, uint16_t type) {
    pic->width = static_cast<uint16_t>(width);
    pic->height = static_cast<uint16_t>(height);
    pic->type = type;
}

}  // namespace

void build_fade_palettes(const uint8_t* rgb, uint8_t fade_r, uint8_t fade_g, uint8_t fade_b, uint16_t* out) {
    const int fade[3] = {fade_r, fade_g, fade_b};
    auto pack = [](const int c[3]) {
        return static_cast<uint16_t>((((c[0] >> 3) << 10) | ((c[1] >> 3) << 5) | (c[2] >> 3)) & 0x7FFF);
    };
    for (int i = 0; i < 5; ++i) {
        const int k = 14 - 3 * i;
        for (int e = 0; e < PALETTE_ENTRIES; ++e) {
            int fog[3], dark[3];
            for (int ch = 0; ch < 3; ++ch) {
                const int c = rgb[e * 3 + ch];
                fog[ch] = fade[ch] + (c - fade[ch]) * k / 14;
                dark[ch] = c * (5 - i) / 5;
            }
            out[i * PALETTE_ENTRIES + e] = pack(fog);
            out[(5 + i) * PALETTE_ENTRIES + e] = pack(dark);
        }
    }
}

int32_t decode_pcx(const void* bytes, int32_t length, int requested_type, picture** out, uint8_t fade_r,
                   uint8_t fade_g, uint8_t fade_b) {
    if (out) *out = nullptr;
    if (!bytes || length <= 0) return PCX_NO_DATA;
    if (!type_supported(requested_type)) return PCX_BAD_TYPE;
    if (!out || length < PCX_HEADER_BYTES + PCX_PALETTE_BYTES) return PCX_CORRUPT;

    const auto* file = static_cast<const uint8_t*>(bytes);
    const int width = read_u16(file + 8) - read_u16(file + 4) + 1;
    const int height = read_u16(file + 10) - read_u16(file + 6) + 1;
    const int bytes_per_line = read_u16(file + 66);
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF || bytes_per_line < width)
        return PCX_CORRUPT;
    const uint8_t* data = file + PCX_HEADER_BYTES;
    const uint8_t* data_end = file + length - PCX_PALETTE_BYTES;
    // A two-byte run yields at most 63 pixels: more rows than the data could
    // hold mean a broken header, refused before anything is allocated.
    if (static_cast<int64_t>(height) * bytes_per_line > (data_end - data) * int64_t{32}) return PCX_CORRUPT;
    const uint8_t* rgb = data_end;

    const uint16_t stored_type =
        requested_type == PIC_KEYED_REQUEST ? uint16_t{PIC_HICOLOR} : static_cast<uint16_t>(requested_type);
    const int palette_bytes = picture_palette_bytes(stored_type);
    const int64_t pixel_count = static_cast<int64_t>(width) * height;
    const int64_t size = palette_bytes + pixel_count * picture_pixel_bytes(stored_type) + ALLOCATION_EXTRA;
    if (size > INT32_MAX) return PCX_CORRUPT;

    uint16_t palette[PALETTE_ENTRIES];
    for (int e = 0; e < PALETTE_ENTRIES; ++e) palette[e] = rgb555(rgb[e * 3], rgb[e * 3 + 1], rgb[e * 3 + 2]);
    if (requested_type == PIC_KEYED_REQUEST) palette[0] = 0x8000;

    auto* pic = static_cast<picture*>(game_alloc(size));
    write_header(pic, width, height, stored_type);
    auto* pixel_area = reinterpret_cast<uint8_t*>(pic) + PICTURE_HEADER_BYTES + palette_bytes;
    const int64_t pixel_bytes = pixel_count * picture_pixel_bytes(stored_type);
    std::memset(pixel_area + pixel_bytes, 0, ALLOCATION_EXTRA - PICTURE_HEADER_BYTES);  // the slack
    // Rows are decoded into a scratch row (padding and the rest of an
    // over-long run fall away there), then stored as indexes or colours.
    std::vector<uint8_t> row(static_cast<size_t>(bytes_per_line) + 64);
    const bool hicolor = stored_type == PIC_HICOLOR;
    for (int y = 0; y < height; ++y) {
        data = decode_row(data, data_end, bytes_per_line, row.data());
        if (!data) {
            game_free(pic);
            return PCX_CORRUPT;
        }
        if (hicolor) {
            uint16_t* out = picture_pixels16(pic) + static_cast<size_t>(y) * width;
            for (int x = 0; x < width; ++x) out[x] = palette[row[x]];
        } else {
            std::memcpy(pixel_area + static_cast<size_t>(y) * width, row.data(), width);
        }
    }

    switch (requested_type) {
        case PIC_PAL8:
            std::memcpy(picture_palette(pic), palette, sizeof palette);
            break;
        case PIC_RGBPAL8:
            std::memcpy(reinterpret_cast<uint8_t*>(pic) + PICTURE_HEADER_BYTES, rgb, PCX_PALETTE_BYTES);
            break;
        case PIC_FADE8:
            build_fade_palettes(rgb, fade_r, fade_g, fade_b, picture_palette(pic));
            break;
        default:  // hi-colour: already converted; PIC_NOPAL8: the palette is dropped
            break;
    }
    *out = pic;
    return static_cast<int32_t>(size);
}
