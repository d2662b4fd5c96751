// What happens when items come onto the cursor from the floor, and what a
// held item does to a lock of the map.
#pragma once

#include <cstdint>
#include <span>

#include "rules/inventory.h"
#include "rules/items.h"
#include "rules/party_record.h"

constexpr int PICKUP_GLOBAL_EVENT = 20;
constexpr int NOTE_TEXT = 134;

// The game around a pick-up: the map's events, the achievements, the notice
// line, the book viewer. Each default does nothing, standing for a part not
// built yet.
class pickup_world {
  public:
    virtual ~pickup_world() = default;
    // The map's global event for a pick-up at the party's sector.
    virtual void raise_pickup_event() {}
    // The achievement check for one picked-up item.
    virtual void count_picked_item(int16_t /*item*/) {}
    virtual void rune_learned(int /*group*/, int /*rune*/) {}
    // Opens the book file (empty: the adventure's default book) at a page.
    virtual void open_book(const char* /*file*/, int /*page*/) {}
    // Shows a numbered game text in the message line.
    virtual void show_game_text(int /*text*/) {}
};

// The party's purse and rune knowledge (five groups, bit r = rune r).
struct party_treasure {
    int32_t& gold;
    std::span<uint8_t> runes;
};

// Runs the pick-up effects for the held list: runes are learned, money goes
// into the purse, books open, notes show; in those four cases the held list
// vanishes. Other items stay held.
void picked_up(item_table& items, held_list& held, party_treasure treasure, pickup_world& world);

// A lock of the map tried with the held item.
enum class lock_result {
    opened,
    failed,       // the item does not fit: the lock's failure action fires
    stays_shut,   // a pick that did not open it
    pick_broken,  // the pick is destroyed
};

// `key_code` is the lock's number, `difficulty` -1 for a lock that cannot be
// picked (0 counts as 100). `dexterity` is that of the best living picker of
// the group; `random` draws random(n).
lock_result try_lock(const item_def& item, int key_code, int difficulty, int dexterity, int (*random)(int));
