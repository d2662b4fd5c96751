#pragma once
// The character's body on the inventory screen: the full figure with the
// body pictures of the worn items laid over it, greyed for a character that
// may not handle items and flattened into a silhouette for an invisible one.
#include <array>
#include <cstdint>
#include <vector>

#include "gfx/picture.h"
#include "rules/item_record.h"
#include "rules/party_record.h"

constexpr int BODY_WIDTH = 194, BODY_HEIGHT = 340;
constexpr int BODY_CENTRE_X = 97;   // a worn picture's centre is its body_pos x from here
constexpr int BODY_BASELINE = 320;  // and its bottom its body_pos y above this row
constexpr uint16_t BODY_TRANSPARENT = 0x8000;

// A worn item's picture placed on the body (body picture coordinates).
struct body_piece {
    int slot = -1;
    const picture* pic = nullptr;  // a type-8 picture
    int x = 0, y = 0;
};

// Where the item's picture goes when worn in `slot` (slot 7 has its own
// position).
body_piece place_worn_picture(const item_def& item, int slot, const picture* pic);

struct body_picture {
    std::vector<uint16_t> pixels;    // BODY_WIDTH x BODY_HEIGHT, BODY_TRANSPARENT where nothing is
    std::vector<body_piece> pieces;  // in drawing order
    uint16_t pixel(int x, int y) const;
};

// The figure (type 8, drawn from the top-left corner) with the pieces over it
// in the order given. `flags` are the character's state flags: CF_SUMMONED
// turns every colour into the grey of its mean channel, CF_INVISIBLE every
// drawn pixel into the figure's palette colour 1.
body_picture build_body_picture(const picture* figure, std::vector<body_piece> pieces, uint16_t flags);

// The slot of the worn item whose picture has a drawn pixel at (x, y) of the
// body, testing the pieces from the last drawn to the first; -1 for none.
int worn_slot_at(const body_picture& body, int x, int y);

// Draws the body onto the drawing target at (x, y), its transparent pixels left out.
void draw_body_picture(const body_picture& body, int x, int y);
