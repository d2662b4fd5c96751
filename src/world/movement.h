#pragma once
// Moving the party: steps and turns with their transitions, and what the
// sector types (map_format.h) do to the members standing in them.
#include "world/map_format.h"

// Step kinds, relative to the party's direction.
enum step_kind : int { STEP_FORWARD = 0, STEP_RIGHT = 1, STEP_BACK = 2, STEP_LEFT = 3 };

// Strength of the sector effects right after a move and at a world tick.
constexpr int AFTER_MOVE_STRENGTH = 10, WORLD_TICK_STRENGTH = 3;

// Returns true when the party moved.
bool step(int kind);
// delta +1 turns right, -1 left. Returns true when the party turned.
bool turn(int delta);

// The sector effects on the members standing in their sectors (after_move:
// right after a step; else a world tick).
void sector_effects(int strength, bool after_move);
// Once per scene period: the map rules' tick, then the sector effects.
void world_update();
// Boat mode follows the party's sector: entering a boat (right after a move)
// starts it and shows the bow, standing anywhere else ends it.
void update_boat(bool after_move);
// The PLAYER and DEAD_PLAYER marks of the members' sectors.
void mark_party_sectors();

// The party-moved event (sent after every step that moved the party).
constexpr int EV_PARTY_MOVED = 259;
