// The monster's attack lands: a spell, an arrow, or a blow on a member of the
// party standing in its target sector.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/fatal.h"
#include "core/random.h"
#include "rules/items.h"
#include "rules/monster_fight/fight_map.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"

namespace {

constexpr int TEXT_DIED_MALE = 73, TEXT_DIED_FEMALE = 74;
constexpr int PORTRAIT_DAMAGE_TICKS = 100;
constexpr int OFF_GUARD_TARGETS = 10;  // a member walking in battle is off guard
constexpr int NO_DODGE_TARGETS = 999;  // a member too tired to dodge

monster* record(int slot) {
    return monster_by_number(slot + 1);
}

void log_line(const char* format, const char* name, int a, int b = 0) {
    monster_fight_world& world = fight_world();
    if (!world.on()) return;
    char line[160];
    std::snprintf(line, sizeof line, format, name, a, b);
    world.print(line);
}

// The record's name, terminated whatever the record holds.
std::string name_of(const monster& m) {
    return std::string(m.name, strnlen(m.name, sizeof m.name));
}

// A blow reaches the monster's own sector and the neighbours it may step
// toward; the target remembered from a look may lie farther off by now.
bool within_reach(const monster& m, int sector) {
    if (sector == m.sector) return true;
    const int direction = fight_map::direction_to(m.sector, sector);
    return direction >= 0 && fight_map::open_toward(m.sector, direction);
}

}  // namespace

void monster_shoot(int slot) {
    monster* mp = record(slot);
    if (!mp) return;
    monster& m = *mp;
    item_table& items = game_items();
    int arrow = 0;
    for (int number = 1; number <= items.definition_count(); ++number) {
        const item_def* d = items.find(number);
        if (d && d->placement == PL_QUIVER && d->type == IT_THROWN) {
            arrow = number;
            break;
        }
    }
    if (arrow == 0) fatal_error("Nestvura nemuze strilet. Neni nadefinovan obekt sipu");
    item_def& definition = *items.find(arrow);
    definition.magic_attack_min = m.stats[STAT_MAGIC_ATTACK_MIN];
    definition.magic_attack_max = m.stats[STAT_MAGIC_ATTACK_MAX];
    definition.magic_element = m.stats[STAT_MAGIC_ELEMENT];
    int low = m.stats[STAT_ATTACK_MIN], high = m.stats[STAT_ATTACK_MAX];
    int roll = low + (high >= low ? random(high - low + 1) : 0);
    int force = roll + m.stats[STAT_DEXTERITY] / 5;
    monster_fight_world& world = fight_world();
    if (world.on()) {
        char line[200];
        std::snprintf(line, sizeof line, "%s shoots: %d (roll %d-%d) + %d (%s/5) = %d\n", name_of(m).c_str(),
                      roll, low, high, m.stats[STAT_DEXTERITY] / 5, world.text(TEXT_DEXTERITY).c_str(),
                      force);
        world.print(line);
    }
    world.launch(slot, arrow, m.target_sector, force, m.stats[STAT_DAMAGE_BONUS]);
    m.damage_taken = 0;
}

void monster_blow(int slot) {
    monster* mp = record(slot);
    if (!mp) return;
    monster& m = *mp;
    monster_fight_world& world = fight_world();
    if (m.intent == MI_CAST) {
        world.cast_spell(slot, m.spell, m.target_sector);
        m.damage_taken = 0;
        return;
    }
    if (m.strategy & MS_ROGUE) {
        monster_shoot(slot);
        return;
    }
    if (!fight_map::holds_party(m.target_sector) || !within_reach(m, m.target_sector)) return;
    // The sector may be marked while nobody there lives any more: the blow
    // then falls on nobody.
    int standing[PARTY_SLOTS];
    int n = fight_map::living_members_on(m.target_sector, standing);
    if (n == 0) return;
    int chosen = standing[random(n)];
    party_member& member = party_members[chosen];

    if (member.walk_steps != 0) {
        n = OFF_GUARD_TARGETS;
        member.walk_steps -= 1;
    }
    int16_t defence[STAT_COUNT];
    std::copy(std::begin(member.stats), std::end(member.stats), defence);
    if (world.game_options() & OPTION_WEAPON_DEFENCE)
        weapon_weighted_defence(member, defence);
    else if (!can_dodge(member))
        n = NO_DODGE_TARGETS;

    int damage = attack_roll(m.stats, defence, n, 0, 0, true, world);
    member.last_damage = int16_t(std::clamp(damage, -32768, 32767));
    if (damage != 0) m.damage_taken = 0;

    if (member.stats[STAT_FLAGS] & CF_EYE_FOR_EYE) {
        log_line("%s was hit (eye for an eye): %d\n", name_of(m).c_str(), damage);
        hit_monster(slot, damage);
        monster_death_check(slot);
    }
    if ((m.stats[STAT_FLAGS] & MF_KNOCK_BACK) && damage > 0) world.push_member(chosen, m.direction);
    if (m.stats[STAT_FLAGS] & MF_DRAINING) {
        m.hp = int16_t(std::clamp<int>(m.hp + damage, -32768, std::max<int>(m.stats[STAT_HP_MAX], m.hp)));
        log_line("%s drained HP : %d, lives %d\n", name_of(m).c_str(), damage, m.hp);
    }

    bool was_alive = member.hp > 0;
    take_hit(member, damage, true);
    member.hp = std::min(member.hp, member.stats[STAT_HP_MAX]);
    if (member.hp > 0 && (member.stats[STAT_FLAGS] & CF_DAMAGE_HEALS) &&
        (member.stats[STAT_FLAGS] & CF_EYE_FOR_EYE)) {
        member.hp = 0;
        check_death(member, false);
        std::string text = world.text(member.female ? TEXT_DIED_FEMALE : TEXT_DIED_MALE);
        char line[160];
        std::snprintf(line, sizeof line, text.empty() ? "%s" : text.c_str(), member.name);
        world.message(line);
    }
    party_world_hooks().show_damage_later(chosen, PORTRAIT_DAMAGE_TICKS);
    if (was_alive && member.hp <= 0 && world.mutual_death_mode() != 0 && m.alive()) {
        hit_monster(slot, m.hp);
        monster_death_check(slot);
    }
}
