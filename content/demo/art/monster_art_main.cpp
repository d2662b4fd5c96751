// Paints the demo's monster animation sets and writes them as the game reads
// them from the monster pictures' folder:
//   <NAME><kind><frame>.PCX  every frame: kinds F (front), L (its left side),
//                            B (back) with frames 0 (still) and 1-3 (walking),
//                            C (attack, 0-2, the blow lands at 2), H (pain, 0-1)
//   <NAME>.SEQ               the frame characters of the six kinds
//   <NAME>.COL               one 776-byte colour record per colour variant
// All frames of a set share one width W and one palette, in which index 0 is
// transparent, index 1 the floor shadow and the colours lie in 2-127 (the view
// draws indexes from 128 up half-transparent). The standing point is column
// W / 2 of the bottom row. The widths go to a list of "NAME W" lines; with
// --sheet, a contact sheet of every set is written for looking them over.
//
//   demo_art_monsters <out folder> <widths file> [--sheet <folder>]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>

#include "forge/pcx_writer.h"
#include "forge/png_import.h"
#include "monster_art.h"

namespace {

using namespace monster_art;
using forge::indexed_image;
using forge::paint::mix;

constexpr int FIRST_COLOUR = 2, COLOURS = 126;  // indexes 2..127
constexpr float TOP_LEVEL = 1.4f;
constexpr size_t COL_RECORD = 776;
const char* const SEQ_TEXT = "0123\r\n0123\r\n0123\r\n0123\r\n012\r\n01\r\n";

struct frame_spec {
    char kind;
    char number;
    view seen;
    pose when;
    float turn;  // extra turn of the view, in units of the set's attack turn
};

std::vector<frame_spec> frame_list() {
    std::vector<frame_spec> out;
    const std::pair<char, view> walking[] = {{'F', view::front}, {'L', view::left}, {'B', view::back}};
    for (const auto& [kind, seen] : walking)
        for (int f = 0; f <= 3; ++f)
            out.push_back(
                {kind, static_cast<char>('0' + f), seen, {f == 0 ? action::stand : action::walk, f}, 0});
    for (int f = 0; f <= 2; ++f)
        out.push_back({'C', static_cast<char>('0' + f), view::front, {action::attack, f}, 1});
    for (int f = 0; f <= 1; ++f)
        out.push_back({'H', static_cast<char>('0' + f), view::front, {action::pain, f}, 0.5f});
    return out;
}

// A ramp colour: warm torchlight where lit, cool in the shadows, a pale
// gleam above full light on glossy materials.
rgb ramp_colour(const material& m, float v) {
    if (m.glow > 0) return m.base * (0.35f + 0.65f * v / std::max(0.01f, m.glow));
    const float lit = std::min(v, 1.0f);
    const rgb tint = mix(rgb{0.5f, 0.55f, 0.75f}, rgb{1.08f, 0.97f, 0.8f}, lit);
    rgb c{m.base.r * tint.r * lit, m.base.g * tint.g * lit, m.base.b * tint.b * lit};
    if (v > 1) c = mix(c, rgb{1.0f, 0.95f, 0.85f}, std::min(1.0f, (v - 1) * (0.4f + m.shine)));
    return c;
}

uint8_t byte_of(float v) {
    return static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(v * 255)), 0, 255));
}

struct painted_set {
    std::string name;
    int width = 0, height = 0;
    std::vector<std::string> file_names;
    std::vector<std::vector<uint8_t>> pixels;        // per frame, width x height indexes
    std::vector<std::array<uint8_t, 768>> palettes;  // per colour variant
};

painted_set paint_set(const creature& who) {
    const std::vector<frame_spec> specs = frame_list();
    std::vector<frame> frames;
    std::vector<material> materials;
    for (const frame_spec& s : specs) {
        const model m = who.make(s.when);
        if (materials.empty()) materials = m.materials();
        if (m.materials().size() != materials.size())
            throw std::runtime_error(who.name + ": the materials change between poses");
        frames.push_back(render(m, s.seen, s.turn * who.attack_turn, who.shadow_rx, who.shadow_rz));
    }
    if (materials.empty() || COLOURS / static_cast<int>(materials.size()) < 4)
        throw std::runtime_error(who.name + ": too many materials for the palette");

    // The set's box: symmetric about the standing point, down to the lowest row used.
    int half = 1, top = CANVAS_H, bottom = 0;
    for (const frame& f : frames)
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x)
                if (f.material_at(x, y) >= 0 || f.shadow[static_cast<size_t>(y) * f.width + x]) {
                    half = std::max({half, CANVAS_W / 2 - x, x + 1 - CANVAS_W / 2});
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
    half += 2;
    // A foot or a tail reaching towards the viewer is seen lower than the
    // standing point; the picture ends a little below it so every set stands
    // alike on the floor.
    bottom = std::min(bottom, GROUND_ROW + 6);
    top = std::max(0, top - 1);

    painted_set out;
    out.name = who.name;
    out.width = 2 * half, out.height = bottom - top + 1;
    const int levels = std::min(24, COLOURS / static_cast<int>(materials.size()));
    for (size_t i = 0; i < specs.size(); ++i) {
        const frame& f = frames[i];
        std::vector<uint8_t> px(static_cast<size_t>(out.width) * out.height, 0);
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) {
                const int cx = x + CANVAS_W / 2 - half, cy = y + top;
                if (cx < 0 || cx >= CANVAS_W) continue;
                const size_t at = static_cast<size_t>(cy) * CANVAS_W + cx;
                uint8_t& p = px[static_cast<size_t>(y) * out.width + x];
                if (f.material[at] >= 0) {
                    const int li = std::clamp(
                        static_cast<int>(std::lround(f.level[at] / TOP_LEVEL * (levels - 1))), 0, levels - 1);
                    p = static_cast<uint8_t>(FIRST_COLOUR + f.material[at] * levels + li);
                } else if (f.shadow[at]) {
                    p = 1;
                }
            }
        out.pixels.push_back(std::move(px));
        out.file_names.push_back(who.name + specs[i].kind + specs[i].number + ".PCX");
    }

    const size_t variants = std::max<size_t>(1, who.variants.size());
    for (size_t v = 0; v < variants; ++v) {
        std::vector<material> mats = materials;
        if (v < who.variants.size())
            for (const auto& [name, colour] : who.variants[v]) {
                bool found = false;
                for (material& m : mats)
                    if (m.name == name) m.base = colour, found = true;
                if (!found) throw std::runtime_error(who.name + ": no material " + name + " to recolour");
            }
        std::array<uint8_t, 768> pal{};
        for (size_t mi = 0; mi < mats.size(); ++mi)
            for (int li = 0; li < levels; ++li) {
                const rgb c = ramp_colour(mats[mi], TOP_LEVEL * li / (levels - 1));
                const size_t e = FIRST_COLOUR + mi * levels + li;
                pal[3 * e] = byte_of(c.r), pal[3 * e + 1] = byte_of(c.g), pal[3 * e + 2] = byte_of(c.b);
            }
        out.palettes.push_back(pal);
    }
    return out;
}

