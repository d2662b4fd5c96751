// The PCX reader: 8 bits per pixel, one plane, run-length coded rows, the
// 768-byte R, G, B palette at the end of the file.
#include <algorithm>
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

// Decodes the run-length rows into width x height index bytes. Each row holds
// bytes_per_line pixels of which the first width are kept; a run that would
// pass the end of its row is cut there. False when the data ends early.
bool decode_rows(const uint8_t* data, const uint8_t* end, int width, int height, int bytes_per_line,
                 uint8_t* out) {
    for (int row = 0; row < height; ++row) {
        uint8_t* dest = out + static_cast<size_t>(row) * width;
        int x = 0;
        while (x < bytes_per_line) {
            if (data >= end) return false;
            uint8_t value = *data++;
            int count = 1;
            if (value >= 0xC0) {
                if (data >= end) return false;
                count = value & 0x3F;
                value = *data++;
            }
            count = std::min(count, bytes_per_line - x);
            if (x < width) std::memset(dest + x, value, std::min(count, width - x));
            x += count;
        }
    }
    return true;
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

    const bool hicolor = stored_type == PIC_HICOLOR;
    std::vector<uint8_t> indexes;
    if (hicolor) indexes.resize(pixel_count);
    auto* pic = static_cast<picture*>(game_alloc(size));
    std::memset(pic, 0, size);
    write_header(pic, width, height, stored_type);
    uint8_t* index_out =
        hicolor ? indexes.data() : reinterpret_cast<uint8_t*>(pic) + PICTURE_HEADER_BYTES + palette_bytes;
    if (!decode_rows(data, data_end, width, height, bytes_per_line, index_out)) {
        game_free(pic);
        return PCX_CORRUPT;
    }

    uint16_t palette[PALETTE_ENTRIES];
    for (int e = 0; e < PALETTE_ENTRIES; ++e) palette[e] = rgb555(rgb[e * 3], rgb[e * 3 + 1], rgb[e * 3 + 2]);
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
        case PIC_KEYED_REQUEST:
            palette[0] = 0x8000;
            [[fallthrough]];
        case PIC_HICOLOR: {
            uint16_t* pixels = picture_pixels16(pic);
            for (int64_t i = 0; i < pixel_count; ++i) pixels[i] = palette[indexes[i]];
            break;
        }
        default:  // PIC_NOPAL8: the palette is dropped
            break;
    }
    *out = pic;
    return static_cast<int32_t>(size);
}
