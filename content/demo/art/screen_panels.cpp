// The panels around the view: top bar, compass, bottom desk, party slot and
// the arrow panel.
#include <algorithm>
#include <cmath>
#include <functional>

#include "screen_art.h"

namespace screen_art {

using namespace forge::paint;

namespace {

const rgb GOLD = rgb8(226, 184, 104);
const rgb INK = rgb8(16, 12, 10);

}  // namespace

canvas paint_topbar() {
    canvas c(640, 16);
    fill(c, {0, 0, 640, 16}, [](int x, int y) { return dark_wood(x, y, 401); });
    // Bronze lips along the top and bottom edges.
    fill(c, {0, 0, 640, 3}, [](int x, int y) { return bronze(x, y, 402); });
    fill(c, {0, 13, 640, 3}, [](int x, int y) { return bronze(x, y, 403); });
    bevel(c, {0, 0, 640, 3}, 1, 0.7f);
    bevel(c, {0, 13, 640, 3}, 1, 0.7f);
    shade(c, {0, 3, 640, 1}, 0.5f);
    // Bronze plates with rivets every so often along the bar.
    for (int x = 12; x < 380; x += 60) {
        fill(c, {x, 3, 20, 10}, [](int px, int py) { return bronze(px, py, 404); });
        bevel(c, {x, 3, 20, 10}, 2, 0.8f);
        rivet(c, x + 5.0f, 8.0f, 2.2f);
        rivet(c, x + 15.0f, 8.0f, 2.2f);
    }
    // The money plate: a sunken slate recess left of the compass (the sum
    // is written right-aligned at 460).
    fill(c, {396, 2, 70, 12}, [](int x, int y) { return slate(x, y, 405) * 0.8f; });
    bevel(c, {396, 2, 70, 12}, 2, 0.9f, false);
    // A coin mark at the plate's left end.
    disc(c, 405.0f, 8.0f, 3.6f, rgb8(90, 64, 26));
    disc(c, 404.6f, 7.6f, 2.8f, GOLD);
    // The compass housing (the compass strip itself is drawn over 476-577).
    fill(c, {471, 0, 112, 16}, [](int x, int y) { return bronze(x, y, 406); });
    bevel(c, {471, 0, 112, 16}, 2, 0.8f);
    fill(c, {476, 0, 102, 16}, [](int, int) { return INK; });
    for (int x : {584, 630}) rivet(c, x + 4.0f, 8.0f, 2.2f);
    for (int x = 590; x < 626; x += 12) rivet(c, x + 4.0f, 8.0f, 1.6f);
    return c;
}

// The compass: a drum of dark slate whose rim carries N, E, S and W 60 pixels
// apart, tick marks every 10 and diamonds half way between the letters. The
// drum turns 6 pixels per frame; frame (3 - direction) x 10 centres the
// letter of that direction (frame 30 north, 20 east, 10 south, 0 west), so
// turning right lowers the frame and the letters slide to the left.
constexpr int COMPASS_W = 102, COMPASS_H = 16, COMPASS_ROUND = 240, COMPASS_STEP = 6;

namespace {

// N, E, S and W in bold strokes, 7 x 7.
const char* const COMPASS_GLYPHS[4][7] = {
    {"##...##", "###..##", "####.##", "##.####", "##..###", "##...##", "##...##"},
    {"#######", "##.....", "##.....", "######.", "##.....", "##.....", "#######"},
    {".#####.", "##...##", "##.....", ".#####.", ".....##", "##...##", ".#####."},
    {"##...##", "##...##", "##.#.##", "##.#.##", "#######", "###.###", "##...##"}};

void compass_letter(canvas& c, int which, int x, int y, const rgb& colour) {
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 7; ++col)
            if (COMPASS_GLYPHS[which][row][col] == '#') c.set(x + col, y + row, colour);
}

}  // namespace

