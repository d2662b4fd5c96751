#pragma once
// The monsters' side of a fight: a monster's turn in a battle round (morale
// and flight, closing in, choosing to strike or cast), the blow that lands at
// the hit frame of its attack, shooting, being hit, dying with its loot, and
// being knocked back.
//
// It works on the loaded map's monster table and its sector bytes
// (monsters/monsters.h), walks by the monsters' own rules of entering a
// sector, finding the party and following stored paths (monster_ai.h), and
// on the loaded map. Monsters are named here by their slot.
#include <cstdint>
#include <span>
#include <vector>

#include "monsters/monsters.h"
#include "rules/attack_roll.h"
#include "rules/monsters_ai/monster_ai.h"

// Projectile bits of hit_flags: set when the monster was hit.
constexpr uint8_t MONSTER_WAS_HIT = 0x02;

// What a fight needs from the parts of the game built elsewhere: the battle
// (experience, the weapon just used, the battle flag, mutual death), the
// view, spells, flying objects, special procedures, sounds and the debug
// console's log (attack_log). Each default stands for a part not there:
// nothing happens, no procedure takes an event, no weapon was used.
class monster_fight_world : public attack_log {
  public:
    // The monster's special procedure takes the event (2 its battle turn,
    // 3 being knocked back); true replaces the rule.
    virtual bool special_procedure(int /*slot*/, int /*event*/) { return false; }
    virtual bool can_cast(const monster& m) const { return m.spell > 0; }
    virtual void cast_spell(int /*slot*/, int /*spell*/, int /*target_sector*/) {}
    // A flying object leaves the monster toward the party: an arrow item with
    // the force and damage bonus of the shot.
    virtual void launch(int /*slot*/, int /*item*/, int /*target_sector*/, int /*force*/, int /*bonus*/) {}
    // The battle: experience for a hit by the acting character, the weapon
    // of its last attack (0 bare hands, -1 none), the battle flag.
    virtual void award_experience(int /*slot*/, int /*damage*/) {}
    virtual int last_weapon() const { return -1; }
    virtual void battle_started() {}
    virtual int mutual_death_mode() const { return 0; }
    virtual uint32_t game_options() const { return 0; }
    // The view moves to a sector facing a direction.
    virtual void turn_view(int /*sector*/, int /*direction*/) {}
    // A member hit with knock-back steps one sector back if it may.
    virtual void push_member(int /*slot*/, int /*direction*/) {}
    virtual void monster_sound(int /*slot*/, int /*index*/) {}  // 2 hurt
    virtual void blood_splash(int /*sector*/) {}
    // The damage counter: picture set 0..2 and the amount.
    virtual void show_damage(int /*set*/, int /*amount*/) {}
    virtual void message(const char* /*text*/) {}
    virtual void first_kill() {}
};
// Null restores the default.
void set_monster_fight_world(monster_fight_world* world);
// The game's fight world sends a monster's arrow through this when it is set
// (by the objects in the air); unset, nothing flies.
extern void (*monster_launch)(int slot, int item, int target_sector, int force, int bonus);

// The battle as the game's fight world reaches it: the battle rounds fill
// these in when they are installed; unset entries answer as no battle would.
struct fight_battle_link {
    void (*award_experience)(int slot, int damage) = nullptr;
    int (*last_weapon)() = nullptr;
    int (*mutual_death_mode)() = nullptr;
};
extern fight_battle_link fight_battle;
// The spells as the game's fight world reaches them: the spells fill these in
// when they are installed; unset, a monster's cast does nothing.
struct fight_spell_link {
    bool (*can_cast)(const monster& m) = nullptr;
    void (*cast)(int slot, int spell, int target_sector) = nullptr;
};
extern fight_spell_link fight_spells;
monster_fight_world& fight_world();

// Battle actions of a monster per round from its speed statistic: one per
// 15, but one for 1..14 and none for 0 or less.
int monster_round_actions(int speed);
// At the start of a round every living monster gets its actions.
void grant_round_actions();

// A monster's battle turn; true when its action is over at once, false when
// the battle must first let it walk or strike (its animation runs).
bool monster_turn(int slot);
// The monster's attack lands: a spell, a shot, or a blow on a member standing
// in its target sector.
void monster_blow(int slot);
// A ROGUE shoots an arrow at the party.
void monster_shoot(int slot);
// Damage h (negative heals) to a monster.
void hit_monster(int slot, int damage);
// A monster without hit points dies and drops its loot.
void monster_death_check(int slot);
// The monster is knocked one sector in that direction, if it may go there.
void push_monster(int slot, int direction);

// The floor quarter (0 NW, 1 NE, 2 SE, 3 SW) nearest a position inside a
// sector; at exactly the centre of an axis the side is drawn at random.
int nearest_quarter(int x, int y);

// How many monsters stand in the sector (0, 1 or 2).
int monsters_in_sector(int sector);

// Puts the fight into the game: the monsters' walk strikes with monster_blow
// at the hit frame and dies through monster_death_check, their noises are
// heard, and the fight reaches the battle flag, the damage counter and the
// game options. Start-up calls it once the monsters' behaviour is installed.
void install_monster_fight();
