#pragma once
// The monster table of the loaded map: 255 slots of monster records and, next
// to it, one byte per sector naming the first monster standing there. A
// second monster in the same sector hangs on the first's next_in_sector.
// Monsters with MOB are never entered in the sector bytes.
//
// Monsters are named by slot + 1 (1..255); 0 is none. A slot is in use while
// its state has MST_LIVE.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/handles.h"
#include "monsters/monster_record.h"

extern std::array<monster, MONSTER_SLOTS> monster_table;
// One byte per sector of the loaded map: the first monster there, 0 = none.
extern std::vector<uint8_t> sector_monsters;
// The first handle taken for the monsters of the loaded map; a living
// monster's anim_set counts from it (its set starts at base + anim_set - 1).
extern handle_id monster_handle_base;

// The monster with this number (1..255), or nullptr.
monster* monster_by_number(int number);
// The first / second monster standing in the sector (0 = none; also 0 for a
// sector outside the map). MOB monsters are never found here.
int first_monster_in(int sector);
int second_monster_in(int sector);
// True when a monster (not MOB) stands in the sector.
bool sector_has_monster(int sector);

// Empties every slot (anim_set -1, not LIVE) and sizes the sector bytes to
// the loaded map, all clear.
void clear_monster_table();
// Enters the slot's monster into its sector's byte, or after the monster
// already there through next_in_sector. Nothing for a MOB or dead monster or
// a sector outside the map.
void enter_occupancy(int slot);
// Takes the slot's monster out of its sector; a monster behind it moves up.
void leave_occupancy(int slot);
// Clears the sector bytes and enters every living, non-MOB monster again.
void rebuild_occupancy();

// Fills the table from the map's placement block (4-byte entries: i16 sector,
// u16 definition number in bits 0..11 and direction in bits 14..15; at most
// 254). Placement i fills slot i; the slots after the last are emptied. The
// animation sets are registered as handles from next_free_handle on, which is
// moved past them (the caller reserves them for the map). A speed below 1
// ends the program. Returns how many monsters were placed.
int place_monsters(std::span<const uint8_t> placement_block, std::span<const monster> definitions,
                   handle_id& next_free_handle);

// Places one monster outside map loading (spells, the debug console) in the
// given slot. Its animation set is shared with a living monster of the same
// anim_name whose set is not its own alone; else a set is registered from
// next_free_handle and marked anim_owned. Returns the handles taken (0 or
// MONSTER_SET_HANDLES), or -1 when the slot or the sector is not valid.
int summon_monster(int slot, const monster& definition, int sector, int direction,
                   handle_id& next_free_handle);

// Turns the colour_variant of a fresh copy of a definition into the variant
// to draw: v <= 0 selects -v, v > 0 a random variant 0 .. v - 1. The result is
// stored as -variant, so resolving again keeps it.
void resolve_color_variant(monster& m);

// Makes the monsters follow the map: placed after load_map, cleared before
// unload_map frees the map (once per process; start-up calls it).
void install_monster_table();
// Keeps the monster table in the map's state record: the slots that hold a
// record (living, or dead and kept for coming back; not a summoned monster
// with pictures of its own), put back with the occupancy rebuilt.
void install_monster_map_state();
// summon_monster with the handles taken for the loaded map.
int summon_monster_on_map(int slot, const monster& definition, int sector, int direction);
