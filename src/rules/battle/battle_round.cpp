// The round: its shuffled order, one entry per tick, the members' actions,
// walking and running, flight in panic, and the end of the round.
#include <algorithm>
#include <deque>
#include <vector>

#include "core/event_ids.h"
#include "core/events.h"
#include "core/random.h"
#include "rules/battle/battle_internal.h"
#include "rules/monster_fight/fight_map.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/monsters_ai/monster_ai.h"
#include "world/game_sounds.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/movement.h"
#include "world/party_standin.h"

using namespace battle_detail;

namespace {

constexpr int FLEE_STEPS = 6;
constexpr int REGENERATION = 3;
constexpr int ROUND_REST_ALLOWANCE = 360;
constexpr int GROUP_MOVE_STEPS = 5;
// Ticks an action of a monster (its walk or its attack) may take before the
// round goes on without waiting for it.
constexpr int MONSTER_ACTION_TICKS = 200;

struct round_progress {
    int monster = -1;      // the slot whose walk or attack is playing
    int waited = 0;        // ticks spent on it
    int second_hand = -1;  // the member whose other hand strikes next
};
round_progress progress;

int16_t clamp16(int value) {
    return int16_t(std::clamp(value, -32768, 32767));
}

// The monster's action still plays: walking to its goal, striking or in
// pain, or about to start the attack it chose.
bool busy(const monster& m) {
    if (!m.alive()) return false;
    if (m.anim_kind != MA_NORMAL) return true;
    if (m.pos_x != m.goal_x || m.pos_y != m.goal_y) return true;
    return m.intent == MI_ATTACK || m.intent == MI_CAST;
}

void monster_entry(int slot) {
    const monster* m = monster_by_number(slot + 1);
    // It left the battle meanwhile, or it runs away: its flight takes the steps.
    if (!m || !monster_engaged(slot) || m->intent == MI_FLEE) return;
    if (!monster_turn(slot)) {
        progress.monster = slot;
        progress.waited = 0;
    }
}

// Monsters not in the battle take their step; engaged ones standing still
// face the party when it is next to them.
void end_of_actions() {
    for (size_t slot = 0; slot < monster_table.size(); ++slot) {
        monster& m = monster_table[slot];
        if (!m.alive()) continue;
        if (!(m.state & MST_BATTLE)) {
            monster_step(int(slot));
            continue;
        }
        if (busy(m)) continue;
        const int toward = fight_map::direction_to(m.sector, party.sector);
        if (toward >= 0) m.direction = int16_t(toward);
    }
}

// Pays `cost` condition points per step; when they do not suffice the steps
// shrink by the shortfall over the cost and the condition is spent.
int pay_steps(party_member& m, int steps, int cost) {
    cost = std::max(cost, 1);
    const int need = steps * cost;
    if (m.vp >= need) {
        m.vp = clamp16(m.vp - need);
        return steps;
    }
    steps -= (need - m.vp) / cost;
    m.vp = 0;
    return std::max(steps, 0);
}

void drop_rest_of_plan(party_member& m) {
    if (!m.plan_cursor) return;
    while (m.plan_cursor->action != BA_END) ++m.plan_cursor;
}

void begin_walk(int slot, int phase, int steps) {
    party_member& m = party_members[slot];
    if (steps <= 0) {
        m.actions_left = 0;
        return;
    }
    m.actions_left = clamp16(steps);
    battle.phase = phase;
    battle.acting = slot;
    battle_hooks().changed();
}

void walk(int slot) {
    party_member& m = party_members[slot];
    if (battle_options.group_move) {
        // The whole group on the member's sector moves together; the others
        // give up what they planned.
        for (int other = 0; other < PARTY_SLOTS; ++other) {
            party_member& o = party_members[other];
            if (!alive(other) || o.group != m.group || o.sector != m.sector || !on_loaded_map(o)) continue;
            o.vp = clamp16(std::max(o.vp - (overload(o) * 5 + 10), 0));
            if (other != slot) drop_rest_of_plan(o);
        }
        begin_walk(slot, BATTLE_WALKING, GROUP_MOVE_STEPS);
        return;
    }
    begin_walk(slot, BATTLE_WALKING, pay_steps(m, m.walk_steps, overload(m) + 2));
}

void run(int slot) {
    party_member& m = party_members[slot];
    begin_walk(slot, BATTLE_RUNNING, pay_steps(m, m.actions_left + 1, overload(m) + 1));
}

// The member runs in panic: up to six sectors away, breadth-first over
// sectors without monsters, to the farthest it reaches.
void flee(int slot) {
    party_member& m = party_members[slot];
    std::vector<int> before(size_t(std::max(current_map.sector_count, 1)), -1);
    std::vector<int> depth(before.size(), 0);
    std::deque<int> queue{m.sector};
    before[size_t(m.sector)] = 0;
    int farthest = m.sector;
    while (!queue.empty()) {
        const int s = queue.front();
        queue.pop_front();
        if (depth[size_t(s)] > depth[size_t(farthest)]) farthest = s;
        if (depth[size_t(s)] >= FLEE_STEPS) continue;
        for (int d = 0; d < 4; ++d) {
            if (current_map.sides[size_t(s) * 4 + size_t(d)].flags & SIDE_NOPLAYER) continue;
            const int t = fight_map::neighbour(s, d);
            if (t == 0 || before[size_t(t)] != -1 || sector_has_monster(t)) continue;
            before[size_t(t)] = s;
            depth[size_t(t)] = depth[size_t(s)] + 1;
            queue.push_back(t);
        }
    }
    std::vector<int> path;
    for (int s = farthest; s != m.sector; s = before[size_t(s)]) path.push_back(s);
    std::reverse(path.begin(), path.end());
    const int cost = overload(m) + 1;
    size_t steps = 0;
    while (steps < path.size() && m.vp >= cost) {
        m.vp = clamp16(m.vp - cost);
        ++steps;
    }
    if (steps > 0) {
        const int from = fight_map::direction_to(steps > 1 ? path[steps - 2] : m.sector, path[steps - 1]);
        m.sector = int16_t(path[steps - 1]);
        if (from >= 0) m.direction = uint8_t(from);
        mark_party_sectors();
    }
    drop_rest_of_plan(m);
}

void carry_out(int slot, const battle_action& action) {
    party_member& m = party_members[slot];
    switch (action.action) {
        case BA_ATTACK:
            if (action.arg == 2 && melee_weapon(hand_item(m, 0)) && melee_weapon(hand_item(m, 1))) {
                // Both hands: the leading one now, the other at once after;
                // the lead changes from one attack to the next.
                const int lead = battle.alternate_hand[slot] & 1;
                battle.alternate_hand[slot] = uint8_t(lead ^ 1);
                melee(slot, lead);
                progress.second_hand = slot;
            } else {
                melee(slot, action.arg == 2 ? default_hand(m) == 1 : action.arg);
            }
            break;
        case BA_RUN:
            run(slot);
            break;
        case BA_WALK:
            walk(slot);
            break;
        case BA_INVENTORY:
            open_inventory_for(slot);
            break;
        case BA_REST:
            tick_living(m);
            break;
        case BA_CAST: {
            const int target_member = uint16_t(action.arg) / 512;
            battle_hooks().cast_spell(slot, uint16_t(action.arg) % 512, m.sector,
                                      target_member > 0 ? target_member : action.item);
            break;
        }
        case BA_THROW: {
            held_list held{action.item};
            const int x = (uint16_t(action.arg) & 0xFF) * 4, y = (uint16_t(action.arg) >> 8) * 2;
            if (action.item > 0 && !throw_held(held, x, y, false, 0, 0, 0))
                give_items(game_items(), m, held, true);
            break;
        }
        default:
            break;
    }
}

void member_entry(int slot) {
    if (!alive(slot)) return;
    party_member& m = party_members[slot];
    if (!m.plan_cursor || m.plan_cursor->action == BA_END) return;
    const battle_action action = *m.plan_cursor++;
    battle.acting = slot;
    party_state.current = slot;
    view_to(slot);
    if (m.vp <= 0 && action.action != BA_REST) return;
    if (m.stats[STAT_FLAGS] & CF_FLEES) {
        flee(slot);
        return;
    }
    carry_out(slot, action);
}

bool waiting() {
    if (progress.monster >= 0) {
        const monster* m = monster_by_number(progress.monster + 1);
        if (m && busy(*m) && ++progress.waited < MONSTER_ACTION_TICKS) return true;
        progress.monster = -1;
    }
    return waiting_for_inventory() || objects_in_flight();
}

}  // namespace

