// The options window's pictures: its background with the slider tracks,
// switch sockets, label plaques and the close button at rest; the switch's
// seven frames, the slider knob and the close button pressed.
#include <algorithm>
#include <cmath>
#include <utility>

#include "screen_art.h"

namespace screen_art {

using namespace forge::paint;

namespace {

const rgb INK = rgb8(14, 10, 8);
const rgb AMBER = rgb8(255, 176, 60);

// A recess of dark slate whose edges fall away from the light.
void sunken_plaque(canvas& c, const rect& r, uint32_t seed, float darkness = 0.55f) {
    fill(c, r, [&](int x, int y) { return slate(x, y, seed) * darkness; });
    bevel(c, r, 2, 0.9f, false);
}

// A slider's groove, 30 x 200 at (x, y): a sunken channel with a slot down
// its middle and notches on both sides every tenth of the travel.
void slider_track(canvas& c, int x, int y, uint32_t seed) {
    const rect groove{x, y, 30, 200};
    fill(c, groove, [&](int px, int py) { return slate(px, py, seed) * 0.5f; });
    bevel(c, groove, 3, 0.9f, false);
    const rect slot{x + 13, y + 6, 4, 188};
    fill(c, slot, [&](int px, int py) { return INK * (0.8f + 0.4f * grain(px, py, seed + 1)); });
    bevel(c, slot, 1, 0.8f, false);
    for (int i = 0; i <= 10; ++i) {
        const int ny = y + 8 + i * 184 / 10;
        const int len = i % 5 == 0 ? 6 : 3;  // longer at the ends and the middle
        fill(c, {x + 11 - len, ny, len, 1}, [&](int px, int py) { return bronze(px, py, seed + 2) * 1.1f; });
        fill(c, {x + 19, ny, len, 1}, [&](int px, int py) { return bronze(px, py, seed + 2) * 1.1f; });
    }
}

// The place of one switch: a socket under the 20 x 20 switch and a plaque
// under its label reaching width - 20 pixels further right.
void switch_row(canvas& c, int x, int y, int width, uint32_t seed) {
    sunken_plaque(c, {x - 2, y - 2, 24, 24}, seed, 0.35f);
    sunken_plaque(c, {x + 22, y - 1, width - 22, 22}, seed + 1, 0.5f);
}

// A panel of the window: slate framed in a bevelled bronze band with rivets
// at the corners.
void panel(canvas& c, const rect& r, uint32_t seed) {
    fill(c, r, [&](int x, int y) { return slate(x, y, seed); });
    vignette(c, r, 0.3f);
    bronze_frame(c, r, 5, seed + 1);
    for (int px : {r.x + 2, r.x + r.w - 3})
        for (int py : {r.y + 2, r.y + r.h - 3}) rivet(c, px + 0.5f, py + 0.5f, 1.6f);
}

// The close button's face, 81 x 21 at (x, y), dark enough for its light
// caption; pressed, it sits deeper and darker.
void close_button(canvas& c, int x, int y, bool pressed) {
    const rect r{x, y, 81, 21};
    fill(c, r, [&](int px, int py) {
        const rgb face = mix(bronze(px, py, 611), slate(px, py, 612), 0.25f);
        // Lit from above: the face darkens towards its foot, more so pressed.
        const float fall = 1.0f - (py - y) / 21.0f * (pressed ? 0.15f : 0.3f);
        return face * (pressed ? 0.55f : 0.75f) * fall;
    });
    // A bright bronze rim round the darker face; pressed, the face sinks
    // inside it.
    bronze_frame(c, r, 3, 613);
    bevel(c, r.inset(3), 2, 0.8f, !pressed);
    for (int px = x; px < x + 81; ++px) c.set(px, y, c.get(px, y) * 0.4f), c.set(px, y + 20, INK);
    for (int py = y; py < y + 21; ++py) c.set(x, py, c.get(x, py) * 0.4f), c.set(x + 80, py, INK);
}

}  // namespace

canvas paint_options_desk() {
    canvas c(OPTIONS_W, OPTIONS_H);
    fill(c, {0, 0, OPTIONS_W, OPTIONS_H}, [](int x, int y) { return dark_wood(x, y, 601); });
    vignette(c, {0, 0, OPTIONS_W, OPTIONS_H}, 0.35f);
    bronze_frame(c, {0, 0, OPTIONS_W, OPTIONS_H}, 6, 602);

    // The sound and speed sliders over their caption line, and the two
    // sound switches under it.
    panel(c, {22, 12, 368, 320}, 603);
    for (int k = 0; k < 5; ++k) slider_track(c, 50 + 60 * k, 30, 604 + k);
    slider_track(c, 350, 30, 609);
    // The game speed's groove stands apart: a bronze rule between it and
    // the sound.
    fill(c, {335, 24, 2, 212}, [](int x, int y) { return bronze(x, y, 615) * 0.8f; });
    sunken_plaque(c, {30, 232, 352, 16}, 616, 0.4f);
    switch_row(c, 50, 270, 190, 617);
    switch_row(c, 50, 300, 190, 619);

    // Turn and walk speeds: three switches under each group's heading.
    panel(c, {396, 22, 224, 130}, 621);
    for (int g = 0; g < 2; ++g) {
        const int x = 410 + 100 * g;
        sunken_plaque(c, {x - 4, 36, 90, 16}, 622 + g, 0.4f);
        for (int i = 0; i < 3; ++i) switch_row(c, x, 60 + 30 * i, 90, 624 + 2 * i + g * 6);
    }

    // The five game switches.
    panel(c, {396, 166, 224, 160}, 641);
    for (int k = 0; k < 5; ++k) switch_row(c, 410, 180 + 30 * k, 190, 642 + 2 * k);

    // The close button in the bottom right corner.
    close_button(c, 559, 336, false);
    // Rivets at the corners the button leaves free.
    for (const auto& [x, y] : {std::pair{14, 14}, std::pair{622, 14}, std::pair{14, 344}})
        rivet(c, x + 0.5f, y + 0.5f, 2.4f);
    return c;
}

canvas paint_close_button_pressed() {
    canvas whole(81, 21);
    close_button(whole, 0, 0, true);
    return whole;
}

// Frame f of the switch shows phase 6 - f: the top frame is the switch
// fully on, the bottom one fully off. A bronze bead slides from left to
// right in a dark slot whose left part glows amber as it goes.
canvas paint_switch() {
    constexpr int S = SWITCH_SIZE, FRAMES = 7;
    canvas c(S, S * FRAMES);
    for (int f = 0; f < FRAMES; ++f) {
        const float t = (FRAMES - 1 - f) / float(FRAMES - 1);
        const int top = f * S;
        const rect box{0, top, S, S};
        fill(c, box, [](int x, int y) { return bronze(x, y % S, 631); });
        bevel(c, box, 2, 0.8f, true);
        const rect well{3, top + 3, S - 6, S - 6};
        fill(c, well, [](int x, int y) { return slate(x, y % S, 632) * 0.45f; });
        bevel(c, well, 1, 0.9f, false);
        // The slot, lit amber behind the bead in proportion to the phase.
        const float bead = 7.0f + 6.0f * t;
        for (int y = 8; y < 13; ++y)
            for (int x = 4; x < 16; ++x) {
                rgb k = INK * (0.9f + 0.3f * grain(x, y, 633));
                if (x + 0.5f < bead)
                    k = mix(k, AMBER * (0.75f + 0.35f * grain(x, y, 634)), 0.15f + 0.85f * t);
                c.set(x, top + y, k);
            }
        // A lamp in the top right corner of the well that warms up as well.
        disc(c, 14.0f, top + 5.5f, 1.8f, mix(rgb8(50, 26, 18), rgb8(255, 226, 130), t));
        disc(c, bead + 0.6f, top + 11.1f, 2.9f, INK, 0.7f);  // its shadow
        disc(c, bead, top + 10.5f, 2.8f, rgb8(96, 64, 30));
        disc(c, bead - 0.4f, top + 10.1f, 2.0f, rgb8(210, 160, 88));
        disc(c, bead - 0.9f, top + 9.5f, 0.8f, rgb8(255, 236, 190));
    }
    return c;
}

// The slider knob: a bronze block with a gold index line across its
// middle, grip ridges either side and rounded corners (transparent).
canvas paint_slider_knob() {
    constexpr int W = KNOB_W, H = KNOB_H;
    canvas c(W, H);
    fill(c, {0, 0, W, H}, [](int x, int y) { return bronze(x, y, 651) * 1.05f; });
    bevel(c, {0, 0, W, H}, 3, 0.9f, true);
    for (int x = 0; x < W; ++x) c.set(x, H - 1, c.get(x, H - 1) * 0.3f);
    for (int y = 0; y < H; ++y) c.set(W - 1, y, c.get(W - 1, y) * 0.3f);
    for (int x = 4; x < W - 4; ++x) {
        if (x >= 11 && x < 19) continue;  // a clear band for the index
        for (int ridge : {4, 8, 11})
            c.set(x, ridge, c.get(x, ridge) * 0.55f), c.set(x, ridge + 1, c.get(x, ridge + 1) * 1.25f);
    }
    fill(c, {3, H / 2 - 1, W - 6, 2},
         [](int x, int y) { return mix(rgb8(255, 214, 120), rgb8(200, 140, 60), grain(x, y, 652)); });
    for (int y = H / 2 - 1; y <= H / 2; ++y) c.set(3, y, INK), c.set(W - 4, y, INK);
    for (int x : {0, W - 1})
        for (int y : {0, H - 1}) c.clear_alpha(x, y);
    return c;
}

}  // namespace screen_art
