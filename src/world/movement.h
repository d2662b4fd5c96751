#pragma once
// Moving the party: steps and turns with their transitions, and what the
// sector types (map_format.h) do to the members standing in them.
#include "core/event_ids.h"  // EV_PARTY_MOVED, sent after every step that moved the party
#include "world/map_format.h"

// Step kinds, relative to the party's direction.
enum step_kind : int { STEP_FORWARD = 0, STEP_RIGHT = 1, STEP_BACK = 2, STEP_LEFT = 3 };

// Strength of the sector effects right after a move and at a world tick.
constexpr int AFTER_MOVE_STRENGTH = 10, WORLD_TICK_STRENGTH = 3;

struct movement_state {
    bool moving = false;        // a step or turn is in progress: new ones are refused
    bool spin_running = false;  // a spinner is turning the party
    bool boat_mode = false;     // the party is in a boat: no sideways steps, the bow shown over the view
    int walk_speed = 1;         // 0, 1 or 2; 0 = no transition
    int turn_speed = 1;
};
extern movement_state movement;

// What movement tells the screen that shows the party. The game screen fills
// these in; where no screen is attached (a null entry) nothing is drawn.
struct movement_screen_hooks {
    // Draw the view from the party's new place or facing and the frame
    // around it into frame_buffer (before the transition plays).
    void (*draw_scene)() = nullptr;
    // Draw the frame around the view again (after a transition).
    void (*draw_frame)() = nullptr;
    // A step or turn begins: light its arrow (an arrow_kind).
    void (*arrow_pressed)(int arrow) = nullptr;
    // The party was put somewhere else at once (a teleport): the compass
    // stops turning and shows the new facing.
    void (*party_relocated)() = nullptr;
    // The party's place or facing changed outside a step or turn: redraw the
    // scene and show it, when the screen is up.
    void (*redraw_scene)() = nullptr;
};
extern movement_screen_hooks movement_screen;

// What a step asks of a running battle; the battle screen fills it in. Unset
// entries mean no battle runs.
struct movement_battle_hooks {
    bool (*running)() = nullptr;
    // The member who walks alone in the round (-1 none): only it moves, its
    // actions_left counting the steps it still has.
    int (*walking_member)() = nullptr;
    void (*step_taken)() = nullptr;  // the walking member took a step
    // The walking member's group on its sector walks with it (the group-move
    // option); unset or false, the walker goes alone.
    bool (*group_walks)() = nullptr;
    bool (*monster_in)(int sector) = nullptr;
};
extern movement_battle_hooks movement_battle;

// Returns true when the party moved.
bool step(int kind);
// delta +1 turns right, -1 left; a turn ends with the world update. Returns
// true when the party turned.
bool turn(int delta);

// The sector effects on the members standing in their sectors (after_move:
// right after a step; else a world tick).
void sector_effects(int strength, bool after_move);
// Once per scene period and after every turn: the map rules' tick, then the
// sector effects.
void world_update();
// Boat mode follows the party's sector: entering a boat (right after a move)
// starts it and shows the bow, standing anywhere else ends it.
void update_boat(bool after_move);
// The PLAYER and DEAD_PLAYER marks of the members' sectors.
void mark_party_sectors();
