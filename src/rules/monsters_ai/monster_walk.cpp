// One tick of a monster: walking, animating, deciding where to go next,
// changing sector, collecting.
#include <algorithm>
#include <cstdlib>

#include "base/fatal.h"
#include "core/random.h"
#include "rules/floor/floor_items.h"
#include "rules/inventory.h"
#include "rules/monsters_ai/monster_ai_internal.h"
#include "rules/party.h"
#include "world/map_format.h"
#include "world/movement_rules.h"
#include "world/party_standin.h"

using namespace monster_ai_detail;

namespace {

void stop(monster& m) {
    m.goal_x = m.pos_x;
    m.goal_y = m.pos_y;
}

int free_carried(const monster& m) {
    return static_cast<int>(std::count(std::begin(m.carried), std::end(m.carried), 0));
}

bool put_carried(monster& m, int16_t item) {
    for (int16_t& slot : m.carried)
        if (slot == 0) {
            slot = item;
            return true;
        }
    return false;
}

// The first stack of the sector's quarters that fits into the free slots.
bool pick_up(monster& m) {
    const int room = free_carried(m);
    for (int quarter = 0; quarter < 4; ++quarter) {
        if (floor_stack_count(m.sector, quarter) == 0) continue;
        held_list stack = take_stack(m.sector, quarter);
        if (stack.empty()) continue;
        if (static_cast<int>(stack.size()) > room) {
            drop_items(m.sector, quarter, stack);  // put back
            continue;
        }
        for (int16_t item : stack) put_carried(m, item);
        return true;
    }
    return false;
}

bool robbable_dead_here(int sector) {
    return valid_sector(sector) && (coord_flags(sector) & MC_DEAD_PLAYER);
}

// One item of a dead member on the monster's sector: the belt first, then
// the equipment, then the backpack.
bool rob(monster& m) {
    if (!robbable_dead_here(m.sector) || free_carried(m) == 0) return false;
    for (party_member& member : party_members) {
        if (!member.used || member.hp > 0 || member.sector != m.sector) continue;
        auto take = [&](int16_t& cell) {
            if (cell == 0) return false;
            put_carried(m, cell);
            cell = 0;
            return true;
        };
        for (int i = SLOT_BELT; i < SLOT_BELT + BELT_SLOTS && i < WORN_SLOTS; ++i)
            if (take(member.worn[i])) return true;
        for (int i = 0; i < SLOT_BELT; ++i)
            if (take(member.worn[i])) return true;
        for (int i = 0; i < std::clamp<int>(member.inventory_size, 0, BACKPACK_MAX); ++i)
            if (take(member.inventory[i])) return true;
    }
    return false;
}

bool party_far_away(const monster& m) {
    if (!valid_sector(m.sector) || !valid_sector(party.sector)) return true;
    const map_coord& a = current_map.coords[static_cast<size_t>(m.sector)];
    const map_coord& b = current_map.coords[static_cast<size_t>(party.sector)];
    return std::abs(a.x - b.x) > 3 || std::abs(a.y - b.y) > 3;
}

void walk(int slot) {
    monster& m = slot_record(slot);
    int step = std::max<int>(m.speed, 1);
    if (m.intent == MI_FLEE) step = party_far_away(m) ? 100 : 2 * step;
    int dx = std::clamp(m.goal_x - m.pos_x, -step, step);
    int dy = std::clamp(m.goal_y - m.pos_y, -step, step);
    const bool diagonal = (game_options() & OPTION_DIAGONAL_WALK) && !(m.strategy & MS_BIG);
    if (!diagonal && dx != 0 && dy != 0) {
        // It centres itself across its way first.
        if (m.direction == 0 || m.direction == 2)
            dy = 0;
        else
            dx = 0;
    }
    const int x = m.pos_x + dx, y = m.pos_y + dy;
    m.pos_x = static_cast<uint8_t>(std::clamp(x, 0, 255));
    m.pos_y = static_cast<uint8_t>(std::clamp(y, 0, 255));
    if (x < 64)
        change_sector(slot, 3);
    else if (x > 192)
        change_sector(slot, 1);
    else if (y < 64)
        change_sector(slot, 0);
    else if (y > 192)
        change_sector(slot, 2);
}

void take_direction(int slot, int direction) {
    monster& m = slot_record(slot);
    const bool u_turn = direction == ((m.direction + 2) & 3);
    if (direction != m.direction && !at_goal(m)) {
        // A BIG monster turns only at its goal, and so does anyone turning round.
        if (m.strategy & MS_BIG) {
            stop(m);
            return;
        }
        if (u_turn) {
            stop(m);
            m.walk_data = 0;
            return;
        }
    }
    m.direction = static_cast<int16_t>(direction);
    m.goal_x = exit_goal_x[direction];
    m.goal_y = exit_goal_y[direction];
    play(slot, 0);
}

// Home through free sectors for a GUARD, as a stored path; false when none.
bool head_home(int slot) {
    monster& m = slot_record(slot);
    if (m.sector == m.home_sector || !valid_sector(m.home_sector)) return false;
    if (can_enter(m, m.sector, m.direction + 1) == ENTER_BLOCKED &&
        can_enter(m, m.sector, m.direction + 3) == ENTER_BLOCKED)
        return false;
    std::vector<uint16_t> way = monster_way(m, m.sector, m.home_sector, current_map.sector_count);
    if (way.empty()) return false;
    set_monster_path(slot, way);
    return follow_path(slot);
}

}  // namespace

