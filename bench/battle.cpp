// A whole battle round, rules only: six members and eight engaged monsters
// around them on a generated 16 x 16 map, planned automatically and played
// entry by entry on the monster timer until the next round is planned.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "core/random.h"
#include "grid_map.h"
#include "rules/battle/battle.h"
#include "rules/monster_fight/monster_fight.h"
#include "world/party_standin.h"

namespace {

constexpr int HIGH_HP = 30000;

void refill();

void populate() {
    reset_monster_ai();
    reset_party();
    random_seed(5);
    make_grid_map(16, 16);
    const int here = grid_sector(16, 8, 8);
    new_standin_party(here, 0);
    current_map.coords[static_cast<size_t>(here)].coord_flags |= MC_PLAYER;
    for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
        party_member& p = party_members[slot];
        p.used = 1;
        p.group = 1;
        p.sector = static_cast<int16_t>(here);
        p.stats[STAT_HP_MAX] = p.stats[STAT_VP_MAX] = HIGH_HP;
        p.stats[STAT_SPEED] = 30;
        p.stats[STAT_ATTACK_MIN] = 5;
        p.stats[STAT_ATTACK_MAX] = 15;
        std::snprintf(p.name, sizeof p.name, "member %d", slot);
    }
    const int around[4] = {grid_sector(16, 8, 7), grid_sector(16, 9, 8), grid_sector(16, 8, 9),
                           grid_sector(16, 7, 8)};
    for (int slot = 0; slot < 8; ++slot) {
        monster& m = put_monster(slot, around[slot / 2], (slot / 2 + 2) & 3, MS_WATCH);
        m.state |= MST_BATTLE;
        m.stats[STAT_SPEED] = 30;
        m.stats[STAT_ATTACK_MIN] = 3;
        m.stats[STAT_ATTACK_MAX] = 9;
    }
    refill();
    install_monster_fight();
    install_battle();  // it forgets any battle an earlier game left: this one starts after
    monster_battle.battle = true;
}

void refill() {
    for (party_member& p : party_members) p.hp = p.vp = HIGH_HP;
    for (monster& m : monster_table)
        if (m.alive()) m.hp = m.stats[STAT_HP_MAX] = HIGH_HP, m.state |= MST_BATTLE;
}

void BM_BattleRound(benchmark::State& state) {
    populate();
    battle_monsters_tick();  // the battle begins: the first round is planned
    for (auto _ : state) {
        refill();
        const int round = battle.round;
        end_planning();
        for (int tick = 0; tick < 100000 && battle.round == round && monster_battle.battle; ++tick)
            battle_monsters_tick();
        if (battle.phase != BATTLE_PLANNING) state.SkipWithError("the round did not end in planning");
    }
}
BENCHMARK(BM_BattleRound)->Unit(benchmark::kMicrosecond);

}  // namespace