canvas paint_compass() {
    // One turn of the drum's rim, flat.
    canvas strip(COMPASS_ROUND, COMPASS_H);
    fill(strip, {0, 0, COMPASS_ROUND, COMPASS_H},
         [](int x, int y) { return mix(slate(x, y, 411), rgb8(30, 26, 22), 0.35f); });
    for (int p = 0; p < COMPASS_ROUND; p += 10) {
        if (p % 60 == 0) continue;  // a letter stands there
        const bool major = p % 30 == 0;
        for (int y = major ? 11 : 12; y < 14; ++y) strip.set(p, y, mix(strip.get(p, y), GOLD, 0.8f));
    }
    for (int i = 0; i < 4; ++i) {
        const int p = i * 60;
        // A bold capital seven pixels wide centred on p, with a shadow; letters
        // near the seam are drawn on both sides of it.
        for (int wrap : {0, -COMPASS_ROUND, COMPASS_ROUND}) {
            compass_letter(strip, i, p + wrap - 2, 5, INK);
            compass_letter(strip, i, p + wrap - 3, 4, i == 0 ? rgb8(240, 104, 64) : GOLD);
        }
        // Diamonds between the letters.
        const float q = static_cast<float>(p + 30);
        for (int wrap : {0, -COMPASS_ROUND}) {
            const float cx = q + wrap + 0.5f;
            fill_polygon(strip, {cx, 4.5f, cx + 2.5f, 7, cx, 9.5f, cx - 2.5f, 7}, GOLD * 0.8f);
        }
    }

    canvas c(COMPASS_W, COMPASS_H * 40);
    for (int f = 0; f < 40; ++f) {
        const int heading = ((30 - f) * COMPASS_STEP % COMPASS_ROUND + COMPASS_ROUND) % COMPASS_ROUND;
        const int top = f * COMPASS_H;
        for (int x = 0; x < COMPASS_W; ++x) {
            const int s = ((heading + x - COMPASS_W / 2) % COMPASS_ROUND + COMPASS_ROUND) % COMPASS_ROUND;
            // The drum curves away: darker towards both ends.
            const float u = (x + 0.5f) / COMPASS_W * 2 - 1;
            const float round = std::cos(u * 1.25f);
            for (int y = 0; y < COMPASS_H; ++y) {
                const float v = (y + 0.5f) / COMPASS_H * 2 - 1;
                c.set(x, top + y, strip.get(s, y) * (0.35f + 0.75f * round) * (1.05f - 0.25f * v * v));
            }
        }
        // The housing lips above and below the drum, and the lubber mark.
        const rect lips[] = {{0, top, COMPASS_W, 2}, {0, top + 14, COMPASS_W, 2}};
        for (const rect& r : lips) {
            fill(c, r, [](int x, int y) { return bronze(x, y % COMPASS_H, 412); });
            bevel(c, r, 1, 0.7f);
        }
        for (int y = 0; y < COMPASS_H; ++y) {
            c.set(0, top + y, c.get(0, top + y) * 0.3f);
            c.set(COMPASS_W - 1, top + y, c.get(COMPASS_W - 1, top + y) * 0.3f);
        }
        const float mid = COMPASS_W / 2.0f;
        fill_polygon(c, {mid - 2.5f, top + 0.0f, mid + 2.5f, top + 0.0f, mid, top + 3.0f},
                     rgb8(250, 226, 160));
        fill_polygon(c, {mid - 2.5f, top + 16.0f, mid + 2.5f, top + 16.0f, mid, top + 13.0f},
                     rgb8(250, 226, 160));
    }
    return c;
}

