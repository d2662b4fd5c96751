#pragma once
// What the pieces of the battle share: who may act, the plans, the view, the
// calls into the things in the air. Internal to the battle.
#include <cstdint>

#include "rules/battle/battle.h"
#include "rules/inventory.h"

namespace battle_detail {

bool used(int slot);
bool alive(int slot);  // used and with hit points
bool on_loaded_map(const party_member& m);
// A living member of the group stands on the loaded map.
bool group_present(int group);
// The monster slot in a sector that a member there attacks, -1 none.
bool monster_engaged(int slot);

// Plans: a fresh plan with room for `entries` actions (and the end entry).
void fresh_plan(int slot, int entries);
void free_plan(int slot);
int planned_entries(const party_member& m);
// The actions granted at the start of the round (restored by kind 3).
extern int16_t granted[PARTY_SLOTS];

// The view moves to a member's sector and facing; its group becomes current.
void view_to(int slot);
// The member's weapon in a hand (0 or 1): its item number, 0 none.
int hand_item(const party_member& m, int hand);
const item_def* item(int number);
bool melee_weapon(int number);
// A melee weapon, throwing weapon, bow or wand: what an attack may use.
bool is_weapon(int number);
// The hand an attack takes when the player is not asked: both when the hands
// hold two melee weapons, else the one holding a weapon (right first).
int default_hand(const party_member& m);
// The sector ahead of the member, 0 when a wall closed to the party is between.
int sector_ahead(const party_member& m);
// The side of the sector toward the direction stops missiles (or leads nowhere).
bool current_map_side_closed_to_missiles(int sector, int direction);

// Things in the air (battle_flight.cpp): throws a held list from the view's
// sector, returns whether anything flies; objects still in the air.
bool throw_held(held_list& held, int x, int y, bool level, int offset, int force, int bonus);
bool objects_in_flight();

// The combat log of the debug console.
void log(const char* format, ...) __attribute__((format(printf, 1, 2)));
const char* name_of(const party_member& m);

// The automatic plans of end_planning; without attacks in an ambush.
void fill_plans(bool attacks);
// Starts the round that the plans describe.
void start_round();

// The member's kind-5 inventory: open, and the round waits until it closes.
void open_inventory_for(int slot);
bool waiting_for_inventory();

}  // namespace battle_detail
