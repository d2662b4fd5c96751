// The monsters' special procedures: a bell, walking round the walls, a
// random spell, keeping its distance, opening doors, turning into a door
// opener, raising the alarm, hunting the weakest and standing fast.
#include <cstdio>
#include <cstdlib>

#include "core/random.h"
#include "monsters/monsters.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "story/special_procedures.h"
#include "world/map.h"
#include "world/map_actions.h"

bool run_monster_procedure(int number, int event, int slot);

namespace {

constexpr int DOOR_WAIT_END = 192;     // a state counting up at a door stops here
constexpr int DOOR_STATE_LIMIT = 193;  // from here on the monster looks for a door again
constexpr int DOOR_PATIENCE = 144;     // waiting at the door takes the decision below this
constexpr uint8_t DOOR_OPEN_TOWARD_PARTY = 255, DOOR_OPEN = 127;
constexpr uint8_t RESTING_NOMONSTER = 0x04;  // the door's resting state still bars monsters
constexpr int WEAKEST_START = 1000;
constexpr int16_t RANDOM_SPELLS[] = {3, 8, 13, 18, 80};

monster& record(int slot) {
    return monster_table[static_cast<size_t>(slot)];
}

bool place(int sector) {
    return sector > 0 && sector < current_map.sector_count;
}
int neighbour(int sector, int direction) {
    if (!place(sector)) return 0;
    const int to = current_map.sectors[static_cast<size_t>(sector)].exits[static_cast<size_t>(direction & 3)];
    return place(to) ? to : 0;
}
const map_side& side_of(int sector, int direction) {
    return current_map.sides[static_cast<size_t>(sector) * 4 + static_cast<size_t>(direction & 3)];
}
bool holds_party(int sector) {
    return place(sector) && (current_map.coords[static_cast<size_t>(sector)].coord_flags & MC_PLAYER);
}
bool neighbour_holds_party(int sector) {
    for (int d = 0; d < 4; ++d)
        if (holds_party(neighbour(sector, d))) return true;
    return false;
}

bool living_here(const party_member& m) {
    return m.used && m.hp > 0 && m.map_hash == party_state.map_hash && place(m.sector);
}

// Heads for the exit of the direction: only the coordinate along it moves.
void head_for_exit(monster& m, int direction) {
    direction &= 3;
    m.direction = static_cast<int16_t>(direction);
    if (direction == 1 || direction == 3)
        m.goal_x = exit_goal_x[direction];
    else
        m.goal_y = exit_goal_y[direction];
}

// ---------------------------------------------------------------- 4: keeping its distance

bool party_within_one_sector(const monster& m) {
    if (!place(m.sector)) return false;
    const map_coord& here = current_map.coords[static_cast<size_t>(m.sector)];
    for (const party_member& p : party_members) {
        if (!living_here(p)) continue;
        const map_coord& there = current_map.coords[static_cast<size_t>(p.sector)];
        if (std::abs(there.x - here.x) <= 1 && std::abs(there.y - here.y) <= 1) return true;
    }
    return false;
}

bool step_away(int slot, int party_direction) {
    monster& m = record(slot);
    int chosen = -1;
    const int behind = (party_direction + 2) & 3;
    if (can_enter(m, m.sector, behind) == ENTER_FREE) {
        chosen = behind;
    } else {
        int lowest = 0;
        for (int d = 0; d < 4; ++d) {
            const int to = neighbour(m.sector, d);
            if (!to || can_enter(m, m.sector, d) != ENTER_FREE || neighbour_holds_party(to)) continue;
            const int draw = random(0x8000);
            if (chosen < 0 || draw < lowest) chosen = d, lowest = draw;
        }
        if (chosen < 0) return false;
    }
    head_for_exit(m, chosen);
    m.script_state |= SCRIPT_STATE_ACTIVE;
    return true;
}

// After moving off: is the party still in sight straight behind it?
bool party_behind(const monster& m) {
    const int back = (m.direction + 2) & 3;
    int sector = m.sector;
    for (int steps = 0; steps < current_map.sector_count && place(sector); ++steps) {
        if (holds_party(sector)) return true;
        if (side_of(sector, back).flags & SIDE_NOMONSTER) return false;
        sector = neighbour(sector, back);
    }
    return false;
}

bool keep_distance(int event, int slot) {
    monster& m = record(slot);
    if (event == MONSTER_EVENT_BATTLE) {
        if (m.damage_taken == 0 && !(m.script_state & SCRIPT_STATE_ACTIVE)) return false;
        for (int d = 0; d < 4; ++d)
            if (holds_party(neighbour(m.sector, d))) return step_away(slot, d);
        if (!(m.script_state & SCRIPT_STATE_ACTIVE)) return false;
        m.script_state &= static_cast<uint8_t>(~SCRIPT_STATE_ACTIVE);
        if (party_behind(m)) {
            m.direction = static_cast<int16_t>((m.direction + 2) & 3);
            return false;
        }
        return true;
    }
    if (!(m.script_state & SCRIPT_STATE_ACTIVE) || !party_within_one_sector(m)) return false;
    stand_monster(slot);
    return true;
}

// ---------------------------------------------------------------- 5: opening doors

bool closed_door(int sector, int direction) {
    const uint32_t flags = side_of(sector, direction).flags;
    return (flags & SIDE_NOMONSTER) && side_of(sector, direction).action_target != 0 &&
           !(flags & (SIDE_PASS | SIDE_SECRET));
}

bool open_doors(int slot) {
    monster& m = record(slot);
    if ((m.script_state & SCRIPT_STATE_ACTIVE) && m.script_state < DOOR_STATE_LIMIT) {
        if (m.script_state < DOOR_WAIT_END) ++m.script_state;
        const int d = m.direction & 3;
        if (!(side_of(m.sector, d).flags & SIDE_NOMONSTER)) {
            head_for_exit(m, d);
            m.script_state = holds_party(neighbour(m.sector, d)) ? DOOR_OPEN_TOWARD_PARTY : DOOR_OPEN;
        }
        return m.script_state < DOOR_PATIENCE;
    }
    for (int d = 0; d < 4; ++d) {
        if (!closed_door(m.sector, d)) continue;
        m.direction = static_cast<int16_t>(d);
        stand_monster(slot);
        const size_t index = static_cast<size_t>(m.sector) * 4 + static_cast<size_t>(d);
        if (index < current_map.side_resting.size() && (current_map.side_resting[index] & RESTING_NOMONSTER))
            use_side(m.sector, d);
        m.script_state = SCRIPT_STATE_ACTIVE;
        return true;
    }
    // A door whose mechanism is on its far face: the wall behind the monster
    // bars it, the face across is a closed door, and nobody stands beyond.
    const int back = (m.direction + 2) & 3;
    const int beyond = neighbour(m.sector, back);
    if (!beyond || !(side_of(m.sector, back).flags & SIDE_NOMONSTER) || !closed_door(beyond, back + 2) ||
        first_monster_in(beyond) != 0)
        return false;
    m.direction = static_cast<int16_t>(back);
    stand_monster(slot);
    const size_t index = static_cast<size_t>(beyond) * 4 + static_cast<size_t>((back + 2) & 3);
    if (index < current_map.side_resting.size() && (current_map.side_resting[index] & RESTING_NOMONSTER))
        use_side(beyond, back + 2);
    m.script_state = SCRIPT_STATE_ACTIVE;
    return true;
}

// ---------------------------------------------------------------- 8: hunting the weakest

struct weakest_find {
    int value = WEAKEST_START;
    int direction = -1;
    bool two_steps = false;
};

// The members on the sector; true when one stands there.
bool weakest_on(int sector, int direction, bool two_steps, weakest_find& best) {
    bool any = false;
    for (const party_member& p : party_members) {
        if (!living_here(p) || p.sector != sector) continue;
        any = true;
        const int defence = p.stats[STAT_DEFENSE_MAX];
        if (defence < best.value) best = {defence, direction, two_steps};
    }
    return any;
}

bool hunt_weakest(int slot) {
    monster& m = record(slot);
    weakest_find best;
    for (int i = 0; i < 4; ++i) {
        const int next = neighbour(m.sector, i);
        if (!next || can_enter(m, m.sector, i) == ENTER_BLOCKED) continue;
        if (weakest_on(next, i, false, best)) continue;
        for (int j = 0; j < 4; ++j) {
            const int further = neighbour(next, j);
            if (!further || further == m.sector || can_enter(m, next, j) == ENTER_BLOCKED) continue;
            weakest_on(further, i, true, best);
        }
    }
    if (best.direction < 0) return false;
    m.direction = static_cast<int16_t>(best.direction);
    if (!best.two_steps) return false;
    head_for_exit(m, best.direction);
    return true;
}

// ---------------------------------------------------------------- 9: standing fast

bool stand_fast(int event, int slot) {
    monster& m = record(slot);
    switch (event) {
        case MONSTER_EVENT_DECIDE:
            m.goal_x = m.pos_x;
            m.goal_y = m.pos_y;
            return false;
        case MONSTER_EVENT_BATTLE:
            if (neighbour_holds_party(m.sector)) return false;
            m.goal_x = m.pos_x;
            m.goal_y = m.pos_y;
            m.strategy &= static_cast<uint8_t>(~(MS_WALK | MS_LISTEN));
            m.state &= static_cast<uint8_t>(~MST_BATTLE);
            return true;
        case MONSTER_EVENT_KNOCKBACK:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool run_monster_procedure(int number, int event, int slot) {
    monster& m = record(slot);
    switch (number) {
        case 1:
            std::fputs("\a\n", stdout);
            std::fflush(stdout);
            return false;
        case 2:
            if (event != MONSTER_EVENT_DECIDE) return false;
            head_for_exit(m, m.direction + 1);
            return true;
        case 3:
            if (event == MONSTER_EVENT_BATTLE) m.spell = RANDOM_SPELLS[random(5)];
            return false;
        case 4:
            return keep_distance(event, slot);
        case 5:
            return event == MONSTER_EVENT_DECIDE && open_doors(slot);
        case 6:
            if (event == MONSTER_EVENT_BATTLE) m.script = 5;
            return false;
        case 7:
            if (event == MONSTER_EVENT_BATTLE) raise_alarm(m.sector);
            return false;
        case 8:
            return event == MONSTER_EVENT_BATTLE && hunt_weakest(slot);
        case 9:
            return stand_fast(event, slot);
        default:
            return false;
    }
}
