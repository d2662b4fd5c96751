// The spread of sound from the party through a 64 x 64 map with every side
// open: four breadth-first passes of up to 32 steps each, the work of every
// party move or turn. Also the same with the levels of 20 sounds around it.
#include <benchmark/benchmark.h>

#include "sound/game_sound.h"
#include "sound/sound_propagation.h"
#include "world/map.h"

namespace {

constexpr int SIDE = 64;

void build_open_map() {
    current_map = loaded_map{};
    const int count = 1 + SIDE * SIDE;
    current_map.sector_count = count;
    current_map.sectors.assign(count, {});
    current_map.sides.assign(4 * count, {});
    current_map.coords.assign(count, {});
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x) {
            const int s = 1 + y * SIDE + x;
            current_map.coords[s] = {int16_t(x), int16_t(y), 0, 0};
            const int exits[4] = {y > 0 ? s - SIDE : 0, x < SIDE - 1 ? s + 1 : 0, y < SIDE - 1 ? s + SIDE : 0,
                                  x > 0 ? s - 1 : 0};
            for (int d = 0; d < 4; ++d) {
                current_map.sectors[s].exits[d] = uint16_t(exits[d]);
                if (exits[d]) current_map.sides[4 * s + d].flags = SIDE_TRANSPARENT;
            }
        }
}

void BM_PropagateSoundOpenMap(benchmark::State& state) {
    build_open_map();
    const int party = 1 + 32 * SIDE + 32;
    int direction = 0;
    for (auto _ : state) {
        propagate_sound(party, direction);
        direction = (direction + 1) & 3;
        benchmark::DoNotOptimize(sound_distance(party + 5, 0));
    }
    state.counters["queue_peak"] = static_cast<double>(sound_propagation_queue_peak());
}
BENCHMARK(BM_PropagateSoundOpenMap);

void BM_PropagateAndLevel20Sounds(benchmark::State& state) {
    build_open_map();
    const int party = 1 + 32 * SIDE + 32;
    for (auto _ : state) {
        propagate_sound(party, 0);
        int sum = 0;
        for (int i = 0; i < 20; ++i) {
            int left = 0, right = 0;
            positional_levels(party + (i - 10) * (SIDE + 1), -1, party, 0, 100, left, right);
            sum += left + right;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PropagateAndLevel20Sounds);

}  // namespace