void decide_move(int slot) {
    monster& m = slot_record(slot);
    if (has_monster_path(slot) && follow_path(slot)) return;
    if ((m.state & MST_BATTLE) && battle_running()) {
        stand(slot);
        return;
    }
    const bool replaced = monster_hooks.special && monster_hooks.special(slot, 1);
    if (!replaced) {
        if (look_in(slot, party_seen())) return;
        m.state &= static_cast<uint8_t>(~MST_BATTLE);
    }
    const int type = current_map.sectors[static_cast<size_t>(m.sector)].sector_type;
    if (type >= 5 && type <= 8 && can_enter(m, m.sector, type - 5) == ENTER_FREE) {
        take_direction(slot, type - 5);
        return;
    }
    const int n = open_sides(m.sector, m.direction);
    const bool ahead_blocked = can_enter(m, m.sector, m.direction) != ENTER_FREE;
    int direction = m.direction;
    if (n != m.walk_data || ahead_blocked) {
        m.walk_data = static_cast<uint8_t>(std::max(n, 1));
        if (n <= 1 && (m.strategy & MS_GUARD) && head_home(slot)) return;
        direction = nth_open_side(m, m.sector, m.direction, n <= 1 ? 1 : random(n) + 1);
    }
    if (direction < 0) {
        // A dead end: turn round and wait a moment.
        m.direction = static_cast<int16_t>((m.direction + 2) & 3);
        stop(m);
        m.walk_data = static_cast<uint8_t>(WALK_PAUSE + random(32));
        return;
    }
    take_direction(slot, direction);
}