canvas paint_desk(bool battle) {
    canvas c(640, 102);
    // In battle the slate takes a glow of embers.
    fill(c, {0, 0, 640, 102}, [&](int x, int y) {
        const rgb k = slate(x, y, 421);
        return battle ? mix(k, k * 1.2f + rgb8(40, 6, 0), 0.8f) : k;
    });
    vignette(c, {0, 0, 640, 102}, 0.25f);
    bronze_frame(c, {0, 0, 640, 102}, 4, 422);
    // The trough the party slots stand in: sunken slate, a little darker.
    shade(c, {52, 4, 448, 94}, 0.78f);
    bevel(c, {52, 4, 448, 94}, 2, 0.9f, false);
    // The left pillar: a bronze plate with a shield boss.
    fill(c, {6, 8, 42, 86}, [](int x, int y) { return bronze(x, y, 423) * 0.9f; });
    bevel(c, {6, 8, 42, 86}, 3, 0.8f);
    for (float y : {14.0f, 88.0f}) {
        rivet(c, 13, y, 2.4f);
        rivet(c, 41, y, 2.4f);
    }
    const std::vector<float> shield = {14, 28, 40, 28, 40, 52, 27, 72, 14, 52};
    fill_polygon(c, shield, rgb8(30, 26, 24));
    const std::vector<float> inner = {16, 30, 38, 30, 38, 51, 27, 69, 16, 51};
    fill_polygon(c, inner, battle ? rgb8(40, 40, 46) : rgb8(110, 30, 26));
    if (battle) {
        // Crossed swords: blades, guards and pommels.
        for (int side : {-1, 1}) {
            const float x0 = 27 - side * 9.0f, x1 = 27 + side * 8.0f;
            stroke(c, x0, 34, x1, 62, 2.4f, rgb8(214, 214, 220));
            stroke(c, x1 - side * 4.5f, 55, x1 + side * 1.5f, 51.5f, 1.6f, GOLD);
            disc(c, x1 + side * 1.0f, 64, 1.6f, GOLD);
        }
    } else {
        stroke(c, 27, 32, 27, 66, 2.2f, GOLD);
        stroke(c, 18, 41, 36, 41, 2.2f, GOLD);
    }
    // Between the trough and the arrow panel, a bronze upright.
    fill(c, {500, 4, 4, 94}, [](int x, int y) { return bronze(x, y, 424); });
    bevel(c, {500, 4, 4, 94}, 1, 0.8f);
    return c;
}

canvas paint_slot() {
    canvas c(74, 102);
    fill(c, {0, 0, 74, 102}, [](int x, int y) { return bronze(x, y, 431); });
    bevel(c, {0, 0, 74, 102}, 2, 0.8f);
    // Corner rivets of the header band.
    rivet(c, 8, 6, 2.2f);
    rivet(c, 65, 6, 2.2f);
    rivet(c, 36.5f, 6, 1.8f);
    // The portrait well (3, 12) - (56, 86): dark, sunken, a faint lit rim.
    fill(c, {2, 11, 56, 77}, [](int x, int y) { return slate(x, y, 432) * 0.55f; });
    bevel(c, {2, 11, 56, 77}, 1, 1.0f, false);
    // The three bars: hit points, condition, magic, full from row 13 to 84.
    fill(c, {58, 11, 14, 76}, [](int, int) { return INK; });
    const rgb bars[3][2] = {{rgb8(96, 14, 12), rgb8(230, 60, 44)},
                            {rgb8(90, 76, 12), rgb8(226, 196, 64)},
                            {rgb8(16, 36, 110), rgb8(80, 140, 240)}};
    for (int b = 0; b < 3; ++b) {
        const int x0 = 60 + 4 * b;
        for (int y = 13; y < 85; ++y)
            for (int x = x0; x < x0 + 3; ++x) {
                const float across = x == x0 + 1 ? 1.0f : 0.72f;  // rounded like a glass tube
                const float along = 0.75f + 0.25f * (84 - y) / 71.0f;
                c.set(x, y, mix(bars[b][0], bars[b][1], along * across));
            }
    }
    // The name plate under the portrait.
    fill(c, {4, 89, 66, 11}, [](int x, int y) { return slate(x, y, 433) * 0.5f; });
    bevel(c, {4, 89, 66, 11}, 1, 0.9f, false);
    return c;
}

// ------------------------------------------------------------ arrow panel

