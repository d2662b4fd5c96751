#pragma once
// The party members as the view shows them when they stand apart from the
// party: each party slot has a figure picture (handle H_FIGURE_FIRST + slot)
// that its decoder builds from the member's full body with the worn items
// laid over it, the same body the inventory screen shows. A figure is
// dropped and built again as soon as the member it shows has changed: other
// clothes or weapons, another body or face, invisibility or a changed shape.
#include <cstdint>

#include "core/handle_ids.h"
#include "story/body_picture.h"

class inventory_pictures;
class item_table;
struct party_member;
struct view_member;

// The body of a member: the full figure of its portrait number with, for the
// equipment slots 1..8, each worn item's body picture (the male or female
// set) at its body position.
body_picture build_member_body(const party_member& m, item_table& items, inventory_pictures& source);

// Defines the six figure handles anew (with empty names: the decoder builds
// the picture). Done when the figures are installed; safe to repeat.
void bind_member_figures();
// The figure handle of a slot, its picture dropped first when the member has
// changed since it was built. 0 for a slot outside the party.
handle_id member_figure(int slot);
// Drops the slot's picture so that the next use builds it again.
void forget_member_figure(int slot);

// The view's question: up to `max` members standing in the sector on the
// loaded map, with their figures, facing, death, group and name colour.
int members_standing_in(int sector, view_member* out, int max);

// Binds the figures and answers the view's question from the party. The
// member names above the figures follow the game's switch for them.
void install_member_figures();
