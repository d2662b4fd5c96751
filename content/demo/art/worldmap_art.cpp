// Paints the world map of the demo: the valley below the keep of Vorthan seen
// from above, as an old painted map in a bronze frame. The forest fills the
// lower left, the path winds out of it over the meadow up to the gate of the
// keep on its crag; the way down into the cellars opens on the crag's east
// side. Written are:
//   worldmap.png  the overview (640 x 360, the view area)
//   wm_cell.png   the cellars' door lit by a torch, drawn over the overview
//                 once the party has been down there (at CELLAR_X, CELLAR_Y)
//   worldidx.pcx  the index picture: each pixel the number of the place under
//                 it (1 forest, 2 keep, 3 cellars, 0 nothing)
//   worldmap_preview.png  the overview with the cellars' door (for review)
//
//   demo_art_worldmap <out folder>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "forge/paint.h"
#include "forge/pcx_writer.h"
#include "forge/png_import.h"

namespace {

using namespace forge::paint;

constexpr int W = 640, H = 360;
// The keep's centre, the cellars' door and the marker's picture.
constexpr float KEEP_X = 356, KEEP_Y = 118;
constexpr int CELLAR_X = 424, CELLAR_Y = 138, CELLAR_SIZE = 40;
constexpr int PLACE_FOREST = 1, PLACE_KEEP = 2, PLACE_CELLARS = 3;

float smooth(float e0, float e1, float x) {
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// The river's middle at a row, and its half width.
float river_x(float y) {
    return 520 + 38 * std::sin(y / 61.0f) + (y - 180) * 0.35f;
}

// The path from the forest's edge to the gate, as a polyline.
const std::vector<float> PATH = {20,  338, 70,  318, 118, 300, 150, 270, 196, 262, 238,
                                 244, 268, 226, 300, 218, 326, 206, 344, 186, 352, 168};

float distance_to_segment(float px, float py, float x0, float y0, float x1, float y1) {
    const float dx = x1 - x0, dy = y1 - y0;
    const float l2 = dx * dx + dy * dy;
    const float t = l2 > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / l2, 0.0f, 1.0f) : 0;
    const float ex = x0 + t * dx - px, ey = y0 + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}
float path_distance(float x, float y) {
    float d = 1e9f;
    for (size_t i = 0; i + 3 < PATH.size(); i += 2)
        d = std::min(d, distance_to_segment(x, y, PATH[i], PATH[i + 1], PATH[i + 2], PATH[i + 3]));
    return d;
}

// How much of the crag is at a point (0 meadow .. 1 rock).
float crag(float x, float y) {
    const float dx = (x - KEEP_X) / 120.0f, dy = (y - KEEP_Y) / 88.0f;
    const float r = std::sqrt(dx * dx + dy * dy) + (noise(x / 40.0f, y / 40.0f, 71) - 0.5f) * 0.45f;
    return 1 - smooth(0.85f, 1.0f, r);
}

// The forest's density (above 0.5: trees).
float forest(float x, float y) {
    const float bias = 0.62f - x / 900.0f + (y - 120) / 700.0f;
    return noise(x / 70.0f, y / 70.0f, 19) * 0.55f + bias * 0.75f;
}

void paint_ground(canvas& c) {
    const rgb meadow = rgb8(104, 118, 62), meadow_dark = rgb8(70, 86, 44), dry = rgb8(138, 128, 78);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float n = noise(x / 55.0f, y / 55.0f, 3), fine = grain(x, y, 5);
            rgb g = mix(meadow_dark, meadow, n);
            g = mix(g, dry, smooth(0.55f, 0.8f, noise(x / 120.0f, y / 120.0f, 9)) * 0.5f);
            c.set(x, y, g * (0.92f + 0.12f * fine));
        }
}

