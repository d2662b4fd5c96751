// The loaded map as the fight sees it, and the world the fight calls.
#include "rules/monster_fight/fight_map.h"

#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"
#include "world/map.h"

namespace {

monster_fight_world default_world;
monster_fight_world* installed = nullptr;

}  // namespace

void set_monster_fight_world(monster_fight_world* world) {
    installed = world;
}
monster_fight_world& fight_world() {
    return installed ? *installed : default_world;
}

int monsters_in_sector(int sector) {
    if (!sector_has_monster(sector)) return 0;
    return second_monster_in(sector) != 0 ? 2 : 1;
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

}  // namespace fight_map
