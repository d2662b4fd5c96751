// The members' attacks: melee, aiming, shooting, throwing, wands, and the
// experience a hit brings.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/random.h"
#include "rules/attack_roll.h"
#include "rules/battle/battle_internal.h"
#include "rules/items.h"
#include "rules/monster_fight/fight_map.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/monsters_ai/monster_ai.h"
#include "world/map.h"

using namespace battle_detail;

namespace {

constexpr int AIM_REACH = 5;
constexpr int TEXT_NO_ARROWS = 72;
constexpr int THROW_X = 320, THROW_Y = 100;
constexpr uint16_t MONSTER_EYE_FOR_EYE = 0x0002;

int16_t clamp16(long value) {
    return int16_t(std::clamp<long>(value, -32768, 32767));
}

// Of two monsters in the sector ahead the one nearer to the member's side of
// it: nearer along the member's direction; equal, either.
int monster_in_front(int sector, int direction) {
    const int first = first_monster_in(sector), second = second_monster_in(sector);
    if (first <= 0) return -1;
    if (second <= 0) return first - 1;
    const monster& a = monster_table[size_t(first - 1)];
    const monster& b = monster_table[size_t(second - 1)];
    // How far each stands from the edge the member faces across.
    auto distance = [&](const monster& m) {
        switch (direction & 3) {
            case 0:
                return 255 - m.pos_y;
            case 1:
                return int(m.pos_x);
            case 2:
                return int(m.pos_y);
            default:
                return 255 - m.pos_x;
        }
    };
    const int da = distance(a), db = distance(b);
    if (da == db) return random(2) ? second - 1 : first - 1;
    return da < db ? first - 1 : second - 1;
}

// The acting member for experience: the battle's, else the current character.
int experience_member() {
    if (used(battle.acting)) return battle.acting;
    return used(party_state.current) ? party_state.current : -1;
}

void put_in_hand(party_member& m, int hand, int16_t number) {
    m.worn[SLOT_RIGHT_HAND + hand] = number;
}

}  // namespace

void melee(int slot, int hand) {
    if (!alive(slot)) return;
    party_member& m = party_members[slot];
    if (hand == 2) hand = battle.alternate_hand[slot] & 1;
    hand = std::clamp(hand, 0, 1);
    m.vp = clamp16(std::max(m.vp - (overload(m) + 1), 0));
    const int weapon = hand_item(m, hand);
    const item_def* w = item(weapon);
    if (m.base_stats[STAT_FLAGS] & CF_INVISIBLE) {
        m.base_stats[STAT_FLAGS] = int16_t(m.base_stats[STAT_FLAGS] & ~CF_INVISIBLE);
        recompute_stats(m);
    }
    for (int j = STAT_MAGIC_ATTACK_MIN; j <= STAT_MAGIC_ELEMENT; ++j)
        m.stats[j] = w ? item_stat(*w, j) : int16_t(0);
    if (w && w->type != IT_MELEE) {
        if (w->type == IT_THROWN) throw_weapon(slot, hand);
        if (w->type == IT_BOW) shoot(slot, hand);
        if (w->type == IT_WAND) use_wand(slot, hand);
        return;
    }
    const int ahead = sector_ahead(m);
    if (ahead <= 0) return;
    const int target = monster_in_front(ahead, m.direction);
    if (target < 0) return;
    monster& foe = monster_table[size_t(target)];
    if (w) battle_hooks().attack_animation(w->attack_anim);

    battle.last_weapon = weapon;
    const int skill = weapon_skill(m, weapon);
    int16_t attacker[STAT_COUNT];
    std::copy(std::begin(m.stats), std::end(m.stats), attacker);
    if (const item_def* other = item(hand_item(m, hand ^ 1)); other && other->type == IT_MELEE) {
        attacker[STAT_ATTACK_MIN] = clamp16(attacker[STAT_ATTACK_MIN] - other->mods[STAT_ATTACK_MIN]);
        attacker[STAT_ATTACK_MAX] = clamp16(attacker[STAT_ATTACK_MAX] - other->mods[STAT_ATTACK_MAX]);
        attacker[STAT_DAMAGE_BONUS] = clamp16(attacker[STAT_DAMAGE_BONUS] - other->damage_bonus);
    }
    const int damage =
        attack_roll(attacker, foe.stats, monsters_in_sector(ahead), skill, 0, true, fight_world());
    hit_monster(target, damage);
    if (damage > 0 && (m.stats[STAT_FLAGS] & CF_KNOCK_BACK)) push_monster(target, m.direction & 3);
    if (foe.stats[STAT_FLAGS] & MONSTER_EYE_FOR_EYE) {
        m.hp = clamp16(std::max<long>(long(m.hp) - damage, 0));
        log("%s was hit (eye for an eye): %d\n", name_of(m), damage);
        check_death(m, false);
    }
    party_world& world = party_world_hooks();
    if (damage > 0) {
        foe.direction = int16_t((m.direction + 2) & 3);
        world.play_sound(random(2) ? "swd_hit1.wav" : "swd_hit0.wav", ahead);
        if (m.stats[STAT_FLAGS] & CF_LIFE_DRAIN) {
            const int roll = 16 + random(16);
            const int gain = damage * 8 / roll;
            m.hp = clamp16(std::min<long>(long(m.hp) + gain, std::max<int>(m.stats[STAT_HP_MAX], m.hp)));
            log("%s received (live drain): %d(hit) x 8 / %d(drain_roll) = %d HP\n", name_of(m), damage, roll,
                gain);
        }
    } else {
        world.play_sound(random(2) ? "swd_mis1.wav" : "swd_mis0.wav", ahead);
    }
    if (foe.alive()) foe.state |= MST_BATTLE;
    if (damage > 0 && w && w->spell > 0) {
        const int roll = random(100) + 1;
        if (roll < w->charges) {
            log("Weapon cast: %s - %d (roll) > %d (probability)\n", w->name, roll, w->charges);
            battle_hooks().cast_spell(slot, w->spell, foe.sector, -(target + 1));
        }
    }
}

