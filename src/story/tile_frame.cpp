#include "story/tile_frame.h"

#include "core/handle_ids.h"
#include "gfx/draw.h"
#include "gfx/screen.h"
#include "story/story_pictures.h"

namespace {

// The tile picture is a strip of eight tiles one under the other.
enum tile : int {
    TOP_LEFT = 0,
    TOP = 1,
    TOP_RIGHT = 2,
    LEFT = 3,
    RIGHT = 4,
    BOTTOM_LEFT = 5,
    BOTTOM = 6,
    BOTTOM_RIGHT = 7,
    TILE_COUNT = 8
};

void put_tile(const picture* strip, int which, int x, int y) {
    // A tile partly off the screen draws the part inside it.
    if (x <= -TILE_FRAME_SIZE || y <= -TILE_FRAME_SIZE || x >= SCREEN_WIDTH || y >= SCREEN_HEIGHT) return;
    const uint16_t* palette = picture_palette(strip);
    const uint8_t* pixels = picture_pixels8(strip);
    for (int row = 0; row < TILE_FRAME_SIZE; ++row) {
        const int sy = y + row;
        if (sy < 0 || sy >= SCREEN_HEIGHT) continue;
        const uint8_t* source = pixels + static_cast<ptrdiff_t>(which * TILE_FRAME_SIZE + row) * strip->width;
        for (int column = 0; column < TILE_FRAME_SIZE; ++column) {
            const int sx = x + column;
            if (sx < 0 || sx >= SCREEN_WIDTH || source[column] == 0) continue;
            *pixel_address(sx, sy) = palette[source[column]];
        }
    }
}

}  // namespace

void draw_tile_frame(int x, int y, int w, int h, bool fill) {
    const int columns = tile_frame_count(w), rows = tile_frame_count(h);
    const picture* strip = window_picture(H_RAMECEK);
    if (strip && strip->type == PIC_PAL8 && strip->width >= TILE_FRAME_SIZE &&
        strip->height >= TILE_COUNT * TILE_FRAME_SIZE) {
        const int right = x + TILE_FRAME_SIZE * columns, bottom = y + TILE_FRAME_SIZE * rows;
        put_tile(strip, TOP_LEFT, x - TILE_FRAME_SIZE, y - TILE_FRAME_SIZE);
        put_tile(strip, TOP_RIGHT, right, y - TILE_FRAME_SIZE);
        put_tile(strip, BOTTOM_LEFT, x - TILE_FRAME_SIZE, bottom);
        put_tile(strip, BOTTOM_RIGHT, right, bottom);
        for (int i = 0; i < columns; ++i) {
            put_tile(strip, TOP, x + TILE_FRAME_SIZE * i, y - TILE_FRAME_SIZE);
            put_tile(strip, BOTTOM, x + TILE_FRAME_SIZE * i, bottom);
        }
        for (int j = 0; j < rows; ++j) {
            put_tile(strip, LEFT, x - TILE_FRAME_SIZE, y + TILE_FRAME_SIZE * j);
            put_tile(strip, RIGHT, right, y + TILE_FRAME_SIZE * j);
        }
    }
    if (fill && columns > 0 && rows > 0) {
        draw_colour = TILE_FRAME_FILL;
        fill_rect(x, y, x + TILE_FRAME_SIZE * columns - 1, y + TILE_FRAME_SIZE * rows - 1);
    }
}
