// Stored picture records: checked, copied and drawn by every picture primitive.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "gfx/picture.h"
#include "gfx/screen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 22)) return 0;
    std::vector<uint8_t> bytes(data, data + size);
    target_frame_buffer();
    // At an odd address too, as archive data may be.
    std::vector<uint8_t> shifted(size + 1);
    std::copy(bytes.begin(), bytes.end(), shifted.begin() + 1);
    const bool drawn = draw_stored_picture(shifted.data() + 1, static_cast<int32_t>(size), 3, 7);
    int32_t length = static_cast<int32_t>(size);
    auto* pic = static_cast<picture*>(raw_picture(bytes.data(), &length, 0));
    if (!pic) {
        if (drawn || length != 0) std::abort();
        return 0;
    }
    if (length != static_cast<int32_t>(size)) std::abort();
    put_picture(630, 470, pic);
    tile_picture(0, 0, 100, 100, 5, -5, pic);
    put_picture_rows(pic, frame_buffer, 2, 640, 480);
    copy_picture_rows(pic, back_buffer, 1, 479);
    compose_picture(pic, pic, 1, 1);
    std::vector<uint16_t> grab(3 + 40 * 40);
    get_picture(620, 460, 40, 40, reinterpret_cast<picture*>(grab.data()));
    game_free(pic);
    return 0;
}
