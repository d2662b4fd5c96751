// ARCHER: a skeleton archer in a dented iron cap, a quiver on its back and a
// bow in its left hand; it raises the bow, draws and looses.
#include <cmath>

#include "monster_art.h"

namespace monster_art {

namespace {

model archer_model(const pose& when) {
    model m;
    const int bone = m.add_material({"bone", rgb8(222, 210, 176), 0.3f, 0.22f});
    const int hollow = m.add_material({"hollow", rgb8(26, 20, 20), 0, 0.05f});
    const int wood = m.add_material({"wood", rgb8(120, 80, 42), 0.2f, 0.2f});
    const int leather = m.add_material({"leather", rgb8(92, 58, 34), 0.15f, 0.2f});
    const int iron = m.add_material({"iron", rgb8(120, 120, 126), 0.9f, 0.25f});

    build b;
    b.hip_height = 0.92f, b.shoulder_height = 1.44f, b.shoulder_width = 0.19f, b.head_radius = 0.11f;
    b.upper_arm = 0.3f, b.forearm = 0.28f;

    body_pose p;
    p.arm[0] = {0.35f, 0.12f, 0.25f}, p.arm[1] = {0.05f, 0.1f, 0.2f};
    const bool aiming = when.what == action::attack;
    if (aiming) {
        // Bow arm straight at the target; the string hand comes back to the jaw.
        p.arm[0] = {1.45f, 0.05f, 0.05f};
        const float draw[] = {0.1f, 1.9f, 2.3f};
        const float pull[] = {1.45f, 1.2f, 1.0f};
        p.arm[1] = {pull[when.frame], -0.3f, draw[when.frame]};
        p.twist = -0.25f;
    } else if (when.what == action::pain) {
        p = pain_pose(when.frame);
    }
    const limbs l = pose_limbs(b, p, when);

    // Spine, pelvis and a rib cage of separate ribs over the dark hollow.
    m.capsule(l.pelvis, 0.03f, l.neck, 0.025f, bone);
    m.ellipsoid(l.pelvis, {0.14f, 0.06f, 0.08f}, bone, 0, p.lean);
    m.ellipsoid(l.chest, {0.12f, 0.15f, 0.08f}, hollow, 0, p.lean);
    for (int r = 0; r < 5; ++r) {
        const float t = static_cast<float>(r) / 4;
        const vec3 c = l.chest + (l.neck - l.pelvis) * (0.14f - 0.2f * t) + vec3{0, 0, 0.01f};
        m.ellipsoid(c, {0.15f - 0.025f * t, 0.016f, 0.1f - 0.015f * t}, bone, 0, p.lean - 0.2f);
    }
    m.capsule(l.shoulder[0], 0.025f, l.shoulder[1], 0.025f, bone);
    add_legs(m, l, 0.03f, 0.026f, 0.028f, bone, 0.01f);
    add_arms(m, l, 0.026f, 0.022f, 0.035f, bone, 0.01f);
    for (int s = 0; s < 2; ++s) {
        m.ellipsoid(l.knee[s], {0.04f, 0.035f, 0.04f}, bone);
        m.ellipsoid(l.elbow[s], {0.03f, 0.03f, 0.03f}, bone);
    }

    // The skull: cap, sockets, nose hole and the jaw.
    const vec3 h = l.head;
    const float nod = p.head_tilt;
    m.ellipsoid(h, {0.095f, 0.11f, 0.105f}, bone, 0, nod);
    m.box(h + vec3{0, -0.1f, 0.035f}, {0.06f, 0.03f, 0.05f}, 0.02f, bone, 0.02f, nod);
    for (int s = 0; s < 2; ++s)
        m.ellipsoid(h + vec3{(s ? -1.0f : 1.0f) * 0.04f, -0.01f, 0.085f}, {0.028f, 0.026f, 0.03f}, hollow);
    m.ellipsoid(h + vec3{0, -0.055f, 0.1f}, {0.012f, 0.018f, 0.015f}, hollow);
    m.ellipsoid(h + vec3{0, 0.04f, -0.005f}, {0.105f, 0.08f, 0.115f}, iron, 0, nod);
    m.ellipsoid(h + vec3{0, 0.0f, -0.005f}, {0.115f, 0.012f, 0.125f}, iron, 0, nod);

    // The quiver across the back with its fletchings, and a belt.
    const vec3 back = l.chest + vec3{0.05f, 0.02f, -0.13f};
    m.capsule(back + vec3{-0.1f, -0.25f, 0}, 0.05f, back + vec3{0.08f, 0.2f, -0.02f}, 0.055f, leather);
    for (int a = 0; a < 3; ++a)
        m.capsule(back + vec3{0.08f + 0.02f * a, 0.2f, -0.02f}, 0.008f,
                  back + vec3{0.11f + 0.03f * a, 0.34f, -0.03f}, 0.018f, bone);
    m.ellipsoid(l.pelvis + vec3{0, 0.05f, 0}, {0.15f, 0.025f, 0.095f}, leather, 0, p.lean);

    // The bow in the left fist: two limbs bending away from the archer,
    // the string to the right fist while drawing.
    const vec3 grip = l.hand[0];
    vec3 out = normalized(l.hand[0] - l.elbow[0]);
    if (!aiming) out = {0, 0, 1};
    const vec3 up = aiming ? vec3{0, 1, 0} : normalized(vec3{0.1f, 1, -0.35f});
    const vec3 tip_top = grip + up * 0.62f - out * 0.14f, tip_low = grip - up * 0.62f - out * 0.14f;
    const vec3 bend_top = grip + up * 0.33f - out * 0.02f, bend_low = grip - up * 0.33f - out * 0.02f;
    m.capsule(grip, 0.028f, bend_top, 0.022f, wood);
    m.capsule(bend_top, 0.022f, tip_top, 0.012f, wood);
    m.capsule(grip, 0.028f, bend_low, 0.022f, wood);
    m.capsule(bend_low, 0.022f, tip_low, 0.012f, wood);
    const vec3 nock = aiming && when.frame > 0 ? l.hand[1] : grip - out * 0.16f;
    m.capsule(tip_top, 0.005f, nock, 0.005f, bone);
    m.capsule(nock, 0.005f, tip_low, 0.005f, bone);
    if (aiming && when.frame < 2) {
        const vec3 from = when.frame == 0 ? l.hand[1] : nock;
        m.capsule(from, 0.008f, grip + out * 0.12f, 0.008f, wood);
        m.capsule(grip + out * 0.12f, 0.014f, grip + out * 0.17f, 0.003f, iron);
    }
    return m;
}

}  // namespace

creature archer() {
    creature c;
    c.name = "ARCHER";
    c.make = archer_model;
    c.attack_turn = 0.6f;
    c.shadow_rx = 0.25f, c.shadow_rz = 0.2f;
    return c;
}

}  // namespace monster_art
