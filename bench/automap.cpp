// The cost of drawing the whole automap of a 64 x 64 map, every sector seen:
// the cells, their walls, bars and signs, and a few notes.
#include <benchmark/benchmark.h>

#include "gfx/screen.h"
#include "world/automap.h"
#include "world/map.h"
#include "world/party_standin.h"

namespace {

constexpr int SIDE = 64;

int sector_of(int x, int y) {
    return 1 + y * SIDE + x;
}

// Rooms of 4 x 4 sectors with doors between them, some water and stairs.
void build_map() {
    current_map = loaded_map{};
    const int count = 1 + SIDE * SIDE;
    current_map.sector_count = count;
    current_map.sectors.resize(count);
    current_map.sides.resize(static_cast<size_t>(count) * 4);
    current_map.coords.resize(count);
    static const int dx[4] = {0, 1, 0, -1}, dy[4] = {-1, 0, 1, 0};
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x) {
            const int s = sector_of(x, y);
            map_coord& c = current_map.coords[s];
            c.x = static_cast<int16_t>(x);
            c.y = static_cast<int16_t>(y);
            c.coord_flags = MC_MAPPED;
            if ((x * 7 + y * 3) % 31 == 0) c.coord_flags |= MC_STAIRS;
            current_map.sectors[s].sector_type = static_cast<uint8_t>((x + y) % 11 == 0 ? 3 : 0);
            for (int d = 0; d < 4; ++d) {
                const int nx = x + dx[d], ny = y + dy[d];
                map_side& side = current_map.sides[static_cast<size_t>(s) * 4 + d];
                const bool inside = nx >= 0 && ny >= 0 && nx < SIDE && ny < SIDE;
                const bool room_edge = d % 2 == 1 ? (x % 4 == 3 && d == 1) || (x % 4 == 0 && d == 3)
                                                  : (y % 4 == 3 && d == 2) || (y % 4 == 0 && d == 0);
                const bool door = (d % 2 == 1 ? y % 4 == 1 : x % 4 == 2);
                if (!inside || (room_edge && !door)) {
                    side.flags = SIDE_P_VIS | SIDE_NOPLAYER;
                    continue;
                }
                current_map.sectors[s].exits[d] = static_cast<uint16_t>(sector_of(nx, ny));
                side.flags = SIDE_TRANSPARENT | SIDE_AUTOMAP;
                if (room_edge && (x + y) % 3 == 0) side.flags |= SIDE_NOPLAYER;  // bars in some doors
            }
        }
    for (int k = 0; k < 20; ++k) add_automap_note({k * 24, k * 16, 0, "a note on the map"});
    new_standin_party(sector_of(SIDE / 2, SIDE / 2), 0);
    mark_automap_sectors(true);
    reset_automap_view();
}

// The view of the automap holds 78 x 44 cells: centred, the map of 64 x 64
// fills it across and is cut at the top and bottom.
void BM_DrawWholeAutomap(benchmark::State& state) {
    build_map();
    for (auto _ : state) {
        draw_automap(automap.ox, automap.oy);
        benchmark::DoNotOptimize(frame_buffer[200 * SCREEN_PITCH + 320]);
    }
    state.SetItemsProcessed(state.iterations() * SIDE * SIDE);
}
BENCHMARK(BM_DrawWholeAutomap)->Unit(benchmark::kMicrosecond);

void BM_DrawMinimap(benchmark::State& state) {
    build_map();
    for (auto _ : state) {
        draw_minimap();
        benchmark::DoNotOptimize(frame_buffer[50 * SCREEN_PITCH + 40]);
    }
}
BENCHMARK(BM_DrawMinimap)->Unit(benchmark::kMicrosecond);

}  // namespace
