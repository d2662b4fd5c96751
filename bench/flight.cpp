// One tick of the objects in the air: 64 of them flying over a generated
// 16 x 16 map, topped up as they land so that 64 are always in the air.
#include <benchmark/benchmark.h>

#include "grid_map.h"
#include "rules/flight/flight.h"
#include "rules/items.h"

namespace {

constexpr int SIDE = 16;
constexpr size_t IN_THE_AIR = 64;

void top_up(int& next) {
    while (flying_objects().size() < IN_THE_AIR) {
        const int x = next % SIDE, y = (next / SIDE) % SIDE;
        launch(0, 1, grid_sector(SIDE, x, y), next & 3);
        next = (next + 7) % (SIDE * SIDE);
    }
}

void BM_FlightTick(benchmark::State& state) {
    make_grid_map(SIDE, SIDE);
    item_def arrow;
    arrow.type = 2;
    game_items().set_definitions({arrow});
    clear_flying_objects();
    int next = 0;
    for (auto _ : state) {
        top_up(next);
        flight_tick();
    }
    clear_flying_objects();
}
BENCHMARK(BM_FlightTick);

}  // namespace
