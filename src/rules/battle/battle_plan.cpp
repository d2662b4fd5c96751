// Planning a round: the actions granted, the acting member, the planned
// actions and the automatic plans of those the player left out.
#include <algorithm>

#include "rules/battle/battle_internal.h"
#include "rules/items.h"
#include "rules/monster_fight/fight_map.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/monsters_ai/monster_ai.h"

using namespace battle_detail;

namespace {

constexpr int ACTION_SPEED = 15;
constexpr int RANGED_REACH = 5;
constexpr int WALK_EXTRA_STEPS = 5;

bool may_act(int slot) {
    return alive(slot) && on_loaded_map(party_members[slot]);
}

// The acting member: the first living one of the current group with actions
// left, else the first living one of that group, else the first anywhere.
int choose_acting() {
    const int group = party_state.current_group;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (may_act(slot) && party_members[slot].group == group && party_members[slot].actions_left > 0)
            return slot;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (may_act(slot) && party_members[slot].group == group) return slot;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot)
        if (may_act(slot)) return slot;
    return -1;
}

bool engaged_monster_in(int sector) {
    for (int number : {first_monster_in(sector), second_monster_in(sector)})
        if (number > 0 && monster_engaged(number - 1)) return true;
    return false;
}

// An engaged monster in line within five sectors, the sides between open to missiles.
bool engaged_monster_in_line(const party_member& m) {
    int sector = m.sector;
    const int direction = m.direction & 3;
    for (int i = 0; i < RANGED_REACH && fight_map::is_sector(sector); ++i) {
        if (engaged_monster_in(sector)) return true;
        if (current_map_side_closed_to_missiles(sector, direction)) return false;
        sector = fight_map::neighbour(sector, direction);
    }
    return false;
}

// The hand holding a bow with arrows or a throwing weapon, -1 none; with both
// hands ranged, the hand an attack takes anyway.
int ranged_hand(const party_member& m) {
    auto ranged = [&](int hand) {
        const item_def* w = item(hand_item(m, hand));
        return w && ((w->type == IT_BOW && m.arrows > 0) || w->type == IT_THROWN);
    };
    const bool right = ranged(0), left = ranged(1);
    if (right && left) return default_hand(m);
    if (right) return 0;
    if (left) return 1;
    return -1;
}

void append(int slot, int kind, int arg, int item_number) {
    party_member& m = party_members[slot];
    battle_action* entry = m.plan + m.planned;
    *entry = battle_action{int16_t(kind), int16_t(arg), int16_t(item_number)};
    ++m.planned;
}

void clear_plan(int slot) {
    party_member& m = party_members[slot];
    held_list& held = game_held();
    for (int i = 0; i < m.planned; ++i) {
        const battle_action& a = m.plan[i];
        if (a.action != BA_THROW || a.item <= 0) continue;
        // The item planned for throwing comes back to the hand; with the hand
        // full it goes to the member's own pack.
        held_list back{a.item};
        if (held.empty()) {
            held = back;
        } else if (!give_items(game_items(), m, back, false) && fight_map::is_sector(m.sector)) {
            held.insert(held.end(), int16_t(-a.item));
        }
    }
    fresh_plan(slot, granted[slot]);
    m.actions_left = granted[slot];
    m.walk_steps = 0;
}

}  // namespace

namespace battle_detail {

void fill_plans(bool attacks) {
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        party_member& m = party_members[slot];
        if (!m.used) continue;
        if (m.hp <= 0) {
            tick_dead(m);
            continue;
        }
        if (!on_loaded_map(m) || planned_entries(m) > 0) continue;
        if (!m.plan) fresh_plan(slot, std::max<int>(m.actions_left, 1));
        int hand = -1;
        if (attacks && battle_options.auto_attack && m.actions_left > 0) {
            const int ahead = sector_ahead(m);
            if (ahead > 0 && engaged_monster_in(ahead))
                hand = default_hand(m);
            else if (ranged_hand(m) >= 0 && engaged_monster_in_line(m))
                hand = ranged_hand(m);
        }
        if (hand >= 0) {
            while (m.actions_left > 0) {
                append(slot, BA_ATTACK, hand, 0);
                --m.actions_left;
            }
        } else if (battle_options.group_move) {
            m.walk_steps = uint8_t(std::clamp(m.actions_left + WALK_EXTRA_STEPS, 0, 255));
            append(slot, BA_WALK, 0, 0);
            m.actions_left = 0;
        } else {
            append(slot, BA_REST, 0, 0);
            m.actions_left = 0;
        }
    }
}

}  // namespace battle_detail

