#pragma once
// What the special effects (opcode 146) share with the rest of the game:
// the automap marking, the waves of damage under way, and the sectors that
// refuse teleports.
namespace spell_detail {

// Marks MAPPED every sector of the loaded map on the centre's layer within
// `radius` (Euclidean, grid units) of it, leaving out !AUTOMAP sectors.
void mark_mapped_around(int sector, int radius);

// A sector protected against teleports and summoning (!SUMMON), or no place.
bool teleport_protected(int sector);

// The monster in the slot goes to a random place within reach, with the
// teleport's sound and flashes, as the random teleport does (no resistance
// asked). False when it could not go (a protected sector, no place found).
bool teleport_monster_randomly(int slot);

// The waves of damage under way advance one step (the wave timer's callback,
// also called by tests). Returns how many are still moving.
int advance_spell_waves();
// Every wave stops (a new game, a map left).
void clear_spell_waves();

// The timer that moves the waves: one step per 25 ticks.
constexpr int TIMER_SPELL_WAVES = 402;
constexpr int WAVE_STEP_TICKS = 25;

}  // namespace spell_detail
