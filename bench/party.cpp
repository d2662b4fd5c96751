// The party's hot paths: recomputing the statistics of six fully equipped
// characters, and one game tick of the whole party; each beside a memcpy of
// the six records, the least that touching them can cost.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "rules/party.h"

namespace {

std::vector<item_def> items;

const item_def* bench_item(int number) {
    return number >= 1 && size_t(number) <= items.size() ? &items[size_t(number) - 1] : nullptr;
}

// Six characters, each wearing an item with modifiers in every slot.
void equip_party() {
    items.assign(WORN_SLOTS, item_def{});
    for (int i = 0; i < WORN_SLOTS; ++i) {
        for (int j = 0; j < STAT_CLAMPED_COUNT; ++j) items[size_t(i)].mods[j] = int16_t(1 + (i + j) % 7);
        items[size_t(i)].damage_bonus = 1;
        items[size_t(i)].flags_given = int16_t(1 << (i % 8));
    }
    set_party_item_lookup(bench_item);
    reset_party();
    for (party_member& m : party_members) {
        m.used = 1;
        m.group = 1;
        m.level = 5;
        m.inventory_size = BACKPACK_MIN;
        for (int j = 0; j < STAT_CLAMPED_COUNT; ++j) m.base_stats[j] = 20;
        for (int slot = 0; slot < WORN_SLOTS; ++slot) m.worn[slot] = int16_t(slot + 1);
        recompute_stats(m);
        m.hp = m.stats[STAT_HP_MAX];
        m.vp = m.stats[STAT_VP_MAX] / 2;
        m.mp = m.stats[STAT_MP_MAX] / 2;
        m.food = food_capacity(m);
        m.water = water_capacity(m);
    }
}

void BM_RecomputeSixMembers(benchmark::State& state) {
    equip_party();
    for (auto _ : state) {
        for (party_member& m : party_members) recompute_stats(m);
        benchmark::DoNotOptimize(party_members[5].stats[STAT_RESIST]);
    }
}
BENCHMARK(BM_RecomputeSixMembers);

void BM_PartyGameTick(benchmark::State& state) {
    equip_party();
    // Reserves that outlast the run, so every tick eats, drinks and regenerates.
    for (party_member& m : party_members) m.food = m.water = 1 << 30;
    for (auto _ : state) {
        party_game_tick();
        benchmark::DoNotOptimize(party_members[0].vp);
    }
}
BENCHMARK(BM_PartyGameTick);

void BM_MemcpySixRecords(benchmark::State& state) {
    std::vector<uint8_t> from(PARTY_BLOCK_SIZE, 7), to(PARTY_BLOCK_SIZE);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), PARTY_BLOCK_SIZE);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpySixRecords);

}  // namespace
