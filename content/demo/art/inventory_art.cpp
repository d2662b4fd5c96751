// Paints the inventory screen's backdrop (ioblouk: 640 x 378, the rows above
// the bottom panel) and its backpack cell (imriz1: 55 x 60) into PNG files
// named after the pictures, and optionally a mock-up of the screen with the
// cells laid out.
//
//   demo_art_inventory <out folder> [--mockup <screen.png>]
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include "forge/paint.h"

namespace {

using namespace forge::paint;

constexpr int WIDTH = 640, ROWS = 378;
// Where the screen puts its parts (the player's inventory screen layout).
const rect body_alcove{22, 4, 214, 338};
const rect pack_panel{277, 38, 347, 334};
const rect belt_column{214, 170, 62, 146};
const rect name_plate{44, 340, 170, 18};
const rect quiver_place{2, 262, 32, 60};

canvas paint_cell() {
    canvas c(55, 60);
    fill(c, {0, 0, 55, 60}, [](int x, int y) { return slate(x, y, 611) * 0.55f; });
    bevel(c, {0, 0, 55, 60}, 3, 0.45f, false);
    bevel(c, {3, 3, 49, 54}, 1, 0.2f, true);
    return c;
}

void quiver(canvas& c) {
    const rect q = quiver_place;
    // A leather tube leaning a little, three fletched shafts out of its mouth.
    const rgb leather = rgb8(92, 58, 30), strap = rgb8(40, 24, 12), feather = rgb8(200, 190, 160);
    fill_polygon(
        c, {q.x + 8.f, q.y + 14.f, q.x + 22.f, q.y + 12.f, q.x + 24.f, q.y + 58.f, q.x + 10.f, q.y + 59.f},
        leather);
    stroke(c, q.x + 9.f, q.y + 24.f, q.x + 23.f, q.y + 22.f, 2, strap);
    stroke(c, q.x + 10.f, q.y + 48.f, q.x + 24.f, q.y + 47.f, 2, strap);
    for (int i = 0; i < 3; ++i) {
        const float x = q.x + 11.f + 4.f * i;
        stroke(c, x, q.y + 14.f, x - 1.f, q.y + 3.f, 1, rgb8(150, 120, 80));
        stroke(c, x - 1.f, q.y + 3.f, x - 3.f, q.y + 0.5f, 2, feather);
    }
}

canvas paint_backdrop() {
    canvas c(WIDTH, ROWS);
    fill(c, {0, 0, WIDTH, ROWS}, [](int x, int y) { return dark_wood(x, y, 601) * 0.8f; });
    vignette(c, {0, 0, WIDTH, ROWS}, 0.35f);
    // The alcove the figure stands in: slate under a round arch.
    const rect a = body_alcove;
    const float cx = a.x + a.w / 2.0f, radius = a.w / 2.0f;
    for (int y = a.y; y < a.y + a.h; ++y)
        for (int x = a.x; x < a.x + a.w; ++x) {
            const float dy = a.y + radius - y;
            if (dy > 0 && (x - cx) * (x - cx) + dy * dy > radius * radius) continue;
            const float depth = 0.35f + 0.25f * (float(y - a.y) / a.h);
            c.set(x, y, slate(x, y, 607) * depth);
        }
    for (int y = a.y; y < a.y + a.h; ++y)
        for (int x = a.x - 4; x < a.x + a.w + 4; ++x) {
            const float dy = a.y + radius - y;
            const float d = dy > 0 ? std::sqrt((x - cx) * (x - cx) + dy * dy) : std::fabs(x - cx);
            if (d > radius && d < radius + 4) c.set(x, y, bronze(x, y, 609) * (1.1f - (d - radius) / 8));
        }
    // The panel of the backpack and the sheet.
    bronze_frame(c, pack_panel, 5, 613);
    fill(c, pack_panel.inset(5), [](int x, int y) { return slate(x, y, 617) * 0.4f; });
    bevel(c, pack_panel.inset(5), 2, 0.4f, false);
    // The belt's column and the name plate.
    fill(c, belt_column, [](int x, int y) { return dark_wood(x, y, 619) * 0.45f; });
    bevel(c, belt_column, 2, 0.5f, false);
    bronze_frame(c, name_plate, 2, 623);
    fill(c, name_plate.inset(2), [](int x, int y) { return slate(x, y, 627) * 0.3f; });
    for (float y : {name_plate.y + 9.0f}) {
        rivet(c, name_plate.x - 8.0f, y, 3);
        rivet(c, name_plate.x + name_plate.w + 8.0f, y, 3);
    }
    quiver(c);
    return c;
}

canvas mockup(const canvas& backdrop, const canvas& cell) {
    canvas c(WIDTH, 480);
    fill(c, {0, 0, WIDTH, 480}, [](int, int) { return rgb8(128, 128, 128); });
    c.paste(backdrop, 0, 0);
    for (int i = 0; i < 12; ++i) c.paste(cell, 285 + i % 6 * 55, 46 + i / 6 * 60);
    return c;
}

void save(const std::string& folder, const std::string& name, const canvas& c) {
    forge::write_png_file(folder + "/" + name + ".png", to_image(c));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--mockup")) {
        std::fprintf(stderr, "usage: %s <out folder> [--mockup <screen.png>]\n", argv[0]);
        return 2;
    }
    try {
        const canvas backdrop = paint_backdrop();
        const canvas cell = paint_cell();
        save(argv[1], "ioblouk", backdrop);
        save(argv[1], "imriz1", cell);
        if (argc == 4) forge::write_png_file(argv[3], to_image(mockup(backdrop, cell)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
