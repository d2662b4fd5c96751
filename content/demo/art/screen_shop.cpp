// The shop screen's background (shop) and the demo merchant's picture
// (kupec): a dark wooden counter with a framed place for the keeper, a shelf
// board for the eight wares and a panel for the customer's backpack; the
// merchant is a stout man in a hat under a striped awning, crates behind him.
#include <cmath>

#include "screen_art.h"

namespace screen_art {

using namespace forge::paint;

canvas paint_shop() {
    canvas c(SHOP_W, SHOP_H);
    fill(c, {0, 0, SHOP_W, SHOP_H}, [](int x, int y) { return dark_wood(x, y, 611); });
    vignette(c, {0, 0, SHOP_W, SHOP_H}, 0.3f);
    // The keeper's picture at (5, 17), 260 x 140, framed; his answers below.
    bronze_frame(c, {0, 12, 270, 150}, 5, 612);
    fill(c, {5, 17, 260, 140}, [](int, int) { return rgb8(0, 0, 0); });
    // The shelf board behind the eight cells at (30, 226), with the scroll
    // buttons beside it, and the plate for the shop's name above it.
    bronze_frame(c, {24, 220, 248, 132}, 4, 613);
    fill(c, {28, 224, 240, 124}, [](int x, int y) { return slate(x, y, 614) * 0.55f; });
    fill(c, {60, 205, 150, 18}, [](int x, int y) { return slate(x, y, 615) * 0.4f; });
    bevel(c, {60, 205, 150, 18}, 2, 0.7f, true);
    // The backpack's panel.
    bronze_frame(c, {279, 40, 342, 284}, 4, 616);
    fill(c, {283, 44, 334, 276}, [](int x, int y) { return slate(x, y, 617) * 0.45f; });
    for (float x : {8.0f, 262.0f})
        for (float y : {205.0f, 365.0f}) rivet(c, x, y, 2.4f);
    return c;
}

canvas paint_keeper() {
    canvas c(KEEPER_PICTURE_W, KEEPER_PICTURE_H);
    const int w = KEEPER_PICTURE_W, h = KEEPER_PICTURE_H;
    // A wall of planks in the shade, a striped awning above.
    fill(c, {0, 0, w, h}, [](int x, int y) { return dark_wood(x, y, 621) * 0.8f; });
    fill(c, {0, 0, w, 26}, [](int x, int y) {
        const bool stripe = ((x + y / 3) / 22) % 2 == 0;
        const rgb cloth = stripe ? rgb8(170, 40, 36) : rgb8(214, 196, 150);
        return cloth * (0.85f + 0.15f * noise(x * 0.1f, y * 0.2f, 622, 2));
    });
    for (int x = 0; x < w; x += 22)
        disc(c, x + 11.0f, 26.0f, 11.0f, ((x / 22) % 2) ? rgb8(214, 196, 150) : rgb8(170, 40, 36));
    // Crates and a barrel behind him.
    fill(c, {6, 70, 58, 58}, [](int x, int y) { return bronze(x, y, 623) * 0.6f; });
    bevel(c, {6, 70, 58, 58}, 3, 0.8f, true);
    stroke(c, 6, 70, 64, 128, 3, rgb8(70, 46, 24));
    fill(c, {196, 60, 50, 80}, [](int x, int y) {
        const float hoop = (y - 60) % 26 < 4 ? 0.6f : 1.0f;
        return dark_wood(x, y, 624) * 1.3f * hoop;
    });
    // The merchant: a broad green coat, a round face, a beard and a hat.
    const float cx = 128;
    fill_polygon(c, {cx - 62, 140, cx - 48, 92, cx - 20, 80, cx + 20, 80, cx + 48, 92, cx + 62, 140},
                 rgb8(46, 84, 52));
    fill_polygon(c, {cx - 6, 82, cx + 6, 82, cx + 4, 140, cx - 4, 140},
                 rgb8(200, 170, 90));  // the buttons' strip
    for (int b = 0; b < 4; ++b) disc(c, cx, 94.0f + 12 * b, 2.5f, rgb8(230, 200, 110));
    fill(c, {int(cx) - 60, 118, 120, 8}, [](int x, int y) { return bronze(x, y, 625) * 0.7f; });  // the belt
    disc(c, cx, 58, 25, rgb8(222, 170, 130));                                                     // the face
    fill_polygon(c, {cx - 22, 62, cx + 22, 62, cx + 14, 86, cx, 92, cx - 14, 86},
                 rgb8(120, 72, 40));  // beard
    disc(c, cx - 9, 52, 3, rgb8(30, 20, 16));
    disc(c, cx + 9, 52, 3, rgb8(30, 20, 16));
    disc(c, cx, 60, 4.5f, rgb8(200, 120, 100));                                               // the nose
    stroke(c, cx - 8, 70, cx + 8, 70, 2, rgb8(110, 40, 36));                                  // the smile
    fill_polygon(c, {cx - 40, 40, cx + 40, 40, cx + 24, 30, cx - 24, 30}, rgb8(80, 36, 30));  // the brim
    fill_polygon(c, {cx - 20, 31, cx + 20, 31, cx + 14, 12, cx - 14, 12}, rgb8(96, 44, 36));  // the crown
    vignette(c, {0, 0, w, h}, 0.25f);
    return c;
}

}  // namespace screen_art
