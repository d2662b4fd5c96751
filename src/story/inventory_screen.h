#pragma once
// The inventory screen of one party member: the body with what it wears, the
// backpack, the belt and the quiver, or the character sheet; the item
// information while the cursor rests on an item; the party bar below, whose
// portraits take the held items or show another member. Held items stay on
// the cursor when the screen is left.
#include <optional>
#include <vector>

#include "rules/combine.h"
#include "rules/inventory.h"
#include "rules/items.h"

class inventory_pictures;

// Where everything sits on the screen (rows 0..377; the bottom panel stays).
constexpr int INVENTORY_ROWS = 378;
constexpr int BODY_X = 32, BODY_Y = 0;
constexpr int BACKPACK_X = 285, BACKPACK_Y = 46, BACKPACK_COLUMNS = 6;
constexpr int BACKPACK_CELL_W = 55, BACKPACK_CELL_H = 60;
constexpr int BELT_CENTRE_X = 245, BELT_FIRST_CENTRE_Y = 194, BELT_STEP = 35;
constexpr int BELT_CELL_W = 50, BELT_CELL_H = 34;
constexpr int QUIVER_TEXT_X = 19, QUIVER_TEXT_Y = 301;
constexpr int QUIVER_X = 2, QUIVER_Y = 270, QUIVER_W = 30, QUIVER_H = 50;
constexpr int NAME_CENTRE_X = 129, NAME_CENTRE_Y = 349;
constexpr int INFO_X = 286, INFO_Y = 331, INFO_W = 334, INFO_H = 44;
constexpr int SWITCH_X = 228, SWITCH_Y = 332, SWITCH_W = 40, SWITCH_H = 22;

// What the screen works with. The start sequence fills it once the items are
// loaded; a null entry falls back to the game's item table, the figures read
// from the adventure's files with the item pictures and icons the start
// sequence loaded (rules/game_tables.h), a world where
// nothing happens beyond the rules, COMBITEM.DAT read anew for each
// combination, and no modifier key.
struct inventory_setup_t {
    item_table* items = nullptr;
    inventory_pictures* pictures = nullptr;
    inventory_world* world = nullptr;
    std::vector<combine_rule> (*combine_rules)() = nullptr;
    bool (*shift_held)() = nullptr;
};
extern inventory_setup_t inventory_setup;
// What the screen works with after the fallbacks above (the party's figures
// in the view are built from the same).
inventory_pictures& inventory_picture_source();
item_table& inventory_item_table();

// Runs the screen for party slot `slot` (an empty or invalid slot shows the
// current member, or the first one) until right click, Esc or I. A running
// game screen is stopped meanwhile and started again afterwards.
void inventory_screen(int slot);

// What lies at a screen point (exposed for tests).
enum class inventory_spot { none, body, backpack, belt, quiver, portrait, plus, switch_view };
struct inventory_hit {
    inventory_spot spot = inventory_spot::none;
    int index = 0;     // backpack cell, belt position, party slot, attribute
    int x = 0, y = 0;  // body picture coordinates for the body
};
inventory_hit inventory_spot_at(int x, int y);
// The member the screen shows, -1 while it is not running.
int inventory_shown_slot();
bool inventory_sheet_shown();

// Pieces other screens that show a backpack draw the same way (the shop).
void draw_member_backpack(const party_member& m);
// The item's icon centred in the cell (x, y, w, h), clipped to it.
void draw_item_in_cell(int item, int x, int y, int w, int h);
// The item information box; with a price the name reads "name (price)".
void draw_item_information_box(const party_member& m, int item, std::optional<int> price);
void draw_inventory_party_bar();
// A raised button (x, y, w, h): its face lit on the top and left, shaded on
// the bottom and right; the draw colour is left as the ink for its symbol.
void draw_raised_button(int x, int y, int w, int h);
// The backpack cell of the member under a screen point, -1 for none.
int backpack_cell_at(const party_member& m, int x, int y);
