// The demo started by the whole start sequence on the headless display: what
// the start steps leave in place for the game (translated items, resting).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/strings.h"
#include "core/events.h"
#include "core/handles.h"
#include "rules/items.h"
#include "rules/party.h"
#include "support/scripted_run.h"
#include "world/game_screen.h"
#include "world/map_scripts.h"
#include "world/rest.h"

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
constexpr uint16_t KEY_F4 = 0x3E00, KEY_SPACE = 0x3920, KEY_ESC = 0x011B, KEY_ENTER = 0x1C0D;

bool demo_built() {
    return std::filesystem::exists(demo_dir + "/graphics/items/ITEMS.DAT") &&
           std::filesystem::exists(demo_dir + "/lang/cz/items.csv");
}

std::string game(const char* utf8) {
    return *utf8_to_game_codepage(utf8);
}

// The script ends by leaving the game (Esc, then "Yes").
scripted_run_result run_demo(scripted_run_options& options, uint64_t end_ms) {
    options.adventure_folder = demo_dir;
    options.script.push_back(script_key(end_ms, KEY_ESC));
    options.script.push_back(script_key(end_ms + 300, KEY_ENTER));
    options.stop_at_ms = end_ms + 5000;
    options.frame_limit = 0;
    scripted_run_result result = run_scripted(options);
    clear_event_tree();
    free_all_handles();  // what the process exit would free
    return result;
}

struct item_texts {
    std::string name, description;
};

item_texts first_item() {
    const item_def* item = game_items().find(1);
    if (!item) return {};
    return {item->name, item->description};
}

}  // namespace

TEST(StartedGame, LanguageItemsTableRenamesTheItems) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    scripted_run_options options;
    options.language = "cz";
    options.checkpoints_ms = {1000};
    item_texts seen;
    options.on_checkpoint = [&](uint64_t) { seen = first_item(); };
    const scripted_run_result run = run_demo(options, 1500);
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(seen.name, game("Dýka"));
    EXPECT_EQ(seen.description, game("Prostá čepel, hodí se i k hodu"));
}

TEST(StartedGame, F4RestsThePartyUntilAKeyWakesIt) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    scripted_run_options options;
    options.language = "en";
    options.script = {script_key(1000, KEY_F4), script_key(1300, KEY_SPACE)};
    options.checkpoints_ms = {900, 1250, 1600};
    struct state {
        bool resting = false, screen_running = false;
        int32_t time = 0, allowance = 0;
    };
    std::vector<state> states;
    item_texts seen;
    options.on_checkpoint = [&](uint64_t) {
        states.push_back({rest_state.resting, scene.running, game_time, party_state.rest_allowance});
        seen = first_item();
    };
    const scripted_run_result run = run_demo(options, 2000);
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(seen.name, "Dagger");
    ASSERT_EQ(states.size(), 3u);
    EXPECT_FALSE(states[0].resting);
    EXPECT_TRUE(states[0].screen_running);
    // Asleep: the game screen is off, hours of game time pass and the rest is spent.
    EXPECT_TRUE(states[1].resting);
    EXPECT_FALSE(states[1].screen_running);
    EXPECT_GE(states[1].time - states[0].time, 360);
    EXPECT_LT(states[1].allowance, states[0].allowance);
    // The key woke the party before the rest ran out: the game screen runs again.
    EXPECT_FALSE(states[2].resting);
    EXPECT_TRUE(states[2].screen_running);
    EXPECT_LT(states[2].time, REST_ALLOWANCE_MAX);  // not all twelve hours
}
