// Items lying on the floor of the loaded map: four lists per sector (the
// quarters 0 north-west, 1 north-east, 2 south-east, 3 south-west), the items
// that fell where nobody finds them again, and what the player does with the
// mouse on the floor of the view: picking up, putting down.
//
// The lists are the loaded map's own (current_map.items, place = sector x 4 +
// quarter, each list ended by 0); the map state keeps them with the map. A
// list never holds 0 inside it and begins with a positive entry.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "rules/inventory.h"
#include "rules/items.h"
#include "rules/items_pickup.h"

constexpr int FLOOR_QUARTERS = 4;
// Game option bit: a held container takes the stacks of a quarter clicked with
// the modifier key.
constexpr uint32_t OPTION_CONTAINER_FILLING = 0x20;

// The stacks of one quarter as stored, without the closing 0; empty for none.
std::span<const int16_t> floor_list(int sector, int quarter);
// How many stacks lie there.
int floor_stack_count(int sector, int quarter);
// True when anything lies in one of the sector's quarters.
bool items_in_sector(int sector);
// True when a floor list or the lost items hold the item (stack marks count
// as their item): its clone must not be reused.
bool floor_holds_item(int16_t item);

// Puts a stack onto a floor quarter. Shafts and teleports (sector types 2, 11,
// 12, 50..58) pass it on to the same quarter of their target; water, lava and
// the like (types 3, 4, 9, 21) swallow it into the lost items; elsewhere it is
// laid on top of the quarter's stacks. A shaft or teleport whose target is
// no place loses the items; a chain of them is followed through 16 at most,
// and the items land on the last one reached (so a circle cannot hold them).
// The held list is empty afterwards, except for a sector outside the map,
// where nothing happens.
void drop_items(int sector, int quarter, held_list& held);
// Removes the last stack of a quarter and returns it (empty for none).
held_list take_stack(int sector, int quarter);

// Items that fell where they cannot be reached, newest first. A dying monster
// drops the last of them.
std::vector<int16_t>& lost_items();
// The oldest lost item, taken off the list (0 for none).
int16_t take_lost_item();

// Forgets every floor entry naming no item of the table and repairs the
// stacks around it (a list that begins with a stack mark starts a stack
// there). Run when a map is entered.
void check_floor_lists(const item_table& items);

// ---------------------------------------------------------------- the mouse

// The columns of the floor in the view: 0 near-left and 1 near-right (the
// party's own sector), 2 far-right and 3 far-left (the sector ahead).
constexpr int FLOOR_NEAR_LEFT = 0, FLOOR_NEAR_RIGHT = 1, FLOOR_FAR_RIGHT = 2, FLOOR_FAR_LEFT = 3;

// What a click on the view does besides the floor: throwing, which a later
// part of the game builds. The default stands for it: nothing is thrown and
// the items stay held.
class floor_world {
  public:
    virtual ~floor_world() = default;
    // Throws the held items from the party's sector toward screen point (x, y);
    // `level` throws them flat.
    virtual void throw_items(int /*x*/, int /*y*/, bool /*level*/, held_list& /*held*/) {}
    // The held list changed (the cursor shows its first item).
    virtual void held_changed() {}
};

struct floor_click {
    item_table& items;
    held_list& held;
    party_treasure treasure;
    pickup_world& pickup;
    floor_world& world;
    int sector = 0;     // where the party stands
    int direction = 0;  // where it looks
    bool modifier = false;
    uint32_t game_options = 0;
};

enum class floor_result { nothing, picked_up, put_down, thrown, filled };

// Screen rows (the 640 x 480 screen) of the floor's click areas. A click in
// the near columns puts held items down from PUT_DOWN_TOP to the view's
// bottom; above it, held items are thrown. With nothing held, the stacks of a
// near quarter are taken within their band (stack_band_top) and those of the
// sector ahead from FAR_FLOOR_TOP down.
constexpr int FLOOR_PUT_DOWN_TOP = 325;
constexpr int FLOOR_FAR_TOP = 250;
constexpr int FLOOR_VIEW_BOTTOM = 376;
// The top row of the band of `stacks` stacks lying in a near quarter: it
// grows upward with every stack, as they lie one behind the other.
int stack_band_top(int stacks);

// A click with the left button at screen point (x, y) of the view. Works out
// the column and calls click_floor, or throws what is held.
floor_result click_view_floor(int x, int y, floor_click& context);
// The user clicks on the floor of a column: pick up the last stack there (and
// run the pick-up effects), put the held stack down, fill a held container.
floor_result click_floor(int column, int x, int y, floor_click& context);

// Where stack k (0 = first) of a quarter lies inside the quarter, in the
// cell units of the view (across and along 0..128, seen from the quarter's
// own corner as it faces the viewer): later stacks lie a little farther.
struct floor_spot {
    int across = 0;
    int along = 0;
};
floor_spot stack_spot(int relative_quarter, int stack);
