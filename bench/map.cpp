// Map loading: the demo's keep from its files (blocks, handles, string table)
// and the block reader alone on a large generated map.
#include <benchmark/benchmark.h>

#include <string>

#include "base/paths.h"
#include "forge/map_source.h"
#include "world/map.h"

namespace {

void BM_LoadDemoKeep(benchmark::State& state) {
    path_table[PATH_MAPS] = VORTHAN_DEMO_DIR "/maps";
    if (load_map("KEEP.MAP") != MAP_OK) {
        state.SkipWithError("build the demo first (KEEP.MAP missing or broken)");
        return;
    }
    unload_map(0);
    for (auto _ : state) {
        int result = load_map("KEEP.MAP");
        benchmark::DoNotOptimize(result);
        unload_map(current_map.header.start_sector);
    }
}
BENCHMARK(BM_LoadDemoKeep)->Unit(benchmark::kMicrosecond);

// A 128 x 128 grid of halls and pillars: about 12,000 sectors.
std::vector<uint8_t> large_map() {
    std::string source =
        "[map]\nstart = 1 1 n\n[textures]\nwall w = A B C\nwall t = D E F\nfloor f = G\nceiling c = H\n"
        "[legend]\n# = wall=w\n. = floor=f ceiling=c\n[grid]\n";
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x)
            source += (x == 0 || y == 0 || x == 127 || y == 127 || (x % 4 == 0 && y % 4 == 0)) ? '#' : '.';
        source += '\n';
    }
    auto result = forge::compile_map_source(source, "large");
    return forge::build_map_file(result.map);
}

void BM_ParseLargeMap(benchmark::State& state) {
    std::vector<uint8_t> bytes = large_map();
    for (auto _ : state) {
        loaded_map map;
        int result = parse_map(bytes.data(), bytes.size(), map);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseLargeMap)->Unit(benchmark::kMicrosecond);

}  // namespace
