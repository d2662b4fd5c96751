#pragma once
// The frame of 12 x 12 tiles that panels draw around a rectangle, straight
// onto the drawing target.

constexpr int TILE_FRAME_SIZE = 12;
// Colour of the inside when the frame is filled.
constexpr unsigned TILE_FRAME_FILL = 0x7FFA;

// The tiles lie outside (x, y, w, h): corners one tile out, as many edge tiles
// as it takes to cover w and h (rounded up to whole tiles). With fill the
// inside, rounded up the same way, is filled with TILE_FRAME_FILL.
void draw_tile_frame(int x, int y, int w, int h, bool fill);

// The number of edge tiles along a side of length n.
inline int tile_frame_count(int n) {
    return (n + TILE_FRAME_SIZE - 1) / TILE_FRAME_SIZE;
}
