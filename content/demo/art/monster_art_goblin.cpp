// GOBLIN: a small hunched goblin with a big bald head, long ears and glowing
// eyes, in a patched tunic, a rusty knife in its right hand. Its skin comes
// in three colour variants: green, grey and red.
#include <cmath>

#include "monster_art.h"

namespace monster_art {

namespace {

model goblin_model(const pose& when) {
    model m;
    const int skin = m.add_material({"skin", rgb8(96, 140, 62), 0.25f, 0.18f});
    const int tunic = m.add_material({"tunic", rgb8(110, 78, 46), 0.05f, 0.25f});
    const int leather = m.add_material({"leather", rgb8(62, 42, 28), 0.2f, 0.15f});
    const int iron = m.add_material({"iron", rgb8(150, 146, 140), 1.0f, 0.2f});
    const int eyes = m.add_material({"eyes", rgb8(255, 214, 70), 0, 0, 1.0f});

    build b;
    b.hip_height = 0.5f, b.hip_width = 0.08f, b.thigh = 0.25f, b.shin = 0.24f, b.foot = 0.15f;
    b.ankle_height = 0.05f, b.shoulder_height = 0.86f, b.shoulder_width = 0.16f;
    b.upper_arm = 0.23f, b.forearm = 0.23f, b.neck_length = 0.06f, b.head_radius = 0.14f, b.stride = 0.5f;

    body_pose p;
    p.lean = 0.3f, p.crouch = 0.2f, p.head_tilt = -0.25f;
    p.arm[0] = {0.25f, 0.2f, 0.4f}, p.arm[1] = {0.45f, 0.15f, 0.6f};
    if (when.what == action::attack) {
        const float raise[] = {2.7f, 1.7f, 0.7f};
        p.arm[1] = {raise[when.frame], 0.2f, 0.3f};
        p.arm[0] = {0.6f, 0.5f, 0.5f};
        p.lean = 0.2f + 0.15f * when.frame, p.lunge = 0.08f * when.frame, p.twist = 0.35f - 0.3f * when.frame;
    } else if (when.what == action::pain) {
        p = pain_pose(when.frame);
    }
    const limbs l = pose_limbs(b, p, when);

    // Body: the tunic over a pot belly, the belt, the ragged hem.
    m.ellipsoid(l.chest, {0.17f, 0.2f, 0.13f}, tunic, 0, p.lean);
    m.ellipsoid(l.pelvis + vec3{0, 0.05f, 0.02f}, {0.16f, 0.13f, 0.14f}, tunic, 0.06f);
    m.ellipsoid(l.pelvis + vec3{0, 0.1f, 0.03f}, {0.165f, 0.03f, 0.145f}, leather, 0);
    add_legs(m, l, 0.05f, 0.042f, 0.04f, skin);
    for (int s = 0; s < 2; ++s)
        m.capsule(l.ankle[s] + vec3{0, 0.02f, 0}, 0.05f, l.toe[s], 0.04f, leather, 0.02f);
    add_arms(m, l, 0.042f, 0.036f, 0.045f, skin);
    m.capsule(l.neck, 0.05f, l.head, 0.06f, skin, 0.03f);

    // The head: a bald dome, a long nose, pointed ears, a wide mouth.
    const vec3 h = l.head;
    const float nod = p.head_tilt + p.lean * 0.5f;
    const vec3 fwd{0, -std::sin(nod) * 0.4f, std::cos(nod)};
    m.ellipsoid(h, {0.14f, 0.13f, 0.14f}, skin, 0, nod);
    m.ellipsoid(h + vec3{0, -0.07f, 0.05f}, {0.11f, 0.06f, 0.1f}, skin, 0.04f, nod);
    m.capsule(h + fwd * 0.1f, 0.03f, h + fwd * 0.2f + vec3{0, -0.05f, 0}, 0.022f, skin, 0.02f);
    for (int s = 0; s < 2; ++s) {
        const float side = s == 0 ? 1.0f : -1.0f;
        m.ellipsoid(h + vec3{side * 0.17f, 0.04f, -0.02f}, {0.1f, 0.03f, 0.045f}, skin, 0.02f, 0,
                    side * 0.15f);
        m.capsule(h + vec3{side * 0.13f, 0.03f, -0.01f}, 0.03f, h + vec3{side * 0.27f, 0.1f, -0.04f}, 0.008f,
                  skin, 0.02f);
        m.ellipsoid(h + fwd * 0.115f + vec3{side * 0.055f, 0.03f, 0}, {0.026f, 0.018f, 0.02f}, eyes);
    }
    m.box(h + fwd * 0.12f + vec3{0, -0.08f, 0}, {0.06f, 0.008f, 0.02f}, 0.006f, leather, 0, nod);

    // The knife: a short blade past the right fist.
    const vec3 grip = l.hand[1], tip = past_hand(l, 1, 0.32f);
    m.capsule(grip, 0.02f, past_hand(l, 1, 0.06f), 0.02f, leather);
    m.capsule(past_hand(l, 1, 0.06f), 0.026f, tip, 0.006f, iron);
    return m;
}

}  // namespace

creature goblin() {
    creature c;
    c.name = "GOBLIN";
    c.make = goblin_model;
    c.variants = {
        {{"skin", rgb8(96, 140, 62)}}, {{"skin", rgb8(128, 130, 124)}}, {{"skin", rgb8(170, 70, 52)}}};
    c.attack_turn = 0.35f;
    c.shadow_rx = 0.22f, c.shadow_rz = 0.18f;
    return c;
}

}  // namespace monster_art
