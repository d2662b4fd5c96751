// The game's window look: texture, rings and shadow.
#include "story/game_window.h"
#include "core/handle_ids.h"
#include "gfx/screen.h"
#include "ui/toolkit.h"
#include "window_harness.h"

namespace {

uint16_t pixel(int x, int y) {
    return frame_buffer[y * SCREEN_PITCH + x];
}

using GameWindow = WindowTest;

TEST_F(GameWindow, RaisedRingsAreLightTopLeftAndDarkBottomRightWithAShadowOutsideTheFace) {
    ui_window* window = game_window_open(100, 100, 61, 40, H_WINTXTR, 2, 0, 0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->w, 60);  // rounded down to an even width
    redraw_window();
    // The face is 50 x 30.
    EXPECT_EQ(pixel(100, 100), 0x7FFF);
    EXPECT_EQ(pixel(101, 101), 0x7FFF);
    EXPECT_EQ(pixel(149, 129), 0);
    EXPECT_EQ(pixel(148, 128), 0);
    EXPECT_EQ(pixel(110, 110), colour_of_index(5));  // the texture
    // The shadow halves what lay under it, right and below, offset by 10.
    EXPECT_EQ(pixel(155, 135), blend50(0x7BDE, 0));
    EXPECT_EQ(pixel(155, 112), blend50(0x7BDE, 0));
    EXPECT_EQ(pixel(105, 135), 0x7BDE);
    EXPECT_EQ(pixel(155, 105), 0x7BDE);
}

TEST_F(GameWindow, NegativeRingCountSinksEveryRing) {
    game_window_open(100, 100, 60, 40, H_WINTXTR, -2, 0, 0);
    redraw_window();
    EXPECT_EQ(pixel(100, 100), 0);
    EXPECT_EQ(pixel(101, 101), 0);
    EXPECT_EQ(pixel(149, 129), 0x7FFF);
}

}  // namespace
