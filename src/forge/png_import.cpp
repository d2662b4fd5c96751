#include "forge/png_import.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>

#include "base/file_write.h"

namespace forge {

namespace {

struct byte_reader {
    const std::vector<uint8_t>* bytes;
    size_t position = 0;
};

void read_callback(png_structp png, png_bytep out, png_size_t count) {
    auto* reader = static_cast<byte_reader*>(png_get_io_ptr(png));
    if (reader->bytes->size() - reader->position < count) png_error(png, "the file ends early");
    std::memcpy(out, reader->bytes->data() + reader->position, count);
    reader->position += count;
}

void write_callback(png_structp png, png_bytep data, png_size_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void flush_callback(png_structp) {}

// libpng reports errors through longjmp; the message is kept here and
// turned into an exception once control is back in C++ code.
struct error_state {
    char message[256] = "unknown error";
};

void error_callback(png_structp png, png_const_charp message) {
    auto* state = static_cast<error_state*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

void warning_callback(png_structp, png_const_charp) {}

constexpr uint32_t MAX_SIDE = 16384;

}  // namespace

png_picture read_png_bytes(const std::vector<uint8_t>& bytes, const std::string& name) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
        throw std::runtime_error(name + ": not a PNG file");
    error_state errors;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors, error_callback, warning_callback);
    if (!png) throw std::runtime_error(name + ": out of memory");
    png_infop info = png_create_info_struct(png);
    byte_reader reader{&bytes};
    png_picture result;
    // Everything with a destructor is declared before setjmp: libpng leaves
    // through longjmp.
    std::vector<png_bytep> rows;
    std::vector<uint8_t> raw;
    std::vector<uint8_t> palette_alpha(256, 0xFF);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        throw std::runtime_error(name + ": " + errors.message);
    }
    png_set_read_fn(png, &reader, read_callback);
    png_read_info(png, info);
    const uint32_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || width > MAX_SIDE || height > MAX_SIDE)
        png_error(png, "unsupported picture size");
    const int colour_type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);

    // Palette pictures keep their own indexes too.
    if (colour_type == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int entries = 0;
        png_get_PLTE(png, info, &palette, &entries);
        result.has_palette = true;
        for (int i = 0; i < entries && i < 256; ++i) {
            result.indexed.palette[i * 3] = palette[i].red;
            result.indexed.palette[i * 3 + 1] = palette[i].green;
            result.indexed.palette[i * 3 + 2] = palette[i].blue;
        }
    }
    png_set_strip_16(png);
    png_set_packing(png);
    if (colour_type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (colour_type == PNG_COLOR_TYPE_GRAY || colour_type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (colour_type != PNG_COLOR_TYPE_PALETTE) {
        if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const size_t row_bytes = png_get_rowbytes(png, info);
    raw.resize(row_bytes * height);
    rows.resize(height);
    for (uint32_t y = 0; y < height; ++y) rows[y] = raw.data() + y * row_bytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);

    // Transparency of palette entries, for the RGBA form.
    png_bytep alpha = nullptr;
    int alpha_count = 0;
    if (colour_type == PNG_COLOR_TYPE_PALETTE && png_get_valid(png, info, PNG_INFO_tRNS))
        png_get_tRNS(png, info, &alpha, &alpha_count, nullptr);
    for (int i = 0; i < alpha_count && i < 256; ++i) palette_alpha[i] = alpha[i];
    png_destroy_read_struct(&png, &info, nullptr);

    result.image.width = static_cast<int>(width);
    result.image.height = static_cast<int>(height);
    if (result.has_palette) {
        result.indexed.width = result.image.width;
        result.indexed.height = result.image.height;
        result.indexed.pixels.resize(static_cast<size_t>(width) * height);
        result.image.rgba.resize(static_cast<size_t>(width) * height * 4);
        for (size_t i = 0; i < result.indexed.pixels.size(); ++i) {
            const uint8_t index = raw[i];
            result.indexed.pixels[i] = index;
            std::memcpy(&result.image.rgba[i * 4], &result.indexed.palette[index * 3], 3);
            result.image.rgba[i * 4 + 3] = palette_alpha[index];
        }
    } else {
        result.image.rgba = std::move(raw);
    }
    return result;
}

png_picture read_png_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot open");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error(path + ": read error");
    return read_png_bytes(bytes, path);
}

std::vector<uint8_t> encode_png(const rgba_image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4)
        throw std::runtime_error("PNG: the picture's size does not match its pixels");
    error_state errors;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, error_callback, warning_callback);
    if (!png) throw std::runtime_error("PNG: out of memory");
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> out;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        throw std::runtime_error(std::string("PNG: ") + errors.message);
    }
    png_set_write_fn(png, &out, write_callback, flush_callback);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png,
                      const_cast<png_bytep>(image.rgba.data() + static_cast<size_t>(y) * image.width * 4));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

void write_png_file(const std::string& path, const rgba_image& image) {
    const auto bytes = encode_png(image);
    if (!write_file_atomic(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        throw std::runtime_error(path + ": cannot write");
}

}  // namespace forge
