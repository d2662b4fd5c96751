#pragma once
// Pictures stored in the player's in-memory form (the record the player
// takes as it is: "LOADING.HI" and the dialog pictures): width, height and
// type as little-endian 16-bit words, the palette area of the type, pixels.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "forge/png_import.h"

namespace forge {

// 8-bit types: 8 and 512 (256 RGB555 words), 264 (the ten fog and darkness
// palettes built with the fade colour), 520 (no palette), 776 (the 8-bit
// R, G, B palette).
std::vector<uint8_t> build_stored_indexed(const indexed_image& image, uint16_t type,
                                          std::array<uint8_t, 3> fade = {0, 0, 0});
// 16-bit types: 15 and 16. For type 16 pixels whose alpha is below 128 become
// the transparent 0x8000.
std::vector<uint8_t> build_stored_hicolor(const rgba_image& image, uint16_t type);
// Any readable type from a PNG: palette PNGs keep their indexes for the 8-bit
// types, other PNGs are quantised.
std::vector<uint8_t> build_stored_picture(const png_picture& png, uint16_t type,
                                          std::array<uint8_t, 3> fade = {0, 0, 0});
bool stored_type_supported(int type);

void write_stored_picture(const std::string& path, const std::vector<uint8_t>& record);

}  // namespace forge
