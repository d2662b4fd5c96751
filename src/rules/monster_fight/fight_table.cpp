// The bound monster table, its occupancy, the loaded map as the fight sees it
// and the world the fight calls.
#include <algorithm>

#include "rules/monster_fight/fight_map.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"
#include "world/map.h"

namespace {

fight_table bound;
monster_fight_world default_world;
monster_fight_world* installed = nullptr;

constexpr uint8_t stand_x[4] = {128, 152, 128, 104};
constexpr uint8_t stand_y[4] = {104, 128, 152, 128};

monster* slot_record(int slot) {
    return slot >= 0 && size_t(slot) < bound.slots.size() ? &bound.slots[size_t(slot)] : nullptr;
}

uint8_t* occupancy_of(int sector) {
    return sector > 0 && size_t(sector) < bound.occupancy.size() ? &bound.occupancy[size_t(sector)] : nullptr;
}

}  // namespace

void bind_fight_table(fight_table table) {
    bound = table;
}
fight_table& fight_monsters() {
    return bound;
}

void set_monster_fight_world(monster_fight_world* world) {
    installed = world;
}
monster_fight_world& fight_world() {
    return installed ? *installed : default_world;
}

int monsters_in_sector(int sector) {
    uint8_t* first = occupancy_of(sector);
    if (!first || *first == 0) return 0;
    monster* m = slot_record(*first - 1);
    return m && m->next_in_sector != 0 ? 2 : 1;
}

void enter_occupancy(int slot) {
    monster* m = slot_record(slot);
    if (!m || (m->state & MST_MOB)) return;
    uint8_t* first = occupancy_of(m->sector);
    if (!first) return;
    m->next_in_sector = 0;
    if (*first == 0) {
        *first = uint8_t(slot + 1);
    } else if (monster* occupant = slot_record(*first - 1); occupant && occupant->next_in_sector == 0) {
        occupant->next_in_sector = int16_t(slot + 1);
    }
}

void leave_occupancy(int slot) {
    monster* m = slot_record(slot);
    if (!m) return;
    uint8_t* first = occupancy_of(m->sector);
    if (!first) return;
    if (*first == slot + 1) {
        *first = uint8_t(std::clamp<int>(m->next_in_sector, 0, MONSTER_SLOTS));
    } else if (monster* occupant = slot_record(*first - 1);
               occupant && occupant->next_in_sector == slot + 1) {
        occupant->next_in_sector = 0;
    }
    m->next_in_sector = 0;
}

int monster_fight_world::can_enter(const monster& m, int sector, int direction) {
    if (!fight_map::open_toward(sector, direction)) return 1;
    int next = fight_map::neighbour(sector, direction);
    if (fight_map::holds_party(next) && !(m.state & MST_PASSABLE)) return 2;
    uint8_t* first = occupancy_of(next);
    if (!first || *first == 0) return 0;
    monster* occupant = slot_record(*first - 1);
    if ((m.strategy & MS_BIG) || !occupant || (occupant->strategy & MS_BIG) || occupant->next_in_sector != 0)
        return 1;
    return 0;
}

namespace fight_map {

bool is_sector(int sector) {
    return sector > 0 && sector < current_map.sector_count && size_t(sector) < current_map.sectors.size() &&
           size_t(sector) < current_map.coords.size() && size_t(sector) * 4 + 3 < current_map.sides.size();
}

int neighbour(int sector, int direction) {
    if (!is_sector(sector) || direction < 0 || direction > 3) return 0;
    int next = current_map.sectors[size_t(sector)].exits[size_t(direction)];
    return is_sector(next) ? next : 0;
}

bool open_toward(int sector, int direction) {
    if (neighbour(sector, direction) == 0) return false;
    return !(current_map.sides[size_t(sector) * 4 + size_t(direction)].flags & SIDE_NOMONSTER);
}

bool holds_party(int sector) {
    return is_sector(sector) && (current_map.coords[size_t(sector)].coord_flags & MC_PLAYER);
}

int living_members_on(int sector, int out[6]) {
    int n = 0;
    for (int i = 0; i < PARTY_SLOTS; ++i) {
        const party_member& p = party_members[i];
        if (p.used && p.hp > 0 && p.sector == sector && p.map_hash == current_map.hash) out[n++] = i;
    }
    return n;
}

int direction_to(int from, int to) {
    for (int d = 0; d < 4; ++d)
        if (to != 0 && neighbour(from, d) == to) return d;
    return -1;
}

void stop(monster& m) {
    int d = m.direction & 3;
    bool big = (m.strategy & MS_BIG) != 0;
    m.goal_x = big ? 128 : stand_x[d];
    m.goal_y = big ? 128 : stand_y[d];
}

}  // namespace fight_map
