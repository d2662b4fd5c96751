// A monster's battle turn: actions per round, morale and flight, closing in
// on the party and choosing to strike, shoot or cast.
#include <algorithm>
#include <deque>
#include <vector>

#include "core/random.h"
#include "rules/monster_fight/fight_map.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"
#include "world/map.h"

namespace {

constexpr int EVENT_BATTLE_TURN = 2;
constexpr int FLIGHT_STEPS = 6;
constexpr uint8_t exit_goal_x[4] = {128, 255, 128, 0};
constexpr uint8_t exit_goal_y[4] = {0, 128, 255, 128};

monster* record(int slot) {
    return monster_by_number(slot + 1);
}

void head_for_exit(monster& m, int direction) {
    m.direction = int16_t(direction);
    m.goal_x = exit_goal_x[direction];
    m.goal_y = exit_goal_y[direction];
}

// A sector a monster cannot flee into: shafts and teleports.
bool flight_stops_at(int sector) {
    int type = current_map.sectors[size_t(sector)].sector_type;
    return type == 11 || type == 12 || (type >= 50 && type <= 58);
}

// Breadth-first over the sectors `passable` lets through, from `from`: each
// reached sector's predecessor (0 for the start and the unreached) and the
// order in which they were reached. Neighbours are taken north, east, south,
// west.
struct search_result {
    std::vector<int> before;
    std::vector<int> order;
};
template <typename Passable>
search_result search_from(int from, Passable passable) {
    search_result r;
    r.before.assign(size_t(current_map.sector_count), -1);
    std::deque<int> queue{from};
    r.before[size_t(from)] = 0;
    while (!queue.empty()) {
        int s = queue.front();
        queue.pop_front();
        r.order.push_back(s);
        for (int d = 0; d < 4; ++d) {
            if (!fight_map::open_toward(s, d)) continue;
            int t = fight_map::neighbour(s, d);
            if (r.before[size_t(t)] != -1 || !passable(t)) continue;
            r.before[size_t(t)] = s;
            queue.push_back(t);
        }
    }
    return r;
}

// The sectors from the start (not included) to `to`.
std::vector<uint16_t> path_to(const search_result& r, int to) {
    std::vector<uint16_t> path;
    for (int s = to; r.before[size_t(s)] != 0; s = r.before[size_t(s)]) path.push_back(uint16_t(s));
    std::reverse(path.begin(), path.end());
    return path;
}

bool breaks_morale(const monster& m) {
    if (m.stats[STAT_FLAGS] & MF_PANIC) return true;
    // A monster recorded without maximum hit points counts one, so that
    // nothing divides by zero.
    int hp_max = std::max<int>(m.stats[STAT_HP_MAX], 1);
    int morale = m.morale;
    int taken = m.damage_taken;
    int before = m.hp + taken;
    int lost = before > 0 ? taken * 100 / before : (taken > 0 ? 100 : 0);
    int spirit = hp_max - morale * (hp_max - m.hp) / 100;
    bool crowded = monsters_in_sector(m.sector) >= 2 || (m.strategy & MS_BIG);
    int strength = (100 - morale) * spirit * (crowded ? 2 : 1) / hp_max + random(morale);
    int fear = lost + random(morale);
    return fear > strength;
}

// The farthest sector the monster can run to away from the party; the path
// there, empty for none.
std::vector<uint16_t> flight_path(const monster& m) {
    std::vector<bool> marked(size_t(current_map.sector_count), false);
    for (const party_member& p : party_members) {
        if (!p.used || p.hp <= 0 || p.map_hash != current_map.hash || !fight_map::is_sector(p.sector))
            continue;
        marked[size_t(p.sector)] = true;
        for (int d = 0; d < 4; ++d)
            if (fight_map::open_toward(p.sector, d)) marked[size_t(fight_map::neighbour(p.sector, d))] = true;
    }
    bool big = (m.strategy & MS_BIG) != 0;
    search_result r = search_from(m.sector, [&](int s) {
        int crowd = monsters_in_sector(s);
        return !marked[size_t(s)] && !flight_stops_at(s) && crowd < (big ? 1 : 2);
    });
    if (r.order.size() < 2) return {};
    return path_to(r, r.order.back());
}

bool member_visible_to(const party_member& p, const monster& m) {
    return !(p.stats[STAT_FLAGS] & CF_INVISIBLE) || (m.state & MST_SENS);
}

bool caster_or_rogue(const monster& m) {
    return ((m.state & MST_CAST) && fight_world().can_cast(m)) || (m.strategy & MS_ROGUE);
}

// Every monster standing in the sector stops where it is.
void stop_all_in(int sector) {
    for (int number : {first_monster_in(sector), second_monster_in(sector)})
        if (number != 0) stand_monster(number - 1);
}

bool same_line(int a, int b) {
    if (!fight_map::is_sector(a) || !fight_map::is_sector(b)) return false;
    const map_coord& p = current_map.coords[size_t(a)];
    const map_coord& q = current_map.coords[size_t(b)];
    return p.layer == q.layer && (p.x == q.x || p.y == q.y);
}

}  // namespace

