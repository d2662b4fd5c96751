// Resting with the party, coming back after death, the map's questions
// about monsters, and binding all of it into the world.
#include <algorithm>
#include <deque>

#include "core/random.h"
#include "rules/monsters_ai/monster_ai_internal.h"
#include "world/map_services.h"
#include "world/monster_hooks.h"
#include "world/movement_rules.h"
#include "world/rest.h"

using namespace monster_ai_detail;

namespace {

int respawn_cursor = 0;
int game_ticks_seen = 0;

// Every monster standing in a sector (the first and the second), as slots.
template <typename F>
void for_monsters_in(int sector, F&& f) {
    const int first = first_slot_in(sector);
    if (first < 0) return;
    f(first);
    const int second = slot_record(first).next_in_sector - 1;
    if (second >= 0 && second < MONSTER_SLOTS && second != first &&
        static_cast<size_t>(second) < monster_table.size())
        f(second);
}

bool astral(const monster& m) {
    return (m.state & MST_PASSABLE) != 0;
}

}  // namespace

void reset_monster_ai() {
    monster_hooks = {};
    monster_battle = {};
    drop_all_monster_paths();
    respawn_cursor = 0;
    game_ticks_seen = 0;
}

void monsters_rest_step(bool hour_passed) {
    refresh_party();
    for (size_t i = 0; i < monster_table.size(); ++i) {
        monster& m = monster_table[i];
        if (!m.alive() || m.hp <= 0 || !valid_sector(m.sector)) continue;
        const int slot = static_cast<int>(i);
        if (hour_passed)
            m.hp = static_cast<int16_t>(std::min(m.hp + m.stats[16], std::max<int>(hp_max(m), m.hp)));
        if (!(m.strategy & MS_WALK)) continue;
        const int step = std::max<int>(m.speed, 1);
        const int x = m.pos_x + std::clamp(m.goal_x - m.pos_x, -step, step);
        const int y = m.pos_y + std::clamp(m.goal_y - m.pos_y, -step, step);
        m.pos_x = static_cast<uint8_t>(std::clamp(x, 0, 255));
        m.pos_y = static_cast<uint8_t>(std::clamp(y, 0, 255));
        if (x < 64 || x > 192 || y < 64 || y > 192)
            change_sector(slot, x < 64 ? 3 : x > 192 ? 1 : y < 64 ? 0 : 2);
        if (m.pos_x < 64 || m.pos_x > 192 || m.pos_y < 64 || m.pos_y > 192) m.pos_x = m.pos_y = 128;
        if (at_goal(m)) decide_move(slot);
    }
}

void respawn_once() {
    const int slots = static_cast<int>(monster_table.size());
    const bool everyone = (game_options() & OPTION_ALL_RESPAWN) != 0;
    for (int tried = 0; tried < slots; ++tried) {
        const int slot = respawn_cursor;
        respawn_cursor = (respawn_cursor + 1) % slots;
        monster& m = slot_record(slot);
        // A slot never placed has no home: nothing comes back there.
        if (m.alive() || m.anim_set < 0 || !valid_sector(m.home_sector)) continue;
        if (!everyone && !(m.state & MST_RESPWN)) continue;
        if ((coord_flags(m.home_sector) & MC_PLAYER) || first_slot_in(m.home_sector) >= 0) return;
        m.state = static_cast<uint8_t>((m.state | MST_LIVE) & ~MST_BATTLE);
        m.hp = static_cast<int16_t>(hp_max(m));
        m.sector = m.home_sector;
        m.pos_x = m.pos_y = m.goal_x = m.goal_y = 128;
        std::fill(std::begin(m.carried), std::end(m.carried), 0);
        m.anim_kind = MA_NORMAL;
        m.anim_frame = -1;
        m.intent = MI_NONE;
        m.damage_taken = 0;
        drop_monster_path(slot);
        enter_occupancy(slot);
        if (monster_hooks.respawned) monster_hooks.respawned(m.sector);
        return;
    }
}