namespace {

constexpr int ARROW_W = 142, ARROW_H = 102, ARROW_FRAME = 110;

// Buttons: 0 forward, 1 right, 2 back, 3 left, 4 turn right, 5 turn left.
rect button_rect(int button) {
    static const int column[6] = {1, 2, 1, 0, 2, 0}, row[6] = {0, 1, 1, 1, 0, 0};
    return {6 + 44 * column[button], 7 + 46 * row[button], 42, 42};
}

// The arrow on a button, centred on (cx, cy).
void arrow_glyph(canvas& c, int button, float cx, float cy, const rgb& colour) {
    if (button < 4) {
        // A straight arrow pointing up, turned for the others.
        const float shape[] = {0, -13, 11, -1, 4.5f, -1, 4.5f, 12, -4.5f, 12, -4.5f, -1, -11, -1};
        const int turns[4] = {0, 1, 2, 3};  // forward up, right, back down, left
        std::vector<float> xy;
        for (int i = 0; i < 14; i += 2) {
            float x = shape[i], y = shape[i + 1];
            for (int t = 0; t < turns[button]; ++t) {
                const float nx = -y, ny = x;
                x = nx, y = ny;
            }
            xy.push_back(cx + x), xy.push_back(cy + y);
        }
        fill_polygon(c, xy, colour);
        return;
    }
    // A turning arrow: an arc over the top ending in a head pointing down.
    const bool right = button == 4;
    const float r_out = 12, r_in = 6.5f, ccy = cy + 1;
    auto in_arc = [&](float x, float y) {
        const float dx = (right ? x - cx : cx - x), dy = y - ccy;
        const float d2 = dx * dx + dy * dy;
        if (d2 > r_out * r_out || d2 < r_in * r_in) return false;
        const float angle = std::atan2(dy, dx);  // -pi..pi, up is negative
        return angle <= 0.0f && angle >= -3.1416f * 0.98f;
    };
    for (int y = static_cast<int>(ccy - r_out - 1); y <= ccy + 1; ++y)
        for (int x = static_cast<int>(cx - r_out - 1); x <= cx + r_out + 1; ++x) {
            const float t = coverage(x, y, in_arc);
            if (t > 0) c.blend(x, y, colour, t);
        }
    const float mid = (r_out + r_in) / 2, s = right ? 1.0f : -1.0f;
    fill_polygon(c, {cx + s * (mid - 8), ccy, cx + s * (mid + 8), ccy, cx + s * mid, ccy + 10}, colour);
    // The stub of the arc's start on the other side.
    fill_polygon(c,
                 {cx - s * r_out, ccy, cx - s * r_in, ccy, cx - s * r_in, ccy + 5, cx - s * r_out, ccy + 5},
                 colour);
}

// depth 0 at rest, 1..3 ever deeper pressed.
void paint_button(canvas& c, int button, int depth) {
    const rect r = button_rect(button);
    // The bronze ring around the button's face.
    bronze_frame(c, r, 3, 441 + button);
    const rect face = r.inset(3);
    fill(c, face,
         [&](int x, int y) { return slate(x, y, 451 + button) * (depth ? 0.8f - 0.06f * depth : 1.05f); });
    if (depth == 0) {
        bevel(c, face, 3, 0.75f, true);
    } else {
        bevel(c, face, 1 + depth, 0.9f, false);
        // Warm torchlight seeps from the pressed face.
        for (int y = face.y; y < face.y + face.h; ++y)
            for (int x = face.x; x < face.x + face.w; ++x) {
                const float dx = x + 0.5f - (face.x + face.w / 2.0f),
                            dy = y + 0.5f - (face.y + face.h / 2.0f);
                const float glow = 0.12f * depth * std::exp(-(dx * dx + dy * dy) / 220.0f);
                c.set(x, y, c.get(x, y) + rgb8(255, 140, 50) * glow);
            }
    }
    const float shift = depth ? 1.0f + (depth > 1) : 0.0f;
    const float cx = r.x + r.w / 2.0f + shift, cy = r.y + r.h / 2.0f + shift;
    arrow_glyph(c, button, cx + 1.5f, cy + 1.5f, rgb8(8, 6, 6));
    const rgb face_colour = depth == 0 ? GOLD : mix(GOLD, rgb8(255, 236, 150), 0.3f * depth);
    arrow_glyph(c, button, cx, cy, face_colour);
}

// The panel alone, ARROW_FRAME rows (the last ones below the screen's edge).
canvas paint_arrow_panel(int pressed, int depth) {
    canvas c(ARROW_W, ARROW_FRAME);
    fill(c, {0, 0, ARROW_W, ARROW_FRAME}, [](int x, int y) { return dark_wood(x, y, 461); });
    bronze_frame(c, {0, 0, ARROW_W, ARROW_H}, 4, 462);
    for (int b = 0; b < 6; ++b) paint_button(c, b, b == pressed ? depth : 0);
    return c;
}

}  // namespace

