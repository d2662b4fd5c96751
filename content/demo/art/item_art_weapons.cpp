// The weapons and the shield: steel blades with a ridge and a gleam, brass
// guards and pommels, leather-wrapped grips, ash hafts with their grain.
#include <cmath>

#include "item_art.h"

namespace item_art {

namespace {

const rgb STEEL = rgb8(172, 178, 188), DARK_IRON = rgb8(104, 106, 112), BRASS = rgb8(196, 150, 70),
          GRIP = rgb8(92, 58, 34), ASH = rgb8(150, 110, 70), YEW = rgb8(140, 86, 46);

struct sword_shape {
    float blade = 30, width = 5, grip = 8, guard = 12, pommel = 2.4f;
    bool fuller = false;
    rgb metal_colour = STEEL;
};

// Blade upwards from the guard at y = 0, the grip below it.
void sword(painter& p, const sword_shape& s) {
    const float w = s.width / 2, tip = -1 - s.blade;
    p.plate({-w, -1, w, -1, w * 0.88f, tip + s.blade * 0.22f, 0, tip, -w * 0.88f, tip + s.blade * 0.22f}, 0,
            -1, 0, tip + 1, metal(s.metal_colour, 1.0f, 7));
    if (s.fuller) p.line(0, -3, 0, tip + s.blade * 0.3f, 0.9f, s.metal_colour * 0.55f, 0.6f);
    p.rod(0, 0.5f, 1.5f, 0, s.grip, 1.35f, leather(GRIP, 8));
    for (float y = 1.5f; y < s.grip - 0.5f; y += 1.6f)
        p.line(-1.5f, y, 1.5f, y + 0.9f, 0.45f, GRIP * 0.5f, 0.8f);
    p.rod(-s.guard / 2, -0.2f, 1.3f, s.guard / 2, -0.2f, 1.3f, metal(BRASS, 0.9f, 9));
    p.dome(0, s.grip + s.pommel * 0.7f, s.pommel, s.pommel, metal(BRASS, 0.9f, 10));
    p.gleam(-w * 0.35f, tip + s.blade * 0.35f, 1.6f);
}

void dagger(painter& p) {
    sword(p, {18, 4.6f, 7, 9, 2.0f, false, STEEL});
}

void throwing_knife(painter& p) {
    // A leaf-shaped blade running into a bare iron grip with a ring at its end.
    p.plate({-1.6f, 0, -2.4f, -6, -1.2f, -13, 0, -16, 1.2f, -13, 2.4f, -6, 1.6f, 0}, 0, 0, 0, -15,
            metal(STEEL, 1.0f, 11));
    p.rod(0, 0, 1.0f, 0, 8, 0.9f, metal(DARK_IRON, 0.6f, 12));
    for (float y = 1.5f; y < 7; y += 2) p.line(-1, y, 1, y + 0.8f, 0.4f, rgb8(60, 40, 30), 0.8f);
    const int n = 10;
    for (int i = 0; i < n; ++i) {
        const float a0 = i * 6.2832f / n, a1 = (i + 1) * 6.2832f / n;
        p.rod(2.0f * std::sin(a0), 10.2f - 2.0f * std::cos(a0), 0.55f, 2.0f * std::sin(a1),
              10.2f - 2.0f * std::cos(a1), 0.55f, metal(DARK_IRON, 0.8f, 13));
    }
    p.gleam(-0.6f, -9, 1.3f);
}

void hand_axe(painter& p) {
    p.rod(0, 18, 1.7f, 0, -20, 1.5f, wood(ASH, 14));
    p.dome(0, 18.5f, 1.9f, 1.4f, wood(ASH * 0.8f, 15));
    p.plate({-4, -23, 3, -22, 10, -28, 13.5f, -26, 13.5f, -11, 10, -9, 3, -15, -4, -14}, -3, -18.5f, 13,
            -18.5f, metal(DARK_IRON, 0.8f, 16), 0.35f);
    p.line(13, -25.5f, 13, -11.5f, 1.1f, rgb8(228, 230, 236), 0.9f);  // the honed edge
    for (float x : {-2.5f, 1.8f}) p.dome(x, -18.5f, 0.9f, 0.9f, metal(STEEL, 1.0f, 17));
    for (float y = 6; y < 16; y += 1.5f) p.line(-1.6f, y, 1.6f, y + 0.8f, 0.5f, GRIP, 0.9f);
}

void war_hammer(painter& p) {
    p.rod(0, 20, 1.7f, 0, -19, 1.6f, wood(ASH * 0.85f, 18));
    p.rod(0, -18, 2.1f, 0, -14, 2.1f, metal(DARK_IRON, 0.6f, 19));  // the socket
    // A square face on the left, a curved spike on the right.
    p.plate({-11, -27, 2, -27, 8, -25, 15, -23, 8, -21, 2, -19, -11, -19}, -11, -23, 15, -23,
            metal(DARK_IRON, 0.8f, 20), 0.4f);
    p.plate({-13, -28, -10, -28, -10, -18, -13, -18}, -11.5f, -28, -11.5f, -18, metal(STEEL, 0.9f, 21), 0.3f);
    p.gleam(-11.5f, -25, 1.4f);
    for (float y = 9; y < 19; y += 1.5f) p.line(-1.6f, y, 1.6f, y + 0.8f, 0.5f, GRIP, 0.9f);
}

void quarterstaff(painter& p) {
    p.rod(0, 31, 1.9f, 0, -31, 1.9f, wood(rgb8(128, 92, 56), 22));
    for (float end : {-31.0f, 27.5f}) p.rod(0, end, 2.1f, 0, end + 3.5f, 2.1f, metal(DARK_IRON, 0.6f, 23));
    p.rod(0, -5, 2.05f, 0, 7, 2.05f, leather(GRIP, 24));
    for (float y = -4.5f; y < 7; y += 1.6f) p.line(-2, y, 2, y + 1, 0.5f, GRIP * 0.5f, 0.8f);
}

// The bow's limbs: the back bulges to the left, the string runs straight.
float bow_x(float y) {
    const float t = y / 28;
    return -7.5f * std::cos(t * 1.5708f) + 1.5f * t * t;
}

void short_bow(painter& p) {
    const int n = 14;
    for (int i = 0; i < n; ++i) {
        const float y0 = -28 + 56.0f * i / n, y1 = -28 + 56.0f * (i + 1) / n;
        const float r0 = 0.8f + 0.9f * (1 - std::abs(y0) / 28), r1 = 0.8f + 0.9f * (1 - std::abs(y1) / 28);
        p.rod(bow_x(y0), y0, r0, bow_x(y1), y1, r1, wood(YEW, 25));
    }
    p.rod(bow_x(-4), -4, 2.0f, bow_x(4), 4, 2.0f, leather(GRIP, 26));
    // The string, pale linen, drawn as a rod so it shows on its own.
    p.rod(bow_x(-28) + 0.4f, -27.6f, 0.35f, bow_x(28) + 0.4f, 27.6f, 0.35f,
          matt(rgb8(222, 212, 180), 0.05f, 27));
}

// One arrow, point upwards, from y = -top to y = +bottom.
void arrow(painter& p, float dx, float angle) {
    const float s = std::sin(angle), c = std::cos(angle);
    const auto X = [&](float x, float y) { return dx + x * c - y * s; };
    const auto Y = [&](float x, float y) { return x * s + y * c; };
    p.rod(X(0, 22), Y(0, 22), 0.6f, X(0, -19), Y(0, -19), 0.6f, wood(rgb8(176, 140, 92), 28));
    p.plate({X(0, -25), Y(0, -25), X(1.6f, -19.5f), Y(1.6f, -19.5f), X(0, -18.5f), Y(0, -18.5f),
             X(-1.6f, -19.5f), Y(-1.6f, -19.5f)},
            X(0, -24.5f), Y(0, -24.5f), X(0, -19), Y(0, -19), metal(STEEL, 1.0f, 29));
    for (float side : {-1.0f, 1.0f})
        p.plate({X(0.3f * side, 13), Y(0.3f * side, 13), X(2.3f * side, 16), Y(2.3f * side, 16),
                 X(2.3f * side, 21), Y(2.3f * side, 21), X(0.3f * side, 20), Y(0.3f * side, 20)},
                0, 0, 0, 0, matt(side < 0 ? rgb8(170, 44, 36) : rgb8(226, 220, 204), 0.15f, 30));
    p.line(X(0, 13), Y(0, 13), X(0, 21), Y(0, 21), 0.5f, rgb8(80, 30, 24), 0.8f);
}

void arrows(painter& p) {
    arrow(p, -2.5f, -0.12f);
    arrow(p, 2.5f, 0.12f);
    arrow(p, 0, 0);
    p.rod(-4, 4, 0.9f, 4, 4, 0.9f, leather(rgb8(120, 84, 50), 31));  // the tie round the bundle
}

void single_arrow(painter& p) {
    arrow(p, 0, 0);
}

// An arrow seen along its flight: the point at the middle, three vanes
// turning round it.
void arrow_end_on(painter& p, int, bool towards) {
    const material vane = matt(rgb8(226, 220, 204), 0.15f, 30), red = matt(rgb8(170, 44, 36), 0.15f, 30);
    for (int i = 0; i < 3; ++i) {
        const float a = i * 2.094f, s = std::sin(a), c = std::cos(a);
        p.plate({0.4f * c, 0.4f * s, 2.6f * c - 0.4f * s, 2.6f * s + 0.4f * c, 2.6f * c + 0.4f * s,
                 2.6f * s - 0.4f * c},
                0, 0, 0, 0, i == 0 ? red : vane);
    }
    if (towards)
        p.dome(0, 0, 1.0f, 1.0f, metal(STEEL, 1.0f, 29));
    else
        p.dome(0, 0, 0.7f, 0.7f, wood(rgb8(176, 140, 92), 28));
}

void spark_wand(painter& p) {
    p.rod(0, 14, 1.0f, 0, -12, 1.3f, wood(rgb8(70, 46, 34), 32));
    for (float y = -11; y < 6; y += 2.2f)
        p.line(-1.4f, y, 1.4f, y + 1.4f, 0.6f, rgb8(200, 120, 70), 0.9f);  // a copper wire wound round it
    p.rod(0, -12, 1.7f, 0, -13.5f, 1.7f, metal(rgb8(200, 120, 70), 0.9f, 33));
    p.plate({0, -22, 2.2f, -17, 1.4f, -13, -1.4f, -13, -2.2f, -17}, 0, -22, 0, -13,
            glass(rgb8(110, 170, 255)), 0.5f);
    p.gleam(-0.8f, -18, 1.5f);
}

void round_shield(painter& p) {
    p.dome(0, 0, 22, 22, wood(rgb8(120, 84, 54), 34), 0.35f);
    for (float x = -14; x <= 14; x += 7) p.line(x, -21, x, 21, 0.5f, rgb8(50, 32, 22), 0.7f);  // the planks
    // The iron rim, then a painted band and the boss.
    const int n = 36;
    for (int i = 0; i < n; ++i) {
        const float a0 = i * 6.2832f / n, a1 = (i + 1) * 6.2832f / n;
        p.rod(21.5f * std::cos(a0), 21.5f * std::sin(a0), 1.5f, 21.5f * std::cos(a1), 21.5f * std::sin(a1),
              1.5f, metal(DARK_IRON, 0.7f, 35));
    }
    for (int i = 0; i < 8; ++i) {
        const float a = i * 0.785f;
        p.dome(21.5f * std::cos(a), 21.5f * std::sin(a), 0.9f, 0.9f, metal(STEEL, 1.0f, 36));
    }
    p.dome(0, 0, 6.5f, 6.5f, metal(BRASS, 1.0f, 37));
    p.gleam(-2.5f, -2.5f, 2.0f);
}

item_look weapon(const std::string& name, float metres, float angle, void (*draw)(painter&), float grip_y) {
    item_look l;
    l.name = name;
    l.kind = item_kind::weapon;
    l.metres = metres;
    l.icon_angle = angle;
    l.draw = draw;
    l.held = true;
    l.grip_y = grip_y;
    return l;
}

}  // namespace

void add_weapons(std::vector<item_look>& out) {
    out.push_back(weapon("dagger", 0.36f, 40, dagger, 3.5f));
    out.push_back(weapon(
        "short_sword", 0.65f, 42,
        [](painter& p) {
            sword(p, {30, 5.4f, 8, 12, 2.3f, true, STEEL});
        },
        4));
    out.push_back(weapon(
        "long_sword", 1.05f, 45,
        [](painter& p) {
            sword(p, {44, 5.2f, 11, 15, 2.6f, true, rgb8(184, 190, 204)});
        },
        5));
    out.push_back(weapon("hand_axe", 0.55f, 30, hand_axe, 12));
    item_look hammer = weapon("war_hammer", 0.75f, 30, war_hammer, 14);
    hammer.two_hands = true;
    out.push_back(hammer);
    item_look staff = weapon("quarterstaff", 1.75f, 45, quarterstaff, 3);
    staff.worn_angle = 0, staff.two_hands = true;
    out.push_back(staff);
    item_look bow = weapon("short_bow", 1.15f, 30, short_bow, 0);
    bow.grip_x = bow_x(0), bow.worn_angle = 0, bow.two_hands = true;
    out.push_back(bow);
    item_look bundle = weapon("arrows", 0.75f, 40, arrows, 0);
    bundle.kind = item_kind::thing, bundle.held = false;  // they go into the quiver, never into a hand
    bundle.draw_in_flight = single_arrow;
    bundle.draw_end_on = arrow_end_on;
    out.push_back(bundle);
    out.push_back(weapon("throwing_knife", 0.28f, 35, throwing_knife, 4));
    out.push_back(weapon("spark_wand", 0.4f, 35, spark_wand, 8));
    item_look shield = weapon("round_shield", 0.6f, 0, round_shield, 6);
    shield.worn_angle = 0;
    out.push_back(shield);
}

}  // namespace item_art
