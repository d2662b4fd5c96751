// The automap's pictures: the paper it is drawn on (backmap, a 64 x 64 tile
// with the faint grid of the map's cells), its button panel (chargen, 120 x
// 102 at the screen's bottom right), the panel's pressed buttons (chargenb,
// the 76 rows of the four buttons) and the panel's index picture (chargenm,
// written straight to a PCX: its pixel values are the button numbers). A
// mock-up of the whole automap screen is written next to them.
//
//   demo_art_automap <out folder>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include "forge/paint.h"
#include "forge/pcx_writer.h"
#include "forge/png_import.h"

namespace {

using namespace forge::paint;

constexpr int TILE = 64;
constexpr int PANEL_W = 120, PANEL_H = 102;
constexpr int BUTTONS_TOP = 14;  // the panel's row of button 1's first row
constexpr int BUTTON_X = 6, BUTTON_W = 88;
// The buttons' rows, counted from BUTTONS_TOP (as the pressed picture holds them).
constexpr int BUTTON_FIRST[4] = {0, 18, 37, 55};
constexpr int BUTTON_ROWS[4] = {18, 19, 18, 20};
constexpr int PRESSED_ROWS = 76;

const rgb GOLD = rgb8(226, 184, 104);
const rgb INK = rgb8(64, 32, 0);  // the map's line colour, 0x2080

void save(const std::string& folder, const std::string& name, const canvas& c) {
    forge::write_png_file(folder + "/" + name + ".png", to_image(c));
}

// Cream paper with fibres and a few stains, tiling seamlessly (the noise is
// sampled on a torus), with the grid of the cells: cell edges fall on the
// columns 0 mod 8 and the rows 4 mod 8 of the tile, where the automap puts
// its cells.
canvas paint_paper() {
    canvas c(TILE, TILE);
    constexpr float PI = 3.14159265f;
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x) {
            const float a = 2 * PI * x / TILE, b = 2 * PI * y / TILE;
            const float n = noise(std::cos(a) * 3 + 10, std::sin(a) * 3 + std::cos(b) * 3, 71, 4) * 0.6f +
                            noise(std::sin(b) * 3 + 5, std::cos(a) * 2 + 7, 72, 3) * 0.4f;
            const float fibre = grain(x, y, 73) * 0.5f;
            rgb k = mix(rgb8(222, 204, 164), rgb8(190, 164, 118), std::clamp(n + fibre * 0.3f, 0.0f, 1.0f));
            // Always opaque: index 0 of the picture would let the screen through.
            c.set(x, y, k);
        }
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x)
            if (x % 8 == 0 || y % 8 == 4) c.blend(x, y, INK, (x % 32 == 0 || y % 32 == 4) ? 0.22f : 0.1f);
    return c;
}

struct panel_art {
    canvas rest{PANEL_W, PANEL_H};
    canvas pressed{PANEL_W, PRESSED_ROWS};
};

rect button_rect(int b) {
    return {BUTTON_X, BUTTONS_TOP + BUTTON_FIRST[b] + 1, BUTTON_W, BUTTON_ROWS[b] - 1};
}

