#include "forge/stored_picture_writer.h"

#include <stdexcept>
#include <string_view>

#include "base/file_write.h"
#include "forge/quantize.h"
#include "gfx/picture.h"
#include "gfx/screen.h"

namespace forge {

namespace {

void put16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

std::vector<uint8_t> header(int width, int height, uint16_t type) {
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF)
        throw std::runtime_error("stored picture: unsupported size");
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(picture_record_bytes(width, height, type)));
    put16(out, static_cast<uint16_t>(width));
    put16(out, static_cast<uint16_t>(height));
    put16(out, type);
    return out;
}

}  // namespace

bool stored_type_supported(int type) {
    switch (type) {
        case PIC_PAL8:
        case PIC_RAW15:
        case PIC_HICOLOR:
        case PIC_FADE8:
        case PIC_WIDE8:
        case PIC_NOPAL8:
        case PIC_RGBPAL8:
            return true;
        default:
            return false;
    }
}

std::vector<uint8_t> build_stored_indexed(const indexed_image& image, uint16_t type,
                                          std::array<uint8_t, 3> fade) {
    if (image.pixels.size() != static_cast<size_t>(image.width) * image.height)
        throw std::runtime_error("stored picture: the picture's size does not match its pixels");
    std::vector<uint8_t> out = header(image.width, image.height, type);
    const auto& rgb = image.palette;
    switch (type) {
        case PIC_PAL8:
        case PIC_WIDE8:
            for (int i = 0; i < 256; ++i) put16(out, rgb555(rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]));
            break;
        case PIC_FADE8: {
            std::vector<uint16_t> palettes(FADE_PALETTE_COUNT * PALETTE_ENTRIES);
            build_fade_palettes(rgb.data(), fade[0], fade[1], fade[2], palettes.data());
            for (uint16_t c : palettes) put16(out, c);
            break;
        }
        case PIC_RGBPAL8:
            out.insert(out.end(), rgb.begin(), rgb.end());
            break;
        case PIC_NOPAL8:
            break;
        default:
            throw std::runtime_error("stored picture: type " + std::to_string(type) + " has no 8-bit pixels");
    }
    out.insert(out.end(), image.pixels.begin(), image.pixels.end());
    return out;
}

std::vector<uint8_t> build_stored_hicolor(const rgba_image& image, uint16_t type) {
    if (type != PIC_RAW15 && type != PIC_HICOLOR)
        throw std::runtime_error("stored picture: type " + std::to_string(type) + " has no 16-bit pixels");
    const size_t count = static_cast<size_t>(image.width) * image.height;
    if (image.rgba.size() != count * 4)
        throw std::runtime_error("stored picture: the picture's size does not match its pixels");
    std::vector<uint8_t> out = header(image.width, image.height, type);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = &image.rgba[i * 4];
        const bool transparent = type == PIC_HICOLOR && p[3] < 128;
        put16(out, transparent ? uint16_t{0x8000} : rgb555(p[0], p[1], p[2]));
    }
    return out;
}

std::vector<uint8_t> build_stored_picture(const png_picture& png, uint16_t type,
                                          std::array<uint8_t, 3> fade) {
    if (!stored_type_supported(type))
        throw std::runtime_error("stored picture: unknown type " + std::to_string(type));
    if (type == PIC_RAW15 || type == PIC_HICOLOR) return build_stored_hicolor(png.image, type);
    return build_stored_indexed(png.has_palette ? png.indexed : quantize(png.image), type, fade);
}

void write_stored_picture(const std::string& path, const std::vector<uint8_t>& record) {
    if (!write_file_atomic(path,
                           std::string_view(reinterpret_cast<const char*>(record.data()), record.size())))
        throw std::runtime_error(path + ": cannot write");
}

}  // namespace forge
