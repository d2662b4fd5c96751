#include <gtest/gtest.h>

#include <vector>

#include "gfx/screen.h"
#include "ui/toolkit.h"

TEST(FrameStyle, ColoursAreDoubledWithSaturationAndHalved) {
    frame_style white = make_frame_style(4, 0x7FFF);
    EXPECT_EQ(white.colour_a, 0xFFFF);
    EXPECT_EQ(white.colour_b, 0x3DEF);
    frame_style slate = make_frame_style(4, 0x3DAB);
    EXPECT_EQ(slate.colour_a, 0x7B56);
    EXPECT_EQ(slate.colour_b, 0x1CC5);
}

TEST(FrameStyle, TypesGiveRingsAndSunkenRings) {
    const struct {
        int type;
        uint16_t rings, sunken;
    } table[] = {{2, 2, 0}, {3, 2, 3}, {4, 1, 0}, {5, 1, 1}, {6, 2, 1}, {7, 2, 2}};
    for (const auto& row : table) {
        const frame_style f = make_frame_style(row.type, 0x1234);
        EXPECT_EQ(f.rings, row.rings) << "type " << row.type;
        EXPECT_EQ(f.sunken, row.sunken) << "type " << row.type;
    }
    // Types 0 and 1 keep the sunken bits of the call before; 1 is flat in the base colour.
    make_frame_style(3, 0x1234);
    const frame_style none = make_frame_style(0, 0x1234);
    EXPECT_EQ(none.rings, 0);
    EXPECT_EQ(none.sunken, 3);
    const frame_style flat = make_frame_style(1, 0x1234);
    EXPECT_EQ(flat.rings, 1);
    EXPECT_EQ(flat.colour_a, 0x1234);
    EXPECT_EQ(flat.colour_b, 0x1234);
}

TEST(FrameStyle, InnerSunkenRingSwapsItsColoursOuterStaysRaised) {
    target_frame_buffer();
    clear_buffer(frame_buffer, 0);
    const frame_style f = make_frame_style(6, 0x3DAB);
    draw_colour = 0x1111;
    draw_frame(100, 100, 20, 10, f);
    EXPECT_EQ(draw_colour, 0x1111);
    auto at = [](int x, int y) { return frame_buffer[y * SCREEN_PITCH + x]; };
    // Ring 1 (sunken): top and left dark, bottom and right light.
    EXPECT_EQ(at(105, 99), f.colour_b);
    EXPECT_EQ(at(99, 105), f.colour_b);
    EXPECT_EQ(at(105, 111), f.colour_a);
    EXPECT_EQ(at(121, 105), f.colour_a);
    // Ring 2 (raised).
    EXPECT_EQ(at(105, 98), f.colour_a);
    EXPECT_EQ(at(122, 105), f.colour_b);
    EXPECT_EQ(at(110, 105), 0);  // the inside is left alone
}

TEST(CursorBox, DrawnTwiceRestoresThePixelsAndIsCutAtTheScreenEdge) {
    target_frame_buffer();
    clear_buffer(frame_buffer, 0x0421);
    const std::vector<uint16_t> before(frame_buffer, frame_buffer + 640 * 480);
    xor_cursor_box(10, 20, 1, 12);
    EXPECT_EQ(frame_buffer[25 * 640 + 10], 0x0421 ^ 0x7FFF);
    xor_cursor_box(10, 20, 1, 12);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), frame_buffer));
    // Past the bottom-right corner and above the top-left: nothing is written outside.
    xor_cursor_box(630, 470, 50, 50);
    xor_cursor_box(-5, -5, 3, 3);
    xor_cursor_box(700, 10, 1, 5);
    EXPECT_EQ(frame_buffer[471 * 640 + 0], 0x0421);  // nothing wrapped into the next row
}
