#pragma once
// The spells in the running game, beyond install_spells (spells.h): what the
// inventory screen casts through when a potion or food is used, and the
// spell book read from the adventure's files.
#include <span>

#include "rules/inventory.h"

// The inventory's reach into the spells: potions and food cast their spell
// on the member who takes them. The rest is the inventory's own default.
inventory_world& spells_inventory_world();

// Reads the spell book from the definition file's bytes (none: an empty
// book) and the language's names over it. False when bytes were given but
// could not be read (the book is then empty).
bool load_spell_book(std::span<const uint8_t> bytes);

// The battle's casts: a member's planned spell (kind 7: the spell + 512 x
// (chosen member + 1)), and a wand on the member's sector or a weapon's
// spell on the monster it hit (target -(monster slot + 1)).
void battle_planned_cast(int slot, int spell_and_target);
void battle_object_cast(int slot, int spell, int target_sector, int target);
