// The monsters' tick and their look after a step: 255 living monsters on a
// generated 64 x 64 map with the party in its middle.
#include <benchmark/benchmark.h>

#include "core/random.h"
#include "grid_map.h"
#include "rules/monsters_ai/monster_ai.h"
#include "world/party_standin.h"

namespace {

void populate() {
    reset_monster_ai();
    random_seed(5);
    make_grid_map(64, 64);
    const int party_sector = grid_sector(64, 32, 32);
    new_standin_party(party_sector, 0);
    current_map.coords[static_cast<size_t>(party_sector)].coord_flags |= MC_PLAYER;
    for (int slot = 0; slot < MONSTER_SLOTS; ++slot) {
        const int sector = grid_sector(64, (slot * 7) % 64, (slot * 13) % 64);
        if (sector == party_sector) continue;
        put_monster(slot, sector, slot & 3, MS_WALK | MS_WATCH);
    }
}

void BM_MonstersTick(benchmark::State& state) {
    populate();
    for (auto _ : state) {
        monsters_tick();
        monster_battle.battle = false;  // keep them walking
    }
}
BENCHMARK(BM_MonstersTick);

void BM_MonstersLookAfterStep(benchmark::State& state) {
    populate();
    for (auto _ : state) {
        benchmark::DoNotOptimize(monsters_look());
        monster_battle.battle = false;
    }
}
BENCHMARK(BM_MonstersLookAfterStep);

}  // namespace
