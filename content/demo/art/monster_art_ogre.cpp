// OGRBIG: an ogre nearly as tall as a wall: a huge belly and shoulders, a
// small head sunk between them with tusks and a heavy brow, a hide loincloth
// and a studded club that it brings down from over its head.
#include <cmath>

#include "monster_art.h"

namespace monster_art {

namespace {

model ogre_model(const pose& when) {
    model m;
    const int skin = m.add_material({"skin", rgb8(150, 138, 92), 0.25f, 0.25f});
    const int hide = m.add_material({"hide", rgb8(104, 72, 42), 0.05f, 0.35f});
    const int hair = m.add_material({"hair", rgb8(40, 28, 20), 0.05f, 0.2f});
    const int wood = m.add_material({"wood", rgb8(96, 66, 36), 0.15f, 0.3f});
    const int iron = m.add_material({"iron", rgb8(118, 116, 120), 0.9f, 0.2f});
    const int tusk = m.add_material({"tusk", rgb8(230, 218, 180), 0.4f, 0.1f});

    build b;
    b.hip_height = 1.0f, b.hip_width = 0.17f, b.thigh = 0.5f, b.shin = 0.46f, b.foot = 0.28f;
    b.ankle_height = 0.1f, b.shoulder_height = 1.78f, b.shoulder_width = 0.38f;
    b.upper_arm = 0.46f, b.forearm = 0.42f, b.neck_length = 0.02f, b.head_radius = 0.16f, b.stride = 0.32f;

    body_pose p;
    p.lean = 0.12f, p.crouch = 0.1f;
    p.arm[0] = {0.15f, 0.22f, 0.3f}, p.arm[1] = {0.1f, 0.25f, 0.15f};
    if (when.what == action::attack) {
        const float raise[] = {2.5f, 1.8f, 0.8f};
        p.arm[1] = {raise[when.frame], 0.15f, 0.35f};
        p.arm[0] = {0.4f + 0.3f * when.frame, 0.45f, 0.4f};
        p.lean = -0.05f + 0.18f * when.frame, p.lunge = 0.1f * when.frame, p.twist = 0.3f - 0.3f * when.frame;
    } else if (when.what == action::pain) {
        p = pain_pose(when.frame);
    }
    const limbs l = pose_limbs(b, p, when);

    // Body: a barrel chest over a great belly, the loincloth below.
    m.ellipsoid(l.chest + vec3{0, 0.04f, 0}, {0.42f, 0.3f, 0.27f}, skin, 0, p.lean);
    m.ellipsoid(l.pelvis + vec3{0, 0.28f, 0.06f}, {0.34f, 0.35f, 0.31f}, skin, 0.12f, p.lean * 0.6f);
    m.ellipsoid(l.pelvis + vec3{0, 0.02f, 0.02f}, {0.3f, 0.13f, 0.24f}, hide, 0.02f);
    m.box(l.pelvis + vec3{0, -0.2f, 0.2f}, {0.15f, 0.17f, 0.03f}, 0.02f, hide, 0, 0.1f);
    m.ellipsoid(l.pelvis + vec3{0, 0.1f, 0.02f}, {0.3f, 0.035f, 0.255f}, hair);
    for (int s = 0; s < 2; ++s) m.ellipsoid(l.shoulder[s], {0.16f, 0.14f, 0.15f}, skin, 0.08f);
    add_legs(m, l, 0.14f, 0.11f, 0.08f, skin, 0.05f);
    add_arms(m, l, 0.12f, 0.1f, 0.1f, skin, 0.05f);
    for (int s = 0; s < 2; ++s)
        m.capsule(past_hand(l, s, -0.22f), 0.115f, past_hand(l, s, -0.1f), 0.11f, iron);

    // The head, sunk forward between the shoulders.
    const vec3 h = l.head + vec3{0, -0.06f, 0.1f};
    const float nod = p.head_tilt;
    m.ellipsoid(h, {0.15f, 0.16f, 0.15f}, skin, 0.06f, nod);
    m.box(h + vec3{0, -0.1f, 0.04f}, {0.13f, 0.06f, 0.11f}, 0.05f, skin, 0.05f, nod);
    m.ellipsoid(h + vec3{0, 0.05f, 0.1f}, {0.13f, 0.03f, 0.05f}, hair, 0, nod);
    m.ellipsoid(h + vec3{0, 0.12f, -0.02f}, {0.12f, 0.06f, 0.12f}, hair, 0.03f, nod);
    m.ellipsoid(h + vec3{0, -0.01f, 0.16f}, {0.04f, 0.05f, 0.04f}, skin, 0.02f);
    for (int s = 0; s < 2; ++s) {
        const float side = s == 0 ? 1.0f : -1.0f;
        m.ellipsoid(h + vec3{side * 0.055f, 0.02f, 0.13f}, {0.022f, 0.014f, 0.015f}, hair);
        m.capsule(h + vec3{side * 0.08f, -0.12f, 0.13f}, 0.022f, h + vec3{side * 0.1f, -0.03f, 0.16f}, 0.006f,
                  tusk);
        m.ellipsoid(h + vec3{side * 0.16f, 0.0f, 0.0f}, {0.03f, 0.05f, 0.03f}, skin, 0.02f);
    }

    // The club, thickening to a studded head.
    const vec3 grip = l.hand[1];
    const vec3 end = past_hand(l, 1, 0.8f);
    m.capsule(past_hand(l, 1, -0.1f), 0.045f, end, 0.12f, wood);
    for (int k = 0; k < 4; ++k) {
        const float t = 0.6f + 0.12f * k;
        const vec3 c = grip + (end - grip) * t;
        const float a = static_cast<float>(k) * 2.1f;
        m.ellipsoid(c + vec3{std::cos(a) * 0.1f, std::sin(a) * 0.05f, std::sin(a) * 0.09f},
                    {0.025f, 0.025f, 0.025f}, iron);
    }
    return m;
}

}  // namespace

creature ogre() {
    creature c;
    c.name = "OGRBIG";
    c.make = ogre_model;
    c.attack_turn = 0.35f;
    c.shadow_rx = 0.45f, c.shadow_rz = 0.35f;
    return c;
}

}  // namespace monster_art