void paint_river(canvas& c) {
    const rgb deep = rgb8(34, 62, 82), shallow = rgb8(70, 104, 118), bank = rgb8(96, 88, 58);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float half = 11 + 4 * noise(y / 30.0f, 1.0f, 33);
            const float d = std::fabs(x - river_x(static_cast<float>(y)));
            if (d < half + 3) {
                const float bank_t = smooth(half, half + 3, d);
                rgb w = mix(deep, shallow, d / half);
                w = w + rgb{0.12f, 0.14f, 0.15f} * (grain(x / 3, y, 41) > 0.93f ? 1.0f : 0.0f);
                c.blend(x, y, mix(w, bank, bank_t), 1 - bank_t * 0.6f);
            }
        }
}

void paint_path(canvas& c) {
    const rgb dirt = rgb8(150, 122, 82), rut = rgb8(112, 88, 58);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float d = path_distance(static_cast<float>(x), static_cast<float>(y));
            if (d > 5) continue;
            const float t = 1 - smooth(3.0f, 5.0f, d);
            const rgb p = mix(dirt, rut, std::fabs(d - 1.5f) < 0.8f ? 0.6f : grain(x, y, 77) * 0.3f);
            c.blend(x, y, p, t * 0.9f);
        }
}

void paint_crag(canvas& c) {
    const rgb rock = rgb8(122, 116, 106), rock_dark = rgb8(70, 66, 62), moss = rgb8(88, 96, 60);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float k = crag(static_cast<float>(x), static_cast<float>(y));
            if (k <= 0) continue;
            // Lit from the upper left: the slope's facing from the crag's height field.
            const float slope = crag(x - 1.5f, y - 1.5f) - crag(x + 1.5f, y + 1.5f);
            const float n = noise(x / 14.0f, y / 14.0f, 55);
            rgb r = mix(rock_dark, rock, std::clamp(0.55f + slope * 2.5f + (n - 0.5f) * 0.5f, 0.0f, 1.0f));
            r = mix(r, moss, smooth(0.6f, 0.85f, noise(x / 25.0f, y / 25.0f, 57)) * 0.35f);
            c.blend(x, y, r, k);
        }
}

void paint_trees(canvas& c) {
    const rgb leaf = rgb8(46, 76, 38), leaf_light = rgb8(84, 112, 52), shadow = rgb8(20, 32, 20);
    // Crowns on a jittered grid, drawn back to front, each with a shadow to the lower right.
    for (int gy = -1; gy < H / 9 + 2; ++gy)
        for (int gx = -1; gx < W / 9 + 2; ++gx) {
            const float x = gx * 9 + grain(gx, gy, 101) * 8, y = gy * 9 + grain(gx, gy, 103) * 8;
            if (forest(x, y) < 0.5f || crag(x, y) > 0.2f || path_distance(x, y) < 8) continue;
            if (std::fabs(x - river_x(y)) < 20) continue;
            const float r = 5 + grain(gx, gy, 107) * 3.5f;
            disc(c, x + 2.5f, y + 3, r, shadow, 0.55f);
            disc(c, x, y, r, leaf);
            disc(c, x - r * 0.3f, y - r * 0.3f, r * 0.55f,
                 mix(leaf, leaf_light, 0.5f + grain(gx, gy, 109) * 0.5f));
        }
}

rgb stone(int x, int y) {
    return mix(rgb8(150, 142, 128), rgb8(186, 176, 156), grain(x / 2, y / 2, 201)) *
           (0.9f + 0.2f * noise(x / 6.0f, y / 6.0f, 203));
}

void tower(canvas& c, float x, float y, float r) {
    disc(c, x + 3, y + 4, r, rgb8(30, 30, 30), 0.5f);
    disc(c, x, y, r, rgb8(150, 142, 128));
    // A conical roof, lit on its upper left.
    for (int py = static_cast<int>(y - r); py <= static_cast<int>(y + r); ++py)
        for (int px = static_cast<int>(x - r); px <= static_cast<int>(x + r); ++px) {
            const float dx = px - x, dy = py - y, d = std::sqrt(dx * dx + dy * dy);
            if (d > r - 2) continue;
            const float light = std::clamp(0.55f - (dx + dy) / (2.5f * r), 0.1f, 1.0f);
            c.set(px, py, mix(rgb8(70, 34, 26), rgb8(160, 80, 52), light));
        }
}

