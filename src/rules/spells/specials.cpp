// The special effects of spells (opcode 146): mapping, bringing and gathering
// members, the screen's flicker and flash, the global effects, teleports,
// summoning, transformations, waves of damage and opening a passage.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

#include "core/random.h"
#include "core/timers.h"
#include "monsters/monsters.h"
#include "rules/battle/battle.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"
#include "rules/spells/specials.h"
#include "rules/spells/spells_internal.h"
#include "world/map.h"
#include "world/movement.h"
#include "world/party_standin.h"

namespace spell_detail {

namespace {

// Game texts of the special effects.
constexpr int TEXT_TELEPORT_REFUSED_HERE = 85;   // the target stands on a protected sector
constexpr int TEXT_BRING_REFUSED = 87;           // a member cannot be brought
constexpr int TEXT_TELEPORT_REFUSED_THERE = 88;  // the place chosen is protected
constexpr int TEXT_PARTY_GATHERED = 89;

// Reach of a random teleport (26), in steps over open sides.
constexpr int RANDOM_TELEPORT_STEPS = 5;
constexpr int WAVE_LONG_STEPS = 5;
constexpr int SHAPE_FIRST_DEFINITION = 3;  // effects 20..22 take definitions 3..5

bool place(int sector) {
    return sector > 0 && sector < current_map.sector_count && size_t(sector) < current_map.sectors.size() &&
           size_t(sector) < current_map.coords.size();
}

int exit_of(int sector, int direction) {
    if (!place(sector)) return 0;
    const int to = current_map.sectors[size_t(sector)].exits[size_t(direction & 3)];
    return place(to) ? to : 0;
}

// A wall (or anything closed to things) stands between the sector and its neighbour.
bool open_toward(int sector, int direction) {
    if (!exit_of(sector, direction)) return false;
    const size_t side = size_t(sector) * 4 + size_t(direction & 3);
    return side < current_map.sides.size() && !(current_map.sides[side].flags & SIDE_NOTHING);
}

bool on_loaded_map(const party_member& m) {
    return m.used && m.map_hash == party_state.map_hash && place(m.sector);
}
bool living_here(const party_member& m) {
    return on_loaded_map(m) && m.hp > 0;
}

std::string name_of(const party_member& m) {
    return std::string(m.name, strnlen(m.name, sizeof m.name));
}

// The sector the effect works from: the casting member's, else the target's.
int caster_sector(const effect_slot& e) {
    const int c = caster_member(e);
    if (c >= 0 && on_loaded_map(party_members[c])) return party_members[c].sector;
    if (e.caster < 0 && e.caster >= -MONSTER_SLOTS) {
        const monster* m = monster_by_number(-e.caster);
        if (m && m->alive()) return m->sector;
    }
    return target_sector(e);
}

int target_direction(const effect_slot& e) {
    if (const party_member* m = target_member(e)) return m->direction & 3;
    if (const monster* m = target_monster(e)) return m->direction & 3;
    return 0;
}

// The member moves; the view goes along when it is the party's place.
void move_member(int slot, int to, int direction) {
    party_member& m = party_members[slot];
    const bool with_view = m.sector == party.sector && m.group == party_state.current_group;
    m.sector = int16_t(to);
    if (direction >= 0) m.direction = uint8_t(direction & 3);
    if (with_view) {
        party.sector = to;
        if (direction >= 0) party.direction = direction & 3;
        if (movement_screen.party_relocated) movement_screen.party_relocated();
    }
}

void move_monster(int slot, int to, int direction) {
    monster& m = monster_table[size_t(slot)];
    leave_occupancy(slot);
    m.sector = int16_t(to);
    if (direction >= 0) m.direction = int16_t(direction & 3);
    m.pos_x = m.pos_y = m.goal_x = m.goal_y = 128;
    enter_occupancy(slot);
}

// Moves the effect's target to a sector with the sounds and flashes of a
// teleport; refused (false) with a game text when either end is protected.
bool teleport_target(effect_slot& e, int to, int direction = -1) {
    const int from = target_sector(e);
    if (!from) return false;
    party_member* member = target_member(e);
    const std::string name = member ? name_of(*member) : std::string();
    if (teleport_protected(from)) {
        if (member) spells_world().game_text(TEXT_TELEPORT_REFUSED_HERE, name);
        return false;
    }
    if (teleport_protected(to)) {
        if (member) spells_world().game_text(TEXT_TELEPORT_REFUSED_THERE, name);
        return false;
    }
    if (!e.silent) spells_world().play_sound("telepout.wav", from);
    spells_world().teleport_flash(from);
    if (member) {
        move_member(e.target - 1, to, direction);
        mark_party_sectors();
    } else {
        move_monster(-e.target - 1, to, direction);
    }
    spells_world().teleport_flash(to);
    return true;
}

// ---------------------------------------------------------------- bringing members

bool bring(effect_slot& e, int more) {
    party_member* target = target_member(e);
    const int to = caster_sector(e);
    if (!target || !living_here(*target) || !place(to)) return true;
    const int group = target->group;
    std::vector<int> brought{e.target - 1};
    for (int i = 0; i < PARTY_SLOTS && more > 0; ++i) {
        const party_member& m = party_members[i];
        if (i == e.target - 1 || !living_here(m) || m.group != group) continue;
        brought.push_back(i);
        --more;
    }
    for (int slot : brought) {
        const party_member& m = party_members[slot];
        if (teleport_protected(m.sector) || teleport_protected(to)) {
            spells_world().game_text(TEXT_BRING_REFUSED, name_of(m));
            continue;
        }
        move_member(slot, to, -1);
    }
    mark_party_sectors();
    return true;
}

void gather_party(effect_slot& e) {
    const int to = caster_sector(e);
    if (!place(to)) return;
    bool all_came = true;
    for (int i = 0; i < PARTY_SLOTS; ++i) {
        const party_member& m = party_members[i];
        if (!living_here(m) || m.sector == to) continue;
        if (teleport_protected(m.sector) || teleport_protected(to)) {
            spells_world().game_text(TEXT_BRING_REFUSED, name_of(m));
            all_came = false;
            continue;
        }
        move_member(i, to, -1);
    }
    mark_party_sectors();
    const int c = caster_member(e);
    if (all_came) spells_world().game_text(TEXT_PARTY_GATHERED, c >= 0 ? name_of(party_members[c]) : "");
}

// ---------------------------------------------------------------- summoning

bool summon(effect_slot& e) {
    const int at = target_sector(e);
    if (!at) return true;
    int slot = -1;
    for (int i = 0; i < MONSTER_SLOTS && slot < 0; ++i) {
        const monster& m = monster_table[size_t(i)];
        if (!m.alive() && !(m.state & MST_RESPWN)) slot = i;
    }
    if (slot < 0) return true;
    std::vector<int> candidates;
    for (int i = 0; i < MONSTER_SLOTS; ++i) {
        const monster& m = monster_table[size_t(i)];
        if (!m.alive() || (m.state & (MST_PASSABLE | MST_MOB))) continue;
        if ((m.strategy & (MS_WALK | MS_WATCH)) == (MS_WALK | MS_WATCH)) candidates.push_back(i);
    }
    if (candidates.empty()) return true;
    // The summoned one stands in the target's sector, or in the first
    // enterable neighbour when that is taken, facing the target.
    auto taken = [](int s) {
        return sector_has_monster(s) ||
               (current_map.coords[size_t(s)].coord_flags & (MC_PLAYER | MC_NOSUMMON)) ||
               std::any_of(std::begin(party_members), std::end(party_members),
                           [s](const party_member& m) { return living_here(m) && m.sector == s; });
    };
    int sector = at, direction = target_direction(e);
    if (taken(at)) {
        sector = 0;
        for (int d = 0; d < 4 && !sector; ++d) {
            const int n = exit_of(at, d);
            const size_t side = size_t(at) * 4 + size_t(d);
            if (!n || (current_map.sides[side].flags & SIDE_NOMONSTER) || taken(n)) continue;
            sector = n;
            direction = (d + 2) & 3;
        }
        if (!sector) return true;
    }
    monster copy = monster_table[size_t(candidates[size_t(random(int(candidates.size())))])];
    // A copy of a living monster, not of its loot or its fight.
    std::fill(std::begin(copy.carried), std::end(copy.carried), int16_t(0));
    copy.money = 0;
    copy.state &= uint8_t(~(MST_BATTLE | MST_RESPWN));
    copy.anim_frame = -1;
    copy.anim_kind = MA_NORMAL;
    copy.intent = MI_NONE;
    copy.damage_taken = 0;
    copy.hit_flags = 0;
    summon_monster_on_map(slot, copy, sector, direction);
    return true;
}

// ---------------------------------------------------------------- transformation

bool transform(effect_slot& e, int definition) {
    party_member* target = target_member(e);
    if (!target) return false;
    if (target->saved_self || (target->base_stats[STAT_FLAGS] & CF_TRANSFORMED)) return false;
    party_member& m = *target;
    auto* own = new party_member(m);
    party_member shape = character_definitions[definition];
    shape.used = m.used;
    shape.under_spell = m.under_spell;
    shape.group = m.group;
    shape.direction = m.direction;
    shape.sector = m.sector;
    shape.map_hash = m.map_hash;
    shape.plan = m.plan;
    shape.plan_cursor = m.plan_cursor;
    shape.planned = m.planned;
    shape.actions_left = m.actions_left;
    shape.saved_self = own;
    shape.base_stats[STAT_FLAGS] = int16_t(uint16_t(shape.base_stats[STAT_FLAGS]) | CF_TRANSFORMED);
    m = shape;
    recompute_stats(m);
    e.flags |= EF_TRANSFORMED;
    return true;
}

// ---------------------------------------------------------------- lowest hit points

void lowest_hit_points(effect_slot& e) {
    const int view = party.sector;
    std::vector<int> members;
    int lowest = INT32_MAX;
    for (int i = 0; i < PARTY_SLOTS; ++i) {
        const party_member& m = party_members[i];
        if (!living_here(m) || m.sector != view) continue;
        members.push_back(i);
        lowest = std::min<int>(lowest, m.hp);
    }
    if (members.empty()) return;
    for (const monster& m : monster_table)
        if (m.alive() && (m.state & MST_BATTLE)) lowest = std::min<int>(lowest, std::max<int>(m.hp, 1));
    for (int i : members) {
        effect_slot probe = e;
        probe.target = i + 1;
        if (!resistance_allows(probe)) continue;
        party_members[i].hp = int16_t(std::min<int>(party_members[i].hp, lowest));
        spells_world().portrait_flash(i);
    }
}

// ---------------------------------------------------------------- waves

struct wave {
    int sector = 0;     // the centre of the front reached last
    int direction = 0;  // the way it moves
    int steps_left = 0;
    int width = 0;  // sectors to each side of the centre
    int strength = 0;
    int element = 0;
};
std::vector<wave> waves;

int resistance_part(int strength, int resistance) {
    if (resistance > 100) resistance = 0;
    return strength * (100 - resistance) / 100;
}

void wave_hits(const wave& w, int sector) {
    const int index = STAT_RESIST + std::clamp(w.element, 0, STAT_RESIST_COUNT - 1);
    for (party_member& m : party_members) {
        if (!living_here(m) || m.sector != sector) continue;
        const int damage = resistance_part(w.strength, w.element < STAT_RESIST_COUNT ? m.stats[index] : 0);
        if (damage > 0) take_hit(m, damage, true);
    }
    for (int slot = 0; slot < MONSTER_SLOTS; ++slot) {
        const monster& m = monster_table[size_t(slot)];
        if (!m.alive() || m.sector != sector) continue;
        const int damage = resistance_part(w.strength, w.element < STAT_RESIST_COUNT ? m.stats[index] : 0);
        if (damage <= 0) continue;
        hit_monster(slot, damage);
        monster_death_check(slot);
    }
}

// One step: the front moves on unless a wall stops it; it widens by one
// sector to each side, each side running until a wall.
bool wave_step(wave& w) {
    if (w.steps_left <= 0 || !open_toward(w.sector, w.direction)) return false;
    w.sector = exit_of(w.sector, w.direction);
    --w.steps_left;
    wave_hits(w, w.sector);
    for (int turn : {1, 3}) {
        int s = w.sector;
        for (int i = 0; i < w.width && open_toward(s, w.direction + turn); ++i) {
            s = exit_of(s, w.direction + turn);
            wave_hits(w, s);
        }
    }
    ++w.width;
    return w.steps_left > 0;
}

void wave_timer(timer_node*) {
    if (advance_spell_waves() == 0) remove_timers(TIMER_SPELL_WAVES);
}

void start_waves(const effect_slot& e, int k) {
    const int from = target_sector(e);
    if (!from) return;
    const int direction = target_direction(e);
    std::vector<int> directions = {direction};
    if (k == 25) directions = {0, 1, 2, 3};
    const bool was_idle = waves.empty();
    for (int d : directions) {
        wave w;
        w.sector = from;
        w.direction = d;
        w.steps_left = k == 23 ? 1 : WAVE_LONG_STEPS;
        w.strength = e.area_strength;
        w.element = e.def.element;
        if (wave_step(w)) waves.push_back(w);
    }
    if (was_idle && !waves.empty()) add_timer(TIMER_SPELL_WAVES, WAVE_STEP_TICKS, TIMER_FOREVER, wave_timer);
}

// ---------------------------------------------------------------- teleports by the spell's own destination

// Every place within a few open steps of the sector, except protected ones.
int random_reachable(int from) {
    std::vector<int> depth(size_t(current_map.sector_count), -1);
    std::deque<int> queue{from};
    std::vector<int> found;
    depth[size_t(from)] = 0;
    while (!queue.empty()) {
        const int s = queue.front();
        queue.pop_front();
        if (s != from && !teleport_protected(s)) found.push_back(s);
        if (depth[size_t(s)] >= RANDOM_TELEPORT_STEPS) continue;
        for (int d = 0; d < 4; ++d) {
            const int n = exit_of(s, d);
            if (!n || depth[size_t(n)] >= 0) continue;
            depth[size_t(n)] = depth[size_t(s)] + 1;
            queue.push_back(n);
        }
    }
    if (found.empty()) return 0;
    return found[size_t(random(int(found.size())))];
}

// The sector at an offset across (to the right) and along the facing from a
// sector, on its layer; 0 when there is none.
int sector_at_offset(int from, int direction, int across, int along) {
    static constexpr int dx[4] = {0, 1, 0, -1}, dy[4] = {-1, 0, 1, 0};
    const map_coord& c = current_map.coords[size_t(from)];
    const int x = c.x + dx[direction] * along + dx[(direction + 1) & 3] * across;
    const int y = c.y + dy[direction] * along + dy[(direction + 1) & 3] * across;
    for (int s = 1; s < current_map.sector_count; ++s) {
        const map_coord& o = current_map.coords[size_t(s)];
        if (o.x == x && o.y == y && o.layer == c.layer) return s;
    }
    return 0;
}

bool teleport_to_destination(effect_slot& e) {
    if (!e.dest_map.empty()) {
        // Another map: only the party can go there, and only a member sends it.
        if (target_member(e))
            spells_world().change_map(e.dest_map, e.dest_sector, e.dest_direction < 0 ? 0 : e.dest_direction);
        return true;
    }
    const int from = target_sector(e);
    if (!from) return true;
    int to = e.dest_sector;
    if (!to) to = sector_at_offset(from, target_direction(e), e.dest_across, e.dest_along);
    if (!place(to)) return true;
    return teleport_target(e, to, e.dest_direction);
}

// ---------------------------------------------------------------- opening a passage

void open_passage(const effect_slot& e) {
    const int c = caster_member(e);
    const int from = c >= 0 ? party_members[c].sector : party.sector;
    const int direction = c >= 0 ? party_members[c].direction & 3 : party.direction & 3;
    const int ahead = exit_of(from, direction);
    if (!ahead) return;
    map_sector& passage = current_map.sectors[size_t(ahead)];
    if (passage.sector_type > 1) return;  // only a plain sector opens
    const map_coord& at = current_map.coords[size_t(ahead)];
    int nearest = 0;
    long best = 0;
    for (int s = 1; s < current_map.sector_count; ++s) {
        const map_sector& t = current_map.sectors[size_t(s)];
        if (s == ahead || !is_teleport(t.sector_type) || !place(t.action_target)) continue;
        const map_coord& o = current_map.coords[size_t(s)];
        const long dx = o.x - at.x, dy = o.y - at.y, dl = (o.layer - at.layer) * 16;
        const long distance = dx * dx + dy * dy + dl * dl;
        if (!nearest || distance < best) {
            nearest = s;
            best = distance;
        }
    }
    if (!nearest) return;
    const map_sector& link = current_map.sectors[size_t(nearest)];
    passage.sector_type = SECTOR_TELEPORT;
    passage.action_target = link.action_target;
    passage.action_side = link.action_side;
    for (int d = 0; d < 4; ++d) current_map.sides[size_t(ahead) * 4 + size_t(d)].flags |= SIDE_S_VIS;
}

}  // namespace

void mark_mapped_around(int sector, int radius) {
    if (!place(sector)) return;
    const map_coord centre = current_map.coords[size_t(sector)];
    for (int s = 1; s < current_map.sector_count; ++s) {
        map_coord& c = current_map.coords[size_t(s)];
        if (c.layer != centre.layer || (c.coord_flags & MC_NOAUTOMAP)) continue;
        const long dx = c.x - centre.x, dy = c.y - centre.y;
        if (dx * dx + dy * dy <= long(radius) * radius) c.coord_flags |= MC_MAPPED;
    }
}

bool teleport_protected(int sector) {
    return !place(sector) || (current_map.coords[size_t(sector)].coord_flags & MC_NOSUMMON);
}

bool teleport_monster_randomly(int slot) {
    if (slot < 0 || size_t(slot) >= monster_table.size()) return false;
    const monster& m = monster_table[size_t(slot)];
    const int from = m.sector;
    if (!m.alive() || teleport_protected(from)) return false;
    const int to = random_reachable(from);
    if (!to) return false;
    spells_world().play_sound("telepout.wav", from);
    spells_world().teleport_flash(from);
    move_monster(slot, to, -1);
    spells_world().teleport_flash(to);
    return true;
}

int advance_spell_waves() {
    std::vector<wave> moving;
    for (wave& w : waves)
        if (wave_step(w)) moving.push_back(w);
    waves = std::move(moving);
    return int(waves.size());
}

void clear_spell_waves() {
    waves.clear();
    remove_timers(TIMER_SPELL_WAVES);
}

bool run_special_effect(effect_slot& e, int k) {
    spell_world& world = spells_world();
    switch (k) {
        case 1:
        case 2:
        case 3: {
            static constexpr int radius[] = {4, 8, 15};
            if (target_member(e)) mark_mapped_around(target_sector(e), radius[k - 1]);
            return true;
        }
        case 4:
        case 5:
            return bring(e, k == 4 ? 0 : 2);
        case 6:
            gather_party(e);
            return true;
        case 7:
            world.flicker(100);
            return true;
        case 8:
            if (target_member(e)) world.portrait_flash(e.target - 1);
            return true;
        case 9:
            e.flags |= EF_TRUE_SEEING;
            recompute_globals();
            return true;
        case 10:
            e.flags |= EF_HUNTING_INSTINCT;
            recompute_globals();
            return true;
        case 11:
            e.flags |= EF_CONFUSION;
            recompute_globals();
            world.confuse_compass();
            return true;
        case 12:
            if (!target_sector(e)) return false;
            if (!resistance_allows(e) || !place(e.place)) return true;
            return teleport_target(e, e.place);
        case 13:
            return summon(e);
        case 14:
            if (mutual_death_mode() == 0) e.flags |= EF_MUTUAL_DEATH_1;
            recompute_globals();
            return true;
        case 15:
            e.flags |= EF_MUTUAL_DEATH_2;
            recompute_globals();
            return true;
        case 16:
            if (party_member* m = target_member(e)) {
                m->mp_cap = std::min(m->mp, m->mp_cap);
                m->mp = std::min(m->mp, m->mp_cap);
            }
            return true;
        case 17:
            lowest_hit_points(e);
            return true;
        case 18: {
            int speed = 0;
            if (const party_member* m = target_member(e))
                speed = m->stats[STAT_SPEED];
            else if (const monster* m = target_monster(e))
                speed = m->stats[STAT_SPEED];
            else
                return false;
            if (speed < 15) change_stat(e, STAT_SPEED, 15 - speed);
            return true;
        }
        case 20:
        case 21:
        case 22:
            return transform(e, SHAPE_FIRST_DEFINITION + k - 20);
        case 23:
        case 24:
        case 25:
            start_waves(e, k);
            return true;
        case 26: {
            const int from = target_sector(e);
            if (!from) return false;
            if (!resistance_allows(e)) return true;
            const int to = random_reachable(from);
            return to ? teleport_target(e, to) : true;
        }
        case 27:
            if (!resistance_allows(e)) return true;
            return teleport_to_destination(e);
        case 28:
            open_passage(e);
            return true;
        default:
            return true;  // 0 and 19 do nothing
    }
}

}  // namespace spell_detail
