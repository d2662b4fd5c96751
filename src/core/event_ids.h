#pragma once
// Every event number of the event tree and every timer id, each defined once,
// with the block of numbers each library draws its new ones from.
//
// Numbers 1-63 are the game's shared numbers: the tree's own requests, the
// devices and the clock, and the events and timers the game's rules name by
// number across libraries (a timer started by the game screen is paused by a
// battle). They keep their numbers. Every other number belongs to the block of
// the library that sends the event or owns the timer; a library takes its next
// number from its own block, so two libraries can never pick the same one.
#include <cstdint>

struct id_block {
    int32_t first, last;
    constexpr bool holds(int32_t id) const { return id >= first && id <= last; }
};

// One table for event numbers and timer ids alike.
namespace id_blocks {
constexpr id_block shared{1, 63};
constexpr id_block ui{64, 127};
constexpr id_block platform{128, 191};
constexpr id_block gfx{192, 255};
constexpr id_block world{256, 319};
constexpr id_block monsters{320, 383};
constexpr id_block rules{384, 447};
constexpr id_block story{448, 511};
constexpr id_block saves{512, 575};
constexpr id_block sound{576, 639};
constexpr id_block support{640, 703};
constexpr id_block startup{704, 767};

constexpr id_block all[] = {shared, ui,    platform, gfx,   world,   monsters,
                            rules,  story, saves,    sound, support, startup};

constexpr bool blocks_follow_each_other() {
    for (unsigned i = 1; i < sizeof all / sizeof all[0]; ++i)
        if (all[i].first <= all[i - 1].last || all[i].first > all[i].last) return false;
    return true;
}
static_assert(blocks_follow_each_other(), "the blocks of numbers overlap");
}  // namespace id_blocks

// Event numbers.
enum : int32_t {
    // The tree and its devices.
    EV_INIT = 1,    // delivered only to a handler being added (arguments of the add request)
    EV_ADD = 2,     // request: event number, handler, optional arguments for EV_INIT
    EV_REMOVE = 3,  // request: event number, handler, one argument for the handler
    EV_IDLE = 4,
    EV_POLL = 6,
    EV_KEY = 10,    // key code: character in the low byte, scan code in the high byte
    EV_MOUSE = 11,  // pointer to mouse_state
    EV_TICK = 12,   // ticks elapsed since the last tick event
    // Shared between the game's libraries.
    EV_MAP_EVENT = 34,
    EV_MONSTER_VIEW = 35,
    EV_MENU_SELECT = 36,
    EV_GAME_RESULT = 37,
    EV_CHARGEN_RESULT = 38,
    EV_CHANGE_MAP = 40,
    // The window toolkit's own.
    EV_UI_55 = 55,
    EV_UI_57 = 57,
    EV_UI_58 = 58,
    EV_UI_60 = 60,

    // world
    EV_STATE_CHANGED = 257,  // the game's state changed (map actions, items, battle)
    EV_SCENE_REDRAWN = 258,  // a complete redraw of the scene was just presented
    EV_PARTY_MOVED = 259,    // a step moved the party: from sector, to sector
};

static_assert(id_blocks::shared.holds(EV_UI_60));
static_assert(id_blocks::world.holds(EV_STATE_CHANGED) && id_blocks::world.holds(EV_PARTY_MOVED));

// Timer ids (several timers may share one).
// The game screen's timers, named by number across libraries.
constexpr int TIMER_SCENE = 2;    // redraws the scene and runs the world update
constexpr int TIMER_EFFECTS = 3;  // the compass and the arrow highlight (a battle pauses it)
constexpr int TIMER_PANEL = 5;    // ends the bottom panel's message
constexpr int TIMER_FLYING = 6;   // moves the flying objects
constexpr int TIMER_PARTY = 8;    // the game's slow tick

static_assert(id_blocks::shared.holds(TIMER_SCENE) && id_blocks::shared.holds(TIMER_PARTY));

// The rules' timers.
constexpr int TIMER_HIT_MARK = 384;  // 384..389: ends the hit shown on the portrait of party slot n
static_assert(id_blocks::rules.holds(TIMER_HIT_MARK) && id_blocks::rules.holds(TIMER_HIT_MARK + 5));
