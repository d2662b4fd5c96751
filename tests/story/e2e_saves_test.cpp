// End-to-end: the demo saved with F2 under a name typed in the save screen,
// the party turned, the save loaded again with F3 from the load screen (the
// party faces the way it did), and F5 writing an autosave; a golden of the
// load screen in the running game.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "demo_session.h"
#include "saves/game_save.h"
#include "saves/save_list.h"
#include "saves/saved_game.h"
#include "story/save_screens.h"
#include "support/golden.h"
#include "world/party_standin.h"

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";
constexpr uint16_t KEY_F2 = 0x3C00, KEY_F3 = 0x3D00, KEY_F5 = 0x3F00, KEY_RIGHT = 0x4D00;
constexpr uint16_t KEY_ENTER = 0x1C0D;

// The demo's configuration with the saved games in a folder of their own.
std::filesystem::path config_saving_into(const std::filesystem::path& folder) {
    std::ifstream in(demo_dir + "/vorthan.ini", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string ini = text.str();
    const size_t paths = ini.find("[paths]\n");
    EXPECT_NE(paths, std::string::npos);
    ini.insert(paths + 8, "savegame = " + (folder / "saves").string() + "\n");
    const std::filesystem::path config = folder / "vorthan.ini";
    std::ofstream(config, std::ios::binary) << ini;
    return config;
}

std::vector<save_list_row> saves(bool with_autosaves) {
    return build_save_list(saved_games_folder(), 0, !with_autosaves);
}

TEST(SavesEndToEnd, ASaveNamedOnTheSaveScreenLoadsBackFromTheLoadScreenAndF5Autosaves) {
    if (!std::filesystem::exists(demo_dir + "/vorthan.ini")) GTEST_SKIP() << "the demo is not built";
    const auto folder =
        std::filesystem::temp_directory_path() / ("vorthan-saves-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    demo_session s;
    s.options.config_file = config_saving_into(folder).string();
    static int saved_direction = -1;
    static std::string saved_name;
    s.wait(500);
    s.press(KEY_F2, 600);
    s.click(SAVE_LIST_X + 30, SAVE_ROWS_Y + SAVE_ROW_H / 2);  // the new-save row: the editor
    s.wait(400);
    s.probe([] { EXPECT_TRUE(save_screen_running()); });
    // "first save": the first key typed replaces the offered text.
    for (const uint16_t key :
         {0x2166, 0x1769, 0x1372, 0x1F73, 0x1474, 0x3920, 0x1F73, 0x1E61, 0x2F76, 0x1265})
        s.press(key, 100);
    s.press(KEY_ENTER, 800);
    s.probe([] {
        EXPECT_FALSE(save_screen_running());  // the save left the screen
        const std::vector<save_list_row> manual = saves(false);
        ASSERT_EQ(manual.size(), 1u);
        saved_name = manual[0].name;
        const std::optional<std::string> description =
            read_saved_game_description(saved_games_folder() + "/" + saved_name);
        ASSERT_TRUE(description);
        EXPECT_EQ(*description, "first save");
        saved_direction = party.direction;
        // Only the manual save is left to load from the first row.
        for (const save_list_row& row : saves(true))
            if (row.autosave) std::filesystem::remove(saved_games_folder() + "/" + row.name);
    });
    s.press(KEY_RIGHT, 1000);
    s.probe([] { EXPECT_EQ(party.direction, (saved_direction + 1) % 4); });
    s.press(KEY_F3, 600);
    s.options.script.push_back(script_mouse_move(s.t, LOAD_LIST_X + 30, SAVE_ROWS_Y + SAVE_ROW_H / 2));
    s.wait(300);
    s.probe([] {
        EXPECT_TRUE(save_screen_running());
        ASSERT_EQ(save_screen_rows_shown().size(), 1u);
        EXPECT_EQ(save_screen_rows_shown()[0].name, saved_name);
        EXPECT_EQ(save_screen_selected(), 0);
    });
    const size_t load_screen_shown = s.probes.size() - 1;
    s.click(LOAD_LIST_X + 30, SAVE_ROWS_Y + SAVE_ROW_H / 2);
    s.wait(1000);
    s.probe([] {
        EXPECT_FALSE(save_screen_running());
        EXPECT_EQ(party.direction, saved_direction);
        EXPECT_EQ(game_identity(), parse_saved_game_name(saved_name)->identity);
    });
    s.press(KEY_F5, 800);
    s.probe([] {
        const std::vector<save_list_row> all = saves(true);
        ASSERT_EQ(all.size(), 2u);
        EXPECT_TRUE(all[0].autosave || all[1].autosave);
    });
    const scripted_run_result result = s.run();
    EXPECT_EQ(result.exit_code, 0);
    ASSERT_GT(result.checkpoints.size(), load_screen_shown);
    EXPECT_TRUE(golden::matches(golden_dir + "saves_load_screen.png",
                                result.checkpoints[load_screen_shown].frame_buffer.data()));
    std::filesystem::remove_all(folder);
}

}  // namespace
