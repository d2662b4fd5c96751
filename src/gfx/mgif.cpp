// The MGIF frame reader and its picture decoders.
#include "gfx/mgif.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

mgif_chunk_handler current_handler = nullptr;

uint32_t read24(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}
uint32_t read32(const uint8_t* p) {
    return read24(p) | uint32_t(p[3]) << 24;
}

// Walks a frame's chunks without handing anything out: every chunk header
// and its data must lie inside the frame, and the chunks must fill it.
bool chunk_list_valid(const uint8_t* chunks, size_t bytes, unsigned count) {
    size_t at = 0;
    for (unsigned i = 0; i < count; ++i) {
        if (bytes - at < MGIF_CHUNK_HEADER_BYTES) return false;
        const size_t length = read24(chunks + at + 1);
        at += MGIF_CHUNK_HEADER_BYTES;
        if (length > bytes - at) return false;
        at += length;
    }
    return at == bytes;
}

void hand_out(mgif_reader* r, int type, const uint8_t* data, size_t length) {
    if (mgif_chunk_handler handler = r->handler ? r->handler : current_handler)
        handler(r, type, data, length);
}

// Sound in pieces the streaming ring can always take.
void hand_out_sound(mgif_reader* r, const uint8_t* data, size_t length) {
    do {
        const size_t piece = std::min(length, MGIF_SOUND_PIECE_CODES);
        hand_out(r, MGIF_SOUND, data, piece);
        data += piece;
        length -= piece;
    } while (length > 0);
}

// Pixel writers shared by the index and the hi-colour decoders.
struct index_pixels {
    uint8_t* target;
    uint8_t* row(int y) const { return target + size_t(y) * MGIF_WIDTH; }
    static void put(uint8_t* at, uint8_t index) { *at = index; }
};
struct colour_pixels {
    uint16_t* target;
    int pitch;
    const uint16_t* palette;
    uint16_t* row(int y) const { return target + ptrdiff_t(y) * pitch; }
    void put(uint16_t* at, uint8_t index) const { *at = palette[index]; }
};

template <typename Pixels>
void full_frame(const Pixels& pixels, const uint8_t* data, size_t length) {
    const size_t usable = std::min(length, MGIF_PICTURE_BYTES);
    for (int y = 0; y < MGIF_HEIGHT; ++y) {
        const size_t start = size_t(y) * MGIF_WIDTH;
        if (start >= usable) break;
        const size_t n = std::min<size_t>(MGIF_WIDTH, usable - start);
        auto* out = pixels.row(y);
        for (size_t x = 0; x < n; ++x) pixels.put(out + x, data[start + x]);
    }
}

template <typename Pixels>
void delta_frame(const Pixels& pixels, const uint8_t* data, size_t length) {
    if (length < 4) return;
    const size_t control_bytes = read32(data);
    if (control_bytes > length - 4) return;
    const uint8_t* control = data + 4;
    const uint8_t* stream = control + control_bytes;
    const size_t stream_bytes = length - 4 - control_bytes;
    size_t c = 0, s = 0;
    int y = 0, x = 0, rows_left = MGIF_HEIGHT;
    while (rows_left > 0 && c < control_bytes) {
        const uint8_t step = control[c++];
        if (step >= 192) {
            const int rows = (step & 63) + 1;
            if (rows > rows_left) return;
            y += rows;
            rows_left -= rows;
            x = 0;
            continue;
        }
        if (c >= control_bytes) return;
        const size_t pairs = control[c++];
        x += 2 * step;
        const size_t count = 2 * pairs;
        if (size_t(x) + count > size_t(MGIF_WIDTH) || count > stream_bytes - s) return;
        auto* out = pixels.row(y) + x;
        for (size_t i = 0; i < count; ++i) pixels.put(out + i, stream[s + i]);
        s += count;
        x += int(count);
    }
}

}  // namespace

void set_chunk_handler(mgif_chunk_handler handler) {
    current_handler = handler;
}
mgif_chunk_handler chunk_handler() {
    return current_handler;
}

mgif_reader* mgif_open(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (bytes == nullptr || size < MGIF_HEADER_BYTES || std::memcmp(bytes, "MGIF", 4) != 0) return nullptr;
    auto* r = new (std::nothrow) mgif_reader;
    if (r == nullptr) return nullptr;
    r->buffer.reset(new (std::nothrow) uint8_t[MGIF_BUFFER_BYTES]);
    if (!r->buffer) {
        delete r;
        return nullptr;
    }
    r->data = bytes;
    r->size = size;
    r->frame_count = read32(bytes + MGIF_FRAME_COUNT_OFFSET);
    for (int i = 0; i < 256; ++i) {
        const uint8_t* p = bytes + MGIF_SOUND_TABLE_OFFSET + 2 * i;
        r->sound_table[i] = int16_t(p[0] | p[1] << 8);
    }
    return r;
}

