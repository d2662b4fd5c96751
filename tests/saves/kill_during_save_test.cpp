// A child process saves again and again while the parent kills it at random
// moments. Whatever the moment, every file left in the folder either reads
// whole or is a leftover temporary that the save list never shows, and the
// last save the child reported finished still loads.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/paths.h"
#include "demo_largest.h"
#include "kill_trials.h"
#include "rules/party.h"
#include "saves/game_file.h"
#include "saves/game_save.h"
#include "saves/save_list.h"
#include "saves/saved_game.h"
#include "story/demo_session.h"

namespace {

constexpr uint32_t IDENTITY = 0x5eed0001;
// The child saves under these save times in turn, so that most saves replace a file.
constexpr uint32_t SLOTS = 3;

std::string slot_path(const std::string& folder, uint32_t generation) {
    return folder + "/" + saved_game_name(IDENTITY, 0x100 + generation % SLOTS, generation % SLOTS == 2);
}

// A store far larger than the demo's largest game (some 21 KB), so that a
// kill lands inside the writing more often: two maps' state files with every
// monster place kept, a game file with forty created items and twenty
// effects, the story and the global entries. The generation is stamped at
// both ends of every entry, so a file that reads can be checked whole.
temp_store store_of_generation(uint32_t generation) {
    static const temp_bytes noise = [] {
        temp_bytes out(150000);
        uint32_t x = 1;
        for (auto& b : out) {
            x = x * 1664525u + 1013904223u;
            b = uint8_t(x >> 24);
        }
        return out;
    }();
    temp_store store;
    auto entry = [&](const char* name, size_t size) {
        temp_bytes bytes(noise.begin(), noise.begin() + static_cast<std::ptrdiff_t>(size));
        for (int i = 0; i < 4; ++i) {
            bytes[size_t(i)] = uint8_t(generation >> (8 * i));
            bytes[size - 4 + size_t(i)] = uint8_t(generation >> (8 * i));
        }
        store.create(name, bytes);
    };
    entry("cellars.map", 130000);
    entry("keep.map", 150000);
    entry("_GAME.TMP", 76 + 40 * 222 + 4 + 20 * 108 + 8 * 312 + 600);
    entry("_GLOBEV.TMP", 400);
    entry("_STORY.TMP", 3000);
    entry("_SHOPS.TMP", 64);
    entry("_BOOK.TMP", 800);
    store.create("playtime", &generation, sizeof generation);
    return store;
}

// The generation a whole file was written for, or nothing when its entries
// are not exactly that generation's.
std::optional<uint32_t> generation_of(const temp_store& store) {
    uint32_t generation = 0;
    if (store.read_all("playtime", &generation, sizeof generation) != sizeof generation) return std::nullopt;
    if (!(store == store_of_generation(generation))) return std::nullopt;
    return generation;
}

struct write_saved_game_target : kill_trial_target {
    std::string folder;
    explicit write_saved_game_target(std::string f) : folder(std::move(f)) {}

    bool save(uint32_t generation) override {
        return write_saved_game(slot_path(folder, generation), "Kill trial", store_of_generation(generation));
    }
    std::string path_of(uint32_t generation) override { return slot_path(folder, generation); }
    std::optional<uint32_t> read(const std::string& path) override {
        auto game = read_saved_game_file(path);
        if (!game) return std::nullopt;
        return generation_of(game->store);
    }
    uint32_t slots() const override { return SLOTS; }
};

// The demo's game saved whole through save_game; the child sets the party's
// money to the generation before each save.
struct save_game_target : kill_trial_target {
    std::string folder;
    explicit save_game_target(std::string f) : folder(std::move(f)) {}

    bool save(uint32_t generation) override {
        party_state.gold = int32_t(generation);
        return save_game(0x100 + generation % SLOTS, "Kill trial", generation % SLOTS == 2) == 0;
    }
    std::string path_of(uint32_t generation) override { return slot_path(folder, generation); }
    std::optional<uint32_t> read(const std::string& path) override {
        auto game = read_saved_game_file(path);
        if (!game || game->store.size("CELLARS.MAP") <= 0 || game->store.size("KEEP.MAP") <= 0)
            return std::nullopt;
        auto entry = game->store.entries().find(GAME_FILE_NAME);
        if (entry == game->store.entries().end()) return std::nullopt;
        auto file = parse_game_file(entry->second);
        if (!file) return std::nullopt;
        return uint32_t(file->money);
    }
    std::optional<uint32_t> load(const std::string& path) override {
        if (load_game(std::filesystem::path(path).filename().string()) != 0) return std::nullopt;
        return uint32_t(party_state.gold);
    }
    uint32_t slots() const override { return SLOTS; }
};

bool demo_built() {
    return std::filesystem::exists(std::string(VORTHAN_DEMO_DIR) + "/maps/KEEP.MAP");
}

// A hundred kills, some inside saves and some between them, and nothing lost.
void expect_nothing_lost(const kill_trial_figures& figures) {
    EXPECT_EQ(figures.trials, 100);
    EXPECT_EQ(figures.games_lost, 0);
    EXPECT_EQ(figures.unreadable_files, 0);
    EXPECT_GT(figures.saves_completed, 0);
    EXPECT_GT(figures.kills_inside_a_save, 0);
    EXPECT_EQ(figures.temporaries_left, 0);
}

}  // namespace

TEST(KillDuringSave, NoGameIsLostWhenTheSaverIsKilledAtAnyMoment) {
    std::string folder = kill_trial_folder("write_saved_game");
    write_saved_game_target target(folder);
    kill_trial_figures figures = run_kill_trials(target, folder, 100, 0x6b696c6c);
    print_kill_trial_figures("write_saved_game", figures);
    expect_nothing_lost(figures);
    if (!HasFailure()) remove_kill_trial_folder(folder);
}

TEST(KillDuringSave, NoDemoGameIsLostWhenSaveGameIsKilledAtAnyMoment) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    demo_session session;
    session.t = demo_largest::DOWN_AT_MS;
    session.probe(demo_largest::go_down_to_the_cellars);
    session.t = demo_largest::UP_AT_MS;
    session.probe(demo_largest::go_back_up_to_the_keep);
    session.t = demo_largest::GROWN_AT_MS;
    kill_trial_figures figures;
    std::string folder = kill_trial_folder("save_game");
    session.probe([&] {
        ASSERT_TRUE(demo_largest::both_maps_visited()) << "on " << current_map.name;
        ASSERT_TRUE(demo_largest::grow());
        std::string user_folder = path_table[PATH_SAVEGAME];
        path_table[PATH_SAVEGAME] = folder;
        set_game_identity(IDENTITY);
        save_game_target target(folder);
        figures = run_kill_trials(target, folder, 100, 0x67616d65);
        path_table[PATH_SAVEGAME] = user_folder;
    });
    scripted_run_result run = session.run();
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    print_kill_trial_figures("save_game of the demo", figures);
    expect_nothing_lost(figures);
    if (!HasFailure()) remove_kill_trial_folder(folder);
}
