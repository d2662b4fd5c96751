// The items in a wall alcove as the view shows them.
#pragma once

#include "rules/items.h"

// Where a point given in screen pixels of the nearest view (the wall of the
// party's own sector straight ahead) lies on the front wall of cell
// (column, depth): the screen point and the wall's height in pixels there.
struct alcove_point {
    int x = 0;
    int y = 0;
    int scale = 0;  // a picture is drawn at scale / 320 of its size
};
alcove_point alcove_point_on_face(int column, int depth, int x, int y);

// Draws the items of the alcove in the wall of `sector` facing
// `view_direction`, seen on the front wall of cell (column, depth): each
// item's floor picture stands centred on the sill, its lowest painted row on
// it, scaled and fogged like the wall.
void draw_alcove_items(item_table& items, int sector, int view_direction, int column, int depth);
