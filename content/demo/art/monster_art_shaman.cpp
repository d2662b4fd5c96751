// SHAMAN: a hooded caster in a long crimson robe; only glowing eyes show in
// the hood's shadow. It carries a staff crowned with a pale blue light that
// flares when it casts.
#include <cmath>

#include "monster_art.h"

namespace monster_art {

namespace {

model shaman_model(const pose& when) {
    model m;
    const int robe = m.add_material({"robe", rgb8(128, 36, 44), 0.1f, 0.2f});
    const int shadow = m.add_material({"shadow", rgb8(22, 16, 24), 0, 0.05f});
    const int skin = m.add_material({"skin", rgb8(196, 170, 140), 0.2f, 0.15f});
    const int wood = m.add_material({"wood", rgb8(104, 72, 40), 0.2f, 0.25f});
    const int light = m.add_material({"light", rgb8(140, 220, 255), 0, 0, 1.1f});
    const int eyes = m.add_material({"eyes", rgb8(255, 150, 60), 0, 0, 1.0f});
    const int rope = m.add_material({"rope", rgb8(176, 150, 96), 0.1f, 0.3f});

    build b;
    b.hip_height = 0.9f, b.shoulder_height = 1.42f, b.shoulder_width = 0.18f, b.head_radius = 0.11f;
    b.stride = 0.3f;

    body_pose p;
    p.arm[0] = {0.5f, 0.12f, 0.7f}, p.arm[1] = {0.35f, 0.2f, 0.75f};
    p.head_tilt = 0.15f;
    const bool casting = when.what == action::attack;
    if (casting) {
        const float lift[] = {0.9f, 1.9f, 1.45f};
        p.arm[1] = {lift[when.frame], 0.25f, 0.3f};
        p.arm[0] = {0.4f + 0.5f * when.frame, 0.5f, 0.6f};
        p.lean = when.frame == 2 ? 0.18f : -0.08f;
    } else if (when.what == action::pain) {
        p = pain_pose(when.frame);
    }
    const limbs l = pose_limbs(b, p, when);

    // Feet peep out under the hem; the robe is a bell from the shoulders
    // down that sways with the stride.
    for (int s = 0; s < 2; ++s) m.capsule(l.ankle[s], 0.045f, l.toe[s], 0.04f, shadow);
    const float sway = when.what == action::walk ? 0.06f * std::sin(when.phase()) : 0;
    m.ellipsoid(l.chest, {0.19f, 0.24f, 0.14f}, robe, 0, p.lean);
    m.capsule(l.chest, 0.16f, {0, 0.3f, 0.02f + sway}, 0.3f, robe, 0.15f);
    m.ellipsoid(l.pelvis + vec3{0, 0.08f, 0.01f}, {0.2f, 0.025f, 0.155f}, rope, 0, p.lean);
    m.capsule(l.pelvis + vec3{0.08f, 0.07f, 0.14f}, 0.012f, l.pelvis + vec3{0.1f, -0.25f, 0.17f}, 0.01f,
              rope);

    // Wide sleeves with pale hands.
    for (int s = 0; s < 2; ++s) {
        m.capsule(l.shoulder[s], 0.06f, l.elbow[s], 0.06f, robe, 0.04f);
        m.capsule(l.elbow[s], 0.06f, past_hand(l, s, -0.05f), 0.085f, robe, 0.02f);
        m.ellipsoid(l.hand[s], {0.035f, 0.045f, 0.035f}, skin);
    }

    // The hood: a deep cowl with a point behind, the face lost in shadow.
    const vec3 h = l.head;
    const float nod = p.head_tilt + p.lean;
    m.ellipsoid(h + vec3{0, 0.01f, -0.01f}, {0.14f, 0.16f, 0.15f}, robe, 0.04f, nod);
    m.capsule(h + vec3{0, 0.06f, -0.08f}, 0.08f, h + vec3{0, 0.2f, -0.2f}, 0.01f, robe, 0.05f);
    m.ellipsoid(h + vec3{0, -0.01f, 0.1f}, {0.09f, 0.11f, 0.07f}, shadow, 0, nod);
    for (int s = 0; s < 2; ++s)
        m.ellipsoid(h + vec3{(s ? -1.0f : 1.0f) * 0.035f, 0.0f, 0.15f}, {0.018f, 0.01f, 0.012f}, eyes);

    // The staff in the right hand, its light growing as the spell goes off.
    const vec3 grip = l.hand[1];
    const vec3 up = casting ? normalized(l.hand[1] - l.elbow[1] + vec3{0, 0.6f, 0}) : vec3{0, 1, 0.05f};
    const vec3 foot = casting ? grip - up * 0.6f : vec3{grip.x, 0.03f, grip.z};
    const vec3 head = grip + up * (casting ? 0.8f : 1.65f - grip.y);
    m.capsule(foot, 0.022f, head, 0.026f, wood);
    m.capsule(head, 0.03f, head + up * 0.06f + vec3{0.04f, 0, 0}, 0.015f, wood);
    m.capsule(head, 0.03f, head + up * 0.06f + vec3{-0.04f, 0, 0}, 0.015f, wood);
    const float glow = casting ? 0.055f + 0.03f * when.frame : 0.05f;
    m.ellipsoid(head + up * (0.06f + glow * 0.6f), {glow, glow, glow}, light);
    if (casting && when.frame == 2) {
        const vec3 c = l.hand[0] + vec3{0, 0.02f, 0.06f};
        m.ellipsoid(c, {0.07f, 0.07f, 0.07f}, light);
    }
    return m;
}

}  // namespace

creature shaman() {
    creature c;
    c.name = "SHAMAN";
    c.make = shaman_model;
    c.attack_turn = 0.3f;
    c.shadow_rx = 0.3f, c.shadow_rz = 0.25f;
    return c;
}

}  // namespace monster_art