void respawn_tick() {
    if (monster_table.empty()) return;
    if (++game_ticks_seen % 10 == 0) respawn_once();
}

bool monster_on_map() {
    for (const monster& m : monster_table)
        if (m.alive() && !astral(m)) return true;
    return false;
}

bool monster_in(int sector) {
    bool found = false;
    for_monsters_in(sector, [&](int slot) { found = found || slot_record(slot).alive(); });
    return found;
}

bool monster_near(int sector, int steps) {
    if (!valid_sector(sector)) return false;
    std::vector<int> depth(static_cast<size_t>(current_map.sector_count), -1);
    std::deque<int> queue{sector};
    depth[static_cast<size_t>(sector)] = 0;
    while (!queue.empty()) {
        const int here = queue.front();
        queue.pop_front();
        bool found = false;
        for_monsters_in(here, [&](int slot) {
            found = found || (slot_record(slot).alive() && !astral(slot_record(slot)));
        });
        if (found) return true;
        if (depth[static_cast<size_t>(here)] >= steps) continue;
        for (int d = 0; d < 4; ++d) {
            const int next = neighbour(here, d);
            if (!valid_sector(next) || depth[static_cast<size_t>(next)] >= 0) continue;
            depth[static_cast<size_t>(next)] = depth[static_cast<size_t>(here)] + 1;
            queue.push_back(next);
        }
    }
    return false;
}

void call_monsters(int from_sector, int to_sector) {
    const int slot = first_slot_in(from_sector);
    if (slot < 0) return;
    monster& m = slot_record(slot);
    const std::vector<uint16_t> way = monster_way(m, from_sector, to_sector, 4);
    if (way.empty()) return;
    set_monster_path(slot, way);
    m.strategy |= MS_WALK;
    follow_path(slot);
}

void monster_alarm(int sector) {
    if (!valid_sector(sector)) return;
    // Breadth first over sides that carry sound; each monster reached turns
    // back along the step that reached it, towards the alarm.
    std::vector<int> reached_by(static_cast<size_t>(current_map.sector_count), -1);
    std::deque<int> queue{sector};
    reached_by[static_cast<size_t>(sector)] = 4;
    while (!queue.empty()) {
        const int here = queue.front();
        queue.pop_front();
        const int step = reached_by[static_cast<size_t>(here)];
        if (step < 4)
            for_monsters_in(here, [&](int slot) {
                monster& m = slot_record(slot);
                if (!m.alive() || !(m.strategy & MS_LISTEN) || (m.state & MST_BATTLE)) return;
                const int d = (step + 2) & 3;
                m.direction = static_cast<int16_t>(d);
                m.strategy |= MS_WALK;
                if (!battle_running()) {
                    m.goal_x = exit_goal_x[d];
                    m.goal_y = exit_goal_y[d];
                }
            });
        for (int d = 0; d < 4; ++d) {
            if (side_flags(here, d) & SIDE_NOSOUND) continue;
            const int next = neighbour(here, d);
            if (!valid_sector(next) || reached_by[static_cast<size_t>(next)] >= 0) continue;
            reached_by[static_cast<size_t>(next)] = d;
            queue.push_back(next);
        }
    }
}

void install_monster_ai() {
    map_services.monster_on_map = monster_on_map;
    map_services.monster_near = monster_near;
    map_services.call_monsters = call_monsters;
    map_services.monster_in = monster_in;
    map_services.alarm = monster_alarm;
    movement_rules.monster_allows_step = monster_allows_step;
    world_monsters.look = [] { monsters_look(); };
    world_monsters.tick = [] {
        // During a battle the battle's animation timer moves them.
        if (!monster_battle.battle) monsters_tick();
    };
    world_monsters.game_tick = respawn_tick;
    rest_services.monsters_rest_step = monsters_rest_step;
}
