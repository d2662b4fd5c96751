// The frame of 12-pixel tiles around panels.
#include "story/tile_frame.h"
#include "gfx/screen.h"
#include "window_harness.h"

namespace {

// The tile strip paints tile k in colour index 30 + k.
enum {
    TOP_LEFT = 30,
    TOP = 31,
    TOP_RIGHT = 32,
    LEFT = 33,
    RIGHT = 34,
    BOTTOM_LEFT = 35,
    BOTTOM = 36,
    BOTTOM_RIGHT = 37
};

uint16_t pixel(int x, int y) {
    return frame_buffer[y * SCREEN_PITCH + x];
}

using TileFrame = WindowTest;

TEST_F(TileFrame, ThirteenPixelsWideTakeTwoColumnsOfEdgeTilesBetweenTheCorners) {
    draw_tile_frame(100, 100, 13, 12, false);
    EXPECT_EQ(pixel(88, 88), colour_of_index(TOP_LEFT));
    for (int x : {100, 111, 112, 123}) {
        EXPECT_EQ(pixel(x, 88), colour_of_index(TOP)) << x;
        EXPECT_EQ(pixel(x, 112), colour_of_index(BOTTOM)) << x;
    }
    EXPECT_EQ(pixel(124, 88), colour_of_index(TOP_RIGHT));
    EXPECT_EQ(pixel(135, 99), colour_of_index(TOP_RIGHT));
    EXPECT_EQ(pixel(88, 100), colour_of_index(LEFT));
    EXPECT_EQ(pixel(124, 111), colour_of_index(RIGHT));
    EXPECT_EQ(pixel(88, 112), colour_of_index(BOTTOM_LEFT));
    EXPECT_EQ(pixel(124, 123), colour_of_index(BOTTOM_RIGHT));
    EXPECT_EQ(pixel(136, 88), 0x7BDE);   // nothing beyond the right corner
    EXPECT_EQ(pixel(110, 105), 0x7BDE);  // the inside is left alone without fill
}

TEST_F(TileFrame, FillCoversTheInsideRoundedUpToWholeTiles) {
    draw_tile_frame(100, 100, 13, 5, true);
    EXPECT_EQ(pixel(100, 100), TILE_FRAME_FILL);
    EXPECT_EQ(pixel(123, 111), TILE_FRAME_FILL);
    EXPECT_EQ(pixel(124, 111), colour_of_index(RIGHT));
}

TEST_F(TileFrame, FrameAtTheScreenEdgeDrawsOnlyWhatLiesOnTheScreen) {
    draw_tile_frame(4, 470, 630, 30, true);  // corners and edges partly off every side
    EXPECT_EQ(pixel(0, 470), colour_of_index(LEFT));
    EXPECT_EQ(pixel(0, 465), colour_of_index(TOP_LEFT));
    EXPECT_EQ(pixel(639, 479), TILE_FRAME_FILL);
}

}  // namespace
