// Wall alcoves: openings in a wall where the party puts items and takes them
// out again. Each alcove is one record of the loaded map (current_map.recesses,
// 32 bytes): the sector and the direction of its wall, the opening as it shows
// on the screen while the party stands in the sector facing the wall, and up
// to eight items.
//
// The opening is given in screen pixels of that nearest view: (x, y) is the
// middle of its sill, and it reaches width / 2 to either side and height
// upward. The items stand on the sill, centred on x.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "rules/inventory.h"
#include "rules/items.h"
#include "rules/items_pickup.h"
#include "world/map_format.h"

constexpr int ALCOVE_MAX_ITEMS = 8;
// Game texts shown when an item cannot go in.
constexpr int TEXT_ALCOVE_ITEM_TOO_BIG = 35;
constexpr int TEXT_ALCOVE_FULL = 36;

struct alcove {
    int16_t sector = 0;
    int16_t side = 0;  // the direction of the wall, 0..3
    int16_t x = 0, y = 0;
    int16_t width = 0, height = 0;
    std::vector<int16_t> items;  // at most 8, none of them 0
};

using alcove_record = std::array<uint8_t, RECESS_RECORD_SIZE>;

// Reads a record field by field. The item list ends at its first 0, after
// eight items, or at the end of the record, whichever comes first.
alcove read_alcove(const alcove_record& record);
// Writes the fields into a record (the item list closed with 0s); the two
// reserved bytes keep what they held.
void write_alcove(const alcove& a, alcove_record& record);

// The index of the loaded map's alcove in the wall of `sector` facing
// `side`, or -1.
int find_alcove(int sector, int side);
// True when an alcove of the loaded map holds the item (its clone is in use).
bool alcove_holds_item(int16_t item);

// What an alcove needs from the rest of the game.
class alcove_world {
  public:
    virtual ~alcove_world() = default;
    // The width and height of the item's floor picture; false when it has none.
    virtual bool picture_size(int16_t /*item*/, int& /*width*/, int& /*height*/) { return false; }
    // Shows game text `number` in the bottom panel.
    virtual void show_text(int /*number*/) {}
    // An item went in or came out: the side's scripts hear of it.
    virtual void recess_event(int /*sector*/, int /*side*/) {}
    // The held list changed (the cursor shows its first item).
    virtual void held_changed() {}
};

struct alcove_click {
    item_table& items;
    held_list& held;
    party_treasure treasure;
    pickup_world& pickup;
    alcove_world& world;
};

enum class alcove_result { missed, put_in, taken_out, full, too_big, empty };

// The user clicks at screen point (x, y) on the alcove in the wall of
// `sector` facing `side`, as the party sees it from that sector. A click
// outside the opening (or a wall without an alcove) is missed. Holding one
// item: it goes in when the alcove has room and the item's floor picture fits
// the opening, else text 36 (full) or 35 (does not fit) is shown; a held
// stack of several items does not fit. Holding nothing: the last item comes
// out into the hand with its pick-up effects.
alcove_result click_alcove(int sector, int side, int x, int y, alcove_click& context);
