#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx/draw.h"
#include "gfx/screen.h"
#include "support/golden.h"

namespace {

const std::string GOLDEN = VORTHAN_SOURCE_DIR "/tests/gfx/golden/";

struct presented {
    int x, y, w, h;
};
std::vector<presented> presents;
void record_present(int x, int y, int w, int h) {
    presents.push_back({x, y, w, h});
}

class Screen : public ::testing::Test {
  protected:
    void SetUp() override {
        target_frame_buffer();
        clear_buffer(frame_buffer, 0);
        draw_colour = 0;
        presents.clear();
    }
    void TearDown() override {
        set_screen_update(nullptr);
        target_frame_buffer();
    }
    static uint16_t at(int x, int y) { return frame_buffer[y * 640 + x]; }
    static int count(uint16_t colour) {
        int n = 0;
        for (int i = 0; i < 640 * 480; ++i) n += frame_buffer[i] == colour;
        return n;
    }
};

TEST_F(Screen, BuffersExistBeforeAnyDisplayAndTargetSwitches) {
    ASSERT_NE(frame_buffer, nullptr);
    ASSERT_NE(back_buffer, nullptr);
    EXPECT_NE(frame_buffer, back_buffer);
    EXPECT_EQ(screen_address(), frame_buffer);
    EXPECT_EQ(target_back_buffer(), back_buffer);
    EXPECT_EQ(screen_address(), back_buffer);
    std::vector<uint16_t> own(640 * 480, 0);
    set_target(own.data());
    draw_colour = 0x1234;
    fill_rect(0, 0, 639, 479);
    EXPECT_EQ(own[640 * 480 - 1], 0x1234);
    EXPECT_EQ(at(0, 0), 0);
    EXPECT_EQ(pixel_address(3, 2), own.data() + 2 * 640 + 3);
    EXPECT_EQ(target_frame_buffer(), frame_buffer);
}

TEST_F(Screen, CopiesBetweenBuffersAndRows) {
    clear_buffer(back_buffer, 0x0421);
    copy_back_to_front();
    EXPECT_EQ(count(0x0421), 640 * 480);
    clear_buffer(frame_buffer, 0x7C00);
    copy_front_to_back();
    EXPECT_EQ(back_buffer[640 * 480 - 1], 0x7C00);

    clear_buffer(frame_buffer, 0);
    std::vector<uint16_t> rows(640 * 3, 0x03E0);
    copy_rows_to_screen(rows.data(), 478, 3);  // only two rows fit
    EXPECT_EQ(at(0, 477), 0);
    EXPECT_EQ(at(639, 478), 0x03E0);
    EXPECT_EQ(at(639, 479), 0x03E0);
    EXPECT_EQ(count(0x03E0), 640 * 2);
}

TEST_F(Screen, PresentRectCutsToTheVisiblePart) {
    present_rect(10, 10, 5, 5);  // no display installed: nothing happens
    set_screen_update(record_present);
    present_rect(600, 400, 100, 100);
    present_rect(0, 0, 0, 0);
    present_rect(641, 0, 10, 10);
    present_rect(0, 481, 10, 10);
    present_rect(640, 0, 10, 10);  // on the edge: nothing left to show
    present_rect(-1, 0, 10, 10);   // taken as 65535
    present_rect(0, 17, 640, 360);
    ASSERT_EQ(presents.size(), 3u);
    EXPECT_EQ(presents[0].x, 600);
    EXPECT_EQ(presents[0].y, 400);
    EXPECT_EQ(presents[0].w, 40);
    EXPECT_EQ(presents[0].h, 80);
    EXPECT_EQ(presents[1].w, 640);
    EXPECT_EQ(presents[1].h, 480);
    EXPECT_EQ(presents[2].y, 17);
    EXPECT_EQ(presents[2].h, 360);
}

TEST_F(Screen, PresentRectAlwaysShowsFrameBuffer) {
    set_screen_update(record_present);
    target_back_buffer();
    present_rect(1, 2, 3, 4);
    ASSERT_EQ(presents.size(), 1u);
    EXPECT_EQ(presents[0].w, 3);
}

TEST(Colour, BlendAndConversionValues) {
    EXPECT_EQ(blend50(0x7FFF, 0), 0x3DEF);
    EXPECT_EQ(blend50(0x7C00, 0x001F), 0x3C0F);
    EXPECT_EQ(blend50(0x1234, 0x1234), 0x1234 & 0x7BDE);
    EXPECT_EQ(rgb555(255, 0, 0), 0x7C00);
    EXPECT_EQ(rgb555(0, 255, 0), 0x03E0);
    EXPECT_EQ(rgb555(0, 0, 255), 0x001F);
    EXPECT_EQ(rgb555(255, 255, 255), 0x7FFF);
    EXPECT_EQ(rgb555(7, 7, 7), 0);
}

TEST_F(Screen, FillRectTakesCornersInEitherOrderAndClips) {
    draw_colour = 0x7FFF;
    fill_rect(10, 10, 5, 5);
    EXPECT_EQ(count(0x7FFF), 36);
    EXPECT_EQ(at(5, 5), 0x7FFF);
    EXPECT_EQ(at(10, 10), 0x7FFF);
    EXPECT_EQ(at(11, 10), 0);
    clear_buffer(frame_buffer, 0);
    fill_rect(-100, 470, 3, 900);
    EXPECT_EQ(count(0x7FFF), 4 * 10);
    clear_buffer(frame_buffer, 0);
    fill_rect(640, 0, 700, 10);
    fill_rect(0, -5, 10, -1);
    EXPECT_EQ(count(0x7FFF), 0);
}

TEST_F(Screen, LinesClipAndSkipOffscreenRows) {
    draw_colour = 0x001F;
    draw_hline(-5, 3, 700);
    EXPECT_EQ(count(0x001F), 640);
    EXPECT_EQ(at(0, 3), 0x001F);
    EXPECT_EQ(at(639, 3), 0x001F);
    draw_hline(0, 480, 10);
    draw_hline(0, -1, 10);
    draw_vline(640, 0, 10);
    draw_vline(-1, 0, 10);
    EXPECT_EQ(count(0x001F), 640);
    draw_vline(7, 900, -900);
    EXPECT_EQ(count(0x001F), 640 + 479);
    draw_hline(20, 10, 10);  // reversed ends
    EXPECT_EQ(count(0x001F), 640 + 479 + 11);
}

TEST_F(Screen, XorLinesDrawnTwiceVanish) {
    clear_buffer(frame_buffer, 0x1111);
    draw_colour = 0x7FFF;
    xor_hline(10, 20, 100);
    xor_vline(50, 0, 479);
    EXPECT_EQ(at(10, 20), 0x1111 ^ 0x7FFF);
    EXPECT_EQ(at(50, 20), 0x1111);  // crossed twice
    xor_hline(100, 20, 10);
    xor_vline(50, 479, 0);
    EXPECT_EQ(count(0x1111), 640 * 480);
}

TEST_F(Screen, DrawRectLeavesItsColourSet) {
    draw_rect(5, 5, 9, 8, 0x03E0);
    EXPECT_EQ(draw_colour, 0x03E0);
    EXPECT_EQ(count(0x03E0), 5 * 2 + 2 * 2);
    EXPECT_EQ(at(7, 6), 0);
}

// Pixels set in column x, for a line drawn alone.
std::vector<int> column_rows(int x) {
    std::vector<int> rows;
    for (int y = 0; y < 480; ++y)
        if (frame_buffer[y * 640 + x]) rows.push_back(y);
    return rows;
}

TEST_F(Screen, LinesReachBothEndsWithoutGaps) {
    struct {
        int x1, y1, x2, y2;
    } cases[] = {{10, 100, 14, 97}, {14, 97, 10, 100}, {10, 10, 20, 11},     {30, 10, 31, 40},
                 {60, 60, 40, 20},  {100, 5, 50, 6},   {300, 300, 200, 100}, {5, 200, 200, 199}};
    draw_colour = 0x7FFF;
    for (const auto& c : cases) {
        clear_buffer(frame_buffer, 0);
        draw_line(c.x1, c.y1, c.x2, c.y2);
        SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2);
        EXPECT_EQ(at(c.x1, c.y1), 0x7FFF);
        EXPECT_EQ(at(c.x2, c.y2), 0x7FFF);
        const int lo = std::min(c.x1, c.x2), hi = std::max(c.x1, c.x2);
        int previous_low = -1, previous_high = -1;
        for (int x = lo; x <= hi; ++x) {
            const auto rows = column_rows(x);
            ASSERT_FALSE(rows.empty()) << "column " << x;
            // One unbroken run per column that touches the previous column's run.
            EXPECT_EQ(rows.back() - rows.front() + 1, static_cast<int>(rows.size()));
            if (previous_low >= 0) {
                EXPECT_LE(rows.front(), previous_high + 1);
                EXPECT_GE(rows.back(), previous_low - 1);
            }
            previous_low = rows.front();
            previous_high = rows.back();
        }
    }
}

