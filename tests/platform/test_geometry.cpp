#include <gtest/gtest.h>

#include "platform/geometry.h"

TEST(Viewport, LetterboxedFourByThreeInATallWindow) {
    const viewport vp = compute_viewport(1280, 1024, 4, 3);
    EXPECT_EQ(vp.x, 0);
    EXPECT_EQ(vp.y, 32);
    EXPECT_EQ(vp.w, 1280);
    EXPECT_EQ(vp.h, 960);
    int x, y;
    window_to_logical(vp, 640, 512, x, y);
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);
    logical_to_window(vp, 320, 240, x, y);
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 512);
}

TEST(Viewport, PillarboxedInAWideWindow) {
    const viewport vp = compute_viewport(1920, 1080, 4, 3);
    EXPECT_EQ(vp.w, 1440);
    EXPECT_EQ(vp.h, 1080);
    EXPECT_EQ(vp.x, 240);
    EXPECT_EQ(vp.y, 0);
}

TEST(Viewport, ZeroOrNegativeAspectFillsTheWindow) {
    for (auto [a, b] :
         {std::pair{0, 0}, std::pair{4, 0}, std::pair{0, 3}, std::pair{-4, 3}, std::pair{4, -3}}) {
        const viewport vp = compute_viewport(800, 700, a, b);
        EXPECT_EQ(vp.x, 0);
        EXPECT_EQ(vp.y, 0);
        EXPECT_EQ(vp.w, 800);
        EXPECT_EQ(vp.h, 700);
    }
}

TEST(Viewport, WindowPositionsOutsideThePictureClampToTheScreen) {
    const viewport vp = compute_viewport(1280, 1024, 4, 3);
    int x, y;
    window_to_logical(vp, 5000, 10, x, y);  // in the top bar of the letterbox
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 0);
    window_to_logical(vp, -20, 1023, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 479);
}

TEST(Viewport, EmptyWindowNeverDivides) {
    const viewport vp = compute_viewport(0, 0, 4, 3);
    EXPECT_EQ(vp.w, 0);
    int x = -1, y = -1;
    window_to_logical(vp, 100, 100, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    window_to_logical(compute_viewport(1280, 0, 0, 0), 3, 3, x, y);
    EXPECT_EQ(x, 0);
}

TEST(Transitions, ZoomRectanglesAndClampedProgress) {
    const zoom_rects z = make_zoom_transition(17, 90, 31, 550, 301, 2.5f);
    EXPECT_EQ(z.r1, (display_rect{0, 17, 640, 360}));
    EXPECT_EQ(z.r2, z.r1);
    EXPECT_EQ(z.r3, (display_rect{90, 48, 460, 253}));
    EXPECT_FLOAT_EQ(z.t, 1.0f);
}

TEST(Transitions, TurnHalfwayRight) {
    const auto r = make_turn_transition(17, 90, 0.5f);
    ASSERT_TRUE(r);
    // d = 90 + round(460 * 0.5) = 320: the old view slides out to the left.
    EXPECT_EQ((*r)[1].x, 0);
    EXPECT_EQ((*r)[3].x, 320);
    EXPECT_EQ((*r)[3].w, 320);  // clipped at the right edge
    EXPECT_EQ((*r)[0].y, 17);
    EXPECT_EQ((*r)[0].h, 360);
    EXPECT_FALSE(make_turn_transition(17, 90, 0.0f));
}

TEST(Transitions, TurnStaysOnScreenForEveryProgress) {
    for (int i = -20; i <= 20; ++i) {
        if (i == 0) continue;
        const auto r = make_turn_transition(17, 90, i / 20.0f);
        ASSERT_TRUE(r);
        for (int k : {1, 3}) {
            EXPECT_GE((*r)[k].x, 0) << i;
            EXPECT_LE((*r)[k].x + (*r)[k].w, 640) << i;
        }
    }
}

TEST(Transitions, LerpRoundsEachField) {
    EXPECT_EQ(lerp_rect({0, 0, 10, 10}, {10, 20, 0, 6}, 0.3f), (display_rect{3, 6, 7, 9}));
}

TEST(CrtOverlay, ShownOnlyFromSevenHundredTwentyRows) {
    EXPECT_EQ(effective_crt_mode(CRT_AUTO, 719), CRT_NONE);
    EXPECT_EQ(effective_crt_mode(CRT_AUTO, 1080), CRT_SCANLINES);
    EXPECT_EQ(effective_crt_mode(CRT_AUTO, 1440), CRT_SCANLINES_2);
    EXPECT_EQ(effective_crt_mode(CRT_RGBMATRIX_3, 720), CRT_RGBMATRIX_3);
    EXPECT_EQ(effective_crt_mode(CRT_NONE, 2000), CRT_NONE);
}

TEST(CrtOverlay, ScanlinePatterns) {
    const crt_pattern two = make_crt_pattern(CRT_SCANLINES, 1440, 1080);
    EXPECT_EQ(two.width, 32);
    EXPECT_EQ(two.height, 1080 * 2 / 2);
    EXPECT_EQ(two.rgba[0], 0xA0A0A0FFu);
    EXPECT_EQ(two.rgba[32], 0xFFFFFFC0u);
    const crt_pattern three = make_crt_pattern(CRT_SCANLINES_2, 1920, 1440);
    EXPECT_EQ(three.height, 1440 * 3 / 3);
    EXPECT_EQ(three.rgba[2 * 32], 0x808080FFu);
    EXPECT_EQ(three.rgba[1 * 32], 0xFFFFFFE0u);
}

TEST(CrtOverlay, RgbMatrixTriplesAndDarkRows) {
    const crt_pattern m = make_crt_pattern(CRT_RGBMATRIX_2, 1000, 800);
    EXPECT_EQ(m.height, 800 * 3 / 3);
    EXPECT_EQ(m.width, 1000 * 3 / 3);
    const auto at = [&](int row, int col) { return m.rgba[static_cast<size_t>(row) * m.width + col]; };
    EXPECT_EQ(at(0, 0), 0xFFFFFFFFu);  // rows 0-1 are left white
    EXPECT_EQ(at(3, 0), 0xFF8080A0u);
    EXPECT_EQ(at(3, 1), 0x80FF80A0u);
    EXPECT_EQ(at(3, 2), 0x8080FFA0u);
    EXPECT_EQ(at(5, 4), 0x000000A0u);    // 5 mod 3 = 2: dark
    EXPECT_EQ(at(3, 999), 0xFFFFFFFFu);  // beyond the last complete triple
}
