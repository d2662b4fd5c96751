#pragma once
// The battle: once a monster engages, time runs in rounds. The player plans
// actions for the characters of the current group, then every planned action
// and every monster action of the round is carried out in a shuffled order,
// one per animation tick; the round ends, and the next is planned, until no
// monster is engaged any more. The battle flag itself is monster_battle.battle
// (monster_ai.h): true while a living monster has its BATTLE bit.
#include <cstdint>
#include <string>
#include <vector>

#include "rules/party.h"

// A planned action: an entry of a character's plan (party_member::plan), which
// holds actions_left entries and an end entry with action 0.
struct battle_action {
    int16_t action = 0;
    int16_t arg = 0;
    int16_t item = 0;
};

// Action kinds; their names are the interface texts 40 + kind.
enum battle_kind : int16_t {
    BA_END = 0,
    BA_ATTACK = 1,  // arg: hand 0 (slot 7), 1 (slot 8), 2 both, alternating
    BA_RUN = 2,
    BA_CLEAR = 3,  // never stored: clears the plan
    BA_WALK = 4,
    BA_INVENTORY = 5,
    BA_REST = 6,
    BA_CAST = 7,   // arg: spell + 512 x (target member + 1); item: target monster or item
    BA_THROW = 9,  // arg: x / 4 + 256 x (y / 2); item: the held item
};
constexpr int TEXT_ACTION_NAMES = 40;

// The screen states of a battle (the game state numbers the panel uses).
enum battle_phase : int {
    BATTLE_OFF = 0,
    BATTLE_PLANNING = 4,  // the battle desk: the player plans
    BATTLE_RUNNING = 5,   // a member runs (kind 2), the player steps it
    BATTLE_ROUND = 6,     // the round plays, entry by entry
    BATTLE_WALKING = 7,   // a member walks (kind 4), the player steps it
};

// Entries of a round's order besides m + 1 (monster slot m) and -(i + 1) (party slot i).
constexpr int16_t ORDER_END_OF_ACTIONS = -255;
constexpr int16_t ORDER_END = 0;

struct battle_state {
    int phase = BATTLE_OFF;
    int round = 0;
    int acting = -1;       // party slot whose plan is made or carried out, -1 none
    int last_weapon = -1;  // item of the last melee attack, 0 bare hands, -1 none
    std::vector<int16_t> order;
    size_t next = 0;  // the next entry of order
    uint8_t alternate_hand[PARTY_SLOTS] = {};
    int mutual_death = 0;  // 0, 1 or 2, set by spells
    bool began = false;    // begin_battle ran for the current flag
};
extern battle_state battle;

// Game settings read here (the options window sets them).
struct battle_settings {
    bool auto_attack = true;  // unplanned characters attack a monster in reach
    bool group_move = false;  // planning moves the whole group together
};
extern battle_settings battle_options;

// ---------------------------------------------------------------- the flow

// A monster engages: the battle flag is set, the sector is marked, the first
// member standing there becomes the current character.
void start_battle(int target_sector);
// At the next opportunity after the flag was set: hook 9, the battle screen,
// the held items given away, the first round planned (or, in an ambush, run
// at once with the automatic plans and no attacks).
void begin_battle();
// The start of a round: actions for monsters and characters, the acting member.
void plan_round();
// The acting member; false when the slot may not act (dead, elsewhere, used up).
bool select_acting(int slot);
// Appends a planned action for the acting member; kind 3 clears its plan.
// False when nothing was planned (no actions left, or no acting member).
bool plan_action(int kind, int arg = 0, int item = 0);
// Both hands hold weapons that differ: planning an attack asks which hand.
bool hand_choice_needed(int slot);
// The hand an attack takes without asking: the one holding a weapon, 2 (both,
// alternating) when both hold melee weapons.
int attack_hand(int slot);
// The held item is planned to be thrown toward screen point (x, y).
bool plan_throw(int x, int y);
// Fills the missing plans and starts the round.
void end_planning();
// One animation tick of the round: the next entry is carried out unless a
// monster's animation, a flight or a member's walk is still under way.
void battle_tick();
// While a member walks or runs in the round: a step was taken (the movement
// counts it down); end_walk gives the rest of the steps up.
void walk_step_taken();
void end_walk();
// The member who walks in phases 5 and 7 (-1 none).
int walking_member();
// With the group-move option a walk (kind 4) takes the walker's group on its
// sector along.
bool group_walking();

// ---------------------------------------------------------------- the rules

// The shuffle of a round's order: position i (in order) swaps with random(len).
void shuffle_order(std::vector<int16_t>& order);
// The order of a round: monster actions and planned character actions,
// shuffled, then -255 and 0.
std::vector<int16_t> build_round_order();
// A melee attack of a member with hand 0, 1 or 2 (the alternating hand).
void melee(int slot, int hand);
// The first sector within five along the member's direction holding a
// monster (-1 none) and the aimed offset across the flight.
struct aim_result {
    int sector = -1;
    int offset = 0;
};
aim_result aim(int slot);
void shoot(int slot, int hand);
void throw_weapon(int slot, int hand);
void use_wand(int slot, int hand);
// Experience for a hit of damage h by the acting member on a monster.
void award_experience(int monster_slot, int damage);
void end_round();
// No living member of the current group is on the loaded map any more.
void lose_group();

// ---------------------------------------------------------------- what it calls

// The parts of the game the battle reaches that are built elsewhere: spells,
// the screen's own windows, the autosave. Each default stands for a part not
// there: no spell is cast, nothing is opened, nothing is saved.
class battle_world {
  public:
    virtual ~battle_world() = default;
    // A spell cast by a member (kind 7), a wand or a weapon on a sector or monster.
    virtual void cast_spell(int /*slot*/, int /*spell*/, int /*target_sector*/, int /*target*/) {}
    // The member's inventory for its kind-5 action; the round waits until
    // inventory_closed() is called.
    virtual void open_inventory(int /*slot*/) {}
    // The battle's phase or the acting member changed: the screen redraws.
    virtual void changed() {}
    // A weapon's attack animation (its four bytes).
    virtual void attack_animation(const uint8_t (&/*anim*/)[4]) {}
    virtual void report_error(const char* /*text*/) {}
    virtual void autosave() {}
    // A numbered interface text formatted with a member's name, shown in the
    // bottom panel (72: no arrows).
    virtual void show_text(int /*number*/, const char* /*name*/) {}
    // The words written over the defeat screen.
    virtual std::string defeat_text() const { return {}; }
    // The group is lost here but a member lives on another map: that map is
    // loaded (the map change itself is the game loop's).
    virtual void load_map_of(int /*slot*/) {}
};
// Null restores the default.
void set_battle_world(battle_world* world);
battle_world& battle_hooks();
// The kind-5 inventory was closed: the round goes on.
void inventory_closed();

// Puts the battle into the game: the monsters' timer and look, their start
// of a battle, the fight's experience and weapon, the map scripts' questions.
void install_battle();
// Forgets any battle (a new game, a map left, tests): the state, the plans.
void reset_battle();
// The monster timer: outside battle the monsters walk as ever; in battle
// the engaged ones play their animations and the round goes on.
void battle_monsters_tick();
// The look after the party's steps and turns, with the battle flag recomputed.
void battle_monsters_look();
// The battle flag becomes the OR of the BATTLE bits of the living monsters.
bool recompute_battle_flag();
