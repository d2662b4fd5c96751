// The small pictures of the game screen: status icons, the dead member's
// picture, hit and blood marks, the sparkle effect, the note panel, the boat,
// the mouse cursors and the window style.
#include <algorithm>
#include <cmath>

#include "forge/texture_source.h"
#include "screen_art.h"

namespace screen_art {

using namespace forge::paint;

namespace {

const rgb GOLD = rgb8(226, 184, 104);
const rgb INK = rgb8(16, 12, 10);
constexpr float PI = 3.14159265f;

// A star of n points between radii inner and outer, turned by angle.
std::vector<float> star(float cx, float cy, int n, float inner, float outer, float angle) {
    std::vector<float> xy;
    for (int i = 0; i < 2 * n; ++i) {
        const float a = angle + i * PI / n, r = i % 2 ? inner : outer;
        xy.push_back(cx + r * std::sin(a));
        xy.push_back(cy - r * std::cos(a));
    }
    return xy;
}

}  // namespace

// Eight icons: poison, paralysis, blindness, levitation, sleep, regeneration,
// protection, burning; each on a dark roundel.
canvas paint_status_icons() {
    constexpr int N = 8;
    canvas c(13, 13 * N);
    for (int i = 0; i < N; ++i) {
        const float cx = 6.5f, cy = 13 * i + 6.5f;
        disc(c, cx, cy, 6.4f, rgb8(10, 8, 8));
        disc(c, cx, cy, 5.4f, rgb8(48, 44, 46));
        switch (i) {
            case 0:  // a green drop
                fill_polygon(c, {cx, cy - 4.5f, cx + 3, cy, cx - 3, cy}, rgb8(90, 220, 70));
                disc(c, cx, cy + 1, 3, rgb8(90, 220, 70));
                break;
            case 1:  // a blue chain bar
                stroke(c, cx - 3.5f, cy - 3.5f, cx + 3.5f, cy + 3.5f, 2, rgb8(120, 170, 255));
                stroke(c, cx - 3.5f, cy + 3.5f, cx + 3.5f, cy - 3.5f, 2, rgb8(120, 170, 255));
                break;
            case 2:  // a crossed eye
                disc(c, cx, cy, 3.6f, rgb8(230, 230, 220));
                disc(c, cx, cy, 1.6f, INK);
                stroke(c, cx - 4.5f, cy + 4, cx + 4.5f, cy - 4, 1.4f, rgb8(230, 50, 40));
                break;
            case 3:  // a white feather arrow upwards
                fill_polygon(c, {cx, cy - 5, cx + 4, cy - 0.5f, cx - 4, cy - 0.5f}, rgb8(240, 240, 250));
                stroke(c, cx, cy - 1, cx, cy + 4.5f, 1.8f, rgb8(240, 240, 250));
                break;
            case 4:  // a violet crescent moon
                disc(c, cx, cy, 4.2f, rgb8(190, 150, 255));
                disc(c, cx + 2, cy - 1.5f, 3.6f, rgb8(48, 44, 46));
                break;
            case 5:  // a red cross
                stroke(c, cx, cy - 4, cx, cy + 4, 2.6f, rgb8(236, 60, 50));
                stroke(c, cx - 4, cy, cx + 4, cy, 2.6f, rgb8(236, 60, 50));
                break;
            case 6:  // a gold shield
                fill_polygon(
                    c, {cx - 4, cy - 4, cx + 4, cy - 4, cx + 4, cy + 0.5f, cx, cy + 5, cx - 4, cy + 0.5f},
                    GOLD);
                break;
            default:  // a flame
                fill_polygon(c, {cx, cy - 5, cx + 3.5f, cy + 1, cx, cy + 4.5f, cx - 3.5f, cy + 1},
                             rgb8(250, 130, 30));
                disc(c, cx, cy + 1.5f, 2, rgb8(255, 230, 120));
                break;
        }
    }
    return c;
}

canvas paint_death() {
    canvas c(54, 75);
    fill(c, {0, 0, 54, 75}, [](int x, int y) { return slate(x, y, 471) * 0.45f; });
    vignette(c, {0, 0, 54, 75}, 0.6f);
    const rgb bone = rgb8(214, 204, 178), shadow = rgb8(120, 108, 90);
    // Crossed bones behind the skull.
    stroke(c, 8, 60, 46, 24, 4, shadow);
    stroke(c, 46, 60, 8, 24, 4, shadow);
    stroke(c, 8, 59, 46, 23, 3, bone);
    stroke(c, 46, 59, 8, 23, 3, bone);
    for (float x : {7.0f, 47.0f})
        for (float y : {23.0f, 59.0f}) disc(c, x, y, 2.8f, bone);
    // The skull.
    disc(c, 27, 33, 13, shadow);
    disc(c, 27, 32, 12.5f, bone);
    fill_polygon(c, {19, 38, 35, 38, 33, 50, 21, 50}, bone);
    disc(c, 22, 33, 3.6f, INK);
    disc(c, 32, 33, 3.6f, INK);
    fill_polygon(c, {27, 37, 29, 42, 25, 42}, INK);
    for (float x : {22.5f, 25.5f, 28.5f, 31.5f}) stroke(c, x, 45, x, 50, 0.9f, shadow);
    return c;
}

canvas paint_bones() {
    // A fallen member seen in the view: a skull and scattered bones lying on
    // the floor, on a clear ground. The view scales it like a member's figure.
    canvas c(194, 80);
    const rgb bone = rgb8(214, 204, 178), shadow = rgb8(110, 98, 80);
    const float bones[][4] = {{30, 62, 92, 70}, {104, 72, 166, 58}, {58, 52, 82, 76}, {120, 50, 150, 74}};
    for (const auto& b : bones) {
        stroke(c, b[0], b[1] + 2, b[2], b[3] + 2, 6, shadow);
        stroke(c, b[0], b[1], b[2], b[3], 4.5f, bone);
        for (int end = 0; end < 2; ++end) disc(c, b[end * 2], b[end * 2 + 1], 4, bone);
    }
    disc(c, 97, 44, 19, shadow);
    disc(c, 97, 42, 18, bone);
    fill_polygon(c, {86, 50, 108, 50, 105, 64, 89, 64}, bone);
    disc(c, 90, 42, 5, INK);
    disc(c, 104, 42, 5, INK);
    fill_polygon(c, {97, 48, 100, 55, 94, 55}, INK);
    return c;
}

canvas paint_hit() {
    canvas c(44, 36);
    fill_polygon(c, star(22, 18, 9, 9, 18, 0.2f), rgb8(60, 8, 6));
    fill_polygon(c, star(22, 18, 9, 8, 16, 0.2f), rgb8(200, 30, 20));
    disc(c, 22, 18, 8.5f, rgb8(96, 10, 8));  // dark behind the yellow amount
    return c;
}

canvas paint_blood(int size) {
    constexpr int W = 120, FRAME = 105, FRAMES = 8;
    canvas c(W, FRAME * FRAMES);
    const float full = 20.0f + 9.0f * size;
    for (int f = 0; f < FRAMES; ++f) {
        const int top = f * FRAME;
        // Spreads over the first three frames, then dries and thins out.
        const float grow = std::min(1.0f, (f + 1) / 3.0f);
        const float fade = f < 4 ? 1.0f : 1.0f - (f - 3) * 0.18f;
        const float radius = full * (0.55f + 0.45f * grow);
        for (int y = 0; y < FRAME; ++y)
            for (int x = 0; x < W; ++x) {
                const float dx = x + 0.5f - 60, dy = y + 0.5f - 51;
                const float a = std::atan2(dy, dx);
                const float edge =
                    radius * (0.8f + 0.35f * noise(std::cos(a) * 2 + 5, std::sin(a) * 2 + 5, 481 + size));
                const float d = std::sqrt(dx * dx + dy * dy);
                if (d > edge) continue;
                const float wet = 1 - d / edge;
                rgb k = mix(rgb8(90, 6, 6), rgb8(180, 20, 14), std::min(1.0f, wet * 2));
                k = k * (0.85f + 0.3f * noise(x / 6.0f, y / 6.0f, 482, 2)) * fade;
                c.set(x, top + y, k);
            }
        // Droplets flung outwards.
        for (int i = 0; i < 10 + 4 * size; ++i) {
            const float a = grain(i, size, 483) * 2 * PI,
                        dist = radius * (1.05f + 0.5f * grain(i, size, 484) * grow);
            disc(c, 60 + std::cos(a) * dist, top + 51 + std::sin(a) * dist, 1.2f + 2.0f * grain(i, 0, 485),
                 rgb8(150, 14, 10) * fade);
        }
        // A dark plate in the middle so the white number stays legible.
        disc(c, 60, top + 51, 9, rgb8(50, 4, 4), 0.8f);
    }
    return c;
}

canvas paint_sparkle() {
    constexpr int FRAMES = 15;
    canvas c(16, 16 * FRAMES);
    for (int f = 0; f < FRAMES; ++f) {
        const float t = f / float(FRAMES - 1);
        const float size = 7.5f * std::sin(t * PI) + 0.8f;
        const float cy = f * 16 + 8.0f;
        fill_polygon(c, star(8, cy, 4, size * 0.25f, size, t * PI / 2), rgb8(255, 214, 120));
        disc(c, 8, cy, size * 0.3f, rgb8(255, 250, 220));
    }
    return c;
}

canvas paint_note_panel() {
    canvas c(640, 102);
    fill(c, {0, 0, 640, 102}, [](int x, int y) { return slate(x, y, 491); });
    vignette(c, {0, 0, 640, 102}, 0.25f);
    bronze_frame(c, {0, 0, 640, 102}, 4, 492);
    // The plaque for the caption centred on (103, 52).
    fill(c, {62, 44, 82, 17}, [](int x, int y) { return slate(x, y, 493) * 0.45f; });
    bevel(c, {62, 44, 82, 17}, 2, 0.9f, false);
    // A wooden flute under twelve note plates (names centred on 156 + 22 i, 32).
    fill(c, {146, 58, 266, 16}, [](int x, int y) { return dark_wood(x, y, 494) * 1.3f; });
    bevel(c, {146, 58, 266, 16}, 3, 0.6f);
    for (int x : {146, 408}) fill(c, {x, 58, 4, 16}, [](int px, int py) { return bronze(px, py, 495); });
    for (int i = 0; i < 12; ++i) {
        const int cx = 156 + 22 * i;
        fill(c, {cx - 10, 24, 20, 16}, [](int x, int y) { return slate(x, y, 496) * 0.4f; });
        bevel(c, {cx - 10, 24, 20, 16}, 1, 0.9f, false);
        disc(c, cx, 66, 3.4f, rgb8(12, 8, 6));
        disc(c, cx - 0.6f, 65.4f, 2.2f, rgb8(4, 2, 2));
    }
    return c;
}

canvas paint_boat() {
    constexpr int W = 640, H = 59;
    canvas c(W, H);
    // The gunwales curve out from the prow at the top centre to the near
    // corners; under them the boat's sides fall to its floor, whose planks
    // run towards the prow.
    auto gunwale_y = [](float x) { return 4 + 50 * std::pow(std::fabs(x - 320) / 330, 1.5f); };
    auto side_depth = [](float x) { return 3 + 16 * std::fabs(x - 320) / 320; };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float top = gunwale_y(x + 0.5f);
            const float t = coverage(x, y, [&](float px, float py) { return py >= gunwale_y(px); });
            if (t < 0.5f) continue;
            const float below = y + 0.5f - top;
            rgb k;
            if (below < side_depth(x + 0.5f)) {
                // The inside of the side: strakes parallel to the gunwale, lit from above.
                const float strake = below / 4.0f;
                k = dark_wood(x, static_cast<int>(strake * 7), 504) *
                    (1.25f - 0.5f * below / side_depth(x + 0.5f));
                if (std::fmod(strake, 1.0f) < 0.22f) k = k * 0.55f;
            } else {
                const float along = (x - 320) / std::max(1.0f, y - 2.0f);
                k = dark_wood(static_cast<int>(along * 40), y * 3, 501) * (0.35f + 0.55f * y / H);
                if (std::fmod(std::fabs(along) * 3 + 0.5f, 1.0f) < 0.1f) k = k * 0.5f;
            }
            c.set(x, y, k);
        }
    // A thwart across the boat near the viewer.
    for (int y = 46; y < 55; ++y)
        for (int x = 0; x < W; ++x)
            if (y >= gunwale_y(x + 0.5f) + side_depth(x + 0.5f))
                c.set(x, y, dark_wood(x, y, 503) * (y < 48 ? 1.4f : 1.05f - 0.05f * (y - 48)));
    for (int x = 0; x < W; ++x)
        if (55 >= gunwale_y(x + 0.5f) + side_depth(x + 0.5f)) c.set(x, 55, c.get(x, 55) * 0.4f);
    // The gunwale rails, thicker towards the viewer, and the stem post.
    for (int side : {-1, 1}) {
        std::vector<float> rail;
        for (int i = 0; i <= 16; ++i) {
            const float x = 320 + side * 330.0f * i / 16;
            rail.push_back(x), rail.push_back(gunwale_y(x) - 1 - 3.0f * i / 16);
        }
        for (int i = 16; i >= 0; --i) {
            const float x = 320 + side * 330.0f * i / 16;
            rail.push_back(x), rail.push_back(gunwale_y(x) + 2 + 5.0f * i / 16);
        }
        fill_polygon(c, rail, rgb8(104, 72, 42));
        for (int i = 0; i < 16; ++i) {
            const float x0 = 320 + side * 330.0f * i / 16, x1 = 320 + side * 330.0f * (i + 1) / 16;
            stroke(c, x0, gunwale_y(x0) - 1 - 3.0f * i / 16, x1, gunwale_y(x1) - 1 - 3.0f * (i + 1) / 16,
                   1.2f, rgb8(176, 132, 84));
        }
    }
    fill_polygon(c, {314, 0, 326, 0, 329, 12, 311, 12}, rgb8(70, 46, 28));
    fill(c, {312, 10, 16, 4}, [](int x, int y) { return bronze(x, y, 502); });
    return c;
}