namespace battle_detail {

void start_round() {
    progress = {};
    battle.order = build_round_order();
    battle.next = 0;
    battle.phase = BATTLE_ROUND;
    sounds_follow_party();  // each round is heard from where the party stands now
    battle_hooks().changed();
}

}  // namespace battle_detail

void shuffle_order(std::vector<int16_t>& order) {
    const int length = int(order.size());
    for (int i = 0; i < length; ++i) std::swap(order[size_t(i)], order[size_t(random(length))]);
}

std::vector<int16_t> build_round_order() {
    std::vector<int16_t> order;
    for (size_t slot = 0; slot < monster_table.size(); ++slot) {
        if (!monster_engaged(int(slot))) continue;
        for (int i = 0; i < monster_table[slot].actions; ++i) order.push_back(int16_t(slot + 1));
    }
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        const party_member& m = party_members[slot];
        if (!m.used || !on_loaded_map(m)) continue;
        for (int i = 0; i < planned_entries(m); ++i) order.push_back(int16_t(-(slot + 1)));
    }
    shuffle_order(order);
    order.push_back(ORDER_END_OF_ACTIONS);
    order.push_back(ORDER_END);
    return order;
}

void battle_tick() {
    if (battle.phase != BATTLE_ROUND || waiting()) return;
    if (progress.second_hand >= 0) {
        const int slot = progress.second_hand;
        progress.second_hand = -1;
        if (alive(slot)) melee(slot, battle.alternate_hand[slot] & 1);
        return;
    }
    if (battle.next >= battle.order.size()) {
        end_round();
        return;
    }
    const int16_t entry = battle.order[battle.next++];
    if (entry == ORDER_END) {
        end_round();
    } else if (entry == ORDER_END_OF_ACTIONS) {
        end_of_actions();
    } else if (entry > 0) {
        monster_entry(entry - 1);
    } else {
        member_entry(-entry - 1);
    }
}

