// Paints the demo's item pictures and writes them as the game reads them
// from the items folder:
//   IKONY00.LIB, IKONY01.LIB, IKONY02.LIB  the icons, 18 to a library, icon n = look n
//   ITEMnn.PCX                             each item lying on the floor
//   ITEMnnM.PCX, ITEMnnF.PCX               worn items on the man's and the woman's figure
//   FLYnnVP.PCX                            thrown items in flight, view V, phase P
// nn is the look number in two decimal digits. With --sheet, contact sheets
// for looking them over go into the given folder: icons.png, floor.png,
// flight.png and bodies.png (every worn item on both figures, and four
// dressed characters), with body_positions.txt: body_pos and body_pos_7 of
// the worn items.
//
//   demo_art_items <out folder> [--sheet <folder>]
#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>

#include "forge/pcx_writer.h"
#include "forge/quantize.h"
#include "item_art.h"
#include "portrait_art.h"
#include "rules/icons.h"

namespace {

using namespace item_art;
using forge::indexed_image;
using forge::paint::rect;

// Index 0 is transparent; index 1 is kept for the floor shadow, which the
// view draws by halving the brightness beneath it, so no colour may use it.
constexpr uint8_t SHADOW_INDEX = 1;

indexed_image to_indexed(const canvas& c, const std::vector<uint8_t>& shadow = {}) {
    indexed_image img = forge::quantize(forge::paint::to_image(c));
    // Move the colour that landed on index 1 to its nearest other entry.
    int best = -1, best_d = 1 << 30;
    const auto at = [&](int i, int k) { return static_cast<int>(img.palette[3 * i + k]); };
    for (int i = 2; i < 256; ++i) {
        int d = 0;
        for (int k = 0; k < 3; ++k) d += (at(i, k) - at(1, k)) * (at(i, k) - at(1, k));
        if (d < best_d) best_d = d, best = i;
    }
    for (uint8_t& p : img.pixels)
        if (p == SHADOW_INDEX) p = static_cast<uint8_t>(best);
    for (int k = 0; k < 3; ++k) img.palette[3 + k] = 0;
    for (size_t i = 0; i < shadow.size() && i < img.pixels.size(); ++i)
        if (shadow[i] && img.pixels[i] == 0) img.pixels[i] = SHADOW_INDEX;
    return img;
}

std::string numbered(const char* format, int a, int b = 0, int c = 0) {
    char name[32];
    std::snprintf(name, sizeof name, format, a, b, c);
    return name;
}

// One icon in the libraries' layout: the header (width, height, type 8),
// 256 RGB555 palette words and the pixels, all little-endian.
void append_icon(std::vector<uint8_t>& out, const canvas* icon) {
    const auto word = [&](unsigned v) {
        out.push_back(static_cast<uint8_t>(v & 0xFF));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    word(ICON_WIDTH), word(ICON_HEIGHT), word(8);
    if (!icon) {  // a free place in the last library: nothing but transparency
        out.insert(out.end(), ICON_PALETTE_BYTES + ICON_WIDTH * ICON_HEIGHT, 0);
        return;
    }
    const indexed_image img = to_indexed(*icon);
    if (img.width != ICON_WIDTH || img.height != ICON_HEIGHT)
        throw std::runtime_error("an icon of the wrong size");
    for (int i = 0; i < 256; ++i)
        word(((img.palette[3 * i] >> 3) << 10) | ((img.palette[3 * i + 1] >> 3) << 5) |
             (img.palette[3 * i + 2] >> 3));
    out.insert(out.end(), img.pixels.begin(), img.pixels.end());
}

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

// ---------------------------------------------------------------- sheets

const rgb GROUND = rgb8(40, 34, 30);

void fill_ground(canvas& s, const rgb& colour) {
    forge::paint::fill(s, {0, 0, s.width(), s.height()}, [&](int x, int y) {
        return colour * (0.85f + 0.3f * forge::paint::noise(x * 0.05f, y * 0.05f, 9, 3));
    });
}

// Every icon three times enlarged on the backpack's dark cells, nine a row.
canvas icon_sheet(const std::vector<canvas>& icons) {
    constexpr int K = 3, COLS = 9, CELL_W = 55 * K, CELL_H = 60 * K;
    const int rows = (static_cast<int>(icons.size()) + COLS - 1) / COLS;
    canvas s(COLS * CELL_W, rows * CELL_H);
    fill_ground(s, GROUND);
    for (size_t i = 0; i < icons.size(); ++i) {
        const int x0 = static_cast<int>(i % COLS) * CELL_W + (CELL_W - 45 * K) / 2,
                  y0 = static_cast<int>(i / COLS) * CELL_H + (CELL_H - 55 * K) / 2;
        for (int y = 0; y < 55 * K; ++y)
            for (int x = 0; x < 45 * K; ++x)
                if (icons[i].alpha(x / K, y / K) >= 0.5f) s.set(x0 + x, y0 + y, icons[i].get(x / K, y / K));
    }
    return s;
}

// Floor pictures at their size in the nearest view, on flagstones, with the
// shadow drawn as the view draws it.
canvas floor_sheet(const std::vector<picture_art>& floor) {
    constexpr int COLS = 9, CELL = 150;
    const int rows = (static_cast<int>(floor.size()) + COLS - 1) / COLS;
    canvas s(COLS * CELL, rows * CELL);
    fill_ground(s, rgb8(96, 90, 84));
    for (size_t i = 0; i < floor.size(); ++i) {
        const picture_art& f = floor[i];
        const int x0 = static_cast<int>(i % COLS) * CELL + (CELL - f.colour.width()) / 2,
                  y0 = static_cast<int>(i / COLS) * CELL + (CELL - f.colour.height()) / 2;
        for (int y = 0; y < f.colour.height(); ++y)
            for (int x = 0; x < f.colour.width(); ++x) {
                if (!s.inside(x0 + x, y0 + y)) continue;
                if (f.shadow[static_cast<size_t>(y) * f.colour.width() + x])
                    s.set(x0 + x, y0 + y, s.get(x0 + x, y0 + y) * 0.5f);
                else if (f.colour.alpha(x, y) >= 0.5f)
                    s.set(x0 + x, y0 + y, f.colour.get(x, y));
            }
    }
    return s;
}

canvas flight_sheet(const std::vector<std::vector<canvas>>& flights) {
    constexpr int CELL = 70;
    canvas s(16 * CELL, static_cast<int>(flights.size()) * CELL);
    fill_ground(s, rgb8(70, 76, 86));
    for (size_t i = 0; i < flights.size(); ++i)
        for (size_t j = 0; j < flights[i].size(); ++j) {
            const canvas& f = flights[i][j];
            s.paste(f, static_cast<int>(j) * CELL + (CELL - f.width()) / 2,
                    static_cast<int>(i) * CELL + (CELL - f.height()) / 2);
        }
    return s;
}

// Lays a worn picture on a figure where the game puts it.
void wear(canvas& figure, const canvas& picture, int body_x, int body_y) {
    figure.paste(picture, 97 + body_x - picture.width() / 2, 320 - body_y - picture.height());
}

canvas bodies_sheet(const std::vector<item_look>& looks, const std::vector<worn_art>& worn) {
    const auto& party = portrait_art::party_looks();
    const portrait_art::look *man = &party[0], *woman = &party[1];
    std::vector<canvas> figures;
    // Every worn item alone on the man and on the woman.
    for (size_t i = 0; i < looks.size(); ++i) {
        if (!worn[i].man.width() || !item_art::worn(looks[i])) continue;
        for (bool female : {false, true}) {
            canvas f = portrait_art::paint_body(female ? *woman : *man);
            wear(f, female ? worn[i].woman : worn[i].man, worn[i].body_x, worn[i].body_y);
            figures.push_back(f);
        }
    }
    // Four dressed characters: (look, items in slot order, item in the other hand).
    struct outfit {
        int who;
        std::vector<int> items;
        int other_hand;
    };
    const std::vector<outfit> outfits = {{0, {12, 15, 14, 2}, 10},
                                         {1, {11, 20, 19, 17, 18, 0}, 23},
                                         {2, {17, 16, 5}, -1},
                                         {3, {11, 20, 17, 13, 21, 6}, -1}};
    for (const outfit& o : outfits) {
        const portrait_art::look& who = party[o.who];
        canvas f = portrait_art::paint_body(who);
        for (int n : o.items)
            wear(f, who.female ? worn[n].woman : worn[n].man, worn[n].body_x, worn[n].body_y);
        if (o.other_hand >= 0) {
            const worn_art& w = worn[o.other_hand];
            wear(f, who.female ? w.woman : w.man, w.body7_x, w.body7_y);
        }
        figures.push_back(f);
    }
    constexpr int COLS = 10;
    const int rows = (static_cast<int>(figures.size()) + COLS - 1) / COLS;
    canvas s(COLS * (BODY_W + 6) + 6, rows * (BODY_H + 6) + 6);
    fill_ground(s, GROUND);
    for (size_t i = 0; i < figures.size(); ++i)
        s.paste(figures[i], 6 + static_cast<int>(i % COLS) * (BODY_W + 6),
                6 + static_cast<int>(i / COLS) * (BODY_H + 6));
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--sheet")) {
        std::fprintf(stderr, "usage: %s <out folder> [--sheet <folder>]\n", argv[0]);
        return 2;
    }
    try {
        const std::string out = std::string(argv[1]) + "/";
        const std::vector<item_look>& looks = item_looks();
        std::vector<canvas> icons;
        std::vector<picture_art> floor;
        std::vector<worn_art> worn_pictures(looks.size());
        std::vector<std::vector<canvas>> flights;
        std::string positions =
            "# look  item  body_pos x y  body_pos_7 x y (the worn picture's centre from column 97,\n"
            "# its bottom edge above row 320 of the 194 x 340 figure)\n";
        for (size_t n = 0; n < looks.size(); ++n) {
            const item_look& item = looks[n];
            const int look = static_cast<int>(n);
            icons.push_back(paint_icon(item));
            floor.push_back(paint_floor(item));
            forge::write_pcx(out + numbered("ITEM%02d.PCX", look),
                             to_indexed(floor.back().colour, floor.back().shadow));
            if (worn(item)) {
                worn_art& w = worn_pictures[n];
                w = paint_worn(item);
                forge::write_pcx(out + numbered("ITEM%02dM.PCX", look), to_indexed(w.man));
                forge::write_pcx(out + numbered("ITEM%02dF.PCX", look), to_indexed(w.woman));
                positions += numbered("%2d  ", look) + item.name +
                             numbered("  body_pos %d %d", w.body_x, w.body_y) +
                             numbered("  body_pos_7 %d %d\n", w.body7_x, w.body7_y);
            }
            if (flies(item)) {
                flights.emplace_back();
                for (int view = 0; view < 4; ++view)
                    for (int phase = 0; phase < 4; ++phase) {
                        flights.back().push_back(paint_flight(item, view, phase));
                        forge::write_pcx(out + numbered("FLY%02d%d%d.PCX", look, view, phase),
                                         to_indexed(flights.back().back()));
                    }
            }
        }
        const int libraries = (static_cast<int>(icons.size()) + ICONS_PER_LIBRARY - 1) / ICONS_PER_LIBRARY;
        for (int lib = 0; lib < libraries; ++lib) {
            std::vector<uint8_t> bytes;
            for (int k = 0; k < ICONS_PER_LIBRARY; ++k) {
                const size_t n = static_cast<size_t>(lib * ICONS_PER_LIBRARY + k);
                append_icon(bytes, n < icons.size() ? &icons[n] : nullptr);
            }
            write_bytes(out + icon_library_name(lib), bytes);
        }
        if (argc == 4) {
            const std::string sheets = std::string(argv[3]) + "/";
            write_bytes(sheets + "body_positions.txt",
                        std::vector<uint8_t>(positions.begin(), positions.end()));
            forge::write_png_file(sheets + "icons.png", forge::paint::to_image(icon_sheet(icons)));
            forge::write_png_file(sheets + "floor.png", forge::paint::to_image(floor_sheet(floor)));
            forge::write_png_file(sheets + "flight.png", forge::paint::to_image(flight_sheet(flights)));
            forge::write_png_file(sheets + "bodies.png",
                                  forge::paint::to_image(bodies_sheet(looks, worn_pictures)));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