// ------------------------------------------------------------ battle controls

namespace {

// The eight planning buttons: four columns and two rows of 31 x 42 (the
// battle screen's layout): attack, cast, run, walk; inventory, rest, clear, go.
rect battle_button_rect(int button) {
    return {5 + 33 * (button % 4), 6 + 46 * (button / 4), 31, 42};
}

// A shape given by a test of points, drawn antialiased around (cx, cy).
void shape(canvas& c, float cx, float cy, float reach, const rgb& colour,
           const std::function<bool(float, float)>& inside) {
    for (int y = static_cast<int>(cy - reach); y <= cy + reach; ++y)
        for (int x = static_cast<int>(cx - reach); x <= cx + reach; ++x) {
            const float t = coverage(x, y, inside);
            if (t > 0) c.blend(x, y, colour, t);
        }
}

void battle_glyph(canvas& c, int button, float cx, float cy, const rgb& colour) {
    switch (button) {
        case 0:  // a sword, point up and to the right
            stroke(c, cx - 6, cy + 6, cx + 7, cy - 9, 2.6f, colour);
            stroke(c, cx - 8, cy + 2, cx - 2, cy + 8, 2.0f, colour);
            stroke(c, cx - 6, cy + 6, cx - 9, cy + 10, 1.8f, colour);
            disc(c, cx - 9.5f, cy + 10.5f, 1.8f, colour);
            break;
        case 1:  // a rune stone with its sign
            shape(c, cx, cy, 12, colour, [&](float x, float y) {
                const float dx = (x - cx) / 8.0f, dy = (y - cy) / 11.0f;
                const float d = dx * dx + dy * dy;
                return d <= 1.0f && d >= 0.62f;
            });
            stroke(c, cx - 2, cy - 6, cx - 2, cy + 6, 1.6f, colour);
            stroke(c, cx - 2, cy - 6, cx + 3, cy - 2, 1.6f, colour);
            stroke(c, cx + 3, cy - 2, cx - 2, cy + 1, 1.6f, colour);
            stroke(c, cx - 2, cy + 1, cx + 3, cy + 6, 1.6f, colour);
            break;
        case 2:  // running legs in a long stride
            stroke(c, cx - 1, cy - 9, cx + 5, cy - 1, 2.6f, colour);
            stroke(c, cx + 5, cy - 1, cx + 3, cy + 8, 2.4f, colour);
            stroke(c, cx + 3, cy + 8, cx + 8, cy + 8, 2.0f, colour);
            stroke(c, cx - 1, cy - 9, cx - 5, cy, 2.6f, colour);
            stroke(c, cx - 5, cy, cx - 10, cy + 4, 2.4f, colour);
            stroke(c, cx - 10, cy + 4, cx - 11, cy + 8, 2.0f, colour);
            disc(c, cx - 1, cy - 10, 2.6f, colour);
            break;
        case 3:  // two footsteps, one ahead of the other
            for (int foot : {0, 1}) {
                const float fx = cx + (foot ? 4.0f : -4.0f), fy = cy + (foot ? -5.0f : 5.0f);
                shape(c, fx, fy, 6, colour, [&](float x, float y) {
                    const float dx = (x - fx) / 3.0f, dy = (y - fy + 1) / 4.5f;
                    return dx * dx + dy * dy <= 1.0f;
                });
                disc(c, fx, fy + 5.5f, 1.9f, colour);
            }
            break;
        case 4:  // a bag tied at the neck
            fill_polygon(c,
                         {cx - 4, cy - 5, cx + 4, cy - 5, cx + 9, cy + 4, cx + 7, cy + 9, cx - 7, cy + 9,
                          cx - 9, cy + 4},
                         colour);
            fill_polygon(c, {cx - 5, cy - 11, cx + 5, cy - 11, cx + 2, cy - 6, cx - 2, cy - 6}, colour);
            stroke(c, cx - 5, cy - 6, cx + 5, cy - 6, 1.4f, colour * 0.6f);
            break;
        case 5:  // the moon: a night's rest
            shape(c, cx, cy, 11, colour, [&](float x, float y) {
                const float a = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                const float b = (x - cx - 4.5f) * (x - cx - 4.5f) + (y - cy + 3) * (y - cy + 3);
                return a <= 100.0f && b > 64.0f;
            });
            disc(c, cx + 7, cy - 8, 1.0f, colour);
            disc(c, cx + 9, cy + 2, 0.8f, colour);
            break;
        case 6:  // a cross: the plan taken back
            stroke(c, cx - 7, cy - 7, cx + 7, cy + 7, 3.2f, colour);
            stroke(c, cx + 7, cy - 7, cx - 7, cy + 7, 3.2f, colour);
            break;
        default:  // the sun: the round begins
            disc(c, cx, cy, 5.0f, colour);
            for (int k = 0; k < 8; ++k) {
                const float a = k * 3.14159f / 4, ca = std::cos(a), sa = std::sin(a);
                stroke(c, cx + 7.5f * ca, cy + 7.5f * sa, cx + 11.5f * ca, cy + 11.5f * sa, 1.8f, colour);
            }
            break;
    }
}

// The same button face as the arrows: a bronze ring round a slate face that
// sinks and glows when pressed.
void paint_battle_button(canvas& c, int button, bool pressed) {
    const rect r = battle_button_rect(button);
    bronze_frame(c, r, 2, 471 + button);
    const rect face = r.inset(2);
    fill(c, face, [&](int x, int y) { return slate(x, y, 481 + button) * (pressed ? 0.68f : 1.05f); });
    if (!pressed) {
        bevel(c, face, 2, 0.75f, true);
    } else {
        bevel(c, face, 3, 0.9f, false);
        for (int y = face.y; y < face.y + face.h; ++y)
            for (int x = face.x; x < face.x + face.w; ++x) {
                const float dx = x + 0.5f - (face.x + face.w / 2.0f),
                            dy = y + 0.5f - (face.y + face.h / 2.0f);
                c.set(x, y,
                      c.get(x, y) + rgb8(255, 140, 50) * (0.36f * std::exp(-(dx * dx + dy * dy) / 160.0f)));
            }
    }
    const float shift = pressed ? 1.0f : 0.0f;
    const float cx = r.x + r.w / 2.0f + shift, cy = r.y + r.h / 2.0f + shift;
    // The "go" button carries a red sun: it is the one that starts the round.
    const rgb ink = button == 7 ? rgb8(236, 96, 52) : GOLD;
    battle_glyph(c, button, cx + 1.2f, cy + 1.2f, rgb8(8, 6, 6));
    battle_glyph(c, button, cx, cy, pressed ? mix(ink, rgb8(255, 236, 150), 0.4f) : ink);
}

canvas paint_battle_panel(int pressed) {
    canvas c(ARROW_W, ARROW_H);
    fill(c, {0, 0, ARROW_W, ARROW_H}, [](int x, int y) { return dark_wood(x, y, 461); });
    bronze_frame(c, {0, 0, ARROW_W, ARROW_H}, 4, 462);
    for (int b = 0; b < 8; ++b) paint_battle_button(c, b, b == pressed);
    return c;
}

}  // namespace

canvas paint_battle_controls() {
    canvas c(ARROW_W, ARROW_H * 9);
    for (int f = 0; f < 9; ++f) c.paste(paint_battle_panel(f - 1), 0, f * ARROW_H);
    return c;
}

canvas paint_arrows(int pressed) {
    if (pressed < 0) {
        return paint_arrow_panel(-1, 0).crop({0, 0, ARROW_W, ARROW_H});
    }
    canvas c(ARROW_W, ARROW_FRAME * 3);
    for (int f = 0; f < 3; ++f) c.paste(paint_arrow_panel(pressed, f + 1), 0, f * ARROW_FRAME);
    return c;
}

}  // namespace screen_art
