#pragma once
// What the party bar shows of a member's state: the face picture bound to the
// member's slot, the frame of it chosen by hit points, and the status icons.
#include <cstdint>
#include <vector>

#include "core/handle_ids.h"

struct picture;
struct roster_member;

constexpr int FACE_WIDTH = 54, FACE_ROWS = 75, FACE_STATES = 4;
constexpr int STATUS_ICON_SIZE = 13;
constexpr int STATUS_ICONS_SHOWN = 4;
constexpr int PORTRAIT_SLOTS = H_FACE_COUNT;

// The frame of the face: 0 at full health .. 3 near death.
int face_state(int hp, int hp_max);

// The face of the member in a slot ("XICHT%02x.PCX" of its portrait number,
// handle H_FACE_FIRST + slot, bound again when the number changes), or null
// when the adventure lacks it or it is not a whole 8-bit picture.
const picture* member_face(int slot, int face);
// Forgets every binding (a new adventure, tests).
void unbind_member_faces();

// The cells of "postup.pcx" the member's state shows, at most four, in the
// order they are drawn.
std::vector<int> status_icons(const roster_member& m);
