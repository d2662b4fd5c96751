// The icon libraries: whatever their bytes and lengths, an icon is either the
// whole 2993-byte picture inside its library or nothing, and what is handed
// out draws (or is refused) without reading beyond it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gfx/picture.h"
#include "gfx/screen.h"
#include "rules/icons.h"

// Two libraries of a few icons each reach every case; a full library is
// 18 pictures, about 54 KB.
constexpr size_t LONGEST_INPUT = 4 * ICONS_PER_LIBRARY * ICON_PICTURE_BYTES;

// The input: a 16-bit length, the first library of that many bytes (or what
// is present), then the second library of the bytes that remain.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > LONGEST_INPUT) return 0;
    size_t first_length = 0;
    if (size >= 2) first_length = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
    const size_t start = size >= 2 ? 2 : size;
    std::vector<std::vector<uint8_t>> libraries = {
        std::vector<uint8_t>(data + start, data + start + first_length),
        std::vector<uint8_t>(data + start + first_length, data + size)};

    icon_libraries icons;
    for (const auto& library : libraries) icons.add_library(library);
    if (icons.library_count() != 2) __builtin_trap();

    // The names asked for stop at the first missing one.
    const int present = size > 0 ? data[size - 1] % 8 : 0;
    const int counted =
        count_icon_libraries([&](const std::string& name) { return name < icon_library_name(present); });
    if (counted != present) __builtin_trap();

    target_frame_buffer();
    const int last_icon = 3 * ICONS_PER_LIBRARY;
    for (int icon = 0; icon <= last_icon + 1; ++icon) {
        const uint16_t number = icon > last_icon ? 0xFFFF : static_cast<uint16_t>(icon);
        const std::span<const uint8_t> picture = icons.icon_picture(number);
        const size_t library = number / ICONS_PER_LIBRARY;
        const size_t offset = static_cast<size_t>(number % ICONS_PER_LIBRARY) * ICON_PICTURE_BYTES;
        const bool whole =
            library < libraries.size() && libraries[library].size() >= offset + ICON_PICTURE_BYTES;
        if (picture.empty()) {
            if (whole) __builtin_trap();
            continue;
        }
        if (!whole || picture.size() != static_cast<size_t>(ICON_PICTURE_BYTES)) __builtin_trap();
        draw_stored_picture(picture.data(), static_cast<int32_t>(picture.size()), 300, 200);
    }
    return 0;
}