void paint_keep(canvas& c) {
    // The curtain wall: a rough pentagon of thick stone around the courtyard.
    const std::vector<float> outer = {KEEP_X - 62, KEEP_Y - 34, KEEP_X + 8,  KEEP_Y - 58, KEEP_X + 64,
                                      KEEP_Y - 20, KEEP_X + 50, KEEP_Y + 44, KEEP_X - 44, KEEP_Y + 48};
    std::vector<float> shadow_poly = outer;
    for (size_t i = 0; i < shadow_poly.size(); i += 2) shadow_poly[i] += 4, shadow_poly[i + 1] += 5;
    fill_polygon(c, shadow_poly, rgb8(24, 24, 22), 0.6f);
    canvas wall(W, H);
    fill_polygon(wall, outer, rgb8(255, 255, 255));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (wall.alpha(x, y) > 0) c.blend(x, y, stone(x, y), wall.alpha(x, y));
    // The courtyard inside, flagstones in shadow.
    std::vector<float> inner;
    for (size_t i = 0; i < outer.size(); i += 2) {
        inner.push_back(KEEP_X + (outer[i] - KEEP_X) * 0.8f);
        inner.push_back(KEEP_Y + (outer[i + 1] - KEEP_Y) * 0.8f);
    }
    canvas yard(W, H);
    fill_polygon(yard, inner, rgb8(255, 255, 255));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (yard.alpha(x, y) > 0) {
                const bool joint = (x % 7 == 0) || ((y + (x / 7) * 3) % 6 == 0);
                c.blend(x, y, rgb8(104, 98, 88) * (joint ? 0.75f : 0.95f + 0.1f * grain(x, y, 211)),
                        yard.alpha(x, y));
            }
    // The great hall: a long slate roof with its ridge.
    const float hx = KEEP_X - 30, hy = KEEP_Y - 22, hw = 58, hh = 30;
    fill_polygon(c, {hx + 4, hy + 5, hx + hw + 4, hy + 5, hx + hw + 4, hy + hh + 5, hx + 4, hy + hh + 5},
                 rgb8(20, 20, 20), 0.5f);
    for (int y = static_cast<int>(hy); y < static_cast<int>(hy + hh); ++y)
        for (int x = static_cast<int>(hx); x < static_cast<int>(hx + hw); ++x) {
            const bool upper = y < hy + hh / 2;
            const rgb slate_colour = upper ? rgb8(92, 98, 110) : rgb8(58, 62, 72);
            const float course = (y % 3 == 0) ? 0.8f : 1.0f;
            c.set(x, y, slate_colour * (course * (0.92f + 0.14f * grain(x / 2, y, 221))));
        }
    stroke(c, hx, hy + hh / 2, hx + hw, hy + hh / 2, 1.5f, rgb8(120, 126, 136));
    // Towers at the corners and the gatehouse over the path.
    for (size_t i = 0; i < outer.size(); i += 2) tower(c, outer[i], outer[i + 1], 9);
    tower(c, 348, 166, 7);
    tower(c, 362, 164, 7);
    // Torchlight at the gate.
    for (int y = 150; y < 190; ++y)
        for (int x = 336; x < 376; ++x) {
            const float d = std::hypot(x - 355.0f, y - 172.0f);
            if (d < 18) c.blend(x, y, rgb8(255, 190, 90), (1 - d / 18) * 0.35f);
        }
}

