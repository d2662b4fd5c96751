// The four members of the demo's party and their faces on the party bar:
// head and shoulders against a torchlit wall, in four states one under the
// other (healthy, hurt, badly hurt and bandaged, near death with the eyes
// closing).
#include <algorithm>
#include <cmath>

#include "portrait_art.h"

namespace portrait_art {

using namespace forge::paint;

const std::vector<look>& party_looks() {
    // Portrait numbers follow the character generation's strip, where 0, 2,
    // 3 and 4 are men and 1, 5, 6 and 7 women.
    static const std::vector<look> looks = {
        {"Borin", 0, false, rgb8(196, 136, 104), rgb8(120, 62, 34), rgb8(70, 90, 110), rgb8(92, 88, 78),
         rgb8(150, 120, 70), hair_style::receding, true, true, 1.15f, 0.95f, 0.7f, 11},
        {"Lenka", 1, true, rgb8(226, 180, 150), rgb8(214, 170, 96), rgb8(80, 120, 70), rgb8(70, 104, 62),
         rgb8(200, 170, 90), hair_style::braid, false, false, 0.8f, 1.02f, 0.0f, 23},
        {"Tomas", 2, false, rgb8(186, 138, 100), rgb8(52, 36, 26), rgb8(90, 60, 34), rgb8(66, 80, 104),
         rgb8(160, 150, 130), hair_style::cropped, false, true, 0.95f, 1.1f, 0.15f, 37},
        {"Vesna", 5, true, rgb8(214, 172, 146), rgb8(34, 26, 30), rgb8(70, 54, 40), rgb8(110, 40, 48),
         rgb8(196, 160, 80), hair_style::long_loose, false, false, 0.78f, 1.08f, 0.45f, 53},
    };
    return looks;
}

namespace {

// A stone wall lit by a torch to the upper left; hurt darkens it.
void paint_backdrop(canvas& c, int top, uint32_t seed, int hurt) {
    for (int y = 0; y < FACE_H; ++y)
        for (int x = 0; x < FACE_W; ++x) {
            const float glow = std::exp(-(std::pow(x - 4.0f, 2.0f) + std::pow(y - 6.0f, 2.0f)) / 1800.0f);
            const float stone = 0.75f + 0.35f * noise(x * 0.15f, y * 0.3f, seed, 4);
            const bool mortar = (y + 2) % 19 < 1 || ((x + 9 + (y / 19) * 17) % 31 < 1);
            rgb col = mix(rgb8(56, 50, 48), rgb8(92, 80, 70), stone - 0.5f) * (mortar ? 0.55f : 1.0f);
            col = lit(col, (0.35f + 1.0f * glow) * (1 - 0.12f * hurt));
            c.set(x, top + y, col);
        }
}

// Shoulders and the neck opening of the shirt, under the head.
void paint_shoulders(canvas& c, const look& who, int top, float cx, float cy, float s) {
    const float neck_w = who.female ? 0.42f : 0.55f, neck_top = cy + 0.7f * s;
    for (int y = static_cast<int>(neck_top); y < top + FACE_H; ++y)
        for (int x = 0; x < FACE_W; ++x) {
            const float u = (x + 0.5f - cx) / s;
            const float a = std::clamp((neck_w - std::abs(u)) * s + 0.5f, 0.0f, 1.0f);
            if (a > 0) c.blend(x, y, lit(who.skin, 0.3f + 0.5f * std::clamp(0.5f - u, 0.0f, 1.0f)), a);
        }
    const float sy = cy + 1.55f * s * who.length;  // where the shoulders start to fall
    const float half = who.female ? 1.75f : 2.1f;
    for (int y = static_cast<int>(sy - 0.4f * s); y < top + FACE_H; ++y)
        for (int x = 0; x < FACE_W; ++x) {
            const float u = (x + 0.5f - cx) / s, v = (y + 0.5f - sy) / s;
            // The shoulder line: flat near the neck, falling to the arms.
            const float line = -0.25f + 0.12f * u * u;
            if (std::abs(u) > half + 0.6f) continue;
            const float a = std::clamp((v - line) * s + 0.5f, 0.0f, 1.0f);
            if (a <= 0) continue;
            // The collar: an opening at the throat edged with trim.
            const float opening = (who.female ? 0.55f : 0.35f) - v * 0.25f;
            const float dv = v - line;
            const bool in_opening = std::abs(u) < opening - dv * 0.9f && dv < 0.9f;
            if (in_opening) continue;
            const bool trim = std::abs(u) < opening - dv * 0.9f + 0.18f && dv < 1.05f;
            const float fold = 0.85f + 0.15f * std::sin(u * 5 + noise(u, v, who.seed, 2) * 4);
            const float light = (0.35f + 0.75f * std::clamp(0.6f - u * 0.35f - dv * 0.1f, 0.0f, 1.0f)) * fold;
            const rgb cloth = trim ? who.shirt_trim
                                   : who.shirt * (0.9f + 0.2f * noise(x * 0.7f, y * 0.7f, who.seed + 3, 2));
            c.blend(x, y, lit(cloth, light), a);
        }
}

}  // namespace

canvas paint_face_states(const look& who) {
    canvas c(FACE_W, FACE_H * FACE_STATES);
    for (int hurt = 0; hurt < FACE_STATES; ++hurt) {
        const int top = hurt * FACE_H;
        canvas state(FACE_W, FACE_H);
        paint_backdrop(state, 0, who.seed * 31 + 5, hurt);
        const float s = 14.0f, cx = 27.5f, cy = 31.0f;
        paint_shoulders(state, who, 0, cx, cy, s);
        paint_head(state, who, cx, cy, s, hurt);
        // The edges fall into shadow, the nearer to death the more.
        vignette(state, {0, 0, FACE_W, FACE_H}, 0.45f + 0.15f * hurt);
        c.paste(state, 0, top);
    }
    return c;
}

}  // namespace portrait_art
