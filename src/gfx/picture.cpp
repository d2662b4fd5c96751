#include "gfx/picture.h"

#include <cstring>

namespace {
uint16_t read_u16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
}  // namespace

int picture_palette_bytes(uint16_t type) {
    switch (type) {
        case PIC_PAL8:
        case PIC_WIDE8:
            return PALETTE_ENTRIES * 2;
        case PIC_FADE8:
            return FADE_PALETTE_COUNT * PALETTE_ENTRIES * 2;
        case PIC_RGBPAL8:
            return PALETTE_ENTRIES * 3;
        case PIC_RAW15:
        case PIC_HICOLOR:
        case PIC_NOPAL8:
            return 0;
        default:
            return -1;
    }
}

int picture_pixel_bytes(uint16_t type) {
    switch (type) {
        case PIC_RAW15:
        case PIC_HICOLOR:
            return 2;
        case PIC_PAL8:
        case PIC_WIDE8:
        case PIC_FADE8:
        case PIC_RGBPAL8:
        case PIC_NOPAL8:
            return 1;
        default:
            return 0;
    }
}

int64_t picture_record_bytes(int width, int height, uint16_t type) {
    const int palette = picture_palette_bytes(type);
    if (palette < 0 || width < 0 || height < 0) return -1;
    return PICTURE_HEADER_BYTES + palette + static_cast<int64_t>(width) * height * picture_pixel_bytes(type);
}

bool picture_record_valid(const void* bytes, size_t length) {
    if (!bytes || length < PICTURE_HEADER_BYTES) return false;
    const auto* p = static_cast<const uint8_t*>(bytes);
    const uint16_t type = read_u16(p + 4) & ~PIC_FOG_PENDING;
    const int64_t size = picture_record_bytes(read_u16(p), read_u16(p + 2), type);
    return size >= 0 && static_cast<uint64_t>(size) <= length;
}

namespace {
template <typename T, typename P>
T* area_at(P* pic, int offset) {
    using byte = std::conditional_t<std::is_const_v<P>, const uint8_t, uint8_t>;
    return reinterpret_cast<T*>(reinterpret_cast<byte*>(pic) + offset);
}
int pixel_offset(const picture* pic) {
    const int palette = picture_palette_bytes(pic->type & ~PIC_FOG_PENDING);
    return PICTURE_HEADER_BYTES + (palette > 0 ? palette : 0);
}
}  // namespace

uint16_t* picture_palette(picture* pic) {
    return area_at<uint16_t>(pic, PICTURE_HEADER_BYTES);
}
const uint16_t* picture_palette(const picture* pic) {
    return area_at<const uint16_t>(pic, PICTURE_HEADER_BYTES);
}
uint8_t* picture_pixels8(picture* pic) {
    return area_at<uint8_t>(pic, pixel_offset(pic));
}
const uint8_t* picture_pixels8(const picture* pic) {
    return area_at<const uint8_t>(pic, pixel_offset(pic));
}
uint16_t* picture_pixels16(picture* pic) {
    return area_at<uint16_t>(pic, pixel_offset(pic));
}
const uint16_t* picture_pixels16(const picture* pic) {
    return area_at<const uint16_t>(pic, pixel_offset(pic));
}
