#pragma once
// Writing 8-bit PCX pictures with their palette.
#include <string>
#include <vector>

#include "forge/png_import.h"

namespace forge {

// The PCX file: 128-byte header (version 5, run-length coding, 8 bits per
// pixel, one plane, rows padded to an even length), run-length coded rows
// that never run past the end of a row, then the byte 12 and the 768-byte
// R, G, B palette. Raises std::runtime_error for a size the format cannot hold.
std::vector<uint8_t> encode_pcx(const indexed_image& image);
void write_pcx(const std::string& path, const indexed_image& image);

}  // namespace forge