aim_result aim(int slot) {
    aim_result result;
    if (!used(slot)) return result;
    const party_member& m = party_members[slot];
    const int direction = m.direction & 3;
    int sector = m.sector;
    for (int i = 0; i < AIM_REACH && fight_map::is_sector(sector); ++i) {
        if (sector_has_monster(sector)) {
            result.sector = sector;
            break;
        }
        if (current_map_side_closed_to_missiles(sector, direction)) return result;
        sector = fight_map::neighbour(sector, direction);
    }
    if (result.sector < 0) return result;
    int number = first_monster_in(result.sector);
    const monster& first = monster_table[size_t(number - 1)];
    if (first.strategy & MS_BIG) return result;
    if (second_monster_in(result.sector) > 0 && random(2) == 1) number = second_monster_in(result.sector);
    const monster& target = monster_table[size_t(number - 1)];
    int across = 0;
    switch (direction) {
        case 0:
            across = target.pos_x - 128;
            break;
        case 1:
            across = target.pos_y - 128;
            break;
        case 2:
            across = 128 - target.pos_x;
            break;
        default:
            across = 128 - target.pos_y;
            break;
    }
    result.offset = across < -12 ? -24 : across > 12 ? 24 : 0;
    return result;
}

void shoot(int slot, int hand) {
    if (!alive(slot)) return;
    party_member& m = party_members[slot];
    const aim_result target = aim(slot);
    if (target.sector < 0) return;
    if (m.arrows <= 0) {
        battle_hooks().show_text(TEXT_NO_ARROWS, name_of(m));
        return;
    }
    item_table& items = game_items();
    int arrow = 0;
    for (int number = 1; number <= items.definition_count() && arrow == 0; ++number) {
        const item_def* d = items.find(number);
        if (d && d->placement == PL_QUIVER && d->value == 0) arrow = number;
    }
    if (arrow == 0) return;
    --m.arrows;
    item_def& shot = items.definition(arrow);
    shot.magic_attack_min = m.stats[STAT_MAGIC_ATTACK_MIN];
    shot.magic_attack_max = m.stats[STAT_MAGIC_ATTACK_MAX];
    shot.magic_element = m.stats[STAT_MAGIC_ELEMENT];
    const int skill = weapon_skill(m, hand_item(m, hand));
    const int roll = m.stats[STAT_ATTACK_MIN] + random(m.stats[STAT_ATTACK_MAX] - m.stats[STAT_ATTACK_MIN]);
    const int force = roll + m.stats[STAT_DEXTERITY] / 5 + skill;
    held_list held{int16_t(arrow)};
    throw_held(held, THROW_X, THROW_Y, true, target.offset, force, m.stats[STAT_DAMAGE_BONUS]);
    party_world_hooks().play_sound(random(2) ? "sip1.wav" : "sip2.wav", m.sector);
    log("%s shoots: attack_roll (%d-%d)=%d, ext.force: %d + %d(%s)/5+%d(bonus) = %d\n", name_of(m),
        m.stats[STAT_ATTACK_MIN], m.stats[STAT_ATTACK_MAX], roll, roll, int(m.stats[STAT_DEXTERITY]),
        fight_world().text(TEXT_DEXTERITY).c_str(), skill, force);
}

