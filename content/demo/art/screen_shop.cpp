// The shop screen's background (shop): a dark wooden counter with a framed
// place for the keeper, a shelf board for the eight wares and a panel for the
// customer's backpack.
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

}  // namespace screen_art
