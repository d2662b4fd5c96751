// The main menu in the whole program with the demo: a new game started from
// it, the credits and the end of the run from its quit item.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "demo_session.h"
#include "story/save_screens.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/party_standin.h"

namespace {

const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";

constexpr uint16_t KEY_DOWN = 0x5000, KEY_ENTER = 0x1C0D, KEY_RIGHT = 0x4D00, KEY_F5 = 0x3F00;

// The demo's configuration with the saved games in a folder of their own.
std::string config_saving_into(const std::filesystem::path& folder) {
    std::ifstream in(std::string(VORTHAN_DEMO_DIR) + "/vorthan.ini", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string ini = text.str();
    const size_t paths = ini.find("[paths]\n");
    EXPECT_NE(paths, std::string::npos);
    ini.insert(paths + 8, "savegame = " + (folder / "saves").string() + "\n");
    const std::filesystem::path config = folder / "vorthan.ini";
    std::ofstream(config, std::ios::binary) << ini;
    return config.string();
}

TEST(MenuEndToEnd, NewGameFromTheMenuStartsTheGame) {
    demo_session s;
    s.options.menu = true;
    s.probe([] { EXPECT_FALSE(scene.running) << "the menu comes first"; });
    s.press(KEY_DOWN);
    s.press(KEY_ENTER, 1000);
    s.probe([] { EXPECT_TRUE(scene.running) << "the new game began"; });
    const scripted_run_result r = s.run();
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_FALSE(r.fatal_message.has_value());
    EXPECT_LT(r.end_ms, s.options.stop_at_ms) << "leaving the game ended the run";
}

TEST(MenuEndToEnd, QuitItemEndsTheRunAndCreditsReturnToTheMenu) {
    demo_session s;
    s.options.menu = true;
    // The credits (the fourth item) and back; then the last item, quit.
    for (int i = 0; i < 4; ++i) s.press(KEY_DOWN);
    s.probe([] {});  // the menu with the credits' item glowing
    s.press(KEY_ENTER, 6000);
    s.probe([] { EXPECT_FALSE(scene.running); });  // the credits under way
    s.press(' ', 1000);                            // a key ends the credits at once
    const uint64_t quit_at = s.t + 5 * 300 + 300;
    for (int i = 0; i < 5; ++i) s.press(KEY_DOWN);
    s.press(KEY_ENTER);
    s.options.adventure_folder = VORTHAN_DEMO_DIR;
    s.options.language = "en";
    s.options.stop_at_ms = s.t + 10000;
    s.options.frame_limit = 0;
    size_t next = 0;
    s.options.on_checkpoint = [&](uint64_t) {
        if (next < s.probes.size()) s.probes[next++]();
    };
    const scripted_run_result r = run_scripted(s.options);
    clear_event_tree();
    free_all_handles();
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_LT(r.end_ms, quit_at + 1000) << "the quit item ended the run";
    ASSERT_EQ(r.checkpoints.size(), 2u);
    EXPECT_TRUE(golden::matches(golden_dir + "menu_credits_item.png", r.checkpoints[0].frame_buffer.data()));
    EXPECT_TRUE(
        golden::matches(golden_dir + "menu_credits_scrolling.png", r.checkpoints[1].frame_buffer.data()));
}

TEST(MenuEndToEnd, LoadFromTheMenuContinuesTheSavedGameWhereItWasSaved) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("vorthan-menu-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    static int saved_direction = -1, saved_sector = -1;
    static std::string saved_map;
    {
        // A game turned to the right and saved with F5.
        demo_session s;
        s.options.config_file = config_saving_into(folder);
        s.wait(500);
        s.press(KEY_RIGHT, 600);
        s.press(KEY_F5, 600);
        s.probe([] {
            saved_direction = party.direction;
            saved_sector = party.sector;
            saved_map = current_map.name;
        });
        EXPECT_EQ(s.run().exit_code, 0);
    }
    ASSERT_NE(saved_direction, -1);
    demo_session s;
    s.options.config_file = config_saving_into(folder);
    s.options.menu = true;
    s.press(KEY_DOWN);
    s.press(KEY_DOWN, 800);  // the load screen, once the item has faded
    s.press(KEY_ENTER, 1000);
    s.probe([] { EXPECT_TRUE(save_screen_running()); });
    s.click(LOAD_LIST_X + 30, SAVE_ROWS_Y + SAVE_ROW_H / 2);  // the one save
    s.wait(1000);
    s.probe([] {
        EXPECT_FALSE(save_screen_running());
        EXPECT_TRUE(scene.running) << "the loaded game runs";
        EXPECT_EQ(current_map.name, saved_map);
        EXPECT_EQ(party.sector, saved_sector);
        EXPECT_EQ(party.direction, saved_direction);
    });
    const scripted_run_result r = s.run();
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_FALSE(r.fatal_message.has_value()) << *r.fatal_message;
    EXPECT_GT(r.end_ms, s.t - 1000) << "the run went on to its end";
    std::filesystem::remove_all(folder);
}

}  // namespace
