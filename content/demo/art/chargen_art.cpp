// Paints the character generation screen's pictures and the faces only it
// offers, written as PCX files (the pearl's shadow needs its palette indexes
// as drawn) and PNGs for the forge (the button strip is the automap's):
//   postavy.pcx   640 x 480 the background: the portrait strip's niches, the
//                 figure's alcove, the disc with its compass at (455, 234)
//   topbar_p.pcx  640 x 18  the top bar under the name and the stat ranges
//   perla.pcx     15 x 15   the pearl; indexes with bit 7 set are its shadow
//   xicht04 / char04, xicht06 / char06, xicht07 / char07 (PNG): a man and two
//                 women for the strip beside the party's own portraits
//
//   demo_art_chargen <out folder>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include "forge/pcx_writer.h"
#include "forge/quantize.h"
#include "portrait_art.h"

namespace {

using namespace forge::paint;
using portrait_art::hair_style;
using portrait_art::look;

constexpr int DISC_X = 455, DISC_Y = 234, DISC_R = 75;
constexpr int STRIP_X = 16, STRIP_Y = 26, STRIP_STEP = 40, PLACE_W = 28, PLACE_H = 40;

// The faces the party does not use: portrait 4 a man, 6 and 7 women.
const std::vector<look>& strip_looks() {
    static const std::vector<look> looks = {
        {"Radek", 4, false, rgb8(204, 150, 118), rgb8(160, 150, 140), rgb8(60, 80, 100), rgb8(104, 70, 50),
         rgb8(170, 140, 90), hair_style::cropped, true, false, 1.05f, 1.0f, 0.85f, 71},
        {"Lida", 6, true, rgb8(232, 190, 164), rgb8(150, 60, 30), rgb8(60, 100, 120), rgb8(60, 70, 110),
         rgb8(190, 180, 150), hair_style::long_loose, false, false, 0.82f, 0.98f, 0.1f, 83},
        {"Vera", 7, true, rgb8(170, 120, 90), rgb8(24, 20, 18), rgb8(60, 44, 30), rgb8(120, 100, 60),
         rgb8(90, 60, 40), hair_style::braid, false, false, 0.85f, 1.05f, 0.3f, 97},
    };
    return looks;
}

rgb stone(int x, int y, uint32_t seed) {
    const float n = noise(x * 0.06f, y * 0.06f, seed, 4);
    const bool mortar = (y + 3) % 32 < 2 || (x + 11 + ((y + 3) / 32) * 29) % 57 < 2;
    return mix(rgb8(46, 42, 40), rgb8(84, 76, 68), n) * (mortar ? 0.6f : 1.0f);
}

canvas background() {
    canvas c(640, 480);
    fill(c, {0, 0, 640, 480}, [](int x, int y) { return stone(x, y, 5); });
    // The portrait strip: a dark niche behind each place.
    for (int p = 0; p < 8; ++p) {
        const rect niche{STRIP_X + STRIP_STEP * p - 3, STRIP_Y - 3, PLACE_W + 6, PLACE_H + 6};
        fill(c, niche, [](int, int) { return rgb8(18, 16, 14); });
        bevel(c, niche, 2, 0.5f, false);
    }
    // The figure's alcove and the sheet's room.
    const rect alcove{30, 76, 214, 290};
    fill(c, alcove, [](int x, int y) { return stone(x, y, 9) * 0.45f; });
    bevel(c, alcove, 3, 0.5f, false);
    // The disc: a bronze rim around slate, the eight compass points and the centre.
    for (int y = DISC_Y - 95; y <= DISC_Y + 95; ++y)
        for (int x = DISC_X - 95; x <= DISC_X + 95; ++x) {
            const float d = std::hypot(x + 0.5f - DISC_X, y + 0.5f - DISC_Y);
            if (d < DISC_R + 6)
                c.blend(x, y, slate(x, y, 3) * (0.7f + 0.3f * (1 - d / (DISC_R + 6))),
                        std::clamp(DISC_R + 6.5f - d, 0.0f, 1.0f));
            else if (d < DISC_R + 14)
                c.blend(x, y, bronze(x, y, 4) * (0.8f + 0.2f * std::cos((d - DISC_R - 10) * 0.6f)),
                        std::clamp(DISC_R + 14.5f - d, 0.0f, 1.0f));
        }
    for (int k = 0; k < 8; ++k) {
        const float a = k * 3.14159265f / 4;
        const float x = DISC_X + std::cos(a) * DISC_R, y = DISC_Y - std::sin(a) * DISC_R;
        stroke(c, DISC_X, DISC_Y, x, y, 1.0f, rgb8(120, 110, 90) * 0.6f);
        disc(c, x, y, 4.0f, rgb8(200, 170, 90));
    }
    disc(c, DISC_X, DISC_Y, 4.5f, rgb8(220, 200, 150));
    // The button strip's recess and the message line.
    fill(c, {514, 372, 122, 106}, [](int x, int y) { return dark_wood(x, y, 7) * 0.6f; });
    fill(c, {10, 358, 500, 16}, [](int, int) { return rgb8(20, 18, 16); });
    return c;
}

canvas top_bar() {
    canvas c(640, 18);
    fill(c, {0, 0, 640, 18}, [](int x, int y) { return dark_wood(x, y, 11); });
    bevel(c, {0, 0, 640, 18}, 1, 0.5f);
    fill(c, {118, 1, 109, 17}, [](int, int) { return rgb8(0, 0, 0); });
    return c;
}

void write_quantized(const canvas& c, const std::string& path) {
    forge::write_pcx(path, forge::quantize(to_image(c)));
}

// The pearl: a lit sphere (indexes 1 to 32) over a soft shadow to the lower
// right (index 128, which the game draws as the ground darkened).
void write_pearl(const std::string& path) {
    constexpr int S = 15;
    forge::indexed_image image;
    image.width = image.height = S;
    image.pixels.assign(size_t(S) * S, 0);
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            const float dx = x + 0.5f - 7.0f, dy = y + 0.5f - 7.0f;
            const float shadow = std::hypot(dx - 1.5f, dy - 1.5f);
            const float r = std::hypot(dx, dy);
            uint8_t& p = image.pixels[size_t(y) * S + size_t(x)];
            if (r < 5.6f) {
                // Light from the upper left.
                const float light = std::clamp(1.0f - std::hypot(dx + 2.2f, dy + 2.2f) / 8.5f, 0.0f, 1.0f);
                p = uint8_t(1 + std::lround(light * 31));
            } else if (shadow < 6.6f) {
                p = 128;
            }
        }
    for (int i = 1; i <= 32; ++i) {
        const float t = (i - 1) / 31.0f;
        image.palette[3 * size_t(i)] = uint8_t(120 + 135 * t);
        image.palette[3 * size_t(i) + 1] = uint8_t(116 + 136 * t);
        image.palette[3 * size_t(i) + 2] = uint8_t(124 + 128 * t);
    }
    forge::write_pcx(path, image);
}

std::string numbered(const char* stem, int face) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%02x", stem, face);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <out folder>\n", argv[0]);
        return 2;
    }
    try {
        const std::string out = argv[1];
        write_quantized(background(), out + "/postavy.pcx");
        write_quantized(top_bar(), out + "/topbar_p.pcx");
        write_pearl(out + "/perla.pcx");
        for (const look& who : strip_looks()) {
            forge::write_png_file(out + "/" + numbered("xicht", who.face) + ".png",
                                  to_image(portrait_art::paint_face_states(who)));
            forge::write_png_file(out + "/" + numbered("char", who.face) + ".png",
                                  to_image(portrait_art::paint_body(who)));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