void walk_step_taken() {
    const int slot = walking_member();
    if (slot < 0) return;
    party_member& m = party_members[slot];
    if (m.actions_left > 0) --m.actions_left;
    if (m.actions_left == 0) end_walk();
}

bool group_walking() {
    return battle_options.group_move && battle.phase == BATTLE_WALKING && walking_member() >= 0;
}

void end_walk() {
    const int slot = walking_member();
    if (slot < 0) return;
    party_members[slot].actions_left = 0;
    battle.phase = BATTLE_ROUND;
    sounds_follow_party();  // each round is heard from where the party stands now
    battle_hooks().changed();
}

void end_round() {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        party_member& m = party_members[slot];
        if (!m.used) continue;
        free_plan(slot);
        if (m.hp > 0 && (m.stats[STAT_FLAGS] & CF_REGENERATION)) m.hp = clamp16(m.hp + REGENERATION);
        check_death(m, true);
        if (m.hp > m.stats[STAT_HP_MAX]) m.hp = std::max<int16_t>(m.stats[STAT_HP_MAX], 0);
    }
    for (monster& m : monster_table) {
        if (!m.alive() || !(m.stats[STAT_FLAGS] & CF_REGENERATION)) continue;
        m.hp = clamp16(std::min<int>(m.hp + REGENERATION, std::max<int>(m.stats[STAT_HP_MAX], m.hp)));
    }
    regroup();
    battle.acting = -1;
    party_world& world = party_world_hooks();
    world.raise_global_event(HOOK_GAME_TICK, party.sector, party.direction);
    party_state.rest_allowance =
        std::min(party_state.rest_allowance + ROUND_REST_ALLOWANCE, REST_ALLOWANCE_MAX);
    remove_fallen_summoned();
    advance_game_time(1);
    dispatch_event(EV_STATE_CHANGED);
    battle.order.clear();
    battle.next = 0;
    progress = {};

    if (recompute_battle_flag()) {
        if (!group_present(party_state.current_group)) {
            lose_group();
            return;
        }
        plan_round();
        return;
    }
    // The battle is over: the view goes to the first living member of the
    // current group on the view's sector, else of any group.
    battle.phase = BATTLE_OFF;
    battle.began = false;
    int view_member = -1;
    for (int slot = 0; slot < PARTY_SLOTS && view_member < 0; ++slot)
        if (alive(slot) && party_members[slot].group == party_state.current_group &&
            party_members[slot].sector == party.sector && on_loaded_map(party_members[slot]))
            view_member = slot;
    for (int slot = 0; slot < PARTY_SLOTS && view_member < 0; ++slot)
        if (alive(slot) && on_loaded_map(party_members[slot])) view_member = slot;
    if (view_member >= 0) view_to(view_member);
    world.raise_global_event(HOOK_BATTLE_END, party.sector, party.direction);
    battle_hooks().changed();
    battle_hooks().autosave();
}
