// RATLIN: a giant rat, low and long: a hunched body, a pointed head with
// red eyes and pink ears, a long naked tail. It scurries on four legs,
// rears to bite and curls up when hurt.
#include <array>
#include <cmath>

#include "monster_art.h"

namespace monster_art {

namespace {

constexpr float PI = 3.14159265f;

model rat_model(const pose& when) {
    model m;
    const int fur = m.add_material({"fur", rgb8(112, 96, 80), 0.05f, 0.35f});
    const int pink = m.add_material({"pink", rgb8(214, 150, 144), 0.3f, 0.15f});
    const int eyes = m.add_material({"eyes", rgb8(235, 40, 30), 0, 0, 1.0f});
    const int teeth = m.add_material({"teeth", rgb8(236, 226, 184), 0.5f, 0.05f});

    const bool walking = when.what == action::walk;
    const float phi = walking ? when.phase() : 0;
    // The front rears up to bite; in pain the back arches.
    float rear = 0, arch = 0, lunge = 0;
    if (when.what == action::attack)
        rear = std::array<float, 3>{0.1f, 0.17f, 0.08f}[when.frame], lunge = 0.08f * when.frame;
    if (when.what == action::pain)
        arch = when.frame == 0 ? 0.1f : 0.18f, rear = when.frame == 0 ? 0.15f : -0.05f;
    const auto spine = [&](float z, float y) {  // a point of the body line, lifted at the front
        return vec3{0, y + (z > 0 ? rear * z / 0.4f : 0) + arch * std::cos(z * 3), z + lunge};
    };

    // Legs first: the body covers their tops.
    const float leg_z[2] = {0.24f, -0.2f};
    for (int pair = 0; pair < 2; ++pair)
        for (int s = 0; s < 2; ++s) {
            const float side = s == 0 ? 1.0f : -1.0f;
            const float step = walking ? 0.09f * std::sin(phi + PI * (s ^ pair)) : 0;
            const float lift = walking ? 0.04f * std::max(0.0f, std::cos(phi + PI * (s ^ pair))) : 0;
            const vec3 top = spine(leg_z[pair], 0.2f) + vec3{side * 0.1f, 0, 0};
            vec3 foot{side * 0.11f, 0.025f + lift, leg_z[pair] + step + lunge};
            if (pair == 0 && rear > 0.1f) foot = foot + vec3{0, rear * 0.5f, 0.06f};
            const vec3 joint = (top + foot) * 0.5f + vec3{0, 0, pair == 0 ? -0.05f : 0.07f};
            m.capsule(top, pair == 0 ? 0.05f : 0.07f, joint, 0.035f, fur, 0.03f);
            m.capsule(joint, 0.03f, foot, 0.022f, fur, 0.02f);
            m.capsule(foot, 0.02f, foot + vec3{0, -0.005f, 0.05f}, 0.015f, pink);
        }

    // Body: haunches, back and shoulders blended into one hump.
    m.ellipsoid(spine(-0.2f, 0.25f), {0.19f, 0.19f, 0.24f}, fur, 0);
    m.ellipsoid(spine(0.0f, 0.27f), {0.17f, 0.17f, 0.24f}, fur, 0.08f);
    m.ellipsoid(spine(0.22f, 0.23f), {0.14f, 0.14f, 0.16f}, fur, 0.08f);

    // Head: pointed snout, nose, ears, eyes, the incisors bared when biting.
    const float bite = when.what == action::attack ? 0.3f + 0.2f * when.frame : 0;
    const vec3 h = spine(0.42f, 0.25f) + vec3{0, rear * 0.6f, 0};
    const float nod = 0.25f - rear * 1.2f;
    m.ellipsoid(h, {0.1f, 0.1f, 0.15f}, fur, 0.05f, nod);
    const vec3 snout = h + vec3{0, -0.035f - std::sin(nod) * 0.1f, 0.15f};
    m.ellipsoid(snout, {0.05f, 0.045f, 0.08f}, fur, 0.04f, nod);
    m.ellipsoid(snout + vec3{0, 0.005f, 0.075f}, {0.022f, 0.018f, 0.018f}, pink);
    for (int s = 0; s < 2; ++s) {
        const float side = s == 0 ? 1.0f : -1.0f;
        m.ellipsoid(h + vec3{side * 0.07f, 0.1f, -0.04f}, {0.045f, 0.05f, 0.015f}, pink, 0, -0.2f,
                    side * 0.5f);
        m.ellipsoid(h + vec3{side * 0.055f, 0.03f, 0.08f}, {0.017f, 0.017f, 0.017f}, eyes);
        m.capsule(snout + vec3{side * 0.012f, -0.04f, 0.05f}, 0.008f,
                  snout + vec3{side * 0.012f, -0.07f - bite * 0.08f, 0.05f}, 0.006f, teeth);
    }

    // The tail: a chain of pink segments swinging with the gait.
    vec3 at = spine(-0.4f, 0.2f);
    float angle = 0;
    for (int i = 0; i < 8; ++i) {
        angle += (walking ? 0.18f * std::sin(phi - i * 0.7f) : 0.12f) + arch;
        const vec3 next =
            at + vec3{std::sin(angle) * 0.09f, -0.025f + (i > 3 ? 0.0f : -0.01f), -std::cos(angle) * 0.09f};
        m.capsule(at, 0.035f - 0.0035f * i, {next.x, std::max(0.02f, next.y), next.z}, 0.032f - 0.0035f * i,
                  pink);
        at = {next.x, std::max(0.02f, next.y), next.z};
    }
    return m;
}

}  // namespace

creature rat() {
    creature c;
    c.name = "RATLIN";
    c.make = rat_model;
    c.attack_turn = 0.5f;
    c.shadow_rx = 0.2f, c.shadow_rz = 0.45f;
    return c;
}

}  // namespace monster_art