void plan_round() {
    ++battle.round;
    grant_round_actions();
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        party_member& m = party_members[slot];
        if (!m.used) {
            free_plan(slot);
            granted[slot] = 0;
            continue;
        }
        const bool can = m.hp > 0 && m.vp > 0 && on_loaded_map(m);
        m.actions_left = can ? int16_t(std::max(m.stats[STAT_SPEED] / ACTION_SPEED, 1)) : int16_t(0);
        granted[slot] = m.actions_left;
        fresh_plan(slot, m.actions_left);
    }
    regroup();
    battle.phase = BATTLE_PLANNING;
    battle.acting = choose_acting();
    if (battle.acting < 0) {
        // Nobody can act: reported, and nobody is made to act in their place.
        battle_hooks().report_error("Can't select PC for battle");
        party_state.current = -1;
        return;
    }
    party_state.current = battle.acting;
    view_to(battle.acting);
    battle_hooks().changed();
}

bool select_acting(int slot) {
    // A member whose actions are planned may be chosen again to see or clear its plan.
    const party_member& m = party_members[slot];
    if (!may_act(slot) || (m.actions_left <= 0 && m.planned == 0)) return false;
    battle.acting = slot;
    party_state.current = slot;
    view_to(slot);
    battle_hooks().changed();
    return true;
}

bool plan_action(int kind, int arg, int item_number) {
    const int slot = battle.acting;
    if (!may_act(slot)) return false;
    party_member& m = party_members[slot];
    if (!m.plan) fresh_plan(slot, granted[slot]);
    if (kind == BA_CLEAR) {
        clear_plan(slot);
        battle_hooks().changed();
        return true;
    }
    const bool known = kind == BA_ATTACK || kind == BA_RUN || kind == BA_WALK || kind == BA_INVENTORY ||
                       kind == BA_REST || kind == BA_CAST || kind == BA_THROW;
    if (!known || m.actions_left <= 0 || m.planned >= granted[slot]) return false;
    if (kind == BA_WALK) m.walk_steps = uint8_t(std::clamp(m.actions_left + WALK_EXTRA_STEPS, 0, 255));
    append(slot, kind, arg, item_number);
    if (kind == BA_WALK || kind == BA_REST)
        m.actions_left = 0;
    else
        --m.actions_left;
    battle_hooks().changed();
    return true;
}

bool hand_choice_needed(int slot) {
    if (!used(slot)) return false;
    const party_member& m = party_members[slot];
    const int right = hand_item(m, 0), left = hand_item(m, 1);
    return is_weapon(right) && is_weapon(left) && right != left;
}

int attack_hand(int slot) {
    return used(slot) ? default_hand(party_members[slot]) : 0;
}

bool plan_throw(int x, int y) {
    held_list& held = game_held();
    if (held.empty() || held.front() <= 0) return false;
    const int thrown = held.front();
    const int arg = std::clamp(x, 0, 639) / 4 + 256 * (std::clamp(y, 0, 479) / 2);
    if (!plan_action(BA_THROW, arg, thrown)) return false;
    held.erase(held.begin());
    // The next item of the stack leads what stays on the cursor.
    if (!held.empty() && held.front() < 0) held.front() = int16_t(-held.front());
    return true;
}

void end_planning() {
    if (battle.phase != BATTLE_PLANNING) return;
    fill_plans(true);
    start_round();
}
