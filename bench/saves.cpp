// save_game and load_game of the demo at its largest (both maps left once,
// forty created items, twenty running effects), into a file on the build's
// disk. The demo runs once in a scripted run of the whole program; the
// benchmarks run inside it, on the game side, once the game has grown.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/paths.h"
#include "core/events.h"
#include "core/handles.h"
#include "rules/party.h"
#include "saves/demo_largest.h"
#include "saves/game_save.h"
#include "saves/save_list.h"
#include "support/scripted_run.h"

namespace {

const std::string build_dir = std::filesystem::path(VORTHAN_DEMO_DIR).parent_path().string();
const std::string save_folder = build_dir + "/bench-saves";
constexpr uint32_t SAVE_TIME = 0x100;

std::string saved_path() {
    return save_folder + "/" + saved_game_name(game_identity(), SAVE_TIME, false);
}

void SaveGame(benchmark::State& state) {
    for (auto _ : state)
        if (save_game(SAVE_TIME, "The keep at its largest", false) != 0) {
            state.SkipWithError("the save failed");
            return;
        }
    state.counters["file_bytes"] = double(std::filesystem::file_size(saved_path()));
}
BENCHMARK(SaveGame)->Unit(benchmark::kMillisecond);

void LoadGame(benchmark::State& state) {
    if (save_game(SAVE_TIME, "The keep at its largest", false) != 0) {
        state.SkipWithError("the save failed");
        return;
    }
    const std::string name = std::filesystem::path(saved_path()).filename().string();
    for (auto _ : state)
        if (load_game(name) != 0) {
            state.SkipWithError("the load failed");
            return;
        }
    state.counters["file_bytes"] = double(std::filesystem::file_size(saved_path()));
}
BENCHMARK(LoadGame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // The demo's own autosaves stay in the build too.
    setenv("XDG_DATA_HOME", (build_dir + "/bench-home").c_str(), 1);
    setenv("VORTHAN_NO_MESSAGE_BOX", "1", 1);
    if (!std::filesystem::exists(std::string(VORTHAN_DEMO_DIR) + "/maps/KEEP.MAP")) {
        std::fprintf(stderr, "the demo is not built\n");
        return 1;
    }

    using namespace demo_largest;
    scripted_run_options options;
    options.adventure_folder = VORTHAN_DEMO_DIR;
    options.language = "en";
    options.checkpoints_ms = {DOWN_AT_MS, UP_AT_MS, GROWN_AT_MS};
    options.script = {script_key(GROWN_AT_MS + 500, 0x011B),
                      script_key(GROWN_AT_MS + 800, 0x1C0D)};  // Esc, Enter
    options.stop_at_ms = GROWN_AT_MS + 5000;
    options.frame_limit = 0;
    int step = 0;
    bool measured = false;
    options.on_checkpoint = [&](uint64_t) {
        switch (step++) {
            case 0:
                go_down_to_the_cellars();
                break;
            case 1:
                go_back_up_to_the_keep();
                break;
            case 2:
                if (!both_maps_visited() || !grow()) {
                    std::fprintf(stderr, "the demo did not grow to its largest (on %s)\n",
                                 current_map.name.c_str());
                    break;
                }
                std::filesystem::create_directories(save_folder);
                path_table[PATH_SAVEGAME] = save_folder;
                benchmark::RunSpecifiedBenchmarks();
                measured = true;
                break;
        }
    };
    scripted_run_result run = run_scripted(options);
    clear_event_tree();
    free_all_handles();
    benchmark::Shutdown();
    if (run.fatal_message) std::fprintf(stderr, "%s\n", run.fatal_message->c_str());
    return measured ? 0 : 1;
}
