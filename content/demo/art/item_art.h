#pragma once
// The painters of the demo's item pictures: the backpack icon (45 x 55), the
// picture of the item lying on the floor, the pictures of worn items on the
// man's and the woman's figure, and the pictures of thrown items in flight.
//
// Every item is drawn in its own units (about one icon pixel each) around the
// origin with its long axis upright, the working end (blade, head, neck)
// upwards. A pose places those units on a canvas: turned diagonally for the
// icon, laid down and seen from above-front for the floor, hanging from the
// hand for the body. Light always falls from the upper left and the front,
// in canvas space, so every pose is lit alike.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forge/paint.h"

namespace item_art {

using forge::paint::canvas;
using forge::paint::rgb;
using forge::paint::rgb8;

// ---------------------------------------------------------------- poses

// canvas point = (a x + b y + tx, c x + d y + ty).
struct pose {
    float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    float x(float lx, float ly) const { return a * lx + b * ly + tx; }
    float y(float lx, float ly) const { return c * lx + d * ly + ty; }
    float scale() const;  // the mean length of a unit
    // Turned by degrees (clockwise on the screen), scaled, then moved.
    static pose turned(float degrees, float scale, float tx, float ty);
    // Then squashed vertically by k around the canvas row ty (k < 0 flips).
    pose squashed(float k) const;
};

// ---------------------------------------------------------------- materials

// What a material sees of one pixel of a surface.
struct surface {
    float light = 1;      // diffuse light 0..1
    float highlight = 0;  // specular gleam 0..1
    float u = 0, v = 0;   // item units along and across the shape (for grain)
    int x = 0, y = 0;     // the canvas pixel
};
using material = std::function<rgb(const surface&)>;

material metal(const rgb& base, float shine = 1.0f, uint32_t seed = 1);
material leather(const rgb& base, uint32_t seed = 2);
material wood(const rgb& base, uint32_t seed = 3);
material glass(const rgb& tint);
material cloth(const rgb& base, uint32_t seed = 4);
// A plain matt surface with a little mottling (bread, cheese, paper, stone).
material matt(const rgb& base, float mottle = 0.12f, uint32_t seed = 5, float shine = 0.1f);

// ---------------------------------------------------------------- painting

// Draws shapes given in item units through a pose. Shapes drawn later cover
// earlier ones.
class painter {
  public:
    painter(canvas& c, const pose& p) : c_(c), p_(p) {}
    canvas& target() { return c_; }
    const pose& where() const { return p_; }

    // A round rod from (x0, y0) of radius r0 to (x1, y1) of radius r1.
    void rod(float x0, float y0, float r0, float x1, float y1, float r1, const material& m);
    // A flat blade or plate bounded by the polygon (x, y pairs), bevelled
    // along the ridge from (rx0, ry0) to (rx1, ry1): the two sides face
    // away from each other. With no ridge (equal ends) it is a flat slab.
    void plate(const std::vector<float>& xy, float rx0, float ry0, float rx1, float ry1, const material& m,
               float bevel = 0.45f);
    // A polygon shaded as part of an upright cylinder around column cx of
    // half-width hw: cloth and mail wrapped round a body.
    void wrap(const std::vector<float>& xy, float cx, float hw, const material& m);
    // An ellipse shaded as a dome (depth 1) or as a low cushion (depth < 1).
    void dome(float cx, float cy, float rx, float ry, const material& m, float depth = 1.0f);
    // A thin line of a plain colour (seams, strings, engraving).
    void line(float x0, float y0, float x1, float y1, float width, const rgb& colour, float opacity = 1.0f);
    // A bright star of light: the gleam on glass and polished metal.
    void gleam(float x, float y, float size);

  private:
    void shade_pixel(int px, int py, float coverage, float nx, float ny, float nz, float u, float v,
                     const material& m);
    canvas& c_;
    pose p_;
};

// ---------------------------------------------------------------- items

enum class item_kind { weapon, armour, thing };

// How an item is shown; its painters draw in item units.
struct item_look {
    std::string name;
    item_kind kind = item_kind::thing;
    float metres = 0.3f;   // its length in the world, for the floor and body pictures
    float icon_angle = 0;  // degrees clockwise in the icon
    bool stands = false;   // on the floor it stands upright instead of lying
    std::function<void(painter&)> draw;
    // Worn pictures (null for items that are not worn): draws onto a
    // 194 x 340 canvas aligned with the man's or the woman's figure.
    std::function<void(canvas&, bool female)> draw_worn;
    // Weapons and shields held in a hand: the item point held in the fist.
    bool held = false;
    float grip_x = 0, grip_y = 0;
    float worn_angle = 180;  // blades and heads hang down; shields, bows and staves stand upright
    bool two_hands = false;  // only ever in slot 8
    // Thrown items seen end-on in flight (null: the side view foreshortened);
    // towards tells whether it comes at the viewer.
    std::function<void(painter&, int phase, bool towards)> draw_end_on;
    // Seen from the side in flight (null: draw), for a bundle that flies singly.
    std::function<void(painter&)> draw_in_flight;
};

// The demo's 45 items in the order of their look numbers.
const std::vector<item_look>& item_looks();
void add_weapons(std::vector<item_look>& out);
void add_armour(std::vector<item_look>& out);
void add_things(std::vector<item_look>& out);

// The figure's geometry, shared with the portrait painters: the feet stand
// on row 322 of the 194 x 340 picture, the centre line is column 97.
constexpr int BODY_W = 194, BODY_H = 340;
// Where a held item's grip lies in slot 8 (the hand on the picture's left);
// slot 7 mirrors it about the centre line. Between the man's and the
// woman's fist, so one placement serves both figures.
constexpr float HAND_X = 54, HAND_Y = 203;
// Pixels per metre of the figure and of the view (the wall, 320 pixels, is
// 2.5 m high).
constexpr float BODY_PIXELS_PER_METRE = 150, VIEW_PIXELS_PER_METRE = 128;

// ---------------------------------------------------------------- pictures

// A painted picture ready to be written: colours with coverage, and the
// pixels of the soft floor shadow, which become the darkening index 1.
struct picture_art {
    canvas colour{1, 1};
    std::vector<uint8_t> shadow;  // one per pixel, 1 = shadow
};

canvas paint_icon(const item_look& item);  // 45 x 55, transparent around the item
picture_art paint_floor(const item_look& item);
// The worn picture (both genders share its size, see body_box) and where it
// goes: the body_pos x and y of the item.
struct worn_art {
    canvas man{1, 1}, woman{1, 1};
    int body_x = 0, body_y = 0;    // body_pos
    int body7_x = 0, body7_y = 0;  // body_pos_7 (held items in the other hand)
};
worn_art paint_worn(const item_look& item);
// Thrown items: view 0 flying away from the viewer, 1 to the right,
// 2 towards the viewer, 3 to the left; phases 0..3 of the tumble.
canvas paint_flight(const item_look& item, int view, int phase);
bool flies(const item_look& item);
// Worn in slots 1-8, so it has pictures on the figures.
inline bool worn(const item_look& item) {
    return item.held || item.draw_worn != nullptr;
}

// Darkens the outermost opaque pixels so the item stands clear of any ground.
void outline(canvas& c, float k = 0.55f);

}  // namespace item_art