void mgif_close(mgif_reader* reader) {
    delete reader;
}

bool mgif_next_frame(mgif_reader* r) {
    if (r->error != mgif_error::none || r->frames_read >= r->frame_count) return false;
    if (r->position > r->size || r->size - r->position < MGIF_FRAME_HEADER_BYTES) {
        r->error = mgif_error::truncated_frame;
        return false;
    }
    const uint8_t* header = r->data + r->position;
    const unsigned count = header[0];
    const size_t bytes = read24(header + 1);
    const size_t chunks_at = r->position + MGIF_FRAME_HEADER_BYTES;
    if (bytes > r->size - chunks_at) {
        r->error = mgif_error::truncated_frame;
        return false;
    }
    const uint8_t* chunks = r->data + chunks_at;
    if (!chunk_list_valid(chunks, bytes, count)) {
        r->error = mgif_error::bad_chunk_list;
        return false;
    }

    int picture_type = 0;
    const uint8_t* picture = nullptr;
    size_t picture_length = 0;
    size_t at = 0;
    for (unsigned i = 0; i < count; ++i) {
        const int type = chunks[at];
        const size_t length = read24(chunks + at + 1);
        const uint8_t* data = chunks + at + MGIF_CHUNK_HEADER_BYTES;
        at += MGIF_CHUNK_HEADER_BYTES + length;
        if (type == MGIF_FULL_PICTURE || type == MGIF_DELTA_PICTURE) {
            const long n = lzw_decode(data, length, r->buffer.get(), MGIF_BUFFER_BYTES);
            if (n < 0) {
                r->error = mgif_error::bad_compression;
                return false;
            }
            picture_type = type;
            picture = r->buffer.get();
            picture_length = size_t(n);
        } else if (type == MGIF_RAW_PICTURE) {
            picture_type = type;
            picture = data;
            picture_length = length;
        } else if (type == MGIF_SOUND) {
            hand_out_sound(r, data, length);
        } else {
            hand_out(r, type, data, length);
        }
    }
    if (picture_type != 0) hand_out(r, picture_type, picture, picture_length);

    ++r->frames_read;
    r->position = chunks_at + bytes;
    return r->frames_read < r->frame_count;
}

void decode_full_frame(uint16_t* target, int pitch, const uint8_t* data, size_t length,
                       const uint16_t* palette) {
    full_frame(colour_pixels{target, pitch, palette}, data, length);
}
void decode_full_indexes(uint8_t* target, const uint8_t* data, size_t length) {
    full_frame(index_pixels{target}, data, length);
}
void decode_delta_frame(uint16_t* target, int pitch, const uint8_t* data, size_t length,
                        const uint16_t* palette) {
    delta_frame(colour_pixels{target, pitch, palette}, data, length);
}
void decode_delta_indexes(uint8_t* target, const uint8_t* data, size_t length) {
    delta_frame(index_pixels{target}, data, length);
}

void read_mgif_palette(const uint8_t* data, size_t length, uint16_t* palette) {
    const size_t entries = std::min<size_t>(length / 2, 256);
    for (size_t i = 0; i < entries; ++i) palette[i] = uint16_t(data[2 * i] | data[2 * i + 1] << 8);
}

bool apply_picture_chunk(int type, const uint8_t* data, size_t length, uint16_t* target, int pitch,
                         uint16_t* palette) {
    switch (type) {
        case MGIF_FULL_PICTURE:
        case MGIF_RAW_PICTURE:
            decode_full_frame(target, pitch, data, length, palette);
            return true;
        case MGIF_DELTA_PICTURE:
            decode_delta_frame(target, pitch, data, length, palette);
            return true;
        case MGIF_PALETTE:
            read_mgif_palette(data, length, palette);
            return true;
        default:
            return false;
    }
}

uint16_t mgif_header_fps(const uint8_t* data, size_t size) {
    if (data == nullptr || size < MGIF_HEADER_BYTES || std::memcmp(data, "MGIF", 4) != 0) return 0;
    return uint16_t(data[MGIF_FPS_OFFSET] | data[MGIF_FPS_OFFSET + 1] << 8);
}
