#pragma once
// The items on the mouse cursor, kept while screens change, and the cursor
// that shows them: the icon of the first held item, or the ordinary arrow.
#include "rules/inventory.h"
#include "rules/items.h"

class inventory_pictures;

held_list& held_items();

// Makes the cursor show the held list: the first item's icon with its hot
// spot in the middle, or the ordinary cursor with nothing held (or an icon
// that is missing).
void show_held_cursor(const held_list& held, const item_table& items, inventory_pictures* pictures);
