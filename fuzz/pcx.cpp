// decode_pcx with every output type, then the decoded picture drawn.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gfx/picture.h"
#include "gfx/screen.h"

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