void change_sector(int slot, int direction) {
    monster& m = slot_record(slot);
    direction &= 3;
    if (can_enter(m, m.sector, direction) != ENTER_FREE) {
        if (side_flags(m.sector, direction) & SIDE_NOMONSTER)
            movement_rules.send_side_event(m.sector * 4 + direction, SIDE_EV_MONSTER_BUMP);
        m.pos_x = static_cast<uint8_t>(std::clamp<int>(m.pos_x, 64, 192));
        m.pos_y = static_cast<uint8_t>(std::clamp<int>(m.pos_y, 64, 192));
        stop(m);
        m.walk_data = 255;
        decide_move(slot);
        return;
    }
    const int target = neighbour(m.sector, direction);
    // It enters the next sector at the opposite edge.
    if (direction == 1 || direction == 3) {
        const int shift = direction == 1 ? -128 : 128;
        m.pos_x = static_cast<uint8_t>(std::clamp(m.pos_x + shift, 0, 255));
        m.goal_x = static_cast<uint8_t>(std::clamp(m.goal_x + shift, 0, 255));
    } else {
        const int shift = direction == 2 ? -128 : 128;
        m.pos_y = static_cast<uint8_t>(std::clamp(m.pos_y + shift, 0, 255));
        m.goal_y = static_cast<uint8_t>(std::clamp(m.goal_y + shift, 0, 255));
    }
    leave_occupancy(slot);
    m.sector = static_cast<int16_t>(target);
    m.direction = static_cast<int16_t>(direction);
    enter_occupancy(slot);
    if (sector_partner(slot) >= 0) sort_out_partners(target);  // both step aside
    decide_move(slot);
    if ((m.strategy & MS_PICKING) && (items_in_sector(target) || robbable_dead_here(target))) {
        stop(m);
        m.strategy |= MS_PICK;
    }
    if (battle_running() && m.intent != MI_FLEE) stop(m);
}

void monster_step(int slot) {
    monster& m = slot_record(slot);
    if ((m.stats[23] & MF_FROZEN) && m.hp > 0) {
        m.state &= static_cast<uint8_t>(~MST_BATTLE);
        return;
    }
    if (!valid_sector(m.sector)) fatal_error("Potvora v neexistujicim sektoru (%d, %d)", slot, m.sector);
    if (at_goal(m) && m.anim_kind == MA_NORMAL) {
        m.anim_frame = -1;
        if (monster_hooks.stop_walk_sound) monster_hooks.stop_walk_sound(slot);
        if (battle_running()) {
            if (m.intent == MI_CAST || m.intent == MI_ATTACK) {
                m.anim_kind = MA_ATTACKING;
                m.anim_frame = 0;
                play(slot, 1);
                return;
            }
            if (m.intent == MI_NONE) return;
        } else {
            if (m.strategy & MS_PICK) {
                if (pick_up(m)) return;
                if (rob(m)) return;
                m.strategy &= static_cast<uint8_t>(~MS_PICK);
            }
            if (!(m.strategy & MS_WALK)) {
                if (sector_partner(slot) < 0) m.goal_x = m.goal_y = 128;
                return;
            }
            if (m.walk_data > WALK_PAUSE) {
                ++m.walk_data;  // a pause, over when it wraps to 0
                return;
            }
        }
        m.anim_frame = 0;
        decide_move(slot);
        if (!m.alive() || !valid_sector(m.sector)) return;
    }
    if (m.anim_kind == MA_NORMAL && !at_goal(m)) walk(slot);
    ++m.anim_frame;
    switch (m.anim_kind) {
        case MA_ATTACKING:
            if (m.anim_frame == m.hit_frame && monster_hooks.blow) monster_hooks.blow(slot);
            if (m.anim_frame >= m.frame_count[4]) {
                m.anim_kind = m.hp > 0 ? MA_NORMAL : MA_IN_PAIN;
                m.anim_frame = -1;
                m.intent = MI_NONE;
            }
            break;
        case MA_IN_PAIN:
            if (m.anim_frame >= m.frame_count[5]) {
                m.anim_kind = MA_NORMAL;
                m.anim_frame = -1;
                if (monster_hooks.death_check) monster_hooks.death_check(slot);
            }
            break;
        case MA_DYING:
            if (m.anim_frame == 2 && monster_hooks.death_check) monster_hooks.death_check(slot);
            if (m.anim_frame >= 13) m.anim_kind = MA_NORMAL;
            break;
        default:
            break;
    }
}

void monsters_tick() {
    refresh_party();
    for (size_t slot = 0; slot < monster_table.size(); ++slot)
        if (monster_table[slot].alive()) monster_step(static_cast<int>(slot));
}
