#pragma once
// What the interpreter and the special effects share: the effect's target,
// resistance, recorded changes, and the special effects themselves.
#include "rules/spells/spells.h"

struct monster;

namespace spell_detail {

// The effect's target: a member (null when the target is a monster or gone)
// or a monster (null when it is a member or dead).
party_member* target_member(const effect_slot& e);
monster* target_monster(const effect_slot& e);
// The sector the target stands in (0 when gone).
int target_sector(const effect_slot& e);
// The target's resistance to the effect's element (0..100+), and the roll
// of a resistible spell: true when the instruction applies.
int target_resistance(const effect_slot& e);
bool resistance_allows(const effect_slot& e);
// Adds `amount` to statistic `index` of the target (members: the base value,
// recomputed and capped; monsters: not below 0), recorded for undoing.
// Refused for an index outside the 24.
void change_stat(effect_slot& e, int index, int amount);
// Sets or clears state flags of the target, the set ones recorded.
void set_state_flags(effect_slot& e, uint16_t flags);
void clear_state_flags(effect_slot& e, uint16_t flags);
// The global effect flags of all slots, recomputed after a change.
void recompute_globals();

// Runs the effect's code from its resume offset until it waits or ends.
void run_effect(int slot);
// The slot's number inside the table.
int slot_index(const effect_slot& e);
// The unknown-instruction message for the effect; the effect ends.
void instruction_error(effect_slot& e, int opcode);
// A party slot when the caster is a member, else -1.
int caster_member(const effect_slot& e);

// Special effect k (opcode 146) for the effect. False when the effect must
// end at once (its target is gone or the spell was refused).
bool run_special_effect(effect_slot& e, int k);

}  // namespace spell_detail
