#pragma once
// The attack formula of a fight, shared by characters, monsters and
// projectiles: an attacker's statistics against a defender's give the damage
// of one blow (negative: the defender is healed by it).
#include <cstdint>
#include <string>

#include "rules/party_record.h"

// Where the formula writes its steps: the combat log of the debug console.
// The defaults stand for a game without the console: the log is off. The
// names of the attributes and elements are the numbered interface texts
// (10 strength, 11 magic power, 13 dexterity, 22..26 the elements); the
// defaults are the English ones.
class attack_log {
  public:
    virtual ~attack_log() = default;
    virtual bool on() const { return false; }
    // One piece of the log; it may hold several lines.
    virtual void print(const char* /*text*/) {}
    virtual std::string text(int number) const;
};
// The log used when a caller gives none: off.
attack_log& silent_attack_log();

constexpr int TEXT_STRENGTH = 10, TEXT_MAGIC_POWER = 11, TEXT_DEXTERITY = 13, TEXT_ELEMENTS = 22;

// The damage of one blow. `attacker` and `defender` are 24-entry statistics
// blocks; `targets` is the number of those attacked together (the more, the
// lower the defender's roll may fall); `skill` and `force` are added by the
// weapon and by a projectile's flight; with `use_dexterity` the better of
// strength and dexterity gives the attack bonus, else strength.
int attack_roll(const int16_t attacker[STAT_COUNT], const int16_t defender[STAT_COUNT], int targets,
                int skill, int force, bool use_dexterity, attack_log& log = silent_attack_log());

// The game option bit that makes a character defend with the weapons in its
// hands instead of dodging.
constexpr uint32_t OPTION_WEAPON_DEFENCE = 0x40;

// Weapon-weighted defence: `defence` is a copy of the member's statistics.
// The defence range loses what the items in the hands add to it and gains it
// back weighted by the member's condition (twice at full condition, nothing
// when exhausted); below a fifth of the condition the dexterity of the copy
// shrinks too. Costs one condition point.
void weapon_weighted_defence(party_member& member, int16_t defence[STAT_COUNT]);
