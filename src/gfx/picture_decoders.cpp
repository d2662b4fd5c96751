// The picture decoders of the handle table.
#include <cstring>

#include "core/decoders.h"
#include "gfx/picture.h"

namespace {

uint8_t fade_colour[3] = {0, 0, 0};

// Runs decode_pcx for a handle; a missing or broken file becomes a missing
// picture (null, length 0) rather than a crash.
void* decode_for_handle(void* data, int32_t* length, int type, uint8_t r = 0, uint8_t g = 0, uint8_t b = 0) {
    picture* pic = nullptr;
    const int32_t size = data && length ? decode_pcx(data, *length, type, &pic, r, g, b) : PCX_NO_DATA;
    if (length) *length = size > 0 ? size : 0;
    return size > 0 ? pic : nullptr;
}

}  // namespace

void set_fade_colour(uint8_t r, uint8_t g, uint8_t b) {
    fade_colour[0] = r;
    fade_colour[1] = g;
    fade_colour[2] = b;
}

void get_fade_colour(uint8_t* r, uint8_t* g, uint8_t* b) {
    if (r) *r = fade_colour[0];
    if (g) *g = fade_colour[1];
    if (b) *b = fade_colour[2];
}

void* pcx_to_pal8(void* data, int32_t* length, handle_id) {
    return decode_for_handle(data, length, PIC_PAL8);
}
void* pcx_to_hicolor(void* data, int32_t* length, handle_id) {
    return decode_for_handle(data, length, PIC_HICOLOR);
}
void* pcx_to_fade(void* data, int32_t* length, handle_id) {
    return decode_for_handle(data, length, PIC_FADE8, fade_colour[0], fade_colour[1], fade_colour[2]);
}
void* pcx_to_nopal(void* data, int32_t* length, handle_id) {
    return decode_for_handle(data, length, PIC_NOPAL8);
}
void* pcx_to_keyed(void* data, int32_t* length, handle_id) {
    return decode_for_handle(data, length, PIC_KEYED_REQUEST);
}

void* pcx_to_fog_pending(void* data, int32_t* length, handle_id) {
    auto* pic = static_cast<picture*>(decode_for_handle(data, length, PIC_HICOLOR));
    if (pic) pic->type |= PIC_FOG_PENDING;
    return pic;
}

// Stored pictures keep their palettes as they are: they are RGB555 already,
// like every palette the player draws with.
void* raw_picture(void* data, int32_t* length, handle_id) {
    if (!data || !length || *length <= 0 || !picture_record_valid(data, static_cast<size_t>(*length))) {
        if (length) *length = 0;
        return nullptr;
    }
    void* copy = game_alloc(static_cast<size_t>(*length));
    std::memcpy(copy, data, static_cast<size_t>(*length));
    return copy;
}

void register_picture_decoders() {
    register_decoder(decoder_id::pcx_to_pal8, pcx_to_pal8);
    register_decoder(decoder_id::pcx_to_hicolor, pcx_to_hicolor);
    register_decoder(decoder_id::pcx_1040, pcx_to_keyed);
    register_decoder(decoder_id::pcx_to_fade, pcx_to_fade);
    register_decoder(decoder_id::pcx_to_nopal, pcx_to_nopal);
}
