// .COL colour files: whatever the bytes, each whole 776-byte record becomes
// one variant of ten palettes, a partial record none, and a palette entry
// equal to the fade colour stays that colour in every fog palette.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/handles.h"
#include "gfx/picture.h"
#include "monsters/monster_anim.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!data || size > 65536) return 0;
    std::vector<uint8_t> bytes(data, data + size);
    int32_t length = static_cast<int32_t>(size);
    const uint8_t fade[3] = {size > 0 ? data[0] : uint8_t(0), size > 1 ? data[1] : uint8_t(0),
                             size > 2 ? data[2] : uint8_t(0)};
    set_fade_colour(fade[0], fade[1], fade[2]);
    void* out = colour_file_to_variants(bytes.data(), &length, 0);
    const size_t count = size / MONSTER_COLOUR_RECORD_SIZE;
    if ((out == nullptr) != (count == 0)) __builtin_trap();
    if (static_cast<size_t>(length) != count * MONSTER_COLOUR_VARIANT_SIZE) __builtin_trap();
    for (size_t v = 0; v < count; ++v) {
        const uint8_t* record = data + v * MONSTER_COLOUR_RECORD_SIZE;
        if (std::memcmp(record, fade, 3) != 0) continue;  // entry 0 is the fade colour itself
        uint16_t fog[5];
        for (int p = 0; p < 5; ++p)
            std::memcpy(&fog[p],
                        static_cast<const uint8_t*>(out) + v * MONSTER_COLOUR_VARIANT_SIZE +
                            PICTURE_HEADER_BYTES + static_cast<size_t>(p) * PALETTE_ENTRIES * 2,
                        2);
        for (int p = 1; p < 5; ++p)
            if (fog[p] != fog[0]) __builtin_trap();
    }
    game_free(out);
    set_fade_colour(0, 0, 0);
    return 0;
}
