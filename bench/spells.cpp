// The effects' hot paths: one game tick with every one of the 500 slots
// waiting on the clock, and starting and ending 1,000 effects (two rounds of
// filling the slots with a buff that changes a statistic and waits, then
// ending every one, which gives the statistic back).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "rules/party.h"
#include "rules/spells/spells.h"

namespace {

constexpr int BUFF = 0;
constexpr int16_t LONG_WAIT = 30000;

// One spell: +1 strength, a long wait, the end; its record in the file's layout.
void install_buff() {
    const uint8_t code[] = {139, 0, 0, 140, 1, 0, 141, uint8_t(LONG_WAIT & 0xFF), uint8_t(LONG_WAIT >> 8),
                            255};
    std::vector<uint8_t> file(SPELL_RECORD_SIZE);
    spell_def def;
    def.code = int32_t(SPELL_RECORD_SIZE);
    std::strcpy(def.spell_name, "buff");
    write_spell_record(def, file.data(), spell_layout::file);
    file.insert(file.end(), std::begin(code), std::end(code));
    read_spell_file(file, game_spells());
}

void ready_party() {
    reset_party();
    for (party_member& m : party_members) {
        m.used = 1;
        m.group = 1;
        m.level = 1;
        m.base_stats[STAT_STRENGTH] = 20;
        m.base_stats[STAT_HP_MAX] = 50;
        recompute_stats(m);
        m.hp = 50;
    }
}

void fill_slots() {
    clear_effects();
    for (int i = 0; i < EFFECT_SLOTS; ++i) start_effect(BUFF, 1 + i % PARTY_SLOTS, 0, true);
}

void BM_TickOf500WaitingEffects(benchmark::State& state) {
    install_buff();
    ready_party();
    fill_slots();
    int ticks = 0;
    for (auto _ : state) {
        effects_game_tick();
        if (++ticks == LONG_WAIT - 1) {  // re-arm before the waits run out
            state.PauseTiming();
            for (effect_slot& e : effect_slots()) e.def.tick_wait = LONG_WAIT;
            ticks = 0;
            state.ResumeTiming();
        }
    }
    clear_effects();
}
BENCHMARK(BM_TickOf500WaitingEffects);

void BM_StartAndEnd1000Effects(benchmark::State& state) {
    install_buff();
    ready_party();
    clear_effects();
    for (auto _ : state) {
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < EFFECT_SLOTS; ++i) start_effect(BUFF, 1 + i % PARTY_SLOTS, 0, true);
            for (int i = 0; i < EFFECT_SLOTS; ++i) end_effect(i);
        }
        benchmark::DoNotOptimize(party_members[0].base_stats[STAT_STRENGTH]);
    }
}
BENCHMARK(BM_StartAndEnd1000Effects);

}  // namespace