// A slate plate in a bronze frame, four wooden buttons and a compass rose
// beside them; pressed, a button sinks and takes a glow of gold.
panel_art paint_panel() {
    panel_art art;
    canvas& c = art.rest;
    fill(c, {0, 0, PANEL_W, PANEL_H}, [](int x, int y) { return slate(x, y, 81); });
    vignette(c, {0, 0, PANEL_W, PANEL_H}, 0.25f);
    bronze_frame(c, {0, 0, PANEL_W, PANEL_H}, 4, 82);
    canvas down = c;
    for (int b = 0; b < 4; ++b) {
        const rect r = button_rect(b);
        fill(c, r, [](int x, int y) { return dark_wood(x, y, 83); });
        bevel(c, r, 2, 0.8f, true);
        fill(down, r, [](int x, int y) { return mix(dark_wood(x, y, 83) * 0.7f, GOLD, 0.18f); });
        bevel(down, r, 2, 0.9f, false);
    }
    for (canvas* k : {&c, &down}) {
        // The compass rose to the right of the buttons.
        const float cx = 107, cy = 51;
        for (int i = 0; i < 4; ++i) {
            const float a = i * 3.14159265f / 2;
            const float tip_x = cx + 9 * std::sin(a), tip_y = cy - 9 * std::cos(a);
            const float l_x = cx + 3 * std::sin(a - 0.8f), l_y = cy - 3 * std::cos(a - 0.8f);
            const float r_x = cx + 3 * std::sin(a + 0.8f), r_y = cy - 3 * std::cos(a + 0.8f);
            fill_polygon(*k, {tip_x, tip_y, l_x, l_y, cx, cy, r_x, r_y}, i == 0 ? rgb8(170, 40, 30) : GOLD);
        }
        disc(*k, cx, cy, 1.6f, rgb8(30, 24, 20));
        for (float y : {10.0f, 92.0f}) rivet(*k, 107, y, 2.2f);
    }
    art.pressed = down.crop({0, BUTTONS_TOP, PANEL_W, PRESSED_ROWS});
    return art;
}

// Pixel values 1 to 4 over the buttons, 0 elsewhere.
forge::indexed_image paint_panel_index() {
    forge::indexed_image image;
    image.width = PANEL_W;
    image.height = PANEL_H;
    image.pixels.assign(static_cast<size_t>(PANEL_W) * PANEL_H, 0);
    for (int b = 0; b < 4; ++b) {
        const rect r = button_rect(b);
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) image.pixels[static_cast<size_t>(y) * PANEL_W + x] = b + 1;
    }
    for (int i = 1; i <= 4; ++i) image.palette[3 * i] = static_cast<uint8_t>(60 * i);
    return image;
}

// The automap screen as the player sees it: paper over the view, a few rooms
// in the automap's colours, the panel at the bottom right with button 2 and
// 3 pressed (the mask of an adventure with a world map).
canvas mockup(const canvas& paper, const panel_art& panel) {
    canvas c(640, 480);
    fill(c, {0, 0, 640, 480}, [](int, int) { return rgb8(0, 0, 0); });
    for (int y = 17; y < 377; ++y)
        for (int x = 0; x < 640; ++x) c.set(x, y, paper.get(x % TILE, (y - 17) % TILE));
    const rgb fill_k = rgb8(148, 136, 116), wall = rgb8(104, 88, 80);
    for (int cy = 0; cy < 8; ++cy)
        for (int cx = 0; cx < 12; ++cx) {
            if ((cx == 5 && cy != 3) || (cy == 4 && cx < 3)) continue;
            const int x = 272 + 8 * cx, y = 165 + 8 * cy;
            for (int j = 0; j < 8; ++j)
                for (int i = 0; i < 8; ++i) c.blend(x + i, y + j, fill_k, 0.5f);
            if (cx == 0 || cx == 6)
                for (int j = 0; j < 8; ++j) c.set(x, y + j, wall);
            if (cx == 11 || cx == 4)
                for (int j = 0; j < 8; ++j) c.set(x + 7, y + j, wall);
            if (cy == 0)
                for (int i = 0; i < 8; ++i) c.set(x + i, y, wall);
            if (cy == 7)
                for (int i = 0; i < 8; ++i) c.set(x + i, y + 7, wall);
        }
    c.paste(panel.rest, 520, 378);
    for (int b : {1, 2})
        c.paste(panel.pressed.crop({0, BUTTON_FIRST[b], PANEL_W, BUTTON_ROWS[b]}), 520,
                378 + BUTTONS_TOP + BUTTON_FIRST[b]);
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <out folder>\n", argv[0]);
        return 2;
    }
    try {
        const std::string out = argv[1];
        const canvas paper = paint_paper();
        const panel_art panel = paint_panel();
        save(out, "backmap", paper);
        save(out, "chargen", panel.rest);
        save(out, "chargenb", panel.pressed);
        forge::write_pcx(out + "/chargenm.pcx", paint_panel_index());
        save(out, "automap_mockup", mockup(paper, panel));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
