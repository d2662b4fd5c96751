// Armour, clothes and jewels: each laid out flat for its icon and floor
// picture, and cut to the man's and the woman's figure for the inventory
// screen (the figures of the portrait painters: head centred on (97, 36),
// shoulders near row 80, waist near 160 for the man and 146 for the woman,
// feet on row 322).
#include <algorithm>
#include <cmath>

#include "item_art.h"

namespace item_art {

namespace {

const rgb BROWN = rgb8(110, 72, 44), DARK_BROWN = rgb8(72, 46, 30), PADDING = rgb8(164, 134, 88),
          MAIL = rgb8(150, 156, 166), WOOL = rgb8(76, 90, 74), CLOAK = rgb8(118, 42, 36),
          BRASS = rgb8(200, 156, 72), COPPER = rgb8(206, 118, 72), AMBER = rgb8(230, 140, 30),
          IRON = rgb8(128, 132, 140);

// Ring mail: rows of small rings, each lit on its upper edge.
material mail(const rgb& base) {
    const material m = metal(base, 1.0f, 40);
    return [m](const surface& s) {
        const int row = s.y / 2, col = (s.x + (row % 2) * 2) / 3;
        const bool gap = (s.x + (row % 2) * 2) % 3 == 0;
        const float k = gap ? 0.45f : (s.y % 2 == 0 ? 1.08f : 0.82f);
        (void)col;
        return m(s) * k;
    };
}

// The figure a garment is cut for.
struct figure {
    bool female;
    float arm;  // the shoulders' distance from the centre line
    float scale;
    float waist;                 // the row of the waist
    float torso(float y) const;  // half-width of the body at row y
    float shoulder_x(float side) const { return 97 + side * (arm - 3); }
    float elbow_x(float side) const { return shoulder_x(side) + side * 8; }
    float hand_x(float side) const { return shoulder_x(side) + side * 10; }
};

float rounded_top(float y, float top, float r, float w) {
    if (y < top) return 0;
    if (y >= top + r) return w;
    const float t = (top + r - y) / r;
    return w - r + r * std::sqrt(std::max(0.0f, 1 - t * t));
}

float figure::torso(float y) const {
    if (!female) {
        const float chest = y < 110 ? 41 : y < 168 ? 41 - (y - 110) * 0.17f : 31 + (y - 160) * 0.1f;
        return std::min(rounded_top(y, 68, 16, 43.0f), chest);
    }
    float w = y < 118   ? 34 - (y - 90) * 0.05f
              : y < 146 ? 32.6f - (y - 118) * 0.3f
              : y < 182 ? 24.2f + (y - 146) * 0.33f
                        : 36 + (y - 182) * 0.12f;
    return std::min(rounded_top(y, 72, 14, 36.0f), w);
}

figure figure_of(bool female) {
    return female ? figure{true, 32, 0.9f, 146} : figure{false, 40, 1.1f, 162};
}

// The outline of a garment round the body from row top to row hem, wider
// than the body by `ease`, widening below the waist by flare per row.
std::vector<float> body_outline(const figure& f, float top, float hem, float ease, float flare = 0) {
    std::vector<float> left, right;
    for (float y = top; y <= hem; y += 2) {
        float w = f.torso(y) + ease;
        if (y > f.waist) w = std::max(w, f.torso(f.waist) + ease + (y - f.waist) * flare);
        left.push_back(97 - w), left.push_back(y);
        right.push_back(97 + w), right.push_back(y);
    }
    std::vector<float> xy = left;
    for (size_t i = right.size(); i >= 2; i -= 2) xy.push_back(right[i - 2]), xy.push_back(right[i - 1]);
    return xy;
}

// Paints into a copy of the target, keeps only rows first..last and lays it on.
template <class F>
void within_rows(painter& p, float first, float last, F draw) {
    canvas scratch(p.target().width(), p.target().height());
    painter q(scratch, p.where());
    draw(q);
    for (int y = 0; y < scratch.height(); ++y)
        if (y < first || y > last)
            for (int x = 0; x < scratch.width(); ++x) scratch.clear_alpha(x, y);
    p.target().paste(scratch, 0, 0);
}

// Sleeves from the shoulder down to row `to` (the elbow is at 142).
void sleeves(painter& p, const figure& f, float to, float ease, const material& m) {
    for (float side : {-1.0f, 1.0f}) {
        const float sx = f.shoulder_x(side), ex = f.elbow_x(side), hx = f.hand_x(side);
        const float upper = 10.5f * f.scale + ease, fore = 8.5f * f.scale + ease;
        if (to <= 142) {
            const float t = (to - 92) / 50;
            p.rod(sx, 92, upper, sx + (ex - sx) * t, to, upper + (fore - upper) * t, m);
        } else {
            p.rod(sx, 92, upper, ex, 142, fore, m);
            const float t = (to - 142) / 50;
            p.rod(ex, 142, fore, ex + (hx - ex) * t, to, fore - 1.5f * t * f.scale, m);
        }
    }
}

// ---------------------------------------------------------------- worn

void worn_tunic(canvas& c, bool female) {
    const figure f = figure_of(female);
    painter p(c, pose{});
    const material m = cloth(PADDING, 41);
    const float hem = female ? 196 : 206;
    p.wrap(body_outline(f, 68, hem, 3), 97, f.torso(100) + 3, m);
    // Quilted in long channels, stitched across every ten rows.
    for (float x = 97 - 36; x <= 97 + 36; x += 7) p.line(x, 84, x, hem - 2, 0.6f, PADDING * 0.45f, 0.7f);
    for (float y = 96; y < hem - 4; y += 11) p.line(40, y, 154, y, 0.5f, PADDING * 0.5f, 0.5f);
    p.line(97, 70, 97, hem, 1.0f, PADDING * 0.4f, 0.9f);  // laced down the front
    for (float y = 76; y < 150; y += 9) p.line(94, y, 100, y + 3, 0.7f, DARK_BROWN, 0.9f);
    sleeves(p, f, 150, 2, m);
    for (float side : {-1.0f, 1.0f})
        p.rod(f.elbow_x(side) + side, 150, 9 * f.scale, f.elbow_x(side) + side * 1.5f, 153, 9 * f.scale,
              cloth(PADDING * 0.8f, 42));
    p.rod(97 - 10, 66, 2.4f, 97 + 10, 66, 2.4f, cloth(PADDING * 0.8f, 43));  // the collar
}

void worn_chain_shirt(canvas& c, bool female) {
    const figure f = figure_of(female);
    painter p(c, pose{});
    const float hem = female ? 204 : 216;
    p.wrap(body_outline(f, 67, hem, 2.5f, 0.15f), 97, f.torso(100) + 3, mail(MAIL));
    sleeves(p, f, 122, 1.5f, mail(MAIL));
    p.rod(97 - 11, 65, 2.6f, 97 + 11, 65, 2.6f, leather(DARK_BROWN, 44));  // the leather collar
    const float w = f.torso(hem) + 4;
    p.line(97 - w, hem - 1, 97 + w, hem - 1, 1.4f, MAIL * 0.6f, 0.9f);
}

void worn_trousers(canvas& c, bool female) {
    painter p(c, pose{});
    const material m = leather(BROWN, 45);
    if (female) {
        // Under the shift: only the legs below its hem show.
        within_rows(p, 263, 339, [&](painter& q) {
            for (float side : {-1.0f, 1.0f}) q.rod(97 + side * 13, 250, 10.5f, 97 + side * 15, 299, 8, m);
        });
        return;
    }
    p.wrap({62, 156, 132, 156, 134, 196, 60, 196}, 97, 36, m);
    for (float side : {-1.0f, 1.0f}) {
        p.rod(97 + side * 16, 172, 18.5f, 97 + side * 18, 245, 13.5f, m);
        p.rod(97 + side * 18, 245, 13.5f, 97 + side * 19, 294, 10.5f, m);
        p.line(97 + side * 30, 180, 97 + side * 29, 290, 0.7f, DARK_BROWN, 0.8f);  // the outer seam
    }
    p.line(97, 176, 97, 200, 1.2f, DARK_BROWN, 0.9f);
    p.rod(62, 160, 4.5f, 132, 160, 4.5f, leather(DARK_BROWN, 46));  // the waistband
}

void worn_robe(canvas& c, bool female) {
    const figure f = figure_of(female);
    painter p(c, pose{});
    const material m = cloth(WOOL, 47);
    p.wrap(body_outline(f, 66, 304, 4, female ? 0.16f : 0.12f), 97, 48, m);
    for (int k = 0; k < 6; ++k) {  // folds falling from the waist
        const float x = 70 + 11 * k;
        p.line(x, f.waist + 12, x + (x - 97) * 0.22f, 300, 1.2f, WOOL * 0.45f, 0.6f);
    }
    p.line(97, 80, 97, 304, 1.0f, WOOL * 0.4f, 0.9f);  // the front opening
    sleeves(p, f, 186, 3.5f, m);
    p.rod(97 - f.torso(f.waist) - 4, f.waist, 2.2f, 97 + f.torso(f.waist) + 4, f.waist, 2.2f,
          matt(rgb8(190, 170, 120), 0.3f, 48));
    p.rod(101, f.waist + 2, 1.6f, 104, f.waist + 34, 1.4f,
          matt(rgb8(190, 170, 120), 0.3f, 48));             // the rope's end
    p.rod(84, 64, 4, 110, 64, 4, cloth(WOOL * 0.75f, 49));  // the hood lying on the shoulders
}

void worn_boots(canvas& c, bool female) {
    painter p(c, pose{});
    const material m = leather(rgb8(96, 62, 38), 50);
    const float top = female ? 270 : 262, x0 = female ? 15 : 19, r = female ? 8.5f : 11;
    for (float side : {-1.0f, 1.0f}) {
        p.rod(97 + side * x0, top, r, 97 + side * x0, 308, r - 0.5f, m);
        p.rod(97 + side * x0, 313, r - 2, 97 + side * (x0 + 6), 317, r - 4, m);
        p.rod(97 + side * x0, top - 1, r + 1.2f, 97 + side * x0, top + 5, r + 1.2f,
              leather(rgb8(80, 50, 32), 51));  // turned-down top
        p.line(97 + side * x0 - r, 320, 97 + side * (x0 + 6) + r * 0.5f * side, 320, 1.6f, rgb8(30, 20, 14));
    }
}

void worn_gloves(canvas& c, bool female) {
    const figure f = figure_of(female);
    painter p(c, pose{});
    const material m = leather(rgb8(120, 80, 48), 52);
    for (float side : {-1.0f, 1.0f}) {
        const float hx = f.hand_x(side), k = f.scale;
        p.rod(hx, 196, 7.2f * k, hx - side, 208, 5.9f * k, m);
        p.rod(hx + side * 4 * k, 197, 2.6f, hx + side * 3 * k, 205, 2.3f, m);  // the thumb
        p.rod(hx - side * 0.5f, 184, 8.2f * k, hx, 192, 7.6f * k, leather(rgb8(96, 62, 38), 53));  // the cuff
        for (int i = 0; i < 3; ++i)
            p.line(hx - 3 + 3 * i, 205, hx - 3 + 3 * i - side * 0.5f, 212, 0.5f, rgb8(50, 32, 20));
    }
}

// Is (x, y) inside one of the figure's arms below the shoulder?
bool on_arm(const figure& f, float x, float y) {
    const auto in_capsule = [](float x, float y, float x0, float y0, float r0, float x1, float y1, float r1) {
        const float dx = x1 - x0, dy = y1 - y0,
                    t = std::clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
        return std::hypot(x - x0 - t * dx, y - y0 - t * dy) <= r0 + (r1 - r0) * t + 0.5f;
    };
    for (float side : {-1.0f, 1.0f}) {
        const float sx = f.shoulder_x(side), ex = f.elbow_x(side), hx = f.hand_x(side), k = f.scale;
        if (in_capsule(x, y, sx, 92, 10.5f * k, ex, 142, 8.5f * k) ||
            in_capsule(x, y, ex, 142, 7.5f * k, hx, 192, 6 * k) ||
            in_capsule(x, y, hx, 196, 6.8f * k, hx, 210, 5.5f * k))
            return true;
    }
    return false;
}

void worn_cloak(canvas& c, bool female) {
    const figure f = figure_of(female);
    canvas scratch(c.width(), c.height());
    painter p(scratch, pose{});
    const material m = cloth(CLOAK, 54);
    const float k = female ? 0.84f : 1.0f;
    for (float side : {-1.0f, 1.0f}) {
        std::vector<float> xy = {90,  63, 70,  67, 53,  80, 45,  110, 38,  200, 33,
                                 268, 50, 274, 64, 270, 58, 200, 62,  120, 80,  84};
        for (size_t i = 0; i < xy.size(); i += 2) xy[i] = 97 + (xy[i] - 97) * k;
        if (side > 0)
            for (size_t i = 0; i < xy.size(); i += 2) xy[i] = 194 - xy[i];
        p.wrap(xy, 97 + side * 40 * k, 22, m);
        for (int j = 0; j < 3; ++j) {
            const float x = 97 + side * (48 + 6 * j) * k;
            p.line(x, 120, x + side * 4 * k, 262, 1.3f, CLOAK * 0.45f, 0.7f);
        }
    }
    // The arms hang in front of the cloak.
    for (int y = 96; y < scratch.height(); ++y)
        for (int x = 0; x < scratch.width(); ++x)
            if (on_arm(f, x + 0.5f, y + 0.5f)) scratch.clear_alpha(x, y);
    p.rod(72, 66, 4.5f, 122, 66, 4.5f, cloth(CLOAK * 0.85f, 55));  // the collar over the shoulders
    p.dome(90, 72, 3.6f, 3.6f, metal(BRASS, 1.0f, 56));
    p.dome(104, 72, 3.6f, 3.6f, metal(BRASS, 1.0f, 56));
    p.line(92, 72, 102, 72, 1.0f, BRASS * 0.7f);
    c.paste(scratch, 0, 0);
}

void worn_amulet(canvas& c, bool female) {
    painter p(c, pose{});
    const float top = female ? 66 : 62, half = female ? 9 : 11, low = female ? 96 : 98;
    const int n = 18;
    for (int i = 0; i <= n; ++i) {
        const float t = -1 + 2.0f * i / n;
        p.dome(97 + half * t, low - (low - top) * t * t, 1.1f, 1.1f, metal(BRASS, 1.0f, 57));
    }
    p.dome(97, low + 6, 5.6f, 6.6f, metal(BRASS, 1.0f, 58));
    p.dome(97, low + 6, 4.2f, 5.2f, glass(AMBER));
    p.gleam(95.5f, low + 4, 1.5f);
}

void worn_ring(canvas& c, bool female) {
    const figure f = figure_of(female);
    painter p(c, pose{});
    const float hx = f.hand_x(-1) + 1;
    p.rod(hx - 3.5f, 206, 1.3f, hx + 2.5f, 207, 1.3f, metal(COPPER, 1.0f, 59));
    p.gleam(hx - 1.5f, 205.5f, 1.4f);
}

// A cap or helm's bowl over the head, cut off at row brim.
void head_bowl(painter& p, float cy, float rx, float ry, float brim, const material& m) {
    within_rows(p, 0, brim, [&](painter& q) { q.dome(97, cy, rx, ry, m, 0.8f); });
}

void worn_cap(canvas& c, bool female) {
    painter p(c, pose{});
    const float rx = female ? 15.5f : 16.5f;
    head_bowl(p, 32, rx, 15, 31, leather(BROWN, 60));
    for (float x : {-8.0f, 0.0f, 8.0f}) p.line(97 + x * 0.6f, 18, 97 + x, 30, 0.6f, DARK_BROWN, 0.8f);
    p.rod(97 - rx, 30, 2.3f, 97 + rx, 30, 2.3f, leather(DARK_BROWN, 61));
}

void worn_helm(canvas& c, bool female) {
    painter p(c, pose{});
    const float rx = female ? 16.5f : 17.5f;
    head_bowl(p, 32, rx, 17, 31, metal(IRON, 1.0f, 62));
    p.rod(97 - rx, 30, 2.7f, 97 + rx, 30, 2.7f, metal(IRON * 0.85f, 0.8f, 63));
    for (float x = -rx + 3; x < rx; x += 6) p.dome(97 + x, 30, 1.0f, 1.0f, metal(BRASS, 1.0f, 64));
    p.plate({95.3f, 30, 98.7f, 30, 98.2f, 45, 95.8f, 45}, 97, 30, 97, 45,
            metal(IRON, 1.0f, 65));                   // the nose guard
    p.line(97, 16, 97, 29, 1.0f, IRON * 0.6f, 0.7f);  // the ridge over the crown
    p.gleam(89, 21, 2.0f);
}

// ---------------------------------------------------------------- flat

void tunic_flat(painter& p, const material& m, float hem, float sleeve, bool quilted) {
    p.wrap({-12, -18, 12, -18, 14, hem, -14, hem}, 0, 14, m);
    for (float side : {-1.0f, 1.0f})
        p.wrap({side * 11, -18, side * (12 + sleeve), -18 + sleeve * 0.9f, side * (8 + sleeve),
                -14 + sleeve * 1.1f, side * 12, -9},
               side * 16, 8, m);
    if (quilted) {
        for (float x = -10; x <= 10; x += 4) p.line(x, -14, x, hem - 1, 0.5f, PADDING * 0.45f, 0.7f);
        for (float y = -10; y < hem; y += 6) p.line(-13, y, 13, y, 0.4f, PADDING * 0.5f, 0.5f);
    }
    p.rod(-5, -18, 1.4f, 5, -18, 1.4f, quilted ? cloth(PADDING * 0.8f, 43) : leather(DARK_BROWN, 44));
}

void tunic_icon(painter& p) {
    tunic_flat(p, cloth(PADDING, 41), 19, 12, true);
}

void mail_icon(painter& p) {
    tunic_flat(p, mail(MAIL), 21, 7, false);
}

void trousers_icon(painter& p) {
    const material m = leather(BROWN, 45);
    p.wrap({-10, -21, 10, -21, 12, 23, 3, 23, 0, -3, -3, 23, -12, 23}, 0, 11, m);
    p.rod(-10.5f, -20, 1.6f, 10.5f, -20, 1.6f, leather(DARK_BROWN, 46));
    for (float side : {-1.0f, 1.0f}) p.line(side * 10.5f, -16, side * 11.8f, 22, 0.5f, DARK_BROWN, 0.8f);
}

void robe_icon(painter& p) {
    const material m = cloth(WOOL, 47);
    p.wrap({-8, -23, 8, -23, 16, 24, -16, 24}, 0, 14, m);
    for (float side : {-1.0f, 1.0f})
        p.wrap({side * 7, -23, side * 20, -9, side * 16, -4, side * 9, -13}, side * 14, 7, m);
    for (float x : {-8.0f, -3.0f, 4.0f, 9.0f}) p.line(x * 0.5f, -8, x, 23, 0.7f, WOOL * 0.45f, 0.6f);
    p.rod(-10, -6, 1.2f, 10, -6, 1.2f, matt(rgb8(190, 170, 120), 0.3f, 48));
    p.rod(-6, -24, 2.4f, 6, -24, 2.4f, cloth(WOOL * 0.75f, 49));
}

void boots_icon(painter& p) {
    const material m = leather(rgb8(96, 62, 38), 50);
    for (float dx : {-7.0f, 5.0f}) {
        p.rod(dx, -18, 4.6f, dx, 10, 4.4f, m);
        p.rod(dx, 14, 3.8f, dx + 9, 16, 3.0f, m);
        p.rod(dx, -19, 5.4f, dx, -15, 5.4f, leather(rgb8(80, 50, 32), 51));
        p.line(dx - 4, 19.5f, dx + 11, 19.5f, 1.0f, rgb8(30, 20, 14));
    }
}

void gloves_icon(painter& p) {
    const material m = leather(rgb8(120, 80, 48), 52);
    for (float side : {-1.0f, 1.0f}) {
        const float x = side * 8;
        p.dome(x, 4, 6, 7, m, 0.6f);
        for (int i = 0; i < 4; ++i)
            p.rod(x - 4.5f + 3 * i, 0, 1.4f, x - 5 + 3.3f * i, -10 + std::abs(i - 1.5f) * 1.5f, 1.3f, m);
        p.rod(x - side * 5, 5, 1.6f, x - side * 9, 0, 1.4f, m);
        p.rod(x, 12, 6, x, 17, 6, leather(rgb8(96, 62, 38), 53));
    }
}

void cloak_icon(painter& p) {
    const material m = cloth(CLOAK, 54);
    p.wrap({-9, -21, 9, -21, 18, 22, -18, 22}, 0, 16, m);
    for (float x : {-9.0f, -3.0f, 3.0f, 9.0f}) p.line(x * 0.45f, -16, x, 21, 1.0f, CLOAK * 0.45f, 0.7f);
    p.rod(-10, -21, 2.6f, 10, -21, 2.6f, cloth(CLOAK * 0.85f, 55));
    p.dome(-4, -19, 2.3f, 2.3f, metal(BRASS, 1.0f, 56));
    p.dome(4, -19, 2.3f, 2.3f, metal(BRASS, 1.0f, 56));
}

void amulet_icon(painter& p) {
    const int n = 26;
    for (int i = 0; i < n; ++i) {
        const float a = 0.5f + 5.3f * i / (n - 1);
        p.dome(10 * std::sin(a), -4 - 14 * std::cos(a), 1.2f, 1.2f, metal(BRASS, 1.0f, 57));
    }
    p.dome(0, 14, 6.5f, 7.5f, metal(BRASS, 1.0f, 58));
    p.dome(0, 14, 5, 6, glass(AMBER));
    p.gleam(-1.8f, 11.5f, 2);
}

void ring_icon(painter& p) {
    const int n = 28;
    for (int i = 0; i < n; ++i) {
        const float a0 = i * 6.2832f / n, a1 = (i + 1) * 6.2832f / n;
        p.rod(9 * std::cos(a0), 6 * std::sin(a0), 2.4f, 9 * std::cos(a1), 6 * std::sin(a1), 2.4f,
              metal(COPPER, 1.0f, 59));
    }
    p.gleam(-5, -4, 2.2f);
}

void cap_icon(painter& p) {
    std::vector<float> xy;
    for (int i = 0; i <= 16; ++i) {
        const float a = 3.14159f * i / 16;
        xy.push_back(-15 * std::cos(a)), xy.push_back(4 - 15 * std::sin(a));
    }
    p.wrap(xy, 0, 15, leather(BROWN, 60));
    for (float x : {-8.0f, 0.0f, 8.0f}) p.line(x * 0.5f, -10, x, 3, 0.6f, DARK_BROWN, 0.8f);
    p.rod(-15.5f, 4, 2.5f, 15.5f, 4, 2.5f, leather(DARK_BROWN, 61));
}

void helm_icon(painter& p) {
    std::vector<float> xy;
    for (int i = 0; i <= 16; ++i) {
        const float a = 3.14159f * i / 16;
        xy.push_back(-16 * std::cos(a)), xy.push_back(2 - 17 * std::sin(a));
    }
    p.wrap(xy, 0, 16, metal(IRON, 1.0f, 62));
    p.rod(-16.5f, 2, 2.8f, 16.5f, 2, 2.8f, metal(IRON * 0.85f, 0.8f, 63));
    for (float x = -13; x < 16; x += 6.5f) p.dome(x, 2, 1.1f, 1.1f, metal(BRASS, 1.0f, 64));
    p.plate({-1.8f, 2, 1.8f, 2, 1.3f, 18, -1.3f, 18}, 0, 2, 0, 18, metal(IRON, 1.0f, 65));
    p.gleam(-7, -9, 2.2f);
}

item_look garment(const std::string& name, float metres, void (*icon)(painter&),
                  void (*on_body)(canvas&, bool)) {
    item_look l;
    l.name = name;
    l.kind = item_kind::armour;
    l.metres = metres;
    l.draw = icon;
    l.draw_worn = on_body;
    return l;
}

}  // namespace

void add_armour(std::vector<item_look>& out) {
    out.push_back(garment("leather_cap", 0.24f, cap_icon, worn_cap));
    out.push_back(garment("iron_helm", 0.3f, helm_icon, worn_helm));
    out.push_back(garment("padded_tunic", 0.75f, tunic_icon, worn_tunic));
    out.push_back(garment("chain_shirt", 0.8f, mail_icon, worn_chain_shirt));
    out.push_back(garment("leather_trousers", 0.95f, trousers_icon, worn_trousers));
    out.push_back(garment("travel_robe", 1.1f, robe_icon, worn_robe));
    out.push_back(garment("leather_boots", 0.42f, boots_icon, worn_boots));
    out.push_back(garment("leather_gloves", 0.26f, gloves_icon, worn_gloves));
    out.push_back(garment("wool_cloak", 1.0f, cloak_icon, worn_cloak));
    out.push_back(garment("amber_amulet", 0.12f, amulet_icon, worn_amulet));
    out.push_back(garment("copper_ring", 0.08f, ring_icon, worn_ring));
}

}  // namespace item_art