TEST_F(Screen, FlatLineHasOnePixelPerColumn) {
    draw_colour = 0x7FFF;
    draw_line(0, 0, 100, 7);
    EXPECT_EQ(count(0x7FFF), 101);
}

TEST_F(Screen, BlendDarkenAndGreyValues) {
    clear_buffer(frame_buffer, 0x7FFF);
    blend_rect(0, 0, 2, 2, 0);
    EXPECT_EQ(at(1, 1), 0x3DEF);
    EXPECT_EQ(at(2, 1), 0x7FFF);
    darken_rect(10, 10, 1, 1);
    EXPECT_EQ(at(10, 10), 0x5AD6);
    frame_buffer[20 * 640 + 20] = 0x801F;
    grey_rect(20, 20, 1, 1);
    EXPECT_EQ(at(20, 20), 0xA94A);
    blend_hline(630, 50, 100, 0);  // clipped at the right edge
    EXPECT_EQ(at(639, 50), 0x3DEF);
    EXPECT_EQ(at(629, 50), 0x7FFF);
    blend_vline(5, 470, 100, 0);
    EXPECT_EQ(at(5, 479), 0x3DEF);
    blend_rect(-10, -10, 5, 5, 0);  // wholly off screen
    blend_rect(0, 0, 0, 10, 0);
    EXPECT_EQ(at(0, 5), 0x7FFF);
}

