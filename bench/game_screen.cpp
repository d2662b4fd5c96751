// A whole game-screen frame (the view, the bars around it, the copy to
// frame_buffer) at the busiest place of the demo keep, and a load of the keep's
// map, each next to a copy of a whole screen (640 x 480 x 2 bytes).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/config.h"
#include "base/paths.h"
#include "core/archive.h"
#include "core/decoders.h"
#include "core/handles.h"
#include "gfx/picture.h"
#include "gfx/screen.h"
#include "startup/run/archive_policy.h"
#include "startup/run/fixed_handles.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/view.h"

namespace {

int sector_at(int x, int y) {
    for (int s = 1; s < current_map.sector_count; s++)
        if (current_map.coords[s].x == x && current_map.coords[s].y == y) return s;
    return 0;
}

// The demo's folders and archive, as the player opens them.
bool open_demo() {
    static int state = 0;
    if (state != 0) return state > 0;
    state = -1;
    if (chdir(VORTHAN_DEMO_DIR) != 0) return false;
    auto config = ini_open("vorthan.ini");
    if (!config) return false;
    change_directory(read_folder_settings(config.get()));
    open_archives();
    register_picture_decoders();
    register_panel_decoder();
    define_fixed_handles();
    init_view_tables();
    state = 1;
    return true;
}

void MemcpyScreen(benchmark::State& state) {
    std::vector<uint16_t> a(640 * 480, 0x1234), b(640 * 480);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size() * 2);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(MemcpyScreen);

// The costliest view of the keep: from the hall's doorway under the arch,
// looking west over the open courtyard (every depth filled).
void GameScreenFrame(benchmark::State& state) {
    if (!open_demo() || load_map("KEEP.MAP") != MAP_OK) {
        state.SkipWithError("the demo is not built");
        return;
    }
    new_standin_party(sector_at(11, 4), 3);
    scene.running = true;
    draw_party_view();
    draw_screen_frame();  // pictures and fonts decoded once, as in the game
    for (auto _ : state) {
        draw_party_view();
        copy_back_to_front();
        draw_screen_frame();
        benchmark::DoNotOptimize(frame_buffer[640 * 240]);
        benchmark::ClobberMemory();
    }
    scene.running = false;
    unload_map(party.sector);
}
BENCHMARK(GameScreenFrame)->Unit(benchmark::kMicrosecond);

void MapLoad(benchmark::State& state) {
    if (!open_demo()) {
        state.SkipWithError("the demo is not built");
        return;
    }
    for (auto _ : state) {
        if (load_map("KEEP.MAP") != MAP_OK) {
            state.SkipWithError("KEEP.MAP does not load");
            break;
        }
        unload_map(current_map.header.start_sector);
    }
}
BENCHMARK(MapLoad)->Unit(benchmark::kMicrosecond);

}  // namespace
