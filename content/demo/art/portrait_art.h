#pragma once
// The painters of the party's pictures: the face on the party bar (four
// states of 54 x 75 one under the other, from healthy to badly hurt) and the
// full figure of the inventory screen (194 x 340, a man's or a woman's body in
// underclothes, worn items are drawn over it by the game).
#include <cstdint>
#include <string>
#include <vector>

#include "forge/paint.h"

namespace portrait_art {

using forge::paint::canvas;
using forge::paint::rgb;

constexpr int FACE_W = 54, FACE_H = 75, FACE_STATES = 4;
constexpr int BODY_W = 194, BODY_H = 340;
// The figure's feet stand on this row; worn pictures are placed from it.
constexpr int BODY_GROUND = 322;

enum class hair_style { cropped, receding, braid, long_loose };

// Everything that tells one character's face from another's.
struct look {
    std::string name;
    int face = 0;  // the portrait number, names XICHT<face>.PCX and CHAR<face>.PCX
    bool female = false;
    rgb skin, hair, eyes, shirt, shirt_trim;
    hair_style hair_cut = hair_style::cropped;
    bool beard = false, moustache = false;
    float jaw = 1.0f;     // width of the jaw against the cheekbones
    float length = 1.0f;  // height of the face against its width
    float age = 0.0f;     // 0 young .. 1 old: lines, greying
    uint32_t seed = 1;
};

// Borin, Lenka, Tomas and Vesna.
const std::vector<look>& party_looks();

// A head painted centred on (cx, cy) with half-width s pixels; hurt 0..3 is
// the party bar's state (0 healthy).
void paint_head(canvas& c, const look& who, float cx, float cy, float s, int hurt);

canvas paint_face_states(const look& who);  // 54 x 300
canvas paint_body(const look& who);         // 194 x 340, transparent around the figure

// Small helpers shared by the painters.
float smooth(float edge0, float edge1, float x);
rgb lit(const rgb& base, float light);  // warm torchlight over a base colour

}  // namespace portrait_art