void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

// A colour record is the 256 R, G, B entries of one variant's palette
// followed by 8 unused bytes, as the monsters' colour file reader takes it.
std::string colour_records(const painted_set& set) {
    std::string out;
    for (const auto& pal : set.palettes) {
        out.append(reinterpret_cast<const char*>(pal.data()), pal.size());
        out.append(COL_RECORD - pal.size(), '\0');
    }
    return out;
}

void write_set(const painted_set& set, const std::string& dir) {
    for (size_t i = 0; i < set.pixels.size(); ++i) {
        indexed_image img;
        img.width = set.width, img.height = set.height;
        img.pixels = set.pixels[i];
        img.palette = set.palettes[0];
        forge::write_pcx(dir + "/" + set.file_names[i], img);
    }
    write_bytes(dir + "/" + set.name + ".SEQ", SEQ_TEXT);
    write_bytes(dir + "/" + set.name + ".COL", colour_records(set));
}

// The contact sheet: the frames in two rows (F and L; B, C and H) on a stone
// grey ground that the shadows darken, and a row of the still front frame in
// every colour variant.
void write_sheet(const painted_set& set, const std::string& path) {
    constexpr int GAP = 8;
    const int per_row = 9, rows = 3;
    forge::rgba_image img;
    img.width = per_row * (set.width + GAP) + GAP;
    img.height = rows * (set.height + GAP) + GAP;
    img.rgba.assign(static_cast<size_t>(img.width) * img.height * 4, 255);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            uint8_t* p = &img.rgba[(static_cast<size_t>(y) * img.width + x) * 4];
            const int g = 70 + (y * 30) / img.height;
            p[0] = static_cast<uint8_t>(g), p[1] = static_cast<uint8_t>(g - 4),
            p[2] = static_cast<uint8_t>(g - 10);
        }
    const auto place = [&](const std::vector<uint8_t>& px, const std::array<uint8_t, 768>& pal, int slot,
                           int row) {
        const int ox = GAP + slot * (set.width + GAP), oy = GAP + row * (set.height + GAP);
        for (int y = 0; y < set.height; ++y)
            for (int x = 0; x < set.width; ++x) {
                const uint8_t c = px[static_cast<size_t>(y) * set.width + x];
                uint8_t* p = &img.rgba[(static_cast<size_t>(oy + y) * img.width + ox + x) * 4];
                if (c == 1)
                    for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(p[k] / 2);
                else if (c > 1)
                    for (int k = 0; k < 3; ++k) p[k] = pal[3 * c + k];
            }
    };
    for (size_t i = 0; i < set.pixels.size(); ++i) {
        const int slot = static_cast<int>(i < 8 ? i : i - 8), row = i < 8 ? 0 : 1;
        place(set.pixels[i], set.palettes[0], slot, row);
    }
    for (size_t v = 0; v < set.palettes.size(); ++v)
        place(set.pixels[0], set.palettes[v], static_cast<int>(v), 2);
    forge::write_png_file(path, img);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--sheet")) {
        std::fprintf(stderr, "usage: demo_art_monsters <out folder> <widths file> [--sheet <folder>]\n");
        return 2;
    }
    try {
        std::string widths;
        for (const creature& who : {archer(), goblin(), shaman(), rat(), ogre()}) {
            const painted_set set = paint_set(who);
            write_set(set, argv[1]);
            if (argc == 5) write_sheet(set, std::string(argv[4]) + "/" + set.name + ".png");
            widths += set.name + " " + std::to_string(set.width) + "\n";
        }
        write_bytes(argv[2], widths);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "demo_art_monsters: %s\n", e.what());
        return 1;
    }
    return 0;
}
