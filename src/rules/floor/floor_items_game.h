// Putting the items on the floor to work in the game: the view draws them, a
// click on the view picks them up and puts them down, the map's scripts drop
// items and money, pressure plates feel them, and the clones lying on the
// floor are never reused.
#pragma once

#include "rules/floor/floor_items.h"

// The game's own floor world: throwing and the cursor. Throwing goes through
// `thrower`, set by the objects in the air; `cursor_changed` is called, when
// set, after the held list changed.
class game_floor_world : public floor_world {
  public:
    void throw_items(int x, int y, bool level, held_list& held) override;
    void held_changed() override;
    static void (*cursor_changed)();
    // Throwing, when set by the objects in the air; unset, the items stay held.
    static void (*thrower)(int x, int y, bool level, held_list& held);
    // True when an object in the air carries the item, when set.
    static bool (*in_flight)(int16_t item);
};

// The pick-up effects as the game runs them: the map's pick-up hook at the
// party's place; runes, books and notes through the parts that show them
// (later parts of the game: nothing is shown yet).
class game_pickup_world : public pickup_world {
  public:
    void raise_pickup_event() override;
    void open_book(const char* file, int page) override;
    // The book, when set by the story; unset, a book item adds nothing.
    static void (*book_opener)(const char* file, int page);
};

// A left click at screen point (x, y) of the view, with the modifier key held
// or not, on the game's held list at the party's place.
void click_game_view(int x, int y, bool modifier);

// Installs the hooks above into the world. Safe to call more than once.
void install_floor_items();
