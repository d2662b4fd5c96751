#pragma once
// Reading and writing PNG files, so an author can draw pictures in any editor.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace forge {

// 8-bit R, G, B, A per pixel, rows top first.
struct rgba_image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// A picture of palette indexes with its 256-entry 8-bit R, G, B palette.
struct indexed_image {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    std::array<uint8_t, 768> palette{};
};

struct png_picture {
    rgba_image image;
    // Set for palette PNGs: their own indexes and palette, kept as drawn.
    bool has_palette = false;
    indexed_image indexed;
};

// Reads any PNG (grey, RGB, palette, with or without alpha, 1 to 16 bits).
// Raises std::runtime_error with the file name and the reason.
png_picture read_png_file(const std::string& path);
png_picture read_png_bytes(const std::vector<uint8_t>& bytes, const std::string& name = "PNG data");

// Encodes an RGBA image as an RGBA PNG.
std::vector<uint8_t> encode_png(const rgba_image& image);
// Writes it safely (temporary file, fsync, rename); raises on failure.
void write_png_file(const std::string& path, const rgba_image& image);

}  // namespace forge
