// Any bytes as an MGIF animation: nothing reads outside the file or writes
// outside the picture, the reader stops at its frame count or with an error,
// and the same bytes as picture data come back through the forge's LZW.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "forge/mgif_writer.h"
#include "gfx/mgif.h"

namespace {

struct watched {
    std::vector<uint8_t> indexes = std::vector<uint8_t>(MGIF_PICTURE_BYTES, 0);
    // The hi-colour picture with a guard row each side.
    std::vector<uint16_t> colours = std::vector<uint16_t>(size_t(MGIF_WIDTH) * (MGIF_HEIGHT + 2), 0xBEEF);
    uint16_t palette[256] = {};
    size_t sound = 0;
};

void handle(mgif_reader* r, int type, const uint8_t* data, size_t length) {
    auto* w = static_cast<watched*>(r->user);
    uint16_t* picture = w->colours.data() + MGIF_WIDTH;
    switch (type) {
        case MGIF_FULL_PICTURE:
        case MGIF_RAW_PICTURE:
            decode_full_indexes(w->indexes.data(), data, length);
            decode_full_frame(picture, MGIF_WIDTH, data, length, w->palette);
            break;
        case MGIF_DELTA_PICTURE:
            decode_delta_indexes(w->indexes.data(), data, length);
            decode_delta_frame(picture, MGIF_WIDTH, data, length, w->palette);
            break;
        case MGIF_PALETTE:
            read_mgif_palette(data, length, w->palette);
            break;
        case MGIF_SOUND:
            if (length > MGIF_SOUND_PIECE_CODES) std::abort();
            for (size_t i = 0; i < length; ++i)
                r->accumulator[i & 1] = int16_t(r->accumulator[i & 1] + r->sound_table[data[i]]);
            w->sound += length;
            break;
        default:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    // A copy of exactly the bytes given, so a read past them is caught.
    std::vector<uint8_t> bytes(data, data + size);
    set_chunk_handler(handle);
    if (mgif_reader_ptr r{mgif_open(bytes.data(), bytes.size())}) {
        watched w;
        r->user = &w;
        uint32_t calls = 0;
        bool more = true;
        while (more) {
            more = mgif_next_frame(r.get());
            ++calls;
            if (r->position > bytes.size() || r->frames_read > r->frame_count) std::abort();
            // Every frame takes at least its header.
            if (calls > bytes.size() / MGIF_FRAME_HEADER_BYTES + 1) std::abort();
        }
        if (r->error == mgif_error::none && r->frames_read != r->frame_count) std::abort();
        if (w.sound > bytes.size()) std::abort();
        for (int x = 0; x < MGIF_WIDTH; ++x)
            if (w.colours[size_t(x)] != 0xBEEF || w.colours[w.colours.size() - 1 - size_t(x)] != 0xBEEF)
                std::abort();
    } else if (size >= MGIF_HEADER_BYTES && std::memcmp(data, "MGIF", 4) == 0) {
        std::abort();
    }

    // The bytes as a code stream, into a small buffer...
    std::vector<uint8_t> out(4096);
    const long n = lzw_decode(bytes.data(), bytes.size(), out.data(), out.size());
    if (n > long(out.size())) std::abort();
    // ...and as data through the forge's encoder and back.
    if (size <= MGIF_BUFFER_BYTES) {
        const std::vector<uint8_t> packed = forge::lzw_encode(bytes.data(), bytes.size());
        std::vector<uint8_t> back(size + 1);
        if (lzw_decode(packed.data(), packed.size(), back.data(), back.size()) != long(size) ||
            (size > 0 && std::memcmp(back.data(), bytes.data(), size) != 0))
            std::abort();
    }
    return 0;
}
