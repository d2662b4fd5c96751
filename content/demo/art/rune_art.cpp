// Paints the rune pictures: for each of the five groups a sheet of seven
// runes carved into slate stones set in bronze, the carving lit in the
// group's colour (fire, water, earth, air, mind), as the battle buttons are
// made; the empty socket of an unknown rune; and the mask that darkens a rune
// its member cannot cast (every other pixel black, the rest transparent).
// With --sheet a picture of all of them side by side is written too.
//
//   demo_art_runes <out folder> [--sheet <runes.png>]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "forge/paint.h"
#include "forge/png_import.h"

namespace {

using namespace forge::paint;

constexpr int CELL = 40, RUNES = 7, GROUPS = 5;
const char* const SHEET_NAMES[GROUPS] = {"r_ohen", "r_voda", "r_zeme", "r_vzduch", "r_mysl"};
const rgb GLOW[GROUPS] = {rgb8(255, 112, 40), rgb8(80, 170, 255), rgb8(128, 200, 72), rgb8(220, 236, 255),
                          rgb8(200, 110, 255)};

struct segment {
    float x0, y0, x1, y1;
};

float distance_to(const segment& s, float px, float py) {
    const float dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const float length2 = dx * dx + dy * dy;
    float t = length2 > 0 ? ((px - s.x0) * dx + (py - s.y0) * dy) / length2 : 0;
    t = std::clamp(t, 0.0f, 1.0f);
    const float ex = s.x0 + t * dx - px, ey = s.y0 + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

uint32_t hash(uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352d;
    v ^= v >> 15;
    v *= 0x846ca68b;
    v ^= v >> 16;
    return v;
}

// A rune: a stave with branches, chosen from the group and the rune so that
// every one of the 35 differs; coordinates in 0..1 of the carving area.
std::vector<segment> rune_strokes(int group, int rune) {
    std::vector<segment> strokes;
    const uint32_t h = hash(uint32_t(group * 97 + rune * 13 + 5));
    const float stave = (h & 1) ? 0.5f : 0.38f;
    strokes.push_back({stave, 0.05f, stave, 0.95f});
    const float ends[4] = {0.05f, 0.3f, 0.55f, 0.8f};
    for (int b = 0; b < 3; ++b) {
        const uint32_t bits = (h >> (2 + 5 * b)) & 31;
        if (b == 2 && (bits & 16)) break;  // some runes have two branches only
        const float y = ends[bits & 3];
        const bool right = (bits >> 2) & 1, down = (bits >> 3) & 1;
        const float x1 = right ? 0.9f : 0.1f;
        strokes.push_back({stave, y, x1, down ? y + 0.3f : std::max(0.0f, y - 0.2f)});
    }
    // The group's mark at the stave's foot or head: fire a point, water a
    // wave, earth a bar, air an open hook, mind a ring's chord.
    switch (group) {
        case 0:
            strokes.push_back({stave - 0.18f, 0.2f, stave, 0.02f});
            break;
        case 1:
            strokes.push_back({stave - 0.25f, 0.9f, stave - 0.1f, 0.8f});
            strokes.push_back({stave - 0.1f, 0.8f, stave + 0.05f, 0.92f});
            break;
        case 2:
            strokes.push_back({stave - 0.22f, 0.95f, stave + 0.22f, 0.95f});
            break;
        case 3:
            strokes.push_back({stave, 0.05f, stave + 0.25f, 0.12f});
            break;
        default:
            strokes.push_back({stave - 0.15f, 0.5f, stave + 0.15f, 0.42f});
            break;
    }
    return strokes;
}

// A slate stone in a bronze rim, bevelled like the battle buttons.
void paint_stone(canvas& c, int left, uint32_t seed, bool sunken) {
    const rect r{left, 0, CELL, CELL};
    bronze_frame(c, r, 2, seed);
    const rect face = r.inset(2);
    fill(c, face, [&](int x, int y) { return slate(x, y, seed + 7) * (sunken ? 0.45f : 1.0f); });
    bevel(c, face, 2, sunken ? 0.9f : 0.75f, !sunken);
}

void carve(canvas& c, int left, int group, int rune) {
    const std::vector<segment> strokes = rune_strokes(group, rune);
    const float area_x = left + 9.0f, area_y = 8.0f, area = 22.0f;
    const float groove = 1.7f;
    auto nearest = [&](float px, float py) {
        float best = 1e9f;
        for (const segment& s : strokes)
            best = std::min(best, distance_to({area_x + s.x0 * area, area_y + s.y0 * area,
                                               area_x + s.x1 * area, area_y + s.y1 * area},
                                              px, py));
        return best;
    };
    for (int y = 4; y < CELL - 4; ++y)
        for (int x = left + 4; x < left + CELL - 4; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float d = nearest(px, py);
            if (d < groove) {
                // The groove's floor glows, brightest along its middle.
                const float t = 1.0f - d / groove;
                c.set(x, y, mix(GLOW[group] * 0.35f, mix(GLOW[group], rgb8(255, 248, 220), 0.25f), t));
            } else if (d < groove + 1.3f) {
                // The rim: lit where the groove lies up and left (the light
                // falls from the top left into the cut), shadowed elsewhere.
                const bool lit = nearest(px - 1.2f, py - 1.2f) < nearest(px + 1.2f, py + 1.2f);
                c.set(x, y, lit ? c.get(x, y) * 1.45f : c.get(x, y) * 0.4f);
            }
        }
}

canvas paint_sheet(int group) {
    canvas c(CELL * RUNES, CELL);
    for (int rune = 0; rune < RUNES; ++rune) {
        paint_stone(c, rune * CELL, uint32_t(700 + group * 10 + rune), false);
        carve(c, rune * CELL, group, rune);
    }
    return c;
}

canvas paint_hole() {
    canvas c(CELL, CELL);
    paint_stone(c, 0, 790, true);
    disc(c, CELL / 2.0f, CELL / 2.0f, 9.0f, rgb8(6, 5, 5), 0.85f);
    return c;
}

canvas paint_mask() {
    canvas c(CELL, CELL);
    for (int y = 0; y < CELL; ++y)
        for (int x = 0; x < CELL; ++x) {
            if ((x + y) % 2 == 0)
                c.set(x, y, rgb8(0, 0, 0));
            else
                c.clear_alpha(x, y);
        }
    return c;
}

void save(const std::string& folder, const std::string& name, const canvas& c) {
    forge::write_png_file(folder + "/" + name + ".png", to_image(c));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: demo_art_runes <out folder> [--sheet <runes.png>]\n");
        return 2;
    }
    try {
        const std::string out = argv[1];
        canvas sheet(CELL * (RUNES + 2) + 8, CELL * GROUPS);
        for (int group = 0; group < GROUPS; ++group) {
            const canvas runes = paint_sheet(group);
            save(out, SHEET_NAMES[group], runes);
            sheet.paste(runes, 0, group * CELL);
        }
        const canvas hole = paint_hole(), mask = paint_mask();
        save(out, "runehole", hole);
        save(out, "runemask", mask);
        sheet.paste(hole, CELL * RUNES + 8, 0);
        sheet.paste(paint_sheet(1).crop({0, 0, CELL, CELL}), CELL * RUNES + 8, CELL);
        sheet.paste(mask, CELL * RUNES + 8, CELL);
        if (argc >= 4 && std::string(argv[2]) == "--sheet") forge::write_png_file(argv[3], to_image(sheet));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_art_runes: %s\n", e.what());
        return 1;
    }
}
