#pragma once
// How the monsters of the loaded map live outside the battle rounds: they
// walk inside and between sectors, decide where to go, watch for the party,
// engage it, collect items, follow stored paths, rest with the party and come
// back at their home after death.
//
// The behaviour works on the loaded map's monster table and its sector bytes
// (monsters/monsters.h).
#include <cstdint>
#include <span>
#include <vector>

#include "monsters/monsters.h"

// ---------------------------------------------------------------- what the rest of the game does

// The battle as the monsters see it: the battle rounds fill it in. Until
// then a battle is only the flag below, and starting one sets it, marks the
// target sector (coordinate bit 0x01) and makes the first member standing
// there the current character.
struct monster_battle_state {
    bool battle = false;  // the game's battle flag
    bool ambush = false;  // a monster engaged a party that did not face it
};
extern monster_battle_state monster_battle;

// What the monsters call in the parts of the game that are built elsewhere:
// the monster fight (the blow at the hit frame, the death check), the special
// procedures, the sounds and the teleport flash. Unset entries do nothing.
struct monster_ai_hooks {
    void (*blow)(int slot) = nullptr;         // the attack reaches its hit frame
    void (*death_check)(int slot) = nullptr;  // dies when its hit points are gone
    // The monster's special procedure takes the event (1 deciding a move); true replaces the rule.
    bool (*special)(int slot, int event) = nullptr;
    void (*sound)(int slot, int index) = nullptr;  // 0 walking, 1 attacking, 2 hurt
    void (*stop_walk_sound)(int slot) = nullptr;
    void (*respawned)(int sector) = nullptr;     // "telepout.wav" and the flash at the sector
    void (*start_battle)(int sector) = nullptr;  // replaces the flag-only start above
    bool ignore_party = false;                   // the debug console's switch
};
extern monster_ai_hooks monster_hooks;
void reset_monster_ai();  // hooks, battle state, paths, cursors back to their defaults

// ---------------------------------------------------------------- positions

constexpr uint8_t exit_goal_x[4] = {128, 255, 128, 0};
constexpr uint8_t exit_goal_y[4] = {0, 128, 255, 128};
constexpr uint8_t stand_x[4] = {128, 152, 128, 104};
constexpr uint8_t stand_y[4] = {104, 128, 152, 128};
constexpr uint8_t WALK_PAUSE = 223;  // walk_data above it counts a pause

// Game option bits read here.
constexpr uint32_t OPTION_ALL_RESPAWN = 0x02;
constexpr uint32_t OPTION_DIAGONAL_WALK = 0x2000;

// ---------------------------------------------------------------- sight and ways

enum enter_result : int { ENTER_FREE = 0, ENTER_BLOCKED = 1, ENTER_PARTY = 2 };
int can_enter(const monster& m, int sector, int direction);
// Sides among front, right and left without the monster barrier.
int open_sides(int sector, int direction);
// The n-th side that can be entered, from the left going clockwise over at
// most five sides; -1 when there is none.
int nth_open_side(const monster& m, int sector, int direction, int n);
// True when nothing blocks the sight between the sectors (same level only).
bool line_of_sight(int from, int to, bool rogue);

struct target_found {
    int member = -1;  // party slot
    int distance = 0;
    int direction = 0;
    int sector = 0;
};
// The nearest party member the monster in slot sees ahead of it; member -1 for none.
target_found find_target(int slot);

// ---------------------------------------------------------------- behaviour

// Watches for the party; true when the monster engaged.
bool look_for_party(int slot);
// After every step and turn of the party; returns the battle flag.
bool monsters_look();
void monster_step(int slot);
void decide_move(int slot);
void change_sector(int slot, int direction);
// Stops the monster where it faces: the stand position of its direction, side
// by side with a partner in its sector, at the centre for a BIG one.
void stand_monster(int slot);
// One tick of every living monster (the monster timer).
void monsters_tick();
// Every sixth tick of the party's rest, told whether an hour passed.
void monsters_rest_step(bool hour_passed);
// The game tick: every tenth one brings one dead respawning monster back.
void respawn_tick();
void respawn_once();  // the respawn step itself

// Outside battle: may the party step into a sector where a monster stands?
bool monster_allows_step(int sector);

// ---------------------------------------------------------------- stored paths

// Gives a slot a path (sectors to walk, in order); an empty list drops it.
void set_monster_path(int slot, const std::vector<uint16_t>& sectors);
bool has_monster_path(int slot);
void drop_monster_path(int slot);
// The saved layout: per monster with a path the slot (i16), the count of
// entries with the closing 0 (i32), the entries (u16), ended by slot -1.
void write_monster_paths(std::vector<uint8_t>& out);
// Reads that layout from the start of `bytes`; false (every path dropped) for
// a record that is cut short or names a slot, count or sector out of range.
// `used` receives the bytes read.
bool read_monster_paths(std::span<const uint8_t> bytes, size_t* used = nullptr);
// Keeps the paths in the map's state record (its last part, the monster
// extras) and drops them all when a map is left.
void install_monster_paths_map_state();

// A way of at most `steps` sectors from one sector to another through
// sectors the monster may enter; empty when there is none.
std::vector<uint16_t> monster_way(const monster& m, int from, int to, int steps);

// ---------------------------------------------------------------- the map's questions

bool monster_on_map();  // a living monster that is not PASSABLE
bool monster_near(int sector, int steps);
void call_monsters(int from_sector, int to_sector);
bool monster_in(int sector);
void monster_alarm(int sector);

// Puts the behaviour into the world: the map services' monster entries, the
// step's question, the look after steps and turns, the monster timer, the
// rest step and the respawn on the game tick.
void install_monster_ai();