TEST_F(Screen, RoundedBoxRadiusIsLimitedByTheBox) {
    rounded_box(10, 10, 6, 20, 50, 0x7C00, 0x001F);  // radius becomes 3
    EXPECT_EQ(at(10, 10), 0);                        // outside the corner circle
    EXPECT_EQ(at(13, 10), 0x7C00);                   // top edge
    EXPECT_EQ(at(12, 20), 0x001F);                   // inside
    EXPECT_EQ(at(10, 20), 0x7C00);                   // left edge
    clear_buffer(frame_buffer, 0);
    rounded_box(0, 0, 4, 3, 0, 0x7C00, 0x001F);  // square corners
    EXPECT_EQ(at(0, 0), 0x7C00);
    EXPECT_EQ(at(1, 1), 0x001F);
    EXPECT_EQ(count(0x7C00), 10);
}

// Every primitive in one picture.
TEST_F(Screen, PrimitivesMatchGoldenPicture) {
    clear_buffer(frame_buffer, rgb555(16, 24, 48));
    draw_colour = rgb555(200, 180, 120);
    fill_rect(20, 20, 120, 90);
    fill_rect(630, 470, 700, 500);
    for (int i = 0; i < 16; ++i) {
        draw_colour = rgb555(255, i * 16, 0);
        draw_hline(150, 20 + i * 2, 300 + i * 10);
        draw_colour = rgb555(0, i * 16, 255);
        draw_vline(320 + i * 3, 20, 60 + i * 4);
    }
    draw_colour = rgb555(255, 255, 255);
    const int cx = 160, cy = 300;
    for (int a = 0; a < 360; a += 15) {
        const double r = a * 3.14159265358979 / 180;
        draw_line(cx, cy, cx + static_cast<int>(std::lround(120 * std::cos(r))),
                  cy + static_cast<int>(std::lround(120 * std::sin(r))));
    }
    draw_line(-50, 470, 700, 400);  // crosses both side edges
    draw_rect(400, 20, 620, 140, rgb555(0, 255, 0));
    draw_colour = rgb555(255, 0, 255);
    xor_hline(380, 80, 640);
    xor_vline(500, 0, 200);
    rounded_box(330, 180, 120, 80, 16, rgb555(255, 220, 140), rgb555(90, 40, 20));
    rounded_box(470, 180, 60, 60, 30, rgb555(255, 255, 255), rgb555(40, 90, 40));
    rounded_box(550, 180, 70, 30, 0, rgb555(255, 255, 255), rgb555(40, 40, 90));
    for (int i = 0; i < 8; ++i) {
        draw_colour = rgb555(i * 32, 255 - i * 32, 128);
        fill_rect(320 + i * 40, 300, 359 + i * 40, 460);
    }
    blend_rect(320, 300, 320, 40, 0);
    darken_rect(320, 350, 320, 40);
    grey_rect(320, 400, 320, 40);
    blend_hline(300, 470, 400, rgb555(255, 255, 255));
    EXPECT_TRUE(golden::matches(GOLDEN + "primitives.png", frame_buffer));
}

}  // namespace