canvas paint_cursor(char kind) {
    constexpr int S = 28;
    canvas c(S, S);
    const std::vector<float> arrow = {0.2f, 0.2f, 0.2f, 19, 5, 15, 9, 23.5f, 12.5f, 22, 8.5f, 14, 14.5f, 14};
    std::vector<float> inside(S * S, 0);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x)
            inside[y * S + x] = coverage(x, y, [&](float px, float py) {
                bool in = false;
                const size_t n = arrow.size() / 2;
                for (size_t i = 0, j = n - 1; i < n; j = i++) {
                    const float xi = arrow[2 * i], yi = arrow[2 * i + 1], xj = arrow[2 * j],
                                yj = arrow[2 * j + 1];
                    if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) in = !in;
                }
                return in;
            });
    auto in = [&](int x, int y) { return x >= 0 && y >= 0 && x < S && y < S && inside[y * S + x] >= 0.4f; };
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            if (!in(x, y)) continue;
            const bool edge = !in(x - 1, y) || !in(x + 1, y) || !in(x, y - 1) || !in(x, y + 1);
            // Bronze face lit from the top left.
            c.set(x, y, edge ? INK : mix(rgb8(250, 220, 150), rgb8(150, 100, 44), (x + y) / 26.0f));
        }
    c.set(0, 0, INK);
    const float bx = 20, by = 20;
    switch (kind) {
        case 'x':
            disc(c, bx, by, 7, INK);
            disc(c, bx, by, 6, rgb8(170, 24, 18));
            stroke(c, bx - 3, by - 3, bx + 3, by + 3, 2, rgb8(255, 240, 230));
            stroke(c, bx - 3, by + 3, bx + 3, by - 3, 2, rgb8(255, 240, 230));
            break;
        case 'w':
            disc(c, bx, by, 7, INK);
            disc(c, bx, by, 6, rgb8(40, 80, 170));
            letter(c, '?', 18, 17, 1, rgb8(255, 255, 255));
            break;
        case 'z':
            fill_polygon(c, star(bx, by, 4, 2.5f, 8, 0), INK);
            fill_polygon(c, star(bx, by, 4, 1.8f, 6.8f, 0), rgb8(255, 226, 120));
            disc(c, bx, by, 1.8f, rgb8(255, 255, 240));
            break;
        default:
            break;
    }
    return c;
}

