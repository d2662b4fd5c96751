// An object in the air meets the party or a monster in a sector.
#include <algorithm>
#include <cstdlib>

#include "core/random.h"
#include "rules/attack_roll.h"
#include "rules/flight/flight.h"
#include "rules/flight/flight_map.h"
#include "rules/floor/floor_items.h"
#include "rules/items.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"

namespace {

constexpr int PARTY_PASSES_BELOW = 3;  // a member's projectile flies through fewer members than this
constexpr int NO_DODGE_TARGETS = 999;  // a member too tired to dodge
constexpr int ENTRY_DISTANCE = 32;     // the entry point lies this far from the centre
constexpr int CENTRE = 128;

bool on_map(const party_member& m, int sector) {
    return m.used && m.sector == sector && m.map_hash == current_map.hash;
}

int living_in(int sector, int out[PARTY_SLOTS]) {
    int n = 0;
    for (int i = 0; i < PARTY_SLOTS; ++i)
        if (on_map(party_members[i], sector) && party_members[i].hp > 0) out[n++] = i;
    return n;
}

// The attacker's side of every hit: the first item's statistics.
void item_block(const item_def& item, int16_t out[STAT_COUNT]) {
    for (int j = 0; j < STAT_COUNT; ++j) out[j] = item_stat(item, j);
}

void cast_on_hit(const item_def& item, const flying_object& p, int sector) {
    if (item.charges > 0 && item.spell > 0) flight_hooks().cast_item_spell(item.spell, sector, p.owner);
}

// A member takes the projectile's blow; a monster's projectile that kills
// under mutual death takes the monster with it.
void strike_member(party_member& member, const int16_t attacker[STAT_COUNT], int targets,
                   const flying_object& p) {
    monster_fight_world& world = fight_world();
    int16_t defence[STAT_COUNT];
    std::copy(std::begin(member.stats), std::end(member.stats), defence);
    if (world.game_options() & OPTION_WEAPON_DEFENCE)
        weapon_weighted_defence(member, defence);
    else if (!can_dodge(member))
        targets = NO_DODGE_TARGETS;
    const int damage = attack_roll(attacker, defence, targets, p.bonus, p.force, false, world);
    const bool was_alive = member.hp > 0;
    take_hit(member, damage, true);
    if (!was_alive || member.hp > 0 || p.owner >= 0 || world.mutual_death_mode() == 0) return;
    const int slot = -p.owner - 1;
    monster* m = monster_by_number(slot + 1);
    if (!m || !m->alive()) return;
    hit_monster(slot, m->hp);
    monster_death_check(slot);
}

bool hit_party(flying_object& p, int sector, const item_def& item) {
    if (!flight_map::holds_party(sector)) return false;
    int standing[PARTY_SLOTS];
    const int living = living_in(sector, standing);
    if (p.owner > 0 && living < PARTY_PASSES_BELOW) return false;
    if (item.type != IT_THROWN) return true;
    int16_t attacker[STAT_COUNT];
    item_block(item, attacker);
    if (p.fly_flags & FLY_MAGICAL) {
        cast_on_hit(item, p, sector);
        int n = 0;
        for (const party_member& m : party_members)
            if (on_map(m, sector)) ++n;
        for (party_member& m : party_members)
            if (on_map(m, sector) && m.hp > 0) strike_member(m, attacker, n, p);
        return true;
    }
    // The projectile is spent on one of them.
    p.fly_flags |= FLY_MAGICAL;
    p.speed = 0;
    if (living == 0) return true;
    strike_member(party_members[standing[random(living)]], attacker, living, p);
    return true;
}

bool passable(const monster* m) {
    return !m || (m->state & MST_PASSABLE);
}

// Where the object comes into the sector, in monster position units.
void entry_point(const flying_object& p, int& x, int& y) {
    const int o = p.offset, e = ENTRY_DISTANCE;
    static constexpr int across_x[4] = {1, 0, -1, 0}, across_y[4] = {0, 1, 0, -1};
    static constexpr int back_x[4] = {0, -1, 0, 1}, back_y[4] = {1, 0, -1, 0};
    const int d = p.fly_dir & 3;
    x = CENTRE + across_x[d] * o + back_x[d] * e;
    y = CENTRE + across_y[d] * o + back_y[d] * e;
}

void turn_back(monster& m, const flying_object& p) {
    m.direction = int16_t((p.fly_dir + 2) & 3);
}

bool takes_item(monster& m, int16_t item) {
    for (int16_t& slot : m.carried)
        if (slot == 0) {
            slot = item;
            return true;
        }
    return false;
}

bool hit_monsters(flying_object& p, int sector, const item_def& item, int16_t item_number) {
    if (p.owner > 0) party_state.current = p.owner - 1;
    if (p.owner == 0) party_state.current = -1;
    if (item.type != IT_THROWN) return true;
    int16_t attacker[STAT_COUNT];
    item_block(item, attacker);
    monster_fight_world& world = fight_world();
    const int first = first_monster_in(sector), second = second_monster_in(sector);
    monster* a = monster_by_number(first);
    monster* b = monster_by_number(second);
    auto strike = [&](int number, monster& m, int n) {
        hit_monster(number - 1, attack_roll(attacker, m.stats, n, p.bonus, p.force, false, world));
        turn_back(m, p);
    };
    if (p.fly_flags & FLY_MAGICAL) {
        cast_on_hit(item, p, sector);
        const bool second_counts = !passable(b);
        if (passable(a)) {
            if (!second_counts) return false;
            strike(second, *b, 2);
            strike(second, *b, 2);
        } else if (second_counts) {
            strike(first, *a, 2);
            strike(second, *b, 2);
        } else {
            strike(first, *a, 1);
        }
        return true;
    }
    int chosen = first;
    if (a && b) {
        int x = 0, y = 0;
        entry_point(p, x, y);
        const int to_a = std::abs(a->pos_x - x) + std::abs(a->pos_y - y);
        const int to_b = std::abs(b->pos_x - x) + std::abs(b->pos_y - y);
        if (to_b < to_a) chosen = second;
    }
    monster* m = monster_by_number(chosen);
    if (passable(m)) return false;
    strike(chosen, *m, b ? 2 : 1);
    p.fly_flags |= FLY_MAGICAL;
    // A thrown weapon stays with the monster; an arrow or a magical item does not.
    const bool keeps = item.placement != PL_QUIVER && !(item.item_flags & IF_MAGIC_PROJECTILE);
    if (keeps && takes_item(*m, item_number)) {
        if (!p.items.empty())
            p.items.erase(p.items.begin());
        else
            p.item = 0;
    }
    // The rest of a thrown stack falls at the monster's feet: only the one
    // that struck stays with it (or is lost).
    if (p.items.size() > 1 || (p.items.size() == 1 && p.items.front() != item_number)) {
        if (!p.items.empty() && p.items.front() == item_number) p.items.erase(p.items.begin());
        p.items.front() = static_cast<int16_t>(std::abs(p.items.front()));
        drop_items(sector, nearest_quarter(m->pos_x, m->pos_y), p.items);
        p.items.clear();
    }
    return true;
}

}  // namespace

bool flight_hit_test(flying_object& p, int sector) {
    if ((p.fly_flags & FLY_HIT) || p.speed == 0 || !flight_map::is_sector(sector)) return false;
    const int16_t item_number = p.first_item();
    const item_def* found = game_items().find(item_number);
    if (!found) return false;
    // A copy: a death in the hit may add clones (loot) and move the table.
    const item_def item = *found;
    if (!sector_has_monster(sector) || p.owner < 0) return hit_party(p, sector, item);
    return hit_monsters(p, sector, item, item_number);
}
