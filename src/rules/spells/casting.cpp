// Casting: a member through the rune panel or a battle plan, a monster, or
// an object (a weapon, a wand, a potion, food, a map script). The caster's
// power decides whether the spell works, fizzles or backfires; the spell's
// target kind decides whom the effects are started on.
#include <algorithm>
#include <cstdlib>

#include "core/random.h"
#include "monsters/monsters.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "rules/spells/spells_internal.h"
#include "world/map.h"
#include "world/map_scripts.h"

namespace {

constexpr int TEXT_TOO_FAR = 37, TEXT_TOO_FAR_FEMALE = 38;
constexpr int CAST_DISTANCE = 5;  // sectors in x or y to a chosen target
constexpr uint32_t OPTION_WILD_MAGIC = 0x01;
constexpr int WILD_PLACE_STEPS = 8;

bool map_sector(int sector) {
    return sector > 0 && sector < current_map.sector_count;
}

// The sector ahead, 0 when a wall closed to the party is between.
int sector_ahead(int sector, int direction) {
    if (!map_sector(sector)) return 0;
    direction &= 3;
    if (current_map.sides[size_t(sector) * 4 + size_t(direction)].flags & SIDE_NOPLAYER) return 0;
    const int next = current_map.sectors[size_t(sector)].exits[size_t(direction)];
    return map_sector(next) ? next : 0;
}

bool living(const party_member& m) {
    return m.used && m.hp > 0;
}

bool too_far(const party_member& caster, const party_member& target) {
    if (caster.map_hash != target.map_hash) return true;
    if (!map_sector(caster.sector) || !map_sector(target.sector)) return false;
    const map_coord& a = current_map.coords[size_t(caster.sector)];
    const map_coord& b = current_map.coords[size_t(target.sector)];
    return std::abs(a.x - b.x) > CAST_DISTANCE || std::abs(a.y - b.y) > CAST_DISTANCE;
}

// A place the wild spell may take: a few random steps away from the caster.
int random_reachable_place(int from) {
    int at = from;
    for (int i = 0; i < WILD_PLACE_STEPS; ++i) {
        const int next = sector_ahead(at, random(4));
        if (next) at = next;
    }
    return at;
}

// Who the spell reaches. `member` is the chosen member (-1 none), `monster`
// the given monster slot (-1 none). Returns how many effects started.
struct cast_target {
    int caster = 0;          // the effects' caster
    int caster_member = -1;  // a casting member's slot
    int sector = 0;          // where the caster stands
    int direction = 0;
    int member = -1;
    int monster_slot = -1;
    int place = 0;
    bool silent = false;
};

int start_on(int spell, int target, const cast_target& t) {
    return start_effect(spell, target, t.caster, t.silent, t.place) >= 0 ? 1 : 0;
}

int everybody_in(int spell, int sector, bool one_member, const cast_target& t) {
    if (!map_sector(sector)) return 0;
    int started = 0;
    const int monsters[2] = {first_monster_in(sector), second_monster_in(sector)};
    for (int number : monsters)
        if (number > 0) started += start_on(spell, -number, t);
    int members[PARTY_SLOTS], count = 0;
    for (int i = 0; i < PARTY_SLOTS; ++i) {
        const party_member& m = party_members[i];
        if (living(m) && m.sector == sector && m.map_hash == party_state.map_hash) members[count++] = i;
    }
    if (one_member && count > 0) {
        started += start_on(spell, members[random(count)] + 1, t);
    } else {
        for (int i = 0; i < count; ++i) started += start_on(spell, members[i] + 1, t);
    }
    return started;
}

// Starts the effects for the spell's target kind; -1 when the kind found no
// target to try (a chosen member missing), else the number started.
int start_for_kind(int spell, const spell_def& def, const cast_target& t, bool* sector_kind) {
    *sector_kind = false;
    switch (def.target_kind) {
        case ST_CASTER:
            if (t.caster_member >= 0) return start_on(spell, t.caster_member + 1, t);
            if (t.monster_slot >= 0) return start_on(spell, -(t.monster_slot + 1), t);
            if (t.member >= 0) return start_on(spell, t.member + 1, t);
            return -1;
        case ST_CHOSEN:
        case ST_CHOSEN_DEAD:
        case ST_CHOSEN_ANYWHERE:
            if (t.member >= 0) return start_on(spell, t.member + 1, t);
            if (t.monster_slot >= 0) return start_on(spell, -(t.monster_slot + 1), t);
            return -1;
        case ST_OWN_SECTOR:
            *sector_kind = true;
            return everybody_in(spell, t.sector, false, t);
        case ST_SECTOR_AHEAD: {
            *sector_kind = true;
            const int ahead = sector_ahead(t.sector, t.direction);
            return everybody_in(spell, ahead ? ahead : t.sector, false, t);
        }
        case ST_AHEAD_ONE_MEMBER:
            *sector_kind = true;
            return everybody_in(spell, sector_ahead(t.sector, t.direction), true, t);
        case ST_MONSTER:
            if (t.monster_slot >= 0) return start_on(spell, -(t.monster_slot + 1), t);
            return -1;
        default:
            return -1;
    }
}

// Starts the spell's effects; true when it took (something was affected, or
// a kind that needs nobody in a sector found its target).
bool apply(int spell, const cast_target& t) {
    const spell_def* def = game_spells().find(spell);
    if (!def) return false;
    bool sector_kind = false;
    const int started = start_for_kind(spell, *def, t, &sector_kind);
    if (sector_kind && started == 0) {
        party_world_hooks().raise_global_event(HOOK_SPELL_DONE, t.sector, t.direction);
        return false;
    }
    return started >= 0;
}

void spend(party_member& c, int points) {
    c.mp = int16_t(std::max(0, c.mp - points));
}

void raise_spell_hooks(int spell, const party_member& c) {
    for (int n = HOOK_SPELL_FIRST; n < HOOK_TIMED_FIRST; ++n) {
        const global_hook& hook = global_hooks[size_t(n)];
        if (hook.sector != 0 && hook.time == spell)
            party_world_hooks().raise_global_event(n, c.sector, c.direction);
    }
}

}  // namespace

