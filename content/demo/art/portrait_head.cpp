// A painted head: skin shaded by a warm light from the upper left, eyes,
// nose, mouth, hair and beard, and the marks of the party bar's hurt states
// (pallor, bruises, cuts, a bandage, closing eyes).
#include <algorithm>
#include <cmath>

#include "portrait_art.h"

namespace portrait_art {

using namespace forge::paint;

float smooth(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

rgb lit(const rgb& base, float light) {
    // Torchlight: the lit side turns golden, the shadow side cool and deep.
    const rgb warm = {1.08f, 0.95f, 0.74f}, cool = {0.55f, 0.55f, 0.72f};
    const rgb tint = mix(cool, warm, std::clamp(light, 0.0f, 1.0f));
    return {std::min(1.0f, base.r * tint.r * light * 1.1f), std::min(1.0f, base.g * tint.g * light * 1.1f),
            std::min(1.0f, base.b * tint.b * light * 1.1f)};
}

namespace {

// Light falls from the upper left and in front.
float lambert(float nx, float ny) {
    const float nz = std::sqrt(std::max(0.0f, 1 - nx * nx - ny * ny));
    const float lx = -0.55f, ly = -0.5f, lz = 0.67f;
    return std::max(0.0f, nx * lx + ny * ly + nz * lz);
}

// The half-width of the head at height v (units of the half-width s).
float head_width(const look& who, float v) {
    const float top = -1.35f * who.length, chin = 1.25f * who.length;
    if (v < top || v > chin) return 0;
    if (v <= 0.1f) return std::sqrt(std::max(0.0f, 1 - std::pow((v - 0.1f) / (top - 0.1f), 2.0f)));
    const float t = (v - 0.1f) / (chin - 0.1f);
    const float w = 1 + (0.42f * who.jaw - 1) * std::pow(t, 1.7f);
    return w * std::sqrt(std::max(0.0f, 1 - std::pow(t, 10.0f)));
}

struct frame_of_head {
    float cx, cy, s;
    float x(float u) const { return cx + u * s; }
    float y(float v) const { return cy + v * s; }
};

// Paints every pixel where cover(u, v) > 0 with colour(u, v), blended by the cover.
template <typename Cover, typename Colour>
void paint_area(canvas& c, const frame_of_head& f, float u0, float v0, float u1, float v1, Cover cover,
                Colour colour) {
    const int x0 = std::max(0, static_cast<int>(std::floor(f.x(u0)))),
              x1 = std::min(c.width() - 1, static_cast<int>(std::ceil(f.x(u1))));
    const int y0 = std::max(0, static_cast<int>(std::floor(f.y(v0)))),
              y1 = std::min(c.height() - 1, static_cast<int>(std::ceil(f.y(v1))));
    for (int py = y0; py <= y1; ++py)
        for (int px = x0; px <= x1; ++px) {
            const float u = (px + 0.5f - f.cx) / f.s, v = (py + 0.5f - f.cy) / f.s;
            const float a = cover(u, v);
            if (a > 0.01f) c.blend(px, py, colour(u, v), std::min(1.0f, a));
        }
}

// The hair's colour at (u, v): strands running down, lit from the left.
rgb hair_at(const look& who, float u, float v, float shade) {
    const float strand = noise(u * 9.0f, v * 1.5f, who.seed + 7, 3);
    const float grey = who.age * 0.5f * noise(u * 3, v * 3, who.seed + 9, 2);
    const rgb base = mix(who.hair, rgb8(170, 168, 160), grey);
    const float light = (0.55f + 0.6f * lambert(std::clamp(u * 0.8f, -1.0f, 1.0f), -0.3f)) * shade;
    return lit(base, light * (0.7f + 0.6f * strand));
}

void paint_back_hair(canvas& c, const look& who, const frame_of_head& f) {
    if (who.hair_cut == hair_style::long_loose) {
        paint_area(
            c, f, -1.5f, -1.6f, 1.5f, 3.4f,
            [&](float u, float v) {
                float w = 1.18f + 0.25f * smooth(0.0f, 2.5f, v) + 0.06f * std::sin(v * 7 + who.seed);
                if (v < 0) w *= std::sqrt(std::max(0.0f, 1 - std::pow(v / (1.55f * who.length), 2.0f)));
                const float bottom = 3.0f + 0.3f * std::sin(u * 4);
                return std::clamp((w - std::abs(u)) * f.s, 0.0f, 1.0f) *
                       std::clamp((bottom - v) * f.s, 0.0f, 1.0f) *
                       std::clamp((v + 1.45f * who.length) * f.s, 0.0f, 1.0f);
            },
            [&](float u, float v) { return hair_at(who, u, v, 0.6f); });
    }
    if (who.hair_cut == hair_style::braid) {
        // A braid falling over the left shoulder, in plaits.
        for (int k = 0; k < 7; ++k) {
            const float v = 0.4f + k * 0.34f, u = -1.05f - 0.05f * k;
            disc(c, f.x(u), f.y(v), f.s * 0.24f, hair_at(who, u, v, 0.45f));
            disc(c, f.x(u - 0.04f), f.y(v - 0.05f), f.s * 0.16f, hair_at(who, u, v, 0.95f));
        }
        disc(c, f.x(-1.4f), f.y(2.75f), f.s * 0.12f, who.shirt_trim);
    }
}

void paint_skin(canvas& c, const look& who, const frame_of_head& f, float pallor) {
    const rgb ill = rgb8(190, 196, 170);
    const rgb skin = mix(who.skin, ill, pallor);
    // Ears first, half behind the cheeks.
    for (float side : {-1.0f, 1.0f}) {
        const float ex = side * 0.98f, ey = 0.05f;
        disc(c, f.x(ex), f.y(ey - 0.04f), f.s * 0.17f, lit(skin, side < 0 ? 0.8f : 0.45f));
        disc(c, f.x(ex), f.y(ey + 0.1f), f.s * 0.13f, lit(skin, side < 0 ? 0.75f : 0.42f));
        disc(c, f.x(ex + side * 0.02f), f.y(ey), f.s * 0.07f, lit(skin, 0.5f));
    }
    paint_area(
        c, f, -1.1f, -1.5f * who.length, 1.1f, 1.3f * who.length,
        [&](float u, float v) {
            const float w = head_width(who, v);
            return w <= 0 ? 0.0f : std::clamp((w - std::abs(u)) * f.s + 0.5f, 0.0f, 1.0f);
        },
        [&](float u, float v) {
            const float w = std::max(0.05f, head_width(who, v));
            const float nx = std::clamp(u / w, -1.0f, 1.0f) * 0.85f;
            const float ny = std::clamp(v / (1.5f * who.length), -1.0f, 1.0f) * 0.45f;
            float light = 0.3f + 0.85f * lambert(nx, ny);
            // Eye sockets and the shadow under the brow.
            for (float side : {-1.0f, 1.0f}) {
                const float du = u - side * 0.4f, dv = v + 0.02f;
                light *= 1 - 0.28f * std::exp(-(du * du / 0.06f + dv * dv / 0.025f));
            }
            // The shadow the nose casts to the right, under it and under the lower lip.
            light *=
                1 - 0.3f * std::exp(-(std::pow(u - 0.12f, 2.0f) / 0.006f + std::pow(v - 0.3f, 2.0f) / 0.05f));
            light *= 1 - 0.3f * std::exp(-(u * u / 0.03f + std::pow(v - 0.56f, 2.0f) / 0.004f));
            light *= 1 - 0.25f * std::exp(-(u * u / 0.05f + std::pow(v - 0.95f, 2.0f) / 0.006f));
            rgb col = skin;
            // Ruddy cheeks and nose tip, fading with pallor.
            const float blush =
                std::exp(-(std::pow(std::abs(u) - 0.5f, 2.0f) / 0.04f + std::pow(v - 0.38f, 2.0f) / 0.04f)) +
                0.6f * std::exp(-(u * u / 0.01f + std::pow(v - 0.48f, 2.0f) / 0.01f));
            col = mix(col, rgb8(200, 90, 80), 0.25f * blush * (1 - pallor));
            // Weathering: a faint mottle, stronger with age.
            col = col * (0.93f + (0.08f + 0.08f * who.age) * noise(u * 6, v * 6, who.seed, 3));
            return lit(col, light);
        });
    // Wrinkles of the old: lines at the eye corners and across the brow.
    if (who.age > 0.3f) {
        const rgb line = lit(skin, 0.35f);
        for (float side : {-1.0f, 1.0f})
            stroke(c, f.x(side * 0.68f), f.y(0.02f), f.x(side * 0.82f), f.y(0.1f), 0.5f, line);
        stroke(c, f.x(-0.35f), f.y(-0.55f), f.x(0.35f), f.y(-0.57f), 0.45f, mix(line, skin, 0.4f));
    }
}

// Eyes with brows; closed is how far the upper lids have come down (0..1).
void paint_eyes(canvas& c, const look& who, const frame_of_head& f, float closed, const rgb& skin) {
    for (float side : {-1.0f, 1.0f}) {
        const float ex = side * 0.4f, ey = 0.0f, ew = 0.21f, eh = 0.11f;
        const float open = 1 - closed;
        if (open > 0.08f) {
            paint_area(
                c, f, ex - ew - 0.05f, ey - eh - 0.05f, ex + ew + 0.05f, ey + eh + 0.05f,
                [&](float u, float v) {
                    const float du = (u - ex) / ew, dv = (v - ey) / (eh * open);
                    const float top_cut = v > ey - eh * open + 2 * eh * closed * 0.0f;
                    return top_cut * std::clamp((1 - du * du - dv * dv) * 2.5f, 0.0f, 1.0f);
                },
                [&](float u, float v) {
                    const float du = u - ex - side * 0.02f, dv = v - ey;
                    const float r = std::sqrt(du * du + dv * dv);
                    if (r < 0.045f) return rgb8(12, 8, 6);
                    if (r < 0.1f) return lit(who.eyes, 0.9f - 2 * dv);
                    return lit(rgb8(226, 216, 200), side < 0 ? 0.85f : 0.6f);
                });
            disc(c, f.x(ex - 0.05f), f.y(ey - 0.04f), f.s * 0.035f, rgb8(255, 250, 235), 0.9f * open);
        }
        // Upper lid line and crease; a closing lid is skin coloured.
        const float lid_y = ey - eh + 2 * eh * closed;
        if (closed > 0.08f)
            paint_area(
                c, f, ex - ew, ey - eh - 0.04f, ex + ew, lid_y + 0.02f,
                [&](float u, float v) {
                    const float du = (u - ex) / ew;
                    return (1 - du * du > 0 && v < lid_y) ? std::min(1.0f, (1 - du * du) * 3) : 0.0f;
                },
                [&](float, float) { return lit(skin, side < 0 ? 0.75f : 0.5f); });
        stroke(c, f.x(ex - ew), f.y(lid_y + 0.03f), f.x(ex + ew * 0.9f), f.y(lid_y - 0.01f), f.s * 0.06f,
               rgb8(40, 24, 18));
        // The brow.
        const rgb brow = lit(mix(who.hair, rgb8(40, 30, 24), 0.4f), 0.6f);
        const float bx0 = ex - side * 0.2f, bx1 = ex + side * 0.26f;
        stroke(c, f.x(bx0), f.y(-0.24f), f.x(ex), f.y(-0.3f), f.s * (who.female ? 0.07f : 0.11f), brow);
        stroke(c, f.x(ex), f.y(-0.3f), f.x(bx1), f.y(-0.22f), f.s * (who.female ? 0.06f : 0.09f), brow);
    }
}

void paint_nose_and_mouth(canvas& c, const look& who, const frame_of_head& f, int hurt, const rgb& skin) {
    // Bridge highlight and the dark nostrils.
    stroke(c, f.x(-0.04f), f.y(0.05f), f.x(-0.05f), f.y(0.38f), f.s * 0.07f, lit(skin, 1.05f));
    for (float side : {-1.0f, 1.0f}) disc(c, f.x(side * 0.1f), f.y(0.5f), f.s * 0.045f, lit(skin, 0.25f));
    stroke(c, f.x(0.1f), f.y(0.3f), f.x(0.15f), f.y(0.47f), f.s * 0.05f, lit(skin, 0.45f));
    // Lips: a darker upper lip, a fuller lit lower lip and the line between.
    const rgb lip = mix(skin, who.female ? rgb8(170, 70, 70) : rgb8(150, 80, 70), who.female ? 0.55f : 0.35f);
    const float my = 0.76f, mw = who.female ? 0.3f : 0.33f;
    const float droop = hurt >= 2 ? 0.04f * hurt : 0.0f;  // pain pulls the corners down
    fill_polygon(c, {f.x(-mw), f.y(my + droop), f.x(0), f.y(my - 0.07f), f.x(mw), f.y(my + droop)},
                 lit(lip, 0.6f));
    fill_polygon(c,
                 {f.x(-mw * 0.85f), f.y(my + droop * 0.5f), f.x(mw * 0.85f), f.y(my + droop * 0.5f), f.x(0),
                  f.y(my + 0.14f)},
                 lit(lip, 0.95f));
    const float gap = hurt == 3 ? 0.05f : 0.0f;  // the badly hurt breathe through the mouth
    if (gap > 0)
        fill_polygon(c, {f.x(-mw * 0.6f), f.y(my), f.x(mw * 0.6f), f.y(my), f.x(0), f.y(my + 0.07f)},
                     rgb8(30, 10, 10));
    stroke(c, f.x(-mw), f.y(my + droop), f.x(0), f.y(my), f.s * 0.05f, rgb8(60, 26, 22));
    stroke(c, f.x(0), f.y(my), f.x(mw), f.y(my + droop), f.s * 0.05f, rgb8(60, 26, 22));
}

void paint_front_hair(canvas& c, const look& who, const frame_of_head& f) {
    const float top = -1.35f * who.length;
    paint_area(
        c, f, -1.25f, top - 0.3f, 1.25f, 0.6f,
        [&](float u, float v) {
            // The hair's outline is the skull's, a little larger.
            const float w = (who.hair_cut == hair_style::braid ? 1.05f : 1.1f) * head_width(who, v / 1.08f);
            if (w <= 0) return 0.0f;
            float line;  // the hairline: hair lies above it
            switch (who.hair_cut) {
                case hair_style::receding:
                    line = -0.95f * who.length + 0.25f * u * u - 0.2f * std::exp(-u * u / 0.05f);
                    if (std::abs(u) > 0.8f) line = 0.1f;  // short at the sides
                    break;
                case hair_style::cropped:
                    line = -0.62f + 0.1f * std::sin(u * 9 + who.seed) + 0.2f * u * u;
                    break;
                case hair_style::braid:
                    line = -0.8f + 0.3f * (u + 0.2f) * (u + 0.2f);  // pulled back from a parting
                    break;
                default:
                    line = -0.55f + 0.35f * std::abs(u - 0.25f) + 0.08f * std::sin(u * 12);
                    break;
            }
            if (std::abs(u) > 0.85f &&
                (who.hair_cut == hair_style::cropped || who.hair_cut == hair_style::braid))
                line = std::max(line, -0.12f);  // down to the ears
            else if (std::abs(u) > 0.85f && who.hair_cut != hair_style::receding)
                line = std::max(line, 0.35f);  // hair covers the temples
            const float below = std::clamp((line - v) * f.s + 0.5f, 0.0f, 1.0f);
            return below * std::clamp((w - std::abs(u)) * f.s + 0.5f, 0.0f, 1.0f);
        },
        [&](float u, float v) { return hair_at(who, u, v, 1.0f - 0.3f * smooth(-0.5f, 0.3f, v)); });
}

void paint_beard(canvas& c, const look& who, const frame_of_head& f) {
    const float chin = 1.25f * who.length;
    if (who.beard)
        paint_area(
            c, f, -1.1f, 0.2f, 1.1f, chin + 0.7f,
            [&](float u, float v) {
                const float w = std::max(head_width(who, std::min(v, chin - 0.05f)) + 0.06f,
                                         v > chin - 0.2f ? 0.5f - (v - chin) * 0.6f : 0.0f);
                const float inside = std::clamp((w - std::abs(u)) * f.s, 0.0f, 1.0f);
                const float from = 0.25f + 0.3f * (1 - std::abs(u)) * (1 - std::abs(u));
                const float mouth = std::exp(-(u * u / 0.1f + std::pow(v - 0.8f, 2.0f) / 0.008f));
                return inside * std::clamp((v - from) * f.s, 0.0f, 1.0f) * (1 - mouth) *
                       std::clamp((chin + 0.6f - v) * f.s * 0.5f, 0.0f, 1.0f);
            },
            [&](float u, float v) {
                return hair_at(who, u * 1.6f, v * 2.0f, 0.95f - 0.25f * smooth(0.5f, 1.8f, v));
            });
    if (who.moustache || who.beard) {
        const rgb m = hair_at(who, 0, 0.6f, 0.85f);
        fill_polygon(c,
                     {f.x(-0.42f), f.y(0.86f), f.x(-0.05f), f.y(0.57f), f.x(0.05f), f.y(0.57f), f.x(0.42f),
                      f.y(0.86f), f.x(0.0f), f.y(0.7f)},
                     m);
    }
}

// The marks of hurt: bruises, cuts with a trickle of blood, a bandage.
void paint_wounds(canvas& c, const look& who, const frame_of_head& f, int hurt) {
    if (hurt >= 1) {
        disc(c, f.x(0.58f), f.y(0.3f), f.s * (0.16f + 0.06f * hurt), rgb8(96, 58, 84), 0.2f + 0.08f * hurt);
        stroke(c, f.x(-0.62f), f.y(-0.42f), f.x(-0.4f), f.y(-0.36f), f.s * 0.06f, rgb8(150, 20, 18));
    }
    if (hurt >= 2) {
        disc(c, f.x(-0.45f), f.y(0.12f), f.s * 0.18f, rgb8(84, 50, 78), 0.3f);  // a swollen eye
        stroke(c, f.x(-0.6f), f.y(-0.38f), f.x(-0.66f), f.y(0.25f), f.s * 0.05f, rgb8(130, 16, 14));
        // A linen bandage wound across the forehead, stained where it covers the cut.
        const float y0 = -0.72f, y1 = -0.42f;
        paint_area(
            c, f, -1.2f, y0 - 0.1f, 1.2f, y1 + 0.2f,
            [&](float u, float v) {
                const float bend = 0.08f * u;
                const float w = head_width(who, v) + 0.06f;
                return std::clamp((w - std::abs(u)) * f.s, 0.0f, 1.0f) *
                       std::clamp((v - y0 - bend) * f.s, 0.0f, 1.0f) *
                       std::clamp((y1 + bend - v) * f.s, 0.0f, 1.0f);
            },
            [&](float u, float v) {
                const float w = std::max(0.1f, head_width(who, v));
                const float folds = 0.85f + 0.15f * std::sin((v - 0.2f * u) * 40);
                rgb cloth = rgb8(222, 212, 186);
                const float stain =
                    std::exp(-(std::pow(u + 0.55f, 2.0f) / 0.03f + std::pow(v + 0.5f, 2.0f) / 0.02f));
                cloth = mix(cloth, rgb8(140, 24, 20), std::min(1.0f, stain * (hurt == 3 ? 1.3f : 0.9f)));
                return lit(cloth,
                           (0.35f + 0.8f * lambert(std::clamp(u / w, -1.0f, 1.0f) * 0.9f, -0.3f)) * folds);
            });
    }
    if (hurt >= 3) {
        stroke(c, f.x(0.25f), f.y(0.55f), f.x(0.42f), f.y(0.62f), f.s * 0.06f, rgb8(150, 20, 18));
        stroke(c, f.x(0.2f), f.y(0.88f), f.x(0.24f), f.y(1.15f), f.s * 0.06f,
               rgb8(120, 14, 12));  // from the mouth
    }
}

}  // namespace

void paint_head(canvas& c, const look& who, float cx, float cy, float s, int hurt) {
    const frame_of_head f{cx, cy, s};
    static constexpr float PALLOR[] = {0.0f, 0.15f, 0.32f, 0.55f}, CLOSED[] = {0.0f, 0.1f, 0.35f, 0.82f};
    hurt = std::clamp(hurt, 0, 3);
    const rgb skin = mix(who.skin, rgb8(190, 196, 170), PALLOR[hurt]);
    paint_back_hair(c, who, f);
    paint_skin(c, who, f, PALLOR[hurt]);
    if (hurt == 3)  // dark rings under the eyes
        for (float side : {-1.0f, 1.0f})
            disc(c, f.x(side * 0.4f), f.y(0.14f), f.s * 0.17f, rgb8(80, 60, 80), 0.3f);
    paint_eyes(c, who, f, CLOSED[hurt], skin);
    paint_nose_and_mouth(c, who, f, hurt, skin);
    paint_beard(c, who, f);
    paint_front_hair(c, who, f);
    paint_wounds(c, who, f, hurt);
}

}  // namespace portrait_art
