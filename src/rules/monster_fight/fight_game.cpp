// The fight put into the running game: the monsters' walk strikes and dies
// through it, and it reaches the battle flag, the damage counter, the
// monsters' noises, the game options and the debug console's combat log.
#include "monsters/monster_sound.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"
#include "world/screen_effects.h"

fight_battle_link fight_battle;
fight_spell_link fight_spells;

void (*monster_launch)(int slot, int item, int target_sector, int force, int bonus) = nullptr;

namespace {

class game_fight_world final : public monster_fight_world {
  public:
    bool on() const override { return party_world_hooks().combat_log(); }
    void print(const char* text) override { party_world_hooks().console_print(text); }
    void battle_started() override { monster_battle.battle = true; }
    // The special procedures answer through the same hook as the walk's.
    bool special_procedure(int slot, int event) override {
        return monster_hooks.special && monster_hooks.special(slot, event);
    }
    void award_experience(int slot, int damage) override {
        if (fight_battle.award_experience) fight_battle.award_experience(slot, damage);
    }
    bool can_cast(const monster& m) const override {
        return fight_spells.can_cast ? fight_spells.can_cast(m) : monster_fight_world::can_cast(m);
    }
    void cast_spell(int slot, int spell, int target_sector) override {
        if (fight_spells.cast) fight_spells.cast(slot, spell, target_sector);
    }
    int last_weapon() const override { return fight_battle.last_weapon ? fight_battle.last_weapon() : -1; }
    int mutual_death_mode() const override {
        return fight_battle.mutual_death_mode ? fight_battle.mutual_death_mode() : 0;
    }
    uint32_t game_options() const override { return party_world_hooks().game_options(); }
    void monster_sound(int slot, int index) override { ::monster_sound(slot, index); }
    void show_damage(int set, int amount) override { ::show_damage(set, amount); }
    void launch(int slot, int item, int target_sector, int force, int bonus) override {
        if (monster_launch) monster_launch(slot, item, target_sector, force, bonus);
    }
};

game_fight_world game_world;

}  // namespace

void install_monster_fight() {
    set_monster_fight_world(&game_world);
    monster_hooks.blow = monster_blow;
    monster_hooks.death_check = monster_death_check;
    monster_hooks.sound = ::monster_sound;
    monster_hooks.stop_walk_sound = stop_monster_sound;
}