int can_cast(const party_member& caster, int spell) {
    const spell_def* def = game_spells().find(spell);
    if (!def || caster.mp < def->cost) return 1;
    const int power = caster.stats[STAT_MAGIC_POWER];
    if (power >= def->power) return 0;
    if (power * 2 >= def->power) return 2;
    return 1;
}

void cast_spell(int spell_and_target, int caster_slot, bool forced) {
    if (caster_slot < 0 || caster_slot >= PARTY_SLOTS || spell_and_target < 0) return;
    party_member& c = party_members[caster_slot];
    if (!c.used) return;
    const int spell = spell_and_target % SPELL_TARGET_CHOSEN;
    const int chosen = spell_and_target / SPELL_TARGET_CHOSEN - 1;
    const spell_def* def = game_spells().find(spell);
    if (!def) return;
    if (chosen >= PARTY_SLOTS || (chosen >= 0 && !party_members[chosen].used)) return;

    if (chosen >= 0 && living(party_members[chosen]) && def->target_kind != ST_CHOSEN_ANYWHERE &&
        too_far(c, party_members[chosen])) {
        const party_member& t = party_members[chosen];
        spells_world().game_text(t.female ? TEXT_TOO_FAR_FEMALE : TEXT_TOO_FAR, t.name, c.name);
        return;
    }
    if (monster_battle.battle && (def->spell_flags & SPF_MONSTER_CAST) &&
        !sector_ahead(c.sector, c.direction))
        return;
    if (!forced && c.mp < def->cost) return;

    cast_target t;
    t.caster = caster_slot;
    t.caster_member = caster_slot;
    t.sector = c.sector;
    t.direction = c.direction;
    t.member = chosen;
    if (def->spell_flags & SPF_CHOOSE_PLACE) {
        t.place = spells_world().choose_place(caster_slot);
        if (t.place == 0) return;
    }

    if (c.base_stats[STAT_FLAGS] & CF_INVISIBLE) {
        c.base_stats[STAT_FLAGS] = int16_t(c.base_stats[STAT_FLAGS] & ~CF_INVISIBLE);
        recompute_stats(c);
    }

    const int p = c.stats[STAT_MAGIC_POWER], q = def->power;
    if (!forced && p < q) {
        if (2 * p < q) return;
        const int s = (p - q / 2) * 128 / q;
        const int h = random(64);
        const bool wild = (party_world_hooks().game_options() & OPTION_WILD_MAGIC) != 0;
        if (s / 2 + 32 < h && (def->backfire != 0 || wild)) {
            spend(c, def->cost);
            if (wild) {
                t.place = random_reachable_place(c.sector);
                apply(random(SPELL_COUNT), t);
            } else {
                apply(def->backfire, t);
            }
            return;
        }
        if (s < h) {
            spend(c, def->cost / 2);
            return;
        }
        if (random(64) < (64 - s) / 2) {
            c.base_stats[STAT_MAGIC_POWER] =
                int16_t(std::min<int>(c.base_stats[STAT_MAGIC_POWER] + 1, INT16_MAX));
            recompute_stats(c);
        }
    }

    if (party_world_hooks().raise_global_event(HOOK_SPELL_CAST, c.sector, c.direction)) return;
    raise_spell_hooks(spell, c);
    if (!apply(spell, t)) return;

    if (!forced) spend(c, def->cost);
    add_experience(c, def->cost);
    c.mp = std::min(c.mp, c.mp_cap);
    c.mp_cap = INT16_MAX;
    party_world_hooks().raise_global_event(HOOK_SPELL_DONE, c.sector, c.direction);
}

