// The joints of a two-legged body in a pose: legs swinging through the
// walking cycle with the lower foot kept on the ground, arms swinging against
// the legs, the upper body leaning and twisting about the pelvis.
#include <algorithm>
#include <cmath>

#include "monster_art.h"

namespace monster_art {

namespace {

constexpr float PI = 3.14159265f;

// Lean forward about the x axis, then twist about the vertical.
vec3 turned(const vec3& v, float lean, float twist) {
    const float cl = std::cos(lean), sl = std::sin(lean);
    const vec3 a{v.x, v.y * cl - v.z * sl, v.y * sl + v.z * cl};
    const float ct = std::cos(twist), st = std::sin(twist);
    return {a.x * ct + a.z * st, a.y, -a.x * st + a.z * ct};
}

vec3 swing(float forward, float out, float side) {
    return {side * std::sin(out), -std::cos(forward) * std::cos(out), std::sin(forward) * std::cos(out)};
}

}  // namespace

float pose::phase() const {
    // Three frames a cycle: a full stride, then the legs passing twice.
    return PI / 2 + 2 * PI * static_cast<float>(frame - 1) / 3;
}

limbs pose_limbs(const build& b, const body_pose& p, const pose& when) {
    limbs l;
    const bool walking = when.what == action::walk;
    const float phi = walking ? when.phase() : 0;
    const float reach = b.thigh + b.shin;
    for (int s = 0; s < 2; ++s) {
        const float side = s == 0 ? 1.0f : -1.0f;
        float thigh_angle, bend;
        if (walking) {
            const float w = std::sin(phi + s * PI);
            thigh_angle = b.stride * w;
            bend = 0.12f + 0.7f * std::max(0.0f, std::cos(phi + s * PI));
        } else {
            const float lunge = s == 0 ? p.lunge : -p.lunge * 0.6f;
            thigh_angle = std::asin(std::clamp(lunge / reach, -0.9f, 0.9f)) + p.crouch * 0.5f;
            bend = p.crouch + 0.04f;
        }
        l.hip[s] = {side * b.hip_width, b.hip_height, 0};
        l.knee[s] = l.hip[s] + vec3{0, -std::cos(thigh_angle), std::sin(thigh_angle)} * b.thigh;
        const float shin_angle = thigh_angle - bend;
        l.ankle[s] = l.knee[s] + vec3{0, -std::cos(shin_angle), std::sin(shin_angle)} * b.shin;
        l.toe[s] = l.ankle[s] + vec3{side * 0.02f, -b.ankle_height * 0.6f, b.foot};
    }
    // The lower foot stands on the ground.
    const float drop = b.ankle_height - std::min(l.ankle[0].y, l.ankle[1].y);
    for (int s = 0; s < 2; ++s) {
        for (vec3* v : {&l.hip[s], &l.knee[s], &l.ankle[s], &l.toe[s]}) v->y += drop;
        l.toe[s].y = std::max(l.toe[s].y, b.ankle_height * 0.4f);
    }
    l.pelvis = {0, b.hip_height + drop, 0};
    const float torso = b.shoulder_height - b.hip_height;
    const auto body = [&](const vec3& v) { return l.pelvis + turned(v, p.lean, p.twist); };
    l.chest = body({0, torso * 0.62f, 0});
    l.neck = body({0, torso + b.neck_length * 0.4f, 0});
    l.head = body({0, torso + b.neck_length + b.head_radius * 0.9f, 0}) +
             vec3{0, 0, std::sin(p.head_tilt) * b.head_radius};
    for (int s = 0; s < 2; ++s) {
        const float side = s == 0 ? 1.0f : -1.0f;
        arm_pose a = p.arm[s];
        if (walking) a.forward += -0.4f * std::sin(phi + s * PI), a.bend += 0.15f;
        l.shoulder[s] = body({side * b.shoulder_width, torso - 0.03f, 0});
        l.elbow[s] = l.shoulder[s] + turned(swing(a.forward, a.out, side), p.lean, p.twist) * b.upper_arm;
        l.hand[s] =
            l.elbow[s] + turned(swing(a.forward + a.bend, a.out * 0.5f, side), p.lean, p.twist) * b.forearm;
    }
    return l;
}

body_pose pain_pose(int frame) {
    body_pose p;
    if (frame == 0) {
        p.lean = -0.22f, p.head_tilt = -0.35f, p.twist = 0.15f;
        p.arm[0] = {0.5f, 0.55f, 0.6f}, p.arm[1] = {0.3f, 0.45f, 0.9f};
    } else {
        p.lean = 0.45f, p.head_tilt = 0.4f, p.crouch = 0.35f, p.twist = -0.1f;
        p.arm[0] = {0.9f, 0.25f, 1.0f}, p.arm[1] = {0.7f, 0.2f, 1.2f};
    }
    return p;
}

vec3 past_hand(const limbs& l, int side, float distance) {
    return l.hand[side] + normalized(l.hand[side] - l.elbow[side]) * distance;
}

void add_legs(model& m, const limbs& l, float thigh_r, float shin_r, float foot_r, int material,
              float blend) {
    for (int s = 0; s < 2; ++s) {
        m.capsule(l.hip[s], thigh_r, l.knee[s], thigh_r * 0.8f, material, blend);
        m.capsule(l.knee[s], shin_r, l.ankle[s], shin_r * 0.75f, material, blend);
        m.capsule(l.ankle[s], foot_r, l.toe[s], foot_r * 0.8f, material, blend);
    }
}

void add_arms(model& m, const limbs& l, float upper_r, float fore_r, float hand_r, int material,
              float blend) {
    for (int s = 0; s < 2; ++s) {
        m.capsule(l.shoulder[s], upper_r, l.elbow[s], upper_r * 0.85f, material, blend);
        m.capsule(l.elbow[s], fore_r, l.hand[s], fore_r * 0.8f, material, blend);
        m.ellipsoid(l.hand[s], {hand_r, hand_r * 1.2f, hand_r}, material, blend);
    }
}

}  // namespace monster_art
