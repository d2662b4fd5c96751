#include "story/body_picture.h"

#include "gfx/screen.h"

namespace {

bool is_pal8(const picture* pic) {
    return pic && pic->type == PIC_PAL8 && pic->width > 0 && pic->height > 0;
}

// Palette index of a type-8 picture at (x, y) of the picture, 0 outside it.
uint8_t index_at(const picture* pic, int x, int y) {
    if (x < 0 || y < 0 || x >= pic->width || y >= pic->height) return 0;
    return picture_pixels8(pic)[static_cast<size_t>(y) * pic->width + x];
}

void lay(std::vector<uint16_t>& pixels, const picture* pic, int left, int top) {
    const uint16_t* palette = picture_palette(pic);
    for (int y = 0; y < pic->height; ++y) {
        const int by = top + y;
        if (by < 0 || by >= BODY_HEIGHT) continue;
        for (int x = 0; x < pic->width; ++x) {
            const int bx = left + x;
            if (bx < 0 || bx >= BODY_WIDTH) continue;
            const uint8_t index = index_at(pic, x, y);
            if (index != 0) pixels[static_cast<size_t>(by) * BODY_WIDTH + bx] = palette[index] & 0x7FFF;
        }
    }
}

uint16_t grey_of(uint16_t colour) {
    const int r = (colour >> 10) & 31, g = (colour >> 5) & 31, b = colour & 31;
    const int mean = (r + g + b) / 3;
    return static_cast<uint16_t>(mean << 10 | mean << 5 | mean);
}

}  // namespace

body_piece place_worn_picture(const item_def& item, int slot, const picture* pic) {
    body_piece piece;
    piece.slot = slot;
    piece.pic = pic;
    if (!pic) return piece;
    const int16_t* pos = slot == 7 ? item.body_pos_7 : item.body_pos;
    piece.x = BODY_CENTRE_X + pos[0] - pic->width / 2;
    piece.y = BODY_BASELINE - pos[1] - pic->height;
    return piece;
}

uint16_t body_picture::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= BODY_WIDTH || y >= BODY_HEIGHT || pixels.empty()) return BODY_TRANSPARENT;
    return pixels[static_cast<size_t>(y) * BODY_WIDTH + x];
}

body_picture build_body_picture(const picture* figure, std::vector<body_piece> pieces, uint16_t flags) {
    body_picture body;
    body.pixels.assign(static_cast<size_t>(BODY_WIDTH) * BODY_HEIGHT, BODY_TRANSPARENT);
    if (is_pal8(figure)) lay(body.pixels, figure, 0, 0);
    for (const body_piece& piece : pieces) {
        if (!is_pal8(piece.pic)) continue;
        lay(body.pixels, piece.pic, piece.x, piece.y);
        body.pieces.push_back(piece);
    }
    const uint16_t silhouette = is_pal8(figure) ? picture_palette(figure)[1] & 0x7FFF : 0;
    for (uint16_t& p : body.pixels) {
        if (p == BODY_TRANSPARENT) continue;
        if (flags & CF_INVISIBLE) p = silhouette;
        if (flags & CF_SUMMONED) p = grey_of(p);
    }
    return body;
}

int worn_slot_at(const body_picture& body, int x, int y) {
    for (auto it = body.pieces.rbegin(); it != body.pieces.rend(); ++it)
        if (index_at(it->pic, x - it->x, y - it->y) != 0) return it->slot;
    return -1;
}

void draw_body_picture(const body_picture& body, int x, int y) {
    for (int row = 0; row < BODY_HEIGHT; ++row) {
        const int sy = y + row;
        if (sy < 0 || sy >= SCREEN_HEIGHT) continue;
        for (int column = 0; column < BODY_WIDTH; ++column) {
            const int sx = x + column;
            if (sx < 0 || sx >= SCREEN_WIDTH) continue;
            const uint16_t p = body.pixels[static_cast<size_t>(row) * BODY_WIDTH + column];
            if (p != BODY_TRANSPARENT) *pixel_address(sx, sy) = p;
        }
    }
}