void throw_weapon(int slot, int hand) {
    if (!alive(slot)) return;
    party_member& m = party_members[slot];
    const aim_result target = aim(slot);
    const int weapon = hand_item(m, hand);
    if (target.sector < 0 || weapon <= 0) return;
    const int skill = weapon_skill(m, weapon);
    const int force = skill + m.stats[STAT_DEXTERITY] / 10;
    held_list held{int16_t(weapon)};
    put_in_hand(m, hand, 0);
    if (!throw_held(held, THROW_X, THROW_Y, false, target.offset, force, 0)) {
        put_in_hand(m, hand, int16_t(weapon));  // nothing could fly: it stays in the hand
        return;
    }
    battle.last_weapon = weapon;
    // The hand takes the next throwing weapon from the pack.
    for (int cell = 0; cell < std::clamp<int>(m.inventory_size, 0, BACKPACK_MAX); ++cell) {
        const int16_t number = m.inventory[cell];
        const item_def* d = item(number);
        if (!d || d->type != IT_THROWN || d->placement != PL_ONE_HAND) continue;
        if (cell + 1 < BACKPACK_MAX && m.inventory[cell + 1] < 0) break;  // a stack stays whole
        put_in_hand(m, hand, number);
        m.inventory[cell] = 0;
        break;
    }
    recompute_stats(m);
    log("%s throws: ext.force: %d(%s)/10+%d(bonus) = %d\n", name_of(m), int(m.stats[STAT_DEXTERITY]),
        fight_world().text(TEXT_DEXTERITY).c_str(), skill, force);
}

void use_wand(int slot, int hand) {
    if (!alive(slot)) return;
    party_member& m = party_members[slot];
    const int wand = hand_item(m, hand);
    item_def* w = wand > 0 ? game_items().find(wand) : nullptr;
    // A wand recorded with no charges (or fewer) is spent: it casts nothing.
    if (!w || w->charges <= 0) return;
    const int spell = w->spell, charges = w->charges;
    battle_hooks().cast_spell(slot, spell, m.sector, 0);
    const int16_t old = int16_t(wand);
    if (charges == 1) {
        put_in_hand(m, hand, 0);
    } else {
        const int16_t clone = game_items().clone_item(wand);
        if (clone <= 0) return;
        game_items().find(clone)->charges = int16_t(charges - 1);
        put_in_hand(m, hand, clone);
    }
    const item_def* before = game_items().find(old);
    if (before && (before->item_flags & IF_CLONE)) {
        const int16_t list[] = {old};
        game_items().destroy_items(list);
    }
    recompute_stats(m);
}

void award_experience(int monster_slot, int damage) {
    const int slot = experience_member();
    const monster* mp = monster_by_number(monster_slot + 1);
    if (slot < 0 || !mp || damage <= 0) return;
    party_member& m = party_members[slot];
    if (m.base_stats[STAT_FLAGS] & CF_TRANSFORMED) return;
    if (mp->hp < 1) {
        for (int other = 0; other < PARTY_SLOTS; ++other)
            if (alive(other)) add_experience(party_members[other], mp->kill_experience);
        log("Group experience: %d\n", int(mp->kill_experience));
        if (battle.mutual_death == 1) {
            m.hp = 0;
            check_death(m, false);
        }
    }
    // A monster recorded without maximum hit points gives nothing for a hit.
    const int hp_max = mp->stats[STAT_HP_MAX];
    if (hp_max <= 0) return;
    const float share = float(mp->experience) * float(damage) / float(hp_max);
    const int32_t points = int32_t(std::clamp<double>(share, INT32_MIN, INT32_MAX));
    add_experience(m, points);
    log("%s experience: %d\n", name_of(m), int(points));
}
