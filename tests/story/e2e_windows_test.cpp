// The whole program on the headless display: F1 opens the options window, a
// slider is dragged, a switch clicked, the window closed; the changed settings
// are in the configuration file. Esc asks before leaving and "No" goes back
// to the game.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/events.h"
#include "core/handles.h"
#include "story/pause_window.h"
#include "story/settings_file.h"
#include "story/sound_settings.h"
#include "story/text_entry.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "world/game_screen.h"

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";

constexpr uint16_t KEY_F1 = 0x3B00, KEY_ESC = 0x011B, KEY_ENTER = 0x1C0D, KEY_N = 0x316E;

std::string read_file(const std::filesystem::path& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

std::set<std::string> screenshots_in(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().rfind("dump", 0) == 0) names.insert(entry.path().string());
    return names;
}

TEST(WindowsEndToEnd, OptionsChangedWithTheMouseAreWrittenAndNoToTheLeaveQuestionGoesBack) {
    if (!std::filesystem::exists(demo_dir + "/vorthan.ini")) GTEST_SKIP() << "the demo is not built";
    const auto folder =
        std::filesystem::temp_directory_path() / ("vorthan-windows-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto config = folder / "vorthan.ini";
    std::filesystem::copy_file(demo_dir + "/vorthan.ini", config,
                               std::filesystem::copy_options::overwrite_existing);
    const std::string original = read_file(config);
    const std::set<std::string> screenshots_before = screenshots_in(demo_dir);

    scripted_run_options options;
    options.adventure_folder = demo_dir;
    options.config_file = config.string();
    options.language = "en";
    auto& s = options.script;
    s.push_back(script_key(1000, KEY_F1));
    // The music slider (x 110-140, y 47-247): from its middle to its top.
    s.push_back(script_mouse_move(2000, 120, 147));
    s.push_back(script_click(2010, 1, true));
    s.push_back(script_mouse_move(2050, 120, 47));
    s.push_back(script_click(2100, 1, false));
    // The swap-channels switch at (50, 287).
    s.push_back(script_mouse_move(2500, 60, 297));
    s.push_back(script_click(2510, 1, true));
    s.push_back(script_click(2550, 1, false));
    // The close button at (559, 353).
    s.push_back(script_mouse_move(4000, 580, 363));
    s.push_back(script_click(4010, 1, true));
    s.push_back(script_click(4050, 1, false));
    s.push_back(script_key(5000, KEY_ESC));
    s.push_back(script_key(6000, KEY_N));  // "No"
    s.push_back(script_key(7000, KEY_ESC));
    s.push_back(script_key(8000, KEY_ENTER));  // "Yes"
    options.checkpoints_ms = {1500, 3800, 4500, 5500, 6500};
    std::vector<bool> screen_running;
    std::string written_at_close;
    options.on_checkpoint = [&](uint64_t at) {
        screen_running.push_back(scene.running);
        if (at >= 4500 && written_at_close.empty()) written_at_close = read_file(config);
    };
    options.stop_at_ms = 20000;
    const scripted_run_result run = run_scripted(options);
    clear_event_tree();
    free_all_handles();
    set_settings_file("");
    for (const std::string& name : screenshots_in(demo_dir))
        if (!screenshots_before.count(name)) std::filesystem::remove(name);  // F1 also takes a screenshot

    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_LT(run.end_ms, 9000u);  // "Yes" ended the game
    ASSERT_EQ(run.checkpoints.size(), 5u);
    // Options open, closed; question open; after "No" the game screen runs again.
    EXPECT_EQ(screen_running, (std::vector<bool>{false, false, true, false, true}));

    // The settings went into the file when the window closed, the rest of it as it was.
    const std::string text = read_file(config);
    EXPECT_EQ(written_at_close, text);
    EXPECT_NE(text.find("music_volume = 127\n"), std::string::npos) << text;
    EXPECT_NE(text.find("swap_channels = on\n"), std::string::npos) << text;
    EXPECT_EQ(text.rfind(original, 0), 0u) << "the player's lines changed";
    std::filesystem::remove_all(folder);

    const char* names[] = {"options_open", "options_changed", "after_options", "leave_question", "after_no"};
    for (size_t i = 0; i < run.checkpoints.size(); ++i)
        EXPECT_TRUE(golden::matches(golden_dir + names[i] + ".png", run.checkpoints[i].frame_buffer.data()))
            << names[i];
}

}  // namespace

namespace {

TEST(WindowsEndToEnd, PauseWindowAndTextEntryOverTheGameScreen) {
    if (!std::filesystem::exists(demo_dir + "/vorthan.ini")) GTEST_SKIP() << "the demo is not built";
    scripted_run_options options;
    options.adventure_folder = demo_dir;
    options.language = "en";
    auto& s = options.script;
    s.push_back(script_key(1500, 0x3920));  // any key ends the pause
    s.push_back(script_key(2100, 0x1E61));  // 'a' replaces the offered name
    s.push_back(script_key(2200, 0x3062));  // 'b'
    s.push_back(script_key(3000, KEY_ENTER));
    s.push_back(script_key(4000, KEY_ESC));
    s.push_back(script_key(4500, KEY_ENTER));
    options.checkpoints_ms = {1000, 1200, 2000, 2500};
    int master_during_pause = -1, entry_result = -1;
    char name[32] = "Saved game";
    options.on_checkpoint = [&](uint64_t at) {
        if (at >= 1000 && at < 1200) {
            // The screen stops itself before a window opens over it.
            stop_game_screen();
            pause_window();
            start_game_screen();
        } else if (at >= 1200 && at < 2000) {
            master_during_pause = sound_get_setting(SOUND_MASTER);
        } else if (at >= 2000 && at < 2500) {
            stop_game_screen();
            entry_result = text_entry(name, sizeof name, true);
            start_game_screen();
        }
    };
    options.stop_at_ms = 20000;
    const scripted_run_result run = run_scripted(options);
    clear_event_tree();
    free_all_handles();
    set_settings_file("");

    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(master_during_pause, 128);  // halved while paused
    EXPECT_EQ(sound_get_setting(SOUND_MASTER), 256);
    EXPECT_EQ(entry_result, TEXT_ENTRY_OK);
    EXPECT_STREQ(name, "ab");
    ASSERT_EQ(run.checkpoints.size(), 4u);
    EXPECT_TRUE(golden::matches(golden_dir + "pause_window.png", run.checkpoints[1].frame_buffer.data()));
    EXPECT_TRUE(golden::matches(golden_dir + "text_entry.png", run.checkpoints[3].frame_buffer.data()));
}

}  // namespace
