#pragma once
// Hand-made font files for the font tests, installed as handles whose decoder
// hands out a copy of the bytes.
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "core/handles.h"

namespace test_fonts {

// A font file under construction: the 256-entry offset table, then glyphs.
struct font_bytes {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(512, 0);

    font_bytes& glyph(uint8_t c, int width, int height, const std::vector<uint8_t>& codes) {
        const size_t offset = bytes.size();
        bytes[c * 2] = static_cast<uint8_t>(offset & 0xFF);
        bytes[c * 2 + 1] = static_cast<uint8_t>(offset >> 8);
        bytes.push_back(static_cast<uint8_t>(width));
        bytes.push_back(static_cast<uint8_t>(height));
        bytes.insert(bytes.end(), codes.begin(), codes.end());
        return *this;
    }
    // A solid glyph: every pixel in slot 1 (code 2).
    font_bytes& block(uint8_t c, int width, int height) {
        return glyph(c, width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, 2));
    }
};

inline std::map<handle_id, std::vector<uint8_t>>& installed() {
    static std::map<handle_id, std::vector<uint8_t>> fonts;
    return fonts;
}

inline void* hand_out(void*, int32_t* length, handle_id id) {
    const std::vector<uint8_t>& bytes = installed()[id];
    *length = static_cast<int32_t>(bytes.size());
    void* copy = game_alloc(bytes.size());
    if (copy) std::memcpy(copy, bytes.data(), bytes.size());
    return copy;
}

// Defines the handle as the given font (an empty name: the decoder builds it).
inline void install(handle_id id, const std::vector<uint8_t>& bytes) {
    installed()[id] = bytes;
    define_handle(id, "", hand_out, PATH_FONTS);
}

}  // namespace test_fonts
