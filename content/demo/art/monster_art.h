#pragma once
// The painter of the demo's monster pictures. Each creature is a small 3D
// description: rounded solids (ellipsoids, tapered capsules, rounded boxes)
// blended into one another, built anew for every pose. The renderer looks at
// it without perspective from the front, its left side or its back, marches a
// ray through the solids' distance field for every pixel, and lights the hit
// with one warm key light from above and in front of the viewer plus a cool
// ambient, darker towards the ground and in creases. Every pixel keeps its
// material and a brightness level, so a set's palette is a few ramps, one
// per material, and colour variants recolour whole ramps.
//
// Model space is metres: y up, the creature's forward is +z and its left
// hand +x; the origin is the ground point it stands on.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forge/paint.h"

namespace monster_art {

using forge::paint::rgb;
using forge::paint::rgb8;

struct vec3 {
    float x = 0, y = 0, z = 0;
    vec3 operator+(const vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    vec3 operator-(const vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    vec3 operator*(float k) const { return {x * k, y * k, z * k}; }
};
float dot(const vec3& a, const vec3& b);
float length(const vec3& v);
vec3 normalized(const vec3& v);
// The same point with x negated: the creature's other side.
inline vec3 mirrored(const vec3& v) {
    return {-v.x, v.y, v.z};
}

// ---------------------------------------------------------------- models

enum class shape { ellipsoid, capsule, box };

struct part {
    shape kind = shape::ellipsoid;
    vec3 a;           // ellipsoid and box: the centre; capsule: the first end
    vec3 b;           // ellipsoid: radii; box: half sizes; capsule: the second end
    float r0 = 0;     // capsule: radius at a; box: rounding
    float r1 = 0;     // capsule: radius at b
    float tilt = 0;   // ellipsoid and box: turned about the x axis (radians, + leans forward)
    float turn = 0;   // ellipsoid and box: then turned about the y axis
    float blend = 0;  // melts into the parts before it over this many metres (0: a hard seam)
    int material = 0;
};

// How a material looks: its base colour, how glossy it is and how blotchy.
// A glowing material ignores the light.
struct material {
    std::string name;
    rgb base;
    float shine = 0.1f;
    float mottle = 0.1f;
    float glow = 0;  // above 0: the brightness it always has
};

class model {
  public:
    int add_material(const material& m);
    void ellipsoid(const vec3& centre, const vec3& radii, int material, float blend = 0, float tilt = 0,
                   float turn = 0);
    void capsule(const vec3& a, float ra, const vec3& b, float rb, int material, float blend = 0);
    void box(const vec3& centre, const vec3& half, float rounding, int material, float blend = 0,
             float tilt = 0, float turn = 0);
    const std::vector<part>& parts() const { return parts_; }
    const std::vector<material>& materials() const { return materials_; }
    std::vector<part>& parts() { return parts_; }

  private:
    std::vector<part> parts_;
    std::vector<material> materials_;
};

// ---------------------------------------------------------------- poses

// What a creature is doing in one frame.
enum class action { stand, walk, attack, pain };
struct pose {
    action what = action::stand;
    int frame = 0;  // walk 1..3, attack 0..2 (2: the blow lands), pain 0..1
    // The walking cycle's phase in radians for walk frames.
    float phase() const;
};

// A two-legged body's joints, computed from its proportions and the pose.
struct limbs {
    vec3 hip[2], knee[2], ankle[2], toe[2];  // [0] left, [1] right
    vec3 shoulder[2], elbow[2], hand[2];
    vec3 pelvis, chest, neck, head;
};
struct build {
    float hip_height = 0.9f, hip_width = 0.1f;
    float thigh = 0.45f, shin = 0.43f, foot = 0.2f, ankle_height = 0.07f;
    float shoulder_height = 1.4f, shoulder_width = 0.2f;
    float upper_arm = 0.3f, forearm = 0.28f;
    float neck_length = 0.12f, head_radius = 0.11f;
    float stride = 0.45f;  // thigh swing while walking, radians
};
// Arm angles: swing forward from hanging (radians), out to the side, and the
// elbow's bend (forearm swings further forward).
struct arm_pose {
    float forward = 0, out = 0.08f, bend = 0.15f;
};
struct body_pose {
    arm_pose arm[2];      // [0] left, [1] right
    float lean = 0;       // whole upper body forward (radians)
    float twist = 0;      // shoulders turned (radians, + turns the left shoulder back)
    float crouch = 0;     // knees bent while standing (radians)
    float lunge = 0;      // one foot ahead (metres) while standing
    float head_tilt = 0;  // head nods forward (radians)
};
// Joints for the pose; walking frames swing legs and arms (arms added to the
// given ones) and keep the lower foot on the ground.
limbs pose_limbs(const build& b, const body_pose& p, const pose& when);
// The usual flinch of a two-legged body in pain: thrown back (frame 0),
// then doubled over (frame 1).
body_pose pain_pose(int frame);
// A point along the forearm, past the hand: where a held weapon points.
vec3 past_hand(const limbs& l, int side, float distance);
// Legs and arms as capsules between the joints.
void add_legs(model& m, const limbs& l, float thigh_r, float shin_r, float foot_r, int material,
              float blend = 0.03f);
void add_arms(model& m, const limbs& l, float upper_r, float fore_r, float hand_r, int material,
              float blend = 0.03f);

// ---------------------------------------------------------------- rendering

// Kinds of picture: seen from the front, from its left side, from behind,
// attacking and in pain (the file letters F, L, B, C, H).
enum class view { front, left, back };

// One rendered frame: per pixel the material (-1 none) and a brightness level
// 0..1.4; and the soft floor shadow.
struct frame {
    int width = 0, height = 0;
    std::vector<int8_t> material;
    std::vector<float> level;
    std::vector<uint8_t> shadow;
    int8_t material_at(int x, int y) const { return material[static_cast<size_t>(y) * width + x]; }
};

// The canvas every frame is rendered on: the standing point is column
// CANVAS_W / 2 of row GROUND_ROW. 128 pixels are a metre (a wall, 320 rows,
// is 2.5 m high).
constexpr int CANVAS_W = 640, CANVAS_H = 420, GROUND_ROW = 400;
constexpr float PIXELS_PER_METRE = 128;

// Renders the model seen from a view turned by extra_turn radians further
// (attacks are seen a little from the side), with a floor shadow of the
// given half-width and depth (metres) under the standing point.
frame render(const model& m, view v, float extra_turn, float shadow_rx, float shadow_rz);

// ---------------------------------------------------------------- creatures

// One animation set of the demo.
struct creature {
    std::string name;  // the six-letter animation name
    // The model in a pose. Each call rebuilds it.
    std::function<model(const pose&)> make;
    // Colour variants: for each, the base colours of some materials by name.
    std::vector<std::vector<std::pair<std::string, rgb>>> variants;
    float attack_turn = 0.25f;                 // how far the attack frames are turned to the side
    float shadow_rx = 0.3f, shadow_rz = 0.2f;  // floor shadow half-sizes (metres)
};

creature archer();
creature goblin();
creature shaman();
creature rat();
creature ogre();

}  // namespace monster_art
