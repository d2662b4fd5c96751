// The items lying on the floor as the view shows them.
#pragma once

#include "gfx/picture.h"
#include "rules/items.h"

// The item's floor picture (picture set 1, 8-bit with its fog palettes), or
// null. Learns the item's floor_inset (its empty bottom rows) on first use.
const picture* item_floor_picture(item_def& item);

// Draws the stacks lying on the floor quarters of a sector seen in cell
// (column, depth): all four quarters, or with `far_only` the two beyond the
// middle of the cell. Each stack shows its first item's floor picture
// (picture set 1), its foot on the stack's spot, scaled and fogged by depth.
void draw_floor_items_in_cell(item_table& items, int sector, int column, int depth, int view_direction,
                              bool far_only);
