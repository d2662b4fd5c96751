// decode_pcx with every output type, then the decoded picture drawn.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/picture.h"
#include "gfx/screen.h"

namespace {

uint16_t read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// The plain byte-at-a-time reading of the rows, to hold the decoder to.
bool reference_indexes(const uint8_t* file, size_t size, std::vector<uint8_t>& out) {
    const int width = read16(file + 8) - read16(file + 4) + 1,
              height = read16(file + 10) - read16(file + 6) + 1;
    const int bytes_per_line = read16(file + 66);
    const uint8_t *data = file + 128, *end = file + size - 768;
    out.assign(static_cast<size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < bytes_per_line;) {
            if (data >= end) return false;
            int count = 1, value = *data++;
            if (value >= 0xC0) {
                if (data >= end) return false;
                count = value & 0x3F;
                value = *data++;
            }
            for (int i = 0; i < count && x < bytes_per_line; ++i, ++x)
                if (x < width) out[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(value);
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    std::vector<uint8_t> bytes(data, data + size);
    const int32_t length = static_cast<int32_t>(size);
    const uint8_t fade = size ? data[0] : 0;
    for (int type : {8, 16, 264, 520, 776, 1040, 15, 0}) {
        picture* pic = nullptr;
        const int32_t result = decode_pcx(bytes.data(), length, type, &pic, fade, 0, 255);
        if (result <= 0) {
            if (pic) std::abort();
            continue;
        }
        // The size reported covers the whole record.
        if (picture_record_bytes(pic->width, pic->height, pic->type) + 10 != result) std::abort();
        if (type == PIC_NOPAL8) {
            std::vector<uint8_t> expected;
            if (!reference_indexes(data, size, expected) ||
                std::memcmp(expected.data(), picture_pixels8(pic), expected.size()) != 0)
                std::abort();
        }
        target_frame_buffer();
        put_picture(0, 0, pic);
        put_picture(600, 460, pic);
        tile_picture(-3, 5, 50, 40, -7, 9, pic);
        put_picture_rows(pic, frame_buffer, 1, 20, 20);
        copy_picture_rows(pic, back_buffer, 0, 480);
        game_free(pic);
    }
    int32_t handle_length = length;
    game_free(pcx_to_fog_pending(bytes.data(), &handle_length, 1));
    return 0;
}
