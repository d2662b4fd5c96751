// The save and load screens' two halves. The list half (saveload) is a dark
// slate board in a bronze frame with ten sunken slots for the saves' names,
// light text on dark; the story half (svitek) is a parchment scroll held
// between two wooden rods, on which the story is written in dark ink. The
// same pictures serve both screens, so the slots and the writing room are a
// little wider than either screen's text needs.
#include <algorithm>
#include <cmath>

#include "screen_art.h"

namespace screen_art {

using namespace forge::paint;

namespace {

constexpr int ROWS = 10, ROW_H = 33, ROWS_Y = 21;

// A turned wooden rod across the scroll from x0 to x1, centred on cy, with
// a knob at each end.
void rod(canvas& c, int x0, int x1, float cy, uint32_t seed) {
    constexpr float R = 7.0f;
    for (int y = int(cy - R) - 1; y <= int(cy + R) + 1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float d = (y + 0.5f - cy) / R;
            if (std::abs(d) > 1.0f) continue;
            // Round: light along the upper third, dark towards the bottom.
            const float light = 0.55f + 0.75f * std::max(0.0f, 1.0f - std::abs(d + 0.35f) * 1.6f) - 0.3f * d;
            const rgb wood = mix(dark_wood(x, y * 3, seed), rgb8(150, 98, 52), 0.55f);
            c.blend(x, y, wood * (1.1f * light), std::clamp(1.0f - (std::abs(d) - 0.9f) * 10.0f, 0.0f, 1.0f));
        }
    for (const float kx : {float(x0) - 3.0f, float(x1) + 3.0f}) {
        disc(c, kx + 0.8f, cy + 1.2f, 9.5f, rgb8(10, 6, 4), 0.6f);  // its shadow
        disc(c, kx, cy, 9.0f, bronze(int(kx), int(cy), seed + 1) * 0.8f);
        disc(c, kx - 1.5f, cy - 1.8f, 5.5f, bronze(int(kx), int(cy), seed + 2) * 1.15f);
        disc(c, kx - 2.6f, cy - 3.2f, 1.6f, rgb8(255, 236, 190), 0.8f);
    }
}

// The background both halves share: dark wood, darker towards the edges,
// with a bronze band round the half.
void wooden_half(canvas& c, uint32_t seed) {
    const rect all{0, 0, c.width(), c.height()};
    fill(c, all, [&](int x, int y) { return dark_wood(x, y, seed); });
    vignette(c, all, 0.35f);
    bronze_frame(c, all, 4, seed + 1);
}

}  // namespace

canvas paint_save_list() {
    canvas c(SAVELOAD_W, SAVE_HALVES_H);
    wooden_half(c, 701);
    // The board under the rows: slots at x 28 to 262, so that the rows of
    // both screens (from x 34 and 36, 222 wide) lie inside them.
    const rect board{20, ROWS_Y - 8, 250 - 4, ROWS * ROW_H + 16};
    bronze_frame(c, board, 4, 702);
    const rect inside = board.inset(4);
    fill(c, inside, [&](int x, int y) { return slate(x, y, 703) * 0.42f; });
    bevel(c, inside, 2, 0.9f, false);
    for (int k = 0; k < ROWS; ++k) {
        const rect slot{28, ROWS_Y + k * ROW_H + 2, 234, ROW_H - 4};
        fill(c, slot, [&](int x, int y) {
            // A faint gleam along the slot so the names have a line to sit on.
            const float along = 0.85f + 0.15f * noise(x * 0.05f, y * 0.3f, 704 + k, 2);
            return slate(x, y, 705) * (0.34f * along);
        });
        bevel(c, slot, 1, 0.8f, false);
    }
    for (const float x : {23.5f, 262.5f})
        for (const float y : {float(board.y) + 3.5f, float(board.y + board.h) - 3.5f}) rivet(c, x, y, 2.2f);
    return c;
}

canvas paint_story_scroll() {
    canvas c(SCROLL_HALF_W, SAVE_HALVES_H);
    wooden_half(c, 711);
    // The sheet: the story is written from x 57 (load) or 61 (save), 241
    // wide, from y 50 for 252 rows.
    const rect sheet{42, 34, 280, 286};
    // Its shadow on the wood, then the parchment, which darkens where it
    // curls round the rods.
    fill(c, {sheet.x + 5, sheet.y + 6, sheet.w, sheet.h}, [&](int x, int y) { return c.get(x, y) * 0.45f; });
    fill(c, sheet, [&](int x, int y) {
        const float top = (y - sheet.y) / 12.0f, bottom = (sheet.y + sheet.h - 1 - y) / 12.0f;
        const float curl = std::clamp(std::min(top, bottom), 0.0f, 1.0f);
        return parchment(x, y, sheet, 712) * (0.62f + 0.38f * std::sqrt(curl));
    });
    rod(c, sheet.x - 8, sheet.x + sheet.w + 7, float(sheet.y) - 1.0f, 714);
    rod(c, sheet.x - 8, sheet.x + sheet.w + 7, float(sheet.y + sheet.h), 716);
    return c;
}

}  // namespace screen_art
