// The monsters' half of a battle round, standing in for the battle rounds.
#include "rules/monster_fight/rounds_standin.h"

#include <vector>

#include "core/clock.h"
#include "monsters/monsters.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/monsters_ai/monster_ai.h"
#include "world/monster_hooks.h"

namespace {

struct standin_round {
    bool running = false;
    int since_round_ms = 0;  // game time since the battle began or the last round started
    std::vector<int> order;  // one entry per action, by slot
    size_t next = 0;
    int acting = -1;  // the slot whose walk or attack is playing, -1 for none
    int waited = 0;   // monster-timer runs spent on that action
};
standin_round round_state;

bool engaged(const monster& m) {
    return m.alive() && (m.state & MST_BATTLE);
}

// The action still plays: walking to its goal, striking or in pain, or about
// to start the attack it chose.
bool busy(const monster& m) {
    if (!m.alive()) return false;
    if (m.anim_kind != MA_NORMAL) return true;
    if (m.pos_x != m.goal_x || m.pos_y != m.goal_y) return true;
    return m.intent == MI_ATTACK || m.intent == MI_CAST;
}

void start_round() {
    round_state.running = true;
    round_state.since_round_ms = 0;
    round_state.order.clear();
    round_state.next = 0;
    round_state.acting = -1;
    grant_round_actions();
    for (size_t slot = 0; slot < monster_table.size(); ++slot) {
        const monster& m = monster_table[slot];
        if (!engaged(m)) continue;
        for (int action = 0; action < m.actions; ++action)
            round_state.order.push_back(static_cast<int>(slot));
    }
}

void end_round() {
    round_state.running = false;
    round_state.order.clear();
    round_state.acting = -1;
    recompute_battle_flag();
}

// Plays the round's entries in order, one at a time: an action that walks or
// strikes is waited for before the next begins.
void play_round() {
    while (round_state.running) {
        if (round_state.acting >= 0) {
            const monster& actor = monster_table[static_cast<size_t>(round_state.acting)];
            if (busy(actor) && ++round_state.waited < STANDIN_ACTION_TICKS) return;
            round_state.acting = -1;
        }
        if (round_state.next >= round_state.order.size()) {
            end_round();
            return;
        }
        const int slot = round_state.order[round_state.next++];
        const monster& m = monster_table[static_cast<size_t>(slot)];
        // It left the battle meanwhile, or it is running away: the flight
        // takes its steps.
        if (!engaged(m) || m.intent == MI_FLEE) continue;
        if (!monster_turn(slot)) {
            round_state.acting = slot;
            round_state.waited = 0;
        }
    }
}

}  // namespace

bool recompute_battle_flag() {
    bool any = false;
    for (const monster& m : monster_table) any = any || engaged(m);
    monster_battle.battle = any;
    if (!any) monster_battle.ambush = false;
    return any;
}

void reset_battle_standin() {
    round_state = {};
}

void standin_monsters_tick() {
    if (!monster_battle.battle) {
        round_state = {};
        monsters_tick();
        return;
    }
    monsters_tick();
    round_state.since_round_ms += monster_timer_period() * tick_length();
    if (!round_state.running && round_state.since_round_ms >= STANDIN_ROUND_MS) start_round();
    play_round();
}

void standin_monsters_look() {
    monsters_look();
    recompute_battle_flag();
}

void install_battle_standin() {
    reset_battle_standin();
    world_monsters.tick = standin_monsters_tick;
    world_monsters.look = standin_monsters_look;
}
