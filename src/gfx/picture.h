#pragma once
// In-memory pictures: a three-word header (width, height, type), a palette
// area that depends on the type, then width x height pixels row by row.
//
//   type  palette area                       pixels
//   8     256 RGB555 words                   1 byte, index 0 transparent
//   15    none                               1 word, RGB555 (screen grabs)
//   16    none                               1 word, RGB555; 0x8000 transparent where honoured
//   264   10 palettes of 256 words (fog 0-4, darkness 5-9)   1 byte, index 0 transparent
//   512   256 words                          1 byte, index 0 transparent
//   520   none (the caller has the palette)  1 byte, index 0 transparent
//   776   256 x 8-bit R, G, B                1 byte, index 0 transparent
//
// Picture records must be 2-byte aligned (decoders and game_alloc give that).
#include <cstddef>
#include <cstdint>

#include "core/handles.h"

enum picture_type : uint16_t {
    PIC_PAL8 = 8,
    PIC_RAW15 = 15,
    PIC_HICOLOR = 16,
    PIC_FADE8 = 264,
    PIC_WIDE8 = 512,
    PIC_NOPAL8 = 520,
    PIC_RGBPAL8 = 776,
};
// Requested from decode_pcx only: a hi-colour picture (type 16) whose palette
// index 0 becomes the transparent 0x8000.
constexpr int PIC_KEYED_REQUEST = 1040;
// High byte of the type word: the fog gradient is still to be applied. While
// it is set the type matches no layout and put_picture draws nothing.
constexpr uint16_t PIC_FOG_PENDING = 0x8000;

constexpr int PICTURE_HEADER_BYTES = 6;
constexpr int FADE_PALETTE_COUNT = 10;
constexpr int PALETTE_ENTRIES = 256;

struct picture {
    uint16_t width;
    uint16_t height;
    uint16_t type;
    // palette area and pixels follow
};

// Bytes of the palette area for a type (0 for 15, 16 and 520; -1 for a type
// that is not a picture layout).
int picture_palette_bytes(uint16_t type);
// Bytes per pixel: 2 for 15 and 16, 1 for the 8-bit types, 0 for unknown types.
int picture_pixel_bytes(uint16_t type);
// Header + palette + pixels, or -1 for an unknown type.
int64_t picture_record_bytes(int width, int height, uint16_t type);
// True when bytes hold a whole picture record of a known type (the fog-pending
// mark is allowed) that fits in length bytes.
bool picture_record_valid(const void* bytes, size_t length);

uint16_t* picture_palette(picture* pic);
const uint16_t* picture_palette(const picture* pic);
uint8_t* picture_pixels8(picture* pic);
const uint8_t* picture_pixels8(const picture* pic);
uint16_t* picture_pixels16(picture* pic);
const uint16_t* picture_pixels16(const picture* pic);

// Decodes an 8-bit, one-plane run-length PCX file into a newly allocated
// (game_alloc) picture of the requested type: 8, 16, 264, 520, 776 or 1040
// (stored as 16 with palette index 0 made 0x8000). The fade colour is used
// only for 264. Returns the allocated size, or
//   -1  no bytes were given,
//   -2  the requested type is not one of the above,
//   -3  the file is malformed (too short, impossible size, pixel data ending
//       before the last row): a corrupt picture is a missing picture.
int32_t decode_pcx(const void* bytes, int32_t length, int requested_type, picture** out, uint8_t fade_r = 0,
                   uint8_t fade_g = 0, uint8_t fade_b = 0);
constexpr int32_t PCX_NO_DATA = -1, PCX_BAD_TYPE = -2, PCX_CORRUPT = -3;

// Builds the ten palettes of a type-264 picture from a 256-entry 8-bit R, G, B
// palette: 0-4 fade towards the fade colour, 5-9 fade towards black.
void build_fade_palettes(const uint8_t* rgb_palette, uint8_t fade_r, uint8_t fade_g, uint8_t fade_b,
                         uint16_t* out /* 10 x 256 words */);

// The fade colour that pcx_to_fade decodes with: the map loader sets the colour
// of the map whose textures are about to be decoded.
void set_fade_colour(uint8_t r, uint8_t g, uint8_t b);
void get_fade_colour(uint8_t* r, uint8_t* g, uint8_t* b);

// Decoders of the handle table. Each returns a new game_alloc block (the
// input stays the loader's to free) and writes the new length, or returns
// null with length 0 when the input is missing or not a valid picture.
void* pcx_to_pal8(void* data, int32_t* length, handle_id id);
void* pcx_to_hicolor(void* data, int32_t* length, handle_id id);
void* pcx_to_fade(void* data, int32_t* length, handle_id id);
void* pcx_to_nopal(void* data, int32_t* length, handle_id id);
void* pcx_to_keyed(void* data, int32_t* length, handle_id id);
void* pcx_to_fog_pending(void* data, int32_t* length, handle_id id);
// A file that already holds a picture record: copied as it is after checking
// that the record is whole.
void* raw_picture(void* data, int32_t* length, handle_id id);
// Registers the decoders above in core/decoders.h.
void register_picture_decoders();

// Draws a file that holds a stored picture record (such as the loading
// picture) at (x, y) with put_picture. The bytes may lie anywhere (archive
// memory included). False, drawing nothing, when they are not a whole record.
bool draw_stored_picture(const void* bytes, int32_t length, int x, int y);

// Drawing pictures. x and y are taken as unsigned 16-bit numbers: nothing is
// drawn when x > 640 or y > 480, and the picture is cut at the right and
// bottom edges (there is no clipping at the left or top). Types 15 and 16 are
// copied as they are (0x8000 included); 8, 264 (first palette) and 512 skip
// index 0; other types draw nothing.
void put_picture(int x, int y, const picture* pic);
inline void draw_picture(int x, int y, const picture* pic) {
    put_picture(x, y, pic);
}
// The same into an explicit buffer of the given pitch whose size is at least
// the picture's (the picture is cut at the buffer's 640 x 480 limits only when
// pitch is the screen pitch).
void put_picture_to(int x, int y, const picture* pic, uint16_t* buffer, int pitch);
// Copies a rectangle of the drawing target into out as a type-15 picture (the
// header holds the clipped size). out has room for 3 words + w x h pixels.
void get_picture(int x, int y, int width, int height, picture* out);
// Draws height rows of a type-8 picture from row first_row on, width columns,
// index 0 transparent, into destination with the screen pitch. Cut to the
// picture's own size.
void put_picture_rows(const picture* pic, uint16_t* destination, int first_row, int width, int height);
// Fills the rectangle with copies of a type-8 picture laid edge to edge,
// starting at picture pixel (offset_x, offset_y); index 0 transparent.
void tile_picture(int x, int y, int width, int height, int offset_x, int offset_y, const picture* pic);
// Copies count whole rows of a 16-bit picture from row first_row on into
// destination (pitch 640).
void copy_picture_rows(const picture* pic, uint16_t* destination, int first_row, int count);
// Copies every non-zero index of a type-264 picture into another at (x, y),
// cut to the destination.
void compose_picture(const picture* source, picture* destination, int x, int y);
