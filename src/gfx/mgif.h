#pragma once
// MGIF animations: 320 x 180 frames of palette indexes with 256 hi-colour
// palette entries, each frame a list of typed chunks (a compressed full
// picture or change to the previous picture, a palette, a piece of sound).
//
// File layout (little-endian):
//   0    4    "MGIF"
//   4    5    not read (the forge keeps its frame rate at 4, see mgif_header_fps)
//   9    4    frame count
//   13   6    not read
//   19   512  sound table: 256 signed 16-bit steps
//   531  64   not read
//   595  ...  frames: a 4-byte header (chunk count, 24-bit byte count of the
//             chunks), then the chunks: a 4-byte header (type, 24-bit data
//             length), then the data.
//
// The reader never trusts a size: a frame or chunk that runs past the file,
// a chunk list that does not fill its frame, or a compressed picture that is
// corrupt or decompresses to more than MGIF_BUFFER_BYTES ends the video with
// an error; nothing is read outside the bytes given to mgif_open.
#include <cstddef>
#include <cstdint>
#include <memory>

constexpr int MGIF_WIDTH = 320, MGIF_HEIGHT = 180;
constexpr size_t MGIF_PICTURE_BYTES = size_t(MGIF_WIDTH) * MGIF_HEIGHT;
constexpr size_t MGIF_FRAME_COUNT_OFFSET = 9;
constexpr size_t MGIF_FPS_OFFSET = 4;  // our own use of an unread field, see below
constexpr size_t MGIF_SOUND_TABLE_OFFSET = 19;
constexpr size_t MGIF_HEADER_BYTES = 595;
constexpr size_t MGIF_FRAME_HEADER_BYTES = 4, MGIF_CHUNK_HEADER_BYTES = 4;
constexpr size_t MGIF_MAX_CHUNK_BYTES = 0xFFFFFF;  // 24-bit lengths
// Every compressed picture must fit in this many bytes once decompressed.
constexpr size_t MGIF_BUFFER_BYTES = 64000;
constexpr int LZW_TABLE_ENTRIES = 16384;
constexpr int LZW_CLEAR_CODE = 256, LZW_END_CODE = 257, LZW_FIRST_FREE = 258, LZW_FIRST_WIDTH = 9;

enum mgif_chunk_type : int {
    MGIF_FULL_PICTURE = 1,   // LZW: 320 x 180 indexes, row by row from the top
    MGIF_DELTA_PICTURE = 2,  // LZW: changes to the previous picture
    MGIF_PALETTE = 3,        // 256 hi-colour words
    MGIF_SOUND = 4,          // one code byte a sample, left and right in turn
    MGIF_RAW_PICTURE = 6,    // 320 x 180 indexes as they stand
};

// The full-screen player's streaming ring: sound chunks are decoded into it
// at this rate; the reader's cursor starts this far into the ring.
constexpr int MGIF_SOUND_RATE = 22050;
constexpr size_t MGIF_RING_BYTES = 231424;
constexpr uint32_t MGIF_RING_START_CURSOR = 65536;
// A sound chunk reaches the handler in pieces of at most this many codes, so
// that every piece fits in the ring's free space (a longer piece would never
// be accepted and would stall the player).
constexpr size_t MGIF_SOUND_PIECE_CODES = 32768;

enum class mgif_error : uint8_t {
    none,
    truncated_frame,  // a frame header or its chunks run past the end of the file
    bad_chunk_list,   // a chunk runs past its frame, or the chunks do not fill it
    bad_compression,  // a compressed picture is corrupt or too large
};

struct mgif_reader;
// Called for every palette, sound and other chunk at once, and after the
// last chunk of a frame for its picture (types 1, 2 and 6; types 1 and 2
// come decompressed). length is always the number of bytes at data.
using mgif_chunk_handler = void (*)(mgif_reader* reader, int type, const uint8_t* data, size_t length);

struct mgif_reader {
    // From the file header.
    uint32_t frame_count = 0;
    int16_t sound_table[256] = {};
    // Frames read so far; the next frame starts at position.
    uint32_t frames_read = 0;
    size_t position = MGIF_HEADER_BYTES;
    // Set when a corrupt frame ended the video.
    mgif_error error = mgif_error::none;
    // Sound state of the full-screen player: the running samples of the
    // left and right channel and the write cursor into the ring (bytes).
    int16_t accumulator[2] = {0, 0};
    uint32_t sound_cursor = MGIF_RING_START_CURSOR;
    // Free for the handler's owner.
    void* user = nullptr;

    const uint8_t* data = nullptr;
    size_t size = 0;
    std::unique_ptr<uint8_t[]> buffer;  // MGIF_BUFFER_BYTES of decompressed picture
    // This reader's own handler; when null, the one set with set_chunk_handler.
    mgif_chunk_handler handler = nullptr;
};

// Opens an animation held in memory (the bytes stay valid until mgif_close).
// Null when the data is not an MGIF file or is shorter than its header.
mgif_reader* mgif_open(const void* data, size_t size);
// Reads one frame and hands its chunks to the handler. True while frames
// remain; false after the last frame, for a file of 0 frames, and when the
// frame is corrupt (reader->error tells which; nothing more is read).
bool mgif_next_frame(mgif_reader* reader);
void mgif_close(mgif_reader* reader);
// The handler for the following mgif_next_frame calls of every reader
// without a handler of its own (only one animation is decoded at a time).
void set_chunk_handler(mgif_chunk_handler handler);
mgif_chunk_handler chunk_handler();

struct mgif_closer {
    void operator()(mgif_reader* r) const { mgif_close(r); }
};
using mgif_reader_ptr = std::unique_ptr<mgif_reader, mgif_closer>;

// Decompresses an LZW code stream (codes least-significant bit first,
// clear 256, end 257, first width 9 growing one code before each power of
// two, output bytes added to a running byte). Returns the number of bytes
// written, or -1 when the stream is corrupt: it runs out before its end
// code, names a code not yet defined, needs more than LZW_TABLE_ENTRIES
// codes between clears, or would write more than capacity bytes.
long lzw_decode(const uint8_t* in, size_t in_size, uint8_t* out, size_t capacity);

// Picture decoders. `length` is the number of bytes at data.
// A full picture: 180 rows of 320 pixels; rows the data does not reach keep
// their pixels.
void decode_full_frame(uint16_t* target, int pitch, const uint8_t* data, size_t length,
                       const uint16_t* palette);
void decode_full_indexes(uint8_t* target, const uint8_t* data, size_t length);
// A delta picture: a 32-bit length L, L bytes of control steps, then the
// pixel stream. Untouched pixels keep their values. A step that would leave
// the row or the picture, or need pixels or control bytes the data does not
// hold, ends the picture.
void decode_delta_frame(uint16_t* target, int pitch, const uint8_t* data, size_t length,
                        const uint16_t* palette);
void decode_delta_indexes(uint8_t* target, const uint8_t* data, size_t length);

// A palette chunk's hi-colour words into palette (256 entries); entries past
// a short chunk keep their values.
void read_mgif_palette(const uint8_t* data, size_t length, uint16_t* palette);
// What every player does with a picture or palette chunk: a picture (types
// 1, 2 and 6, as the handler receives them) is decoded into target with the
// palette, a palette chunk is read into palette. False for any other type,
// which is left to the caller.
bool apply_picture_chunk(int type, const uint8_t* data, size_t length, uint16_t* target, int pitch,
                         uint16_t* palette);

// The frame rate the forge keeps in the unread header field at 4 (frames a
// second; 0 when it is not set). The players pace themselves by the sound.
uint16_t mgif_header_fps(const uint8_t* data, size_t size);