void monster_cast(int spell, int monster_slot) {
    if (monster_slot < 0 || monster_slot >= MONSTER_SLOTS) return;
    const monster& m = monster_table[size_t(monster_slot)];
    const spell_def* def = game_spells().find(spell);
    if (!def || !m.alive()) return;
    cast_target t;
    t.caster = monster_caster(monster_slot);
    t.sector = m.sector;
    t.direction = m.direction;
    t.monster_slot = monster_slot;
    switch (def->target_kind) {
        case ST_CASTER:
        case ST_CHOSEN:
            start_on(spell, -(monster_slot + 1), t);
            break;
        case ST_OWN_SECTOR:
            everybody_in(spell, m.sector, false, t);
            break;
        case ST_SECTOR_AHEAD:
        case ST_AHEAD_ONE_MEMBER:
            everybody_in(spell, sector_ahead(m.sector, m.direction), def->target_kind == ST_AHEAD_ONE_MEMBER,
                         t);
            break;
        default:
            break;
    }
}

void object_cast(int spell, int member_slot, int sector, int monster_slot, bool forced) {
    const spell_def* def = game_spells().find(spell);
    if (!def) return;
    const bool member_valid =
        member_slot >= 0 && member_slot < PARTY_SLOTS && party_members[member_slot].used;
    cast_target t;
    t.caster = CASTER_OBJECT;
    t.sector = sector;
    t.direction = member_valid ? party_members[member_slot].direction : 0;
    if (monster_slot >= 0 && monster_slot < MONSTER_SLOTS && monster_table[size_t(monster_slot)].alive())
        t.monster_slot = monster_slot;
    switch (def->target_kind) {
        case ST_CASTER:
        case ST_CHOSEN:
        case ST_CHOSEN_ANYWHERE:
        case ST_AHEAD_ONE_MEMBER:
            if (!member_valid || !living(party_members[member_slot])) return;
            break;
        case ST_CHOSEN_DEAD:
            if (!member_valid || living(party_members[member_slot])) return;
            break;
        case ST_MONSTER:
            if (t.monster_slot < 0) return;
            break;
        default:
            break;
    }
    if (def->target_kind == ST_AHEAD_ONE_MEMBER || def->target_kind <= ST_CHOSEN ||
        def->target_kind == ST_CHOSEN_DEAD || def->target_kind == ST_CHOSEN_ANYWHERE) {
        if (def->target_kind == ST_AHEAD_ONE_MEMBER) {
            start_on(spell, member_slot + 1, t);
            return;
        }
        t.member = member_slot;
        t.monster_slot = -1;
    }
    (void)forced;  // objects carry their own charge: nothing to spend
    apply(spell, t);
}