// The twelve-pixel tiles of the panel frame, cut out of a frame painted
// around a 12 x 12 inside: corners, edges, corners, in the order top-left,
// top, top-right, left, right, bottom-left, bottom, bottom-right.
canvas paint_tile_frame() {
    canvas whole(36, 36);
    // The band runs from 3 pixels out to the inner edge of each tile, so it
    // meets the panel's fill.
    bronze_frame(whole, {3, 3, 30, 30}, 9, 511);
    for (float p : {7.5f, 28.5f})
        for (float q : {6.0f, 30.0f}) rivet(whole, p, q, 2.0f);
    canvas c(12, 96);
    const int tiles[8][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
    for (int t = 0; t < 8; ++t) c.paste(whole.crop({tiles[t][0] * 12, tiles[t][1] * 12, 12, 12}), 0, 12 * t);
    return c;
}

canvas paint_window_texture() {
    canvas c(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const float layers = forge::fbm_noise(x / 16.0f, y / 8.0f, 4, 8, 4, 521);
            const float cloud = forge::fbm_noise(x / 8.0f, y / 8.0f, 8, 8, 3, 522);
            rgb k = mix(rgb8(40, 42, 48), rgb8(70, 72, 76), layers);
            k = mix(k, rgb8(66, 56, 48), cloud * 0.4f);
            c.set(x, y, k * (0.94f + 0.1f * grain(x, y, 523)));
        }
    return c;
}

canvas paint_pause_texture() {
    // Dark planks 16 pixels wide whose grain repeats every 64 pixels.
    canvas c(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int board = x / 16;
            const float wave = forge::fbm_noise(x / 16.0f, y / 8.0f, 4, 8, 3, 531 + board) * 3;
            const float rings = 0.5f + 0.5f * std::sin((x % 16 + wave) * 1.4f);
            rgb k = mix(rgb8(46, 30, 18), rgb8(80, 54, 32),
                        rings * 0.5f + 0.3f * forge::fbm_noise(x / 4.0f, y / 16.0f, 16, 4, 2, 541));
            k = k * (0.85f + 0.1f * (board % 2) + 0.08f * grain(x, y, 533));
            if (x % 16 == 0) k = rgb8(20, 12, 8);
            c.set(x, y, k);
        }
    return c;
}

}  // namespace screen_art
