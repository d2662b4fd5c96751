// The dialog screen's background: a framed picture area, a panel for the
// speaker's text beside it and a recessed panel for the conversation below.
// The conversation's lines are drawn in palette colours 254 (other lines) and
// 255 (the selected choice), so the picture is written with those two entries
// set and no pixel using them.
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

}  // namespace

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
    framed_panel(c, {9, 245, 622, 110}, 5, 535, 0.5f);
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
    const uint8_t lines[3] = {222, 210, 178}, selected[3] = {255, 204, 96};
    for (int k = 0; k < 3; ++k) {
        image.palette[3 * 254 + k] = lines[k];
        image.palette[3 * 255 + k] = selected[k];
    }
    forge::write_pcx(path, image);
}

}  // namespace screen_art
