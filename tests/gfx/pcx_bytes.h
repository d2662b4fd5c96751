#pragma once
// Hand-made PCX files for the decoder tests: header, the given run-length
// bytes, palette.
#include <array>
#include <cstdint>
#include <vector>

struct pcx_layout {
    int width = 1, height = 1;
    int bytes_per_line = 0;  // 0: the width
    int xmin = 0, ymin = 0;
    std::vector<uint8_t> data;           // run-length coded rows as they go into the file
    std::array<uint8_t, 768> palette{};  // 256 x R, G, B
};

std::vector<uint8_t> make_pcx(const pcx_layout& layout);
// Codes plain index rows (width x height) with the usual runs.
std::vector<uint8_t> encode_rows(const std::vector<uint8_t>& pixels, int width, int height);