// The cellars' door in the rock with a torch beside it (transparent around).
canvas cellar_marker() {
    canvas m(CELLAR_SIZE, CELLAR_SIZE);
    const float cx = CELLAR_SIZE / 2.0f, cy = CELLAR_SIZE / 2.0f + 2;
    for (int y = 0; y < CELLAR_SIZE; ++y)
        for (int x = 0; x < CELLAR_SIZE; ++x) {
            const float d = std::hypot(x - cx, y - cy + 4);
            if (d < 17) m.blend(x, y, rgb8(255, 176, 80), (1 - d / 17) * 0.5f);
        }
    // The arch: dark stone steps going down, framed by lit stone.
    const std::vector<float> arch_frame = {cx - 10, cy + 10, cx - 10, cy - 4, cx - 6,  cy - 10,
                                           cx + 6,  cy - 10, cx + 10, cy - 4, cx + 10, cy + 10};
    fill_polygon(m, arch_frame, rgb8(178, 160, 128));
    const std::vector<float> opening = {cx - 6, cy + 10, cx - 6, cy - 3, cx - 3, cy - 6,
                                        cx + 3, cy - 6,  cx + 6, cy - 3, cx + 6, cy + 10};
    fill_polygon(m, opening, rgb8(14, 10, 8));
    for (int step = 0; step < 3; ++step)
        stroke(m, cx - 5, cy + 1 + step * 3, cx + 5, cy + 1 + step * 3, 1.0f, rgb8(60, 50, 40));
    // The torch: a bracket and its flame.
    stroke(m, cx + 13, cy + 2, cx + 13, cy - 6, 2.0f, rgb8(60, 40, 26));
    disc(m, cx + 13, cy - 9, 3.2f, rgb8(255, 150, 40));
    disc(m, cx + 13, cy - 10, 1.6f, rgb8(255, 240, 170));
    return m;
}

void frame(canvas& c) {
    vignette(c, {0, 0, W, H}, 0.35f);
    bronze_frame(c, {0, 0, W, H}, 5, 17);
}

// The place under each pixel.
forge::indexed_image index_picture() {
    forge::indexed_image index;
    index.width = W;
    index.height = H;
    index.pixels.assign(static_cast<size_t>(W) * H, 0);
    for (int i = 0; i < 256; ++i)
        index.palette[static_cast<size_t>(i) * 3] = index.palette[i * 3 + 1] = index.palette[i * 3 + 2] =
            static_cast<uint8_t>(i);
    for (int y = 6; y < H - 6; ++y)
        for (int x = 6; x < W - 6; ++x) {
            uint8_t place = 0;
            const float fx = static_cast<float>(x), fy = static_cast<float>(y);
            if (forest(fx, fy) > 0.5f && crag(fx, fy) < 0.2f && fx < 420) place = PLACE_FOREST;
            const float kx = (fx - KEEP_X) / 78.0f, ky = (fy - KEEP_Y) / 72.0f;
            if (kx * kx + ky * ky < 1) place = PLACE_KEEP;
            if (std::hypot(fx - (CELLAR_X + CELLAR_SIZE / 2.0f), fy - (CELLAR_Y + CELLAR_SIZE / 2.0f)) < 17)
                place = PLACE_CELLARS;
            index.pixels[static_cast<size_t>(y) * W + x] = place;
        }
    return index;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo_art_worldmap <out folder>\n");
        return 2;
    }
    try {
        const std::string out = argv[1];
        canvas map(W, H);
        paint_ground(map);
        paint_river(map);
        paint_path(map);
        paint_crag(map);
        paint_trees(map);
        paint_keep(map);
        frame(map);
        forge::write_png_file(out + "/worldmap.png", to_image(map));
        const canvas marker = cellar_marker();
        forge::write_png_file(out + "/wm_cell.png", to_image(marker));
        map.paste(marker, CELLAR_X, CELLAR_Y);
        forge::write_png_file(out + "/worldmap_preview.png", to_image(map));
        forge::write_pcx(out + "/worldidx.pcx", index_picture());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_art_worldmap: %s\n", e.what());
        return 1;
    }
    return 0;
}
