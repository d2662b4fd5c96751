// The book's pictures: the open book the party's diary is read in (kniha,
// 640 x 480: two parchment pages on a leather cover over the dark desk,
// their writing room from x 34 and 354, 254 wide, rows 50 to 440, and the
// page numbers' row below) and the ink sketch in the lord's diary (denik1,
// 90 x 80: the crypt's door under its arch, transparent round the ink).
//
//   demo_art_book <out folder>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include "forge/paint.h"
#include "forge/png_import.h"

namespace {

using namespace forge::paint;

const rgb INK = rgb8(40, 26, 14);

void save(const std::string& folder, const std::string& name, const canvas& c) {
    forge::write_png_file(folder + "/" + name + ".png", to_image(c));
}

rgb parchment(int x, int y, uint32_t seed) {
    const float n = noise(x * 0.05f, y * 0.05f, seed, 4) * 0.7f + grain(x, y, seed + 1) * 0.3f;
    return mix(rgb8(226, 206, 160), rgb8(244, 230, 192), n);
}

// One page: parchment, darker towards the spine and the page's edges, with
// the stacked edges of the pages under it along the outer side and bottom.
void page(canvas& c, const rect& r, bool left, uint32_t seed) {
    for (int layer = 4; layer >= 1; --layer) {
        const rect under{left ? r.x - layer * 2 : r.x, r.y + layer, r.w + layer * 2, r.h + layer * 2};
        fill(c, under, [&](int x, int y) { return parchment(x, y, seed + 7) * (0.72f - 0.04f * layer); });
    }
    fill(c, r, [&](int x, int y) {
        const float from_spine = left ? float(r.x + r.w - x) : float(x - r.x);
        const float spine = std::clamp(from_spine / 40.0f, 0.0f, 1.0f);
        const float edge = std::clamp(std::min({float(x - r.x), float(r.x + r.w - x), float(y - r.y),
                                                float(r.y + r.h - y)}) /
                                          14.0f,
                                      0.0f, 1.0f);
        return parchment(x, y, seed) * (0.74f + 0.18f * spine + 0.08f * edge);
    });
    // A few faint stains.
    for (int i = 0; i < 3; ++i) {
        const float cx = r.x + r.w * (0.2f + 0.3f * i) + noise(i * 3.0f, 1, seed + 9, 1) * 30;
        const float cy = r.y + r.h * (0.25f + 0.22f * i);
        disc(c, cx, cy, 9.0f + 4 * i, rgb8(190, 160, 110), 0.12f);
    }
}

canvas paint_book() {
    canvas c(640, 480);
    const rect all{0, 0, 640, 480};
    fill(c, all, [](int x, int y) { return dark_wood(x, y, 811) * 0.8f; });
    vignette(c, all, 0.45f);
    // The leather cover, a little wider than the pages.
    const rect cover{10, 18, 620, 456};
    fill(c, cover, [](int x, int y) {
        const float n = noise(x * 0.08f, y * 0.08f, 812, 3);
        return mix(rgb8(70, 28, 20), rgb8(104, 46, 30), n);
    });
    bevel(c, cover, 4, 0.5f);
    page(c, rect{22, 30, 296, 434}, true, 820);
    page(c, rect{322, 30, 296, 434}, false, 830);
    // The spine's fold between the pages.
    for (int y = 30; y < 470; ++y)
        for (int x = 312; x < 328; ++x) {
            const float d = std::abs(x + 0.5f - 320.0f) / 8.0f;
            c.blend(x, y, rgb8(60, 40, 24), 0.55f * (1.0f - d));
        }
    return c;
}

// The crypt's door as the lord sketched it: a round arch of stones, the
// door's planks and bands, a ring, and the steps before it.
canvas paint_sketch() {
    canvas c(90, 80);
    const float cx = 45, base = 68, radius = 30;
    // The arch's two edges and its stones.
    for (float r : {radius, radius - 8}) {
        float px = cx - r, py = base - 26;
        for (int i = 1; i <= 24; ++i) {
            const float a = 3.14159265f * i / 24;
            const float x = cx - r * std::cos(a), y = base - 26 - r * std::sin(a);
            stroke(c, px, py, x, y, 1.2f, INK);
            px = x;
            py = y;
        }
        stroke(c, cx - r, base - 26, cx - r, base, 1.2f, INK);
        stroke(c, cx + r, base - 26, cx + r, base, 1.2f, INK);
    }
    for (int i = 0; i <= 6; ++i) {
        const float a = 3.14159265f * i / 6;
        stroke(c, cx - (radius - 8) * std::cos(a), base - 26 - (radius - 8) * std::sin(a), cx - radius * std::cos(a),
               base - 26 - radius * std::sin(a), 1.0f, INK);
    }
    // The planks and two iron bands, the ring.
    for (int i = 1; i < 4; ++i) {
        const float x = cx - (radius - 8) + i * (2 * (radius - 8)) / 4.0f;
        const float top = base - 26 - std::sqrt(std::max(0.0f, (radius - 8) * (radius - 8) - (x - cx) * (x - cx)));
        stroke(c, x, top + 1, x, base, 0.8f, INK);
    }
    stroke(c, cx - radius + 8, base - 18, cx + radius - 8, base - 18, 1.6f, INK);
    stroke(c, cx - radius + 8, base - 6, cx + radius - 8, base - 6, 1.6f, INK);
    for (int i = 0; i < 16; ++i) {
        const float a = 6.2831853f * i / 16, b = 6.2831853f * (i + 1) / 16;
        stroke(c, cx + 8 + 3 * std::cos(a), base - 12 + 3 * std::sin(a), cx + 8 + 3 * std::cos(b),
               base - 12 + 3 * std::sin(b), 0.9f, INK);
    }
    // The steps.
    stroke(c, cx - radius - 6, base + 4, cx + radius + 6, base + 4, 1.2f, INK);
    stroke(c, cx - radius - 12, base + 9, cx + radius + 12, base + 9, 1.2f, INK);
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: demo_art_book <out folder>\n");
        return 2;
    }
    try {
        const std::string out = argv[1];
        save(out, "kniha", paint_book());
        save(out, "denik1", paint_sketch());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_art_book: %s\n", e.what());
        return 1;
    }
    return 0;
}
