// The dialog screen's background: a framed picture area, a panel for the
// speaker's text beside it and a recessed panel for the conversation below.
// The conversation's lines are drawn in palette colours 254 (other lines) and
// 255 (the selected choice), so the picture is written with those two entries
// set and no pixel using them. The conversation lies on parchment, because
// the narrator's notes are written in black.
#include <algorithm>
#include <cmath>
#include <limits>

#include "forge/pcx_writer.h"
#include "forge/quantize.h"
#include "screen_art.h"

namespace screen_art {

using namespace forge::paint;

namespace {

// A dark recessed panel with a bronze frame around it, thickness t.
void framed_panel(canvas& c, const rect& r, int t, uint32_t seed, float darkness) {
    bronze_frame(c, r, t, seed);
    const rect inside = r.inset(t);
    fill(c, inside, [&](int x, int y) { return slate(x, y, seed + 1) * darkness; });
    bevel(c, inside, 2, 0.9f, false);
}

// Parchment stretched in a frame. Light enough that black notes and the
// dark inks of the conversation read on it.
void parchment_panel(canvas& c, const rect& r, int t, uint32_t seed) {
    bronze_frame(c, r, t, seed);
    const rect inside = r.inset(t);
    fill(c, inside, [&](int x, int y) { return parchment(x, y, inside, seed); });
    bevel(c, inside, 2, 0.6f, false);
}

}  // namespace

rgb parchment(int x, int y, const rect& sheet, uint32_t seed) {
    const float cloud = noise(x * 0.02f, y * 0.05f, seed + 1, 4);
    const float fibre = noise(x * 0.6f, y * 0.04f, seed + 2, 2);
    const float stain = std::max(0.0f, noise(x * 0.012f, y * 0.03f, seed + 3, 3) - 0.62f) * 1.6f;
    const float ex = std::min(x - sheet.x, sheet.x + sheet.w - 1 - x) / 14.0f,
                ey = std::min(y - sheet.y, sheet.y + sheet.h - 1 - y) / 10.0f;
    const float edge = std::clamp(std::min(ex, ey), 0.0f, 1.0f);
    rgb col = mix(rgb8(206, 184, 140), rgb8(236, 222, 188), cloud);
    col = col * (0.96f + 0.06f * fibre) * (1 - 0.25f * stain);
    return mix(rgb8(150, 112, 70), col, 0.45f + 0.55f * edge);
}

canvas paint_dialog() {
    canvas c(640, 360);
    fill(c, {0, 0, 640, 360}, [](int x, int y) { return dark_wood(x, y, 531); });
    vignette(c, {0, 0, 640, 360}, 0.35f);
    // The picture area (17, 17), 320 x 180 in this picture (the screen's
    // (17, 34)): the frame lies just around it.
    bronze_frame(c, {11, 11, 332, 192}, 6, 532);
    for (float x : {14.0f, 340.0f})
        for (float y : {14.0f, 200.0f}) rivet(c, x, y, 2.4f);
    fill(c, {17, 17, 320, 180}, [](int, int) { return rgb8(0, 0, 0); });
    // The speaker's text from (382, 17) to the right edge.
    framed_panel(c, {372, 9, 259, 232}, 5, 533, 0.55f);
    // The conversation, (17, 253) 606 x 94.
    parchment_panel(c, {9, 245, 622, 110}, 5, 535);
    for (float x : {14.0f, 626.0f})
        for (float y : {250.0f, 350.0f}) rivet(c, x, y, 2.0f);
    return c;
}

void write_dialog_pcx(const canvas& c, const std::string& path) {
    forge::indexed_image image = forge::quantize(to_image(c));
    // Free entries 254 and 255 for the text colours: their pixels take the
    // nearest of the other entries.
    auto nearest = [&](int index) {
        int best = 1;
        long best_d = std::numeric_limits<long>::max();
        for (int i = 1; i < 254; ++i) {
            long d = 0;
            for (int k = 0; k < 3; ++k) {
                const long e = image.palette[3 * i + k] - image.palette[3 * index + k];
                d += e * e;
            }
            if (d < best_d) best_d = d, best = i;
        }
        return static_cast<uint8_t>(best);
    };
    const uint8_t instead[2] = {nearest(254), nearest(255)};
    for (uint8_t& p : image.pixels)
        if (p >= 254) p = instead[p - 254];
    // Inks for the parchment: dark brown lines, the selected choice in red
    // (the narrator's notes are black).
    const uint8_t lines[3] = {78, 46, 22}, selected[3] = {164, 30, 14};
    for (int k = 0; k < 3; ++k) {
        image.palette[3 * 254 + k] = lines[k];
        image.palette[3 * 255 + k] = selected[k];
    }
    forge::write_pcx(path, image);
}

}  // namespace screen_art
