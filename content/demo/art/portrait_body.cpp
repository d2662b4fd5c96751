// The full figure of the inventory screen: a man or a woman standing facing
// the player in undyed linen underclothes, arms at the sides, the character's
// own head on top. Limbs are tapered capsules shaded as rounded solids under
// the same torchlight as the faces; everything around the figure is
// transparent so the screen's ground shows through.
#include <algorithm>
#include <cmath>
#include <functional>

#include "portrait_art.h"

namespace portrait_art {

using namespace forge::paint;

namespace {

// The colour of a material at a pixel, given the light reaching it.
using material = std::function<rgb(float light, int x, int y)>;

float light_of(float nx, float ny) {
    const float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
    return 0.28f + 0.85f * std::max(0.0f, -0.55f * nx - 0.45f * ny + 0.7f * nz);
}

// A solid rounded limb from (x0, y0) with radius r0 to (x1, y1) with radius r1.
void capsule(canvas& c, float x0, float y0, float r0, float x1, float y1, float r1, const material& m) {
    const float dx = x1 - x0, dy = y1 - y0, len2 = std::max(1e-3f, dx * dx + dy * dy);
    const float rmax = std::max(r0, r1) + 1;
    const int bx0 = std::max(0, static_cast<int>(std::min(x0, x1) - rmax)),
              bx1 = std::min(c.width() - 1, static_cast<int>(std::max(x0, x1) + rmax));
    const int by0 = std::max(0, static_cast<int>(std::min(y0, y1) - rmax)),
              by1 = std::min(c.height() - 1, static_cast<int>(std::max(y0, y1) + rmax));
    for (int py = by0; py <= by1; ++py)
        for (int px = bx0; px <= bx1; ++px) {
            const float x = px + 0.5f, y = py + 0.5f;
            const float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0f, 1.0f);
            const float qx = x0 + t * dx, qy = y0 + t * dy, r = r0 + (r1 - r0) * t;
            const float ex = x - qx, ey = y - qy, d = std::sqrt(ex * ex + ey * ey);
            const float a = std::clamp(r - d + 0.5f, 0.0f, 1.0f);
            if (a <= 0) continue;
            c.blend(px, py, m(light_of(0.92f * ex / r, 0.5f * ey / r), px, py), a);
        }
}

// A solid seen from the front, rows y0..y1, half as wide as half_width(y)
// around the centre line x = 97; shaded as a rounded body.
void profile(canvas& c, int y0, int y1, const std::function<float(float)>& half_width, const material& m) {
    for (int py = std::max(0, y0); py <= std::min(c.height() - 1, y1); ++py) {
        const float y = py + 0.5f, w = half_width(y);
        if (w <= 0.5f) continue;
        const float slope = half_width(y + 2) - half_width(y - 2);  // widening rows face downwards
        for (int px = std::max(0, static_cast<int>(97 - w - 1));
             px <= std::min(c.width() - 1, static_cast<int>(97 + w + 1)); ++px) {
            const float dx = px + 0.5f - 97, a = std::clamp(w - std::abs(dx) + 0.5f, 0.0f, 1.0f);
            if (a <= 0) continue;
            const float nx = 0.9f * dx / w;
            c.blend(px, py, m(light_of(nx, std::clamp(-slope * 0.15f, -0.5f, 0.5f)), px, py), a);
        }
    }
}

// Rounds the top of a profile: full width from y = top + r, none above top.
float shoulder(float y, float top, float r, float w) {
    if (y < top) return 0;
    if (y >= top + r) return w;
    const float t = (top + r - y) / r;
    return w - r + r * std::sqrt(std::max(0.0f, 1 - t * t));
}

material skin_of(const look& who) {
    return [who](float light, int x, int y) {
        return lit(who.skin * (0.95f + 0.08f * noise(x * 0.2f, y * 0.2f, who.seed, 2)), light);
    };
}

// Woven cloth with soft folds running down.
material cloth(const rgb& base, uint32_t seed, float folds = 1.0f) {
    return [base, seed, folds](float light, int x, int y) {
        const float fold = 1 - folds * 0.18f * (noise(x * 0.12f, y * 0.03f, seed, 3) - 0.3f);
        const float weave = 0.96f + 0.06f * grain(x, y, seed);
        return lit(base * weave, light * fold);
    };
}

const rgb LINEN = rgb8(206, 190, 158), LEATHER = rgb8(82, 56, 38);

void paint_arm(canvas& c, const look& who, float side, float shoulder_x, float scale) {
    const float sx = 97 + side * (shoulder_x - 3), elbow_x = sx + side * 8, hand_x = sx + side * 10;
    const material skin = skin_of(who), sleeve = cloth(LINEN, who.seed + 5);
    capsule(c, elbow_x, 142, 7.5f * scale, hand_x, 192, 6 * scale, skin);   // forearm
    capsule(c, sx, 92, 10.5f * scale, elbow_x, 142, 8.5f * scale, sleeve);  // sleeve to the elbow
    capsule(c, elbow_x - side * 0.5f, 136, 9 * scale, elbow_x, 141, 9 * scale, sleeve);  // its cuff
    // The hand: palm towards the thigh, fingers together.
    capsule(c, hand_x, 196, 6.8f * scale, hand_x - side * 1, 208, 5.5f * scale, skin);
    capsule(c, hand_x + side * 4 * scale, 197, 2.2f, hand_x + side * 3 * scale, 205, 2, skin);  // the thumb
    for (int k = 0; k < 3; ++k)
        stroke(c, hand_x - 3 + 3 * k, 205, hand_x - 3 + 3 * k - side * 0.5f, 211, 0.5f, lit(who.skin, 0.3f));
}

void paint_man(canvas& c, const look& who) {
    const material trousers = cloth(who.shirt * 0.8f, who.seed + 1), shirt = cloth(LINEN, who.seed + 2);
    const material boots = [](float light, int x, int y) {
        return lit(LEATHER * (0.9f + 0.2f * noise(x * 0.3f, y * 0.3f, 99, 2)), light * 1.1f);
    };
    for (float side : {-1.0f, 1.0f}) {
        capsule(c, 97 + side * 16, 170, 17, 97 + side * 18, 245, 12, trousers);  // thigh
        capsule(c, 97 + side * 18, 245, 12, 97 + side * 19, 298, 9, trousers);   // shin
        capsule(c, 97 + side * 19, 290, 10, 97 + side * 19, 312, 9, boots);      // boot leg
        capsule(c, 97 + side * 19, 314, 8, 97 + side * 24, 317, 6, boots);       // foot
        stroke(c, 97 + side * 19 - 9, 321, 97 + side * 19 + 12 * side + 0.0f, 321, 1.5f, rgb8(30, 20, 14));
    }
    profile(
        c, 160, 196, [](float y) { return 31 + (y - 160) * 0.1f; }, trousers);  // the hips
    stroke(c, 97, 178, 97, 200, 1.2f, lit(who.shirt * 0.8f, 0.3f));             // the seam between the legs
    // The neck, then the shirt over the chest and belly, tucked under a belt.
    capsule(c, 97, 50, 8, 97, 76, 9, skin_of(who));
    profile(
        c, 68, 168,
        [](float y) {
            const float chest = y < 110 ? 41 : 41 - (y - 110) * 0.17f;  // narrowing to the waist
            return std::min(shoulder(y, 68, 16, 43.0f), chest);
        },
        shirt);
    // The open neck of the shirt with its laces.
    fill_polygon(c, {88, 66, 106, 66, 97, 92}, lit(who.skin, 0.55f));
    stroke(c, 88, 66, 97, 92, 1.6f, lit(LINEN, 0.5f));
    stroke(c, 106, 66, 97, 92, 1.6f, lit(LINEN, 0.9f));
    for (int k = 0; k < 3; ++k)
        stroke(c, 93 + k * 0.6f, 74 + 5 * k, 101 - k * 0.6f, 74 + 5 * k, 0.8f, who.shirt_trim);
    capsule(c, 70, 166, 5, 124, 166, 5, cloth(LEATHER, who.seed + 3, 0.2f));  // the belt
    fill_polygon(c, {93, 162, 101, 162, 101, 170, 93, 170}, lit(who.shirt_trim, 1.0f));
    fill_polygon(c, {95, 164, 99, 164, 99, 168, 95, 168}, lit(LEATHER, 0.5f));
    for (float side : {-1.0f, 1.0f}) paint_arm(c, who, side, 40, 1.1f);
}

void paint_woman(canvas& c, const look& who) {
    const material skin = skin_of(who), shift = cloth(LINEN, who.seed + 2, 1.4f);
    for (float side : {-1.0f, 1.0f}) {
        capsule(c, 97 + side * 13, 250, 9, 97 + side * 15, 302, 6.5f, skin);  // calf below the hem
        const material shoes = cloth(who.shirt * 0.6f, who.seed + 4, 0.2f);
        capsule(c, 97 + side * 15, 304, 7, 97 + side * 16, 312, 7, shoes);
        capsule(c, 97 + side * 16, 314, 6.5f, 97 + side * 20, 317, 5.5f, shoes);
    }
    capsule(c, 97, 50, 6.5f, 97, 74, 7.5f, skin);  // the neck
    // The shift: fitted over the chest, narrow at the waist, falling wide to
    // below the knees.
    profile(
        c, 72, 266,
        [](float y) {
            float w;
            if (y < 118)
                w = 34 - (y - 90) * 0.05f;  // shoulders and bust
            else if (y < 146)
                w = 32.6f - (y - 118) * 0.3f;  // in to the waist
            else if (y < 182)
                w = 24.2f + (y - 146) * 0.33f;  // out over the hips
            else
                w = 36 + (y - 182) * 0.12f;  // the skirt falls wide
            const float hem = 262 + 2 * std::sin(y * 0.0f);
            return y > hem ? 0.0f : std::min(shoulder(y, 72, 14, 36.0f), w);
        },
        shift);
    stroke(c, 62, 262, 132, 262, 1.2f, lit(LINEN, 0.4f));  // the hem
    // Folds in the skirt.
    for (int k = 0; k < 7; ++k) {
        const float x = 70 + 9 * k + (k % 2) * 2;
        stroke(c, x + (x - 97) * 0.02f, 190, x + (x - 97) * 0.25f, 260, 1.4f,
               lit(LINEN, 0.42f + 0.05f * (k % 3)));
    }
    for (float side : {-1.0f, 1.0f}) {  // the curve of the breast, shaded below
        stroke(c, 97 + side * 6, 119, 97 + side * 13, 121, 1.0f, lit(LINEN, 0.55f));
        stroke(c, 97 + side * 13, 121, 97 + side * 21, 117, 1.0f, lit(LINEN, 0.55f));
    }
    // A square neckline edged with the character's colour, and a sash.
    fill_polygon(c, {84, 68, 110, 68, 104, 81, 90, 81}, lit(who.skin, 0.62f));
    stroke(c, 84, 68, 90, 81, 1.5f, who.shirt_trim);
    stroke(c, 90, 81, 104, 81, 1.5f, who.shirt_trim);
    stroke(c, 104, 81, 110, 68, 1.5f, who.shirt_trim);
    capsule(c, 72, 146, 5, 122, 146, 5, cloth(who.shirt, who.seed + 6, 0.3f));
    capsule(c, 108, 148, 3, 112, 176, 2.5f, cloth(who.shirt, who.seed + 6, 0.3f));  // its loose end
    for (float side : {-1.0f, 1.0f}) paint_arm(c, who, side, 32, 0.9f);
}

}  // namespace

canvas paint_body(const look& who) {
    canvas c(BODY_W, BODY_H);
    if (who.female)
        paint_woman(c, who);
    else
        paint_man(c, who);
    paint_head(c, who, 97, 36, who.female ? 13.5f : 14.5f, 0);
    // Darken the figure's edge so it stands clear of whatever ground it is drawn on.
    const canvas painted = c;
    for (int y = 1; y + 1 < BODY_H; ++y)
        for (int x = 1; x + 1 < BODY_W; ++x) {
            if (painted.alpha(x, y) < 0.5f) continue;
            const bool edge = painted.alpha(x - 1, y) < 0.5f || painted.alpha(x + 1, y) < 0.5f ||
                              painted.alpha(x, y - 1) < 0.5f || painted.alpha(x, y + 1) < 0.5f;
            if (edge) c.set(x, y, painted.get(x, y) * 0.6f);
        }
    return c;
}

}  // namespace portrait_art