int monster_round_actions(int speed) {
    if (speed <= 0) return 0;
    return speed < 15 ? 1 : std::min(speed / 15, 255);
}

void grant_round_actions() {
    for (monster& m : monster_table) {
        if (!m.alive()) continue;
        m.actions = uint8_t(monster_round_actions(m.stats[STAT_SPEED]));
        m.walk_data = 0;
    }
}

bool monster_turn(int slot) {
    monster* mp = record(slot);
    if (!mp || !mp->alive()) return true;
    monster& m = *mp;
    monster_fight_world& world = fight_world();
    if (!fight_map::is_sector(m.sector)) return true;
    m.direction = int16_t(m.direction & 3);

    if (breaks_morale(m)) {
        std::vector<uint16_t> path = flight_path(m);
        m.damage_taken = 0;
        if (!path.empty()) {
            set_monster_path(slot, path);
            m.intent = MI_FLEE;
            m.actions = FLIGHT_STEPS;
            return true;
        }
    }

    if (world.special_procedure(slot, EVENT_BATTLE_TURN)) return m.pos_x == m.goal_x && m.pos_y == m.goal_y;

    int members[PARTY_SLOTS];
    int ahead =
        fight_map::open_toward(m.sector, m.direction) ? fight_map::neighbour(m.sector, m.direction) : 0;
    if (ahead != 0 && fight_map::living_members_on(ahead, members) > 0) {
        if (caster_or_rogue(m))
            stop_all_in(m.sector);
        else
            stand_monster(slot);
        world.turn_view(ahead, (m.direction + 2) & 3);
        m.target_sector = int16_t(ahead);
        bool casts = (m.state & MST_CAST) && random(100) <= m.stats[STAT_MAGIC_POWER];
        m.intent = casts ? MI_CAST : MI_ATTACK;
        return false;
    }

    for (int d = 0; d < 4; ++d) {
        if (!fight_map::open_toward(m.sector, d)) continue;
        int next = fight_map::neighbour(m.sector, d);
        int n = fight_map::living_members_on(next, members);
        for (int i = 0; i < n; ++i) {
            if (!member_visible_to(party_members[members[i]], m)) continue;
            m.direction = int16_t(d);
            stand_monster(slot);
            return false;
        }
    }

    target_found target = find_target(slot);
    if (target.member < 0) {
        head_for_exit(m, m.direction);
        m.state = uint8_t(m.state & ~MST_BATTLE);
        return true;
    }

    if (caster_or_rogue(m) && same_line(m.sector, target.sector)) {
        m.direction = int16_t(target.direction & 3);
        stand_monster(slot);
        m.intent = (m.strategy & MS_ROGUE) ? MI_ATTACK : MI_CAST;
        m.target_sector = int16_t(target.sector);
        world.turn_view(m.sector, (m.direction + 2) & 3);
        return false;
    }

    if (!fight_map::is_sector(target.sector)) return true;
    bool big = (m.strategy & MS_BIG) != 0;
    search_result r = search_from(
        m.sector, [&](int s) { return s == target.sector || monsters_in_sector(s) < (big ? 1 : 2); });
    if (r.before[size_t(target.sector)] == -1) {
        stand_monster(slot);
        return true;
    }
    std::vector<uint16_t> way = path_to(r, target.sector);
    int step = way.empty() ? -1 : fight_map::direction_to(m.sector, way.front());
    if (step < 0) return true;
    head_for_exit(m, step);
    return false;
}
