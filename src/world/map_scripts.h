#pragma once
// The map's scripts: the multiaction lists attached to sides (a small command
// language stored in the map file), the side events that run them, the 50
// global hooks that scripts install, the story flags, the code locks and the
// game time with its timed hooks.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "world/movement_rules.h"

// Multiaction commands (bits 0-5 of a record's first word).
enum multiaction_command : int {
    MA_SOUND = 1,
    MA_GLOBAL_TEXT = 2,
    MA_MAP_TEXT = 3,
    MA_SEND_ACTION = 4,
    MA_FIRE = 5,
    MA_DESTROY_HELD = 6,
    MA_LOAD_MAP = 7,
    MA_DROP_ITEM = 8,
    MA_DIALOG = 9,
    MA_SHOP = 10,
    MA_CODE_LOCK = 11,
    MA_CANCEL_ACTION = 12,
    MA_LOCK = 13,
    MA_SWAP_SECTORS = 14,
    MA_HIT_PARTY = 15,
    MA_IF_FLAG = 16,
    MA_SPECIAL = 17,
    MA_IF_CARRIES = 18,
    MA_STORY = 19,
    MA_IF_ACTION = 20,
    MA_EXPERIENCE = 21,
    MA_TELEPORT = 22,
    MA_PLAY_VIDEO = 23,
    MA_GIVE_HELD = 24,
    MA_IF_STORY_FLAG = 25,
    MA_SET_STORY_FLAG = 26,
    MA_DROP_NEW_ITEM = 27,
    MA_DROP_MONEY = 28,
    MA_GIVE_NEW_ITEM = 29,
    MA_IF_HELD = 30,
    MA_BOOK = 31,
    MA_IF_RANDOM = 32,
    MA_LEAVE_SCREEN = 33,
    MA_CALL_MONSTERS = 34,
    MA_CALL_SIDE = 35,
    MA_MUSIC = 36,
    MA_SET_HOOK = 37,
};
// Bits of a record's first word besides the command and the event mask (bits 8-23).
constexpr uint32_t MA_COMMAND_MASK = 0x3F, MA_STOP = 0x40, MA_ONCE = 0x80;

// Sends events to a side: runs its multiaction list on its own behalf.
void send_side_event(int side, int events);
// Runs the list of script_side for the events, on behalf of place (a side,
// sector x 4 + direction).
void run_side_script(int place, int events, int script_side);

// The members a side's run works on for these events (party slots): the
// active group for passing, bumping and approaching (in a battle only the
// member whose turn it is), else the living members in the place's sector.
std::vector<int> members_for_events(int place, int events);

// The side last animated or acted on: a sound record may stay silent while
// that side's door is open (or closed). The action rules report it here;
// -1 = none yet.
void note_side_touched(int side);
int last_touched_side();

// ---------------------------------------------------------------- map change

// What EV_CHANGE_MAP carries (a pointer to this record, valid while the event
// is dispatched): the map file to load and where to stand on it. A sector
// that is not a place of that map means its last place (map.h,
// map_entry_position).
struct map_change_request {
    const char* name = nullptr;
    int sector = 0;
    int direction = 0;
};
// Asks the game loop for a map change (dispatches EV_CHANGE_MAP).
void request_map_change(const std::string& name, int sector, int direction);

// ---------------------------------------------------------------- global hooks

constexpr int HOOK_COUNT = 50;
// Hook numbers.
enum : int {
    HOOK_LEAVE_MAP = 0,
    HOOK_BEFORE_REST = 1,
    HOOK_AFTER_REST = 2,
    HOOK_BEFORE_SAVE = 3,
    HOOK_AFTER_SAVE = 4,
    HOOK_SPELL_CAST = 5,
    HOOK_SPELL_DONE = 6,
    HOOK_AUTOMAP_OPEN = 7,
    HOOK_AUTOMAP_CLOSED = 8,
    HOOK_BATTLE_START = 9,
    HOOK_BATTLE_END = 10,
    HOOK_BOOK_OPEN = 11,
    HOOK_BOOK_CLOSED = 12,
    HOOK_GAME_TICK = 13,
    HOOK_MALE_DIES = 14,
    HOOK_FEMALE_DIES = 15,
    HOOK_DEFEAT = 16,
    HOOK_MALE_HURT = 17,
    HOOK_FEMALE_HURT = 18,
    HOOK_PICK_UP = 20,
    // 21 before a step and 22 before a turn: HOOK_BEFORE_STEP, HOOK_BEFORE_TURN.
    HOOK_ALARM = 23,
    HOOK_SPELL_ELEMENT = 24,  // 24 + element
    HOOK_SPELL_FIRST = 29,    // 29-37: the spell whose number is the entry's key
    HOOK_TIMED_FIRST = 38,    // 38-41: timed hooks
    HOOK_TIMED_LAST = 41,
};

// One entry of the global event table (8 bytes in the stored table).
struct global_hook {
    uint16_t sector = 0;
    uint8_t side = 0;
    uint8_t cancel = 0;
    int32_t time = 0;  // time (timed hooks) or key (spell hooks)
};
extern std::array<global_hook, HOOK_COUNT> global_hooks;
constexpr int GLOBAL_HOOKS_BYTES = HOOK_COUNT * 8;
// The table as stored (400 bytes, little-endian) and back.
std::array<uint8_t, GLOBAL_HOOKS_BYTES> global_hooks_bytes();
void set_global_hooks_bytes(const uint8_t* bytes, size_t size);

// Empties the table (the game loop does so after leaving a map: the entries
// name sides of the map that installed them).
void clear_global_hooks();

// Runs the hook's script side with SIDE_EV_ACTION for the place (sector,
// direction). Returns whether the caller may go on: true for an empty hook,
// else the opposite of the entry's cancel byte.
bool run_hook(int number, int sector, int direction);

// ---------------------------------------------------------------- game state

// 256 story flags, numbered from 0 (saved with the game).
constexpr int STORY_FLAG_COUNT = 256;
extern std::array<uint8_t, STORY_FLAG_COUNT / 8> story_flags;
bool story_flag(int number);                 // false out of range
void set_story_flag(int number, int value);  // 0 clears, 1 sets, else toggles

// The game time: 360 units an hour, 8640 a day. Advancing it checks the
// timed hooks 38-41 (the first set and reached is cleared and run).
constexpr int32_t GAME_TIME_HOUR = 360, GAME_TIME_DAY = 8640;
extern int32_t game_time;
// Returns false when a timed hook that ran forbids going on (ends a rest).
bool advance_game_time(int units);
// The absolute time of a timed hook: a value above 0 is a delay from now, 0
// or below a time of day -hhmm (the next such moment after now).
int32_t timed_hook_time(int32_t value);

// The party's game tick (the game screen's timer, every 500 ticks): the
// members' tick, EV_STATE_CHANGED, one unit of game time with the timed hooks,
// then hook 13 at the party's place.
void game_tick();

// Clears hooks, story flags and the game time (a new game).
void reset_game_state();
