// The main menu's and the credits' pictures, written straight as PCX files:
// the menu background (MAINMENU), the five items at glow levels 0 to 4
// (MENUVOL0-4) and their mask (MENUVOL5, pixel = item number + 1), the
// logo's thirty frames (LOGO00 as it is, LOGO01-29 as the XOR of their
// indexes with LOGO00's, each in its own palette) and the credits'
// background (titulky). With --text it writes a UTF-8 text file (the
// credits' scripts) in the game's code page instead.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "base/file_write.h"
#include "base/strings.h"

#include "forge/paint.h"
#include "forge/pcx_writer.h"
#include "forge/quantize.h"

namespace {

using namespace forge::paint;

constexpr int AREA_X = 220, AREA_Y = 300, AREA_W = 200, AREA_H = 150;
constexpr int ITEMS = 5, ITEM_H = 30, PLATE_X = 14, PLATE_W = 172, PLATE_H = 22;
constexpr int LOGO_Y = 56, LOGO_W = 640, LOGO_H = 140, LOGO_FRAMES = 30;
constexpr float PI = 3.14159265f;

rect plate(int item) {
    return {PLATE_X, item * ITEM_H + (ITEM_H - PLATE_H) / 2, PLATE_W, PLATE_H};
}

// The mark of each item on its plate: new game a star, load an open frame,
// the intro a triangle, the credits three lines, quit a cross.
void item_mark(canvas& c, int item, const rect& p, const rgb& colour) {
    const float cx = p.x + p.w / 2.0f, cy = p.y + p.h / 2.0f;
    switch (item) {
        case 0:
            for (int k = 0; k < 4; ++k) {
                const float a = k * PI / 4;
                stroke(c, cx - 8 * std::cos(a), cy - 8 * std::sin(a), cx + 8 * std::cos(a),
                       cy + 8 * std::sin(a), 2, colour);
            }
            break;
        case 1:
            stroke(c, cx - 10, cy - 6, cx + 10, cy - 6, 2, colour);
            stroke(c, cx - 10, cy + 6, cx + 10, cy + 6, 2, colour);
            stroke(c, cx - 10, cy - 6, cx - 10, cy + 6, 2, colour);
            break;
        case 2:
            fill_polygon(c, {cx - 6, cy - 8, cx + 9, cy, cx - 6, cy + 8}, colour);
            break;
        case 3:
            for (int k = -1; k <= 1; ++k)
                stroke(c, cx - 12, cy + 5.0f * k, cx + 12 - 6.0f * (k + 1), cy + 5.0f * k, 1.6f, colour);
            break;
        default:
            stroke(c, cx - 7, cy - 7, cx + 7, cy + 7, 2.4f, colour);
            stroke(c, cx - 7, cy + 7, cx + 7, cy - 7, 2.4f, colour);
            break;
    }
}

// The menu area at one glow level: slate with five bronze plates, warmer and
// brighter at each level.
canvas menu_area(int level) {
    canvas c(AREA_W, AREA_H);
    fill(c, {0, 0, AREA_W, AREA_H}, [](int x, int y) { return slate(x + AREA_X, y + AREA_Y, 3) * 0.7f; });
    const float glow = level / 4.0f;
    for (int i = 0; i < ITEMS; ++i) {
        const rect p = plate(i);
        fill(c, p, [&](int x, int y) {
            return mix(bronze(x, y, 21 + i), rgb8(255, 214, 120), 0.55f * glow) * (0.9f + 0.3f * glow);
        });
        bevel(c, p, 2, 0.5f);
        item_mark(c, i, p, mix(rgb8(40, 28, 16), rgb8(120, 30, 10), glow));
        rivet(c, p.x + 6.0f, p.y + p.h / 2.0f, 2.5f);
        rivet(c, p.x + p.w - 6.0f, p.y + p.h / 2.0f, 2.5f);
    }
    return c;
}

void write_quantized(const canvas& c, const std::string& path) {
    forge::write_pcx(path, forge::quantize(to_image(c)));
}

// Slate in a bronze frame: the menu's background, and what lies under the logo.
canvas menu_wall() {
    canvas c(640, 480);
    fill(c, {0, 0, 640, 480}, [](int x, int y) { return slate(x, y, 5); });
    vignette(c, {0, 0, 640, 480}, 0.5f);
    bronze_frame(c, {0, 0, 640, 480}, 8, 9);
    return c;
}

canvas menu_background() {
    canvas c = menu_wall();
    bronze_frame(c, {AREA_X - 10, AREA_Y - 10, AREA_W + 20, AREA_H + 20}, 6, 13);
    c.paste(menu_area(0), AREA_X, AREA_Y);
    return c;
}

// Logo frame k: a bronze ring with the letters of the title's initial over
// slate, a glint running round the ring once in the thirty frames.
canvas logo_frame(int k) {
    static const canvas wall = menu_wall().crop({0, LOGO_Y, LOGO_W, LOGO_H});
    canvas c = wall;
    const float cx = LOGO_W / 2.0f, cy = LOGO_H / 2.0f, r = 52;
    const float glint = 2 * PI * k / LOGO_FRAMES;
    for (int y = 0; y < LOGO_H; ++y)
        for (int x = 0; x < LOGO_W; ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float d = std::hypot(dx, dy);
            if (std::fabs(d - r) > 9) continue;
            float near = std::fabs(std::remainder(std::atan2(dy, dx) - glint, 2 * PI));
            const float light = std::max(0.0f, 1.0f - near / 0.6f);
            const float edge = 1.0f - std::fabs(d - r) / 9.0f;
            c.set(x, y, mix(bronze(x, y, 17) * (0.6f + 0.5f * edge), rgb8(255, 240, 190), light * edge));
        }
    letter(c, 'V', int(cx) - 17, int(cy) - 24, 7, rgb8(196, 150, 80));
    for (int side = -1; side <= 1; side += 2) {
        const float x0 = cx + side * (r + 20), x1 = cx + side * 300;
        stroke(c, x0, cy, x1, cy, 3, rgb8(150, 110, 60));
        rivet(c, x1, cy, 5);
    }
    return c;
}

void write_logo(const std::string& out) {
    forge::indexed_image first = forge::quantize(to_image(logo_frame(0)));
    forge::write_pcx(out + "/LOGO00.PCX", first);
    for (int k = 1; k < LOGO_FRAMES; ++k) {
        forge::indexed_image frame = forge::quantize(to_image(logo_frame(k)));
        for (size_t i = 0; i < frame.pixels.size(); ++i) frame.pixels[i] ^= first.pixels[i];
        char name[32];
        std::snprintf(name, sizeof name, "/LOGO%02d.PCX", k);
        forge::write_pcx(out + name, frame);
    }
}

void write_mask(const std::string& path) {
    forge::indexed_image mask;
    mask.width = AREA_W;
    mask.height = AREA_H;
    mask.pixels.assign(size_t(AREA_W) * AREA_H, 0);
    for (int i = 0; i < ITEMS; ++i) {
        const rect p = plate(i);
        for (int y = p.y; y < p.y + p.h; ++y)
            for (int x = p.x; x < p.x + p.w; ++x)
                mask.pixels[size_t(y) * AREA_W + size_t(x)] = uint8_t(i + 1);
    }
    forge::write_pcx(path, mask);
}

canvas credits_background() {
    canvas c(640, 480);
    fill(c, {0, 0, 640, 480}, [](int x, int y) { return slate(x, y, 31); });
    fill(c, {20, 60, 600, 360}, [](int x, int y) { return slate(x, y, 37) * 0.45f; });
    bevel(c, {20, 60, 600, 360}, 3, 0.5f, false);
    bronze_frame(c, {0, 0, 640, 480}, 8, 41);
    return c;
}

}  // namespace

// A script of the credits from its UTF-8 source.
int convert_text(const std::string& source, const std::string& output) {
    std::ifstream in(source, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t bad = 0;
    const std::optional<std::string> game_text = utf8_to_game_codepage(text, &bad);
    if (!in.good() && !in.eof()) {
        std::fprintf(stderr, "cannot read %s\n", source.c_str());
        return 1;
    }
    if (!game_text) {
        std::fprintf(stderr, "%s: byte %zu has no place in the game's code page\n", source.c_str(), bad);
        return 1;
    }
    if (!write_file_atomic(output, *game_text)) {
        std::fprintf(stderr, "cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--text") return convert_text(argv[2], argv[3]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <out folder> | --text <source.txt> <out.txt>\n", argv[0]);
        return 2;
    }
    try {
        const std::string out = argv[1];
        write_quantized(menu_background(), out + "/MAINMENU.PCX");
        for (int level = 0; level <= 4; ++level)
            write_quantized(menu_area(level), out + "/MENUVOL" + std::to_string(level) + ".PCX");
        write_mask(out + "/MENUVOL5.PCX");
        write_logo(out);
        write_quantized(credits_background(), out + "/titulky.pcx");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
