// The things a party carries: the bag, light, food and drink in glass and
// leather, potions, herbs, keys, runes, books and papers, money.
#include <cmath>

#include "item_art.h"

namespace item_art {

namespace {

const rgb PAPER = rgb8(222, 204, 160), INK = rgb8(60, 40, 30), BRASS = rgb8(200, 156, 72),
          IRON = rgb8(120, 124, 132), GOLD = rgb8(236, 184, 60), STONE = rgb8(128, 122, 116),
          CORK = rgb8(168, 120, 80);

void leather_bag(painter& p) {
    const material m = leather(rgb8(124, 84, 50), 70);
    p.dome(0, 6, 15, 14, m, 0.7f);
    p.wrap({-9, -10, 9, -10, 13, 2, -13, 2}, 0, 11, m);                 // the gathered neck
    p.rod(-10, -7, 1.3f, 10, -7, 1.3f, leather(rgb8(70, 46, 28), 71));  // the drawstring
    p.rod(-2, -7, 1.0f, -5, 2, 0.9f, leather(rgb8(70, 46, 28), 71));
    for (int i = -3; i <= 3; ++i) p.line(i * 3.0f, -9, i * 4.0f, 0, 0.5f, rgb8(60, 38, 24), 0.6f);  // folds
    p.line(-13, 12, 13, 12, 0.6f, rgb8(60, 38, 24), 0.5f);
    p.rod(-10, -11, 1.1f, -14, -20, 1.0f, leather(rgb8(90, 60, 36), 72));  // the strap
    p.rod(10, -11, 1.1f, 14, -20, 1.0f, leather(rgb8(90, 60, 36), 72));
    p.rod(-14, -20, 1.0f, 14, -20, 1.0f, leather(rgb8(90, 60, 36), 72));
}

void torch_body(painter& p) {
    p.rod(0, 22, 1.7f, 0, -6, 2.2f, wood(rgb8(110, 78, 48), 73));
    p.rod(0, -12, 3.3f, 0, -4, 3.0f, cloth(rgb8(70, 56, 42), 74));  // pitch-soaked rags
    for (float y = -11; y < -4; y += 2) p.line(-3.2f, y, 3.2f, y + 1.2f, 0.5f, rgb8(40, 30, 22), 0.8f);
}

void torch(painter& p) {
    torch_body(p);
    // The flame: a dark red outer tongue, orange inside, a yellow-white core.
    p.plate({-4.5f, -12, -5, -17, -2, -22, -1, -28, 1.5f, -21, 4, -25, 5, -17, 4.5f, -12}, 0, 0, 0, 0,
            matt(rgb8(230, 80, 30), 0.2f, 75, 0));
    p.plate({-3, -13, -3, -17, -0.5f, -23, 2, -18, 3, -13}, 0, 0, 0, 0,
            matt(rgb8(255, 160, 50), 0.15f, 76, 0));
    p.plate({-1.5f, -13, -1.2f, -16, 0, -19, 1.3f, -16, 1.5f, -13}, 0, 0, 0, 0,
            matt(rgb8(255, 240, 170), 0.05f, 77, 0));
}

void flint(painter& p) {
    p.plate({-9, 2, -6, -6, 1, -9, 8, -5, 10, 3, 4, 8, -5, 7}, -6, -6, 8, 4,
            matt(rgb8(84, 84, 92), 0.3f, 78, 0.5f), 0.5f);
    p.line(-2, -7, 3, 5, 0.6f, rgb8(160, 160, 170), 0.7f);
    // A steel striker beside it.
    p.plate({-11, 12, 9, 12, 11, 15, 9, 17, -9, 17, -11, 15}, -11, 14.5f, 11, 14.5f, metal(IRON, 1.0f, 79),
            0.4f);
    p.gleam(-5, 13.5f, 1.3f);
}

void map_scroll(painter& p) {
    p.wrap({-10, -15, 10, -15, 10, 15, -10, 15}, 0, 20, matt(PAPER, 0.2f, 80));
    p.line(-6, -8, 2, -3, 0.8f, INK, 0.7f);  // a path between places
    p.line(2, -3, 0, 6, 0.8f, INK, 0.7f);
    p.line(0, 6, 6, 10, 0.8f, INK, 0.7f);
    p.line(4, 8, 8, 12, 0.8f, rgb8(170, 40, 30), 0.9f);
    p.line(8, 8, 4, 12, 0.8f, rgb8(170, 40, 30), 0.9f);
    for (float y : {-16.0f, 16.0f}) {
        p.rod(-12, y, 2.4f, 12, y, 2.4f, matt(PAPER * 0.9f, 0.2f, 81));
        p.rod(-14, y, 1.0f, 14, y, 1.0f, wood(rgb8(110, 70, 40), 82));
    }
}

void bread(painter& p) {
    p.dome(0, 0, 19, 11, matt(rgb8(188, 120, 58), 0.25f, 83, 0.15f), 0.9f);
    for (float x : {-9.0f, -2.0f, 5.0f})
        p.line(x - 2, -6, x + 3, 4, 1.4f, rgb8(236, 200, 140), 0.8f);  // cuts in the crust
}

void cheese(painter& p) {
    // A wedge: the rind on top, the cut face in front with holes.
    p.plate({-15, -4, 13, -11, 15, -7, -13, 0}, 0, 0, 0, 0, matt(rgb8(214, 160, 60), 0.15f, 84, 0.1f));
    p.wrap({-13, 0, 15, -7, 15, 7, -13, 11}, 1, 16, matt(rgb8(242, 208, 110), 0.12f, 85, 0.1f));
    const float holes[][3] = {{-6, 5, 1.8f}, {4, 3, 1.3f}, {9, 0, 1.0f}};
    for (const auto& h : holes)
        p.dome(h[0], h[1], h[2] * 1.2f, h[2], matt(rgb8(170, 120, 50), 0.1f, 86), -0.6f);
}

void apple(painter& p) {
    p.dome(0, 2, 11, 10, matt(rgb8(190, 46, 34), 0.35f, 87, 0.6f));
    p.dome(-4, -1, 4, 4, matt(rgb8(220, 170, 60), 0.3f, 88, 0.2f), 0.3f);  // the sunny cheek
    p.rod(0.5f, -6, 0.7f, 2, -12, 0.6f, wood(rgb8(90, 60, 30), 89));
    p.plate({2, -10, 6, -14, 9, -12, 5, -9}, 2, -10, 9, -12, matt(rgb8(80, 140, 50), 0.2f, 90), 0.3f);
    p.gleam(-5, -3, 1.6f);
}

// A bottle upright: its body, neck and stopper, the liquid showing through.
void bottle(painter& p, const rgb& liquid, float rx, float ry, float neck, bool square) {
    const float body = 8;
    if (square)
        p.wrap({-rx, body - ry, rx, body - ry, rx, body + ry, -rx, body + ry}, 0, rx, glass(liquid));
    else
        p.dome(0, body, rx, ry, glass(liquid));
    p.rod(0, body - ry + 1, 2.6f, 0, body - ry - neck, 2.2f, glass(liquid * 0.8f + rgb{0.1f, 0.1f, 0.1f}));
    p.rod(0, body - ry - neck - 1, 2.6f, 0, body - ry - neck - 4, 2.4f, matt(CORK, 0.3f, 91, 0.05f));
    p.gleam(-rx * 0.45f, body - ry * 0.35f, 2.0f);
}

void water_flask(painter& p) {
    // A leather-covered flask: the leather outside, the water unseen.
    const material m = leather(rgb8(140, 96, 58), 92);
    p.dome(0, 5, 13, 15, m, 0.8f);
    p.rod(0, -9, 3.2f, 0, -15, 2.8f, m);
    p.rod(0, -15, 3.0f, 0, -19, 3.0f, metal(BRASS, 1.0f, 93));
    p.line(-13, 5, 13, 5, 0.6f, rgb8(70, 46, 28), 0.7f);                 // the seam
    p.rod(-3, -12, 0.8f, -12, -4, 0.7f, leather(rgb8(80, 50, 30), 94));  // the strap
    p.rod(3, -12, 0.8f, 12, -4, 0.7f, leather(rgb8(80, 50, 30), 94));
}

void wine(painter& p) {
    bottle(p, rgb8(110, 20, 40), 7, 12, 10, false);
}

void healing_potion(painter& p) {
    bottle(p, rgb8(214, 40, 40), 9, 9, 6, false);
}

void mana_potion(painter& p) {
    bottle(p, rgb8(50, 90, 230), 7, 10, 5, true);
}

void herbs(painter& p) {
    const material leaf = matt(rgb8(84, 140, 60), 0.3f, 95, 0.15f);
    for (int i = -3; i <= 3; ++i) {
        const float a = i * 0.16f, s = std::sin(a), c = std::cos(a);
        const float tipx = 20 * s, tipy = 6 - 24 * c;
        p.rod(i * 0.4f, 16, 0.6f, tipx, tipy, 0.5f, matt(rgb8(110, 130, 60), 0.2f, 96));
        for (float t : {0.35f, 0.6f, 0.85f}) {
            const float x = i * 0.4f + (tipx - i * 0.4f) * t, y = 16 + (tipy - 16) * t;
            p.dome(x - 2, y, 2.4f, 1.3f, leaf, 0.6f);
            p.dome(x + 2, y - 1, 2.4f, 1.3f, leaf, 0.6f);
        }
    }
    p.rod(-4, 10, 1.6f, 4, 10, 1.6f, matt(rgb8(200, 180, 130), 0.2f, 97));  // the string tying them
}

void cellar_key(painter& p) {
    const material m = metal(IRON, 0.9f, 98);
    const int n = 16;
    for (int i = 0; i < n; ++i) {
        const float a0 = i * 6.2832f / n, a1 = (i + 1) * 6.2832f / n;
        p.rod(5.5f * std::sin(a0), -14 - 5.5f * std::cos(a0), 1.4f, 5.5f * std::sin(a1),
              -14 - 5.5f * std::cos(a1), 1.4f, m);
    }
    p.rod(0, -8, 1.5f, 0, 18, 1.5f, m);
    p.plate({0.5f, 10, 6, 10, 6, 13, 3.5f, 13, 3.5f, 15, 6, 15, 6, 19, 0.5f, 19}, 0, 0, 0, 0, m);  // the bit
    p.gleam(-1, -3, 1.4f);
}

void lockpick(painter& p) {
    p.rod(0, 16, 1.6f, 0, 4, 1.6f, wood(rgb8(90, 60, 38), 99));
    p.rod(0, 4, 0.6f, 0, -14, 0.5f, metal(IRON, 1.0f, 100));
    p.rod(0, -14, 0.5f, 2.5f, -17, 0.45f, metal(IRON, 1.0f, 100));
    // A second pick, a bent hook, lying beside it.
    p.rod(6, 16, 1.4f, 6, 6, 1.4f, wood(rgb8(90, 60, 38), 101));
    p.rod(6, 6, 0.5f, 6.5f, -10, 0.45f, metal(IRON, 1.0f, 102));
    p.rod(6.5f, -10, 0.45f, 4.5f, -12, 0.4f, metal(IRON, 1.0f, 102));
}

// A rune stone: a rounded pebble with a sign cut in and glowing.
void rune(painter& p, const rgb& glow, bool fire) {
    p.dome(0, 0, 13, 15, matt(STONE, 0.35f, fire ? 103u : 104u, 0.2f), 0.7f);
    if (fire) {
        p.line(-5, 8, 0, -8, 1.6f, glow);
        p.line(0, -8, 5, 8, 1.6f, glow);
        p.line(-3, 2, 3, 2, 1.4f, glow);
    } else {
        for (float y : {-5.0f, 1.0f, 7.0f}) {
            p.line(-6, y, -2, y - 3, 1.4f, glow);
            p.line(-2, y - 3, 2, y, 1.4f, glow);
            p.line(2, y, 6, y - 3, 1.4f, glow);
        }
    }
}

void old_book(painter& p) {
    p.wrap({-11, -15, 12, -15, 12, 15, -11, 15}, 0, 14, leather(rgb8(100, 40, 32), 105));
    p.rod(-12, -15, 2.2f, -12, 15, 2.2f, leather(rgb8(80, 30, 24), 106));       // the spine
    p.wrap({12, -13, 14, -13, 14, 13, 12, 13}, 13, 2, matt(PAPER, 0.2f, 107));  // the pages
    for (float y : {-9.0f, 9.0f}) p.rod(-12, y, 2.6f, -10, y, 2.6f, metal(BRASS, 1.0f, 108));
    p.plate({-3, -7, 5, -7, 5, 5, -3, 5}, 0, 0, 0, 0, metal(BRASS, 0.8f, 109));  // a brass plate on the cover
    p.line(-2, -3, 4, -3, 0.6f, rgb8(90, 60, 20));
    p.line(-2, 1, 4, 1, 0.6f, rgb8(90, 60, 20));
    p.line(-10, -14, 11, -14, 0.5f, rgb8(60, 20, 16), 0.6f);
}

void note(painter& p) {
    p.plate({-10, -12, 9, -14, 11, 12, -9, 14}, 0, 0, 0, 0, matt(PAPER, 0.18f, 110));
    for (int i = 0; i < 5; ++i) {
        const float y = -8 + 4.5f * i;
        p.line(-6, y, 6 - (i == 4 ? 6 : 0), y - 0.8f, 0.6f, INK, 0.8f);
    }
    p.plate({-10, -12, -6, -12.4f, -9.6f, -8}, 0, 0, 0, 0, matt(PAPER * 0.8f, 0.1f, 111));  // a folded corner
}

void coin(painter& p, float x, float y, float r, uint32_t seed) {
    p.dome(x, y, r, r * 0.55f, metal(GOLD, 1.0f, seed), 0.5f);
    p.line(x - r * 0.5f, y, x + r * 0.5f, y, 0.5f, GOLD * 0.6f, 0.6f);
}

void coins(painter& p) {
    coin(p, -6, 6, 7, 112);
    coin(p, 5, 8, 7, 113);
    coin(p, 0, 0, 7, 114);
    coin(p, 1, -5, 7, 115);
    p.gleam(-2, -6, 1.6f);
}

void gold_pile(painter& p) {
    p.dome(0, 4, 18, 10, metal(GOLD * 0.8f, 0.8f, 116), 0.7f);
    const float spots[][2] = {{-12, 6}, {-6, 1}, {0, -3},  {6, 1},  {12, 6},
                              {-4, 8},  {5, 9},  {-9, 10}, {9, 11}, {1, 4}};
    uint32_t seed = 117;
    for (const auto& s : spots) coin(p, s[0], s[1], 4.8f, seed++);
    p.gleam(-1, -4, 2.0f);
    p.gleam(8, 2, 1.4f);
}

void stick(painter& p) {
    p.rod(0, 24, 1.5f, 0, -24, 1.2f, wood(rgb8(170, 130, 82), 118));
    p.rod(0, 2, 0.8f, 4, -4, 0.5f, wood(rgb8(150, 110, 70), 119));  // a twig's stump
}

void bowstring(painter& p) {
    const material m = matt(rgb8(226, 214, 176), 0.1f, 120, 0.1f);
    const int n = 40;
    for (int i = 0; i < n; ++i) {  // coiled loosely
        const float a0 = i * 0.5f, a1 = (i + 1) * 0.5f, r0 = 12 - i * 0.12f, r1 = 12 - (i + 1) * 0.12f;
        p.rod(r0 * std::cos(a0), r0 * std::sin(a0) * 0.8f, 0.6f, r1 * std::cos(a1), r1 * std::sin(a1) * 0.8f,
              0.6f, m);
    }
    p.rod(12, 0, 0.6f, 15, 12, 0.6f, m);
    p.dome(15.5f, 13.5f, 1.6f, 1.6f, m);  // the loop at its end
}

item_look thing(const std::string& name, float metres, float angle, bool stands, void (*draw)(painter&)) {
    item_look l;
    l.name = name;
    l.metres = metres;
    l.icon_angle = angle;
    l.stands = stands;
    l.draw = draw;
    return l;
}

}  // namespace

void add_things(std::vector<item_look>& out) {
    out.push_back(thing("leather_bag", 0.4f, 0, true, leather_bag));
    item_look lit_torch = thing("torch", 0.55f, 20, false, torch);
    lit_torch.held = true, lit_torch.worn_angle = 0, lit_torch.grip_y = 12;  // carried upright in one hand
    out.push_back(lit_torch);
    out.push_back(thing("unlit_torch", 0.5f, 20, false, torch_body));
    out.push_back(thing("flint", 0.1f, 0, false, flint));
    out.push_back(thing("map_scroll", 0.35f, 10, false, map_scroll));
    out.push_back(thing("bread", 0.28f, 0, false, bread));
    out.push_back(thing("cheese", 0.2f, 0, false, cheese));
    out.push_back(thing("apple", 0.09f, 0, true, apple));
    out.push_back(thing("water_flask", 0.3f, 0, true, water_flask));
    out.push_back(thing("wine", 0.3f, 0, true, wine));
    out.push_back(thing("healing_potion", 0.15f, 0, true, healing_potion));
    out.push_back(thing("mana_potion", 0.15f, 0, true, mana_potion));
    out.push_back(thing("herbs", 0.25f, 15, false, herbs));
    out.push_back(thing("cellar_key", 0.14f, 35, false, cellar_key));
    out.push_back(thing("lockpick", 0.14f, 30, false, lockpick));
    out.push_back(thing("fire_rune", 0.08f, 0, false, [](painter& p) { rune(p, rgb8(255, 120, 40), true); }));
    out.push_back(
        thing("water_rune", 0.08f, 0, false, [](painter& p) { rune(p, rgb8(90, 190, 255), false); }));
    out.push_back(thing("old_book", 0.26f, 0, false, old_book));
    out.push_back(thing("note", 0.18f, 8, false, note));
    out.push_back(thing("coins", 0.07f, 0, false, coins));
    out.push_back(thing("gold_pile", 0.22f, 0, true, gold_pile));
    out.push_back(thing("stick", 1.1f, 40, false, stick));
    out.push_back(thing("bowstring", 0.12f, 0, false, bowstring));
}

const std::vector<item_look>& item_looks() {
    static const std::vector<item_look> looks = [] {
        std::vector<item_look> all;
        add_weapons(all);
        add_armour(all);
        add_things(all);
        return all;
    }();
    return looks;
}

}  // namespace item_art
