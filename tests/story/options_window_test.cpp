// The options window driven by the mouse: sliders, switches and the speeds.
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/clock.h"
#include "story/game_choices.h"
#include "story/game_controls.h"
#include "story/options_window.h"
#include "story/settings_file.h"
#include "story/sound_settings.h"
#include "ui/toolkit.h"
#include "window_harness.h"
#include "world/movement.h"

namespace {

using OptionsWindow = WindowTest;

ui_object* object(int id) {
    return find_object(0, id);
}

// Drags a slider with the left button to its top or bottom row: press at its
// middle, move, release.
void drag_slider(int poll, int id, bool to_top) {
    WindowTest::at(poll, [poll, id, to_top] {
        ui_object* slider = object(id);
        ASSERT_NE(slider, nullptr);
        const int x = slider->screen_x + 5;
        const int to_y = to_top ? slider->screen_y : slider->screen_y + slider->h;
        WindowTest::mouse(poll + 1, x, slider->screen_y + slider->h / 2, MOUSE_EV_LEFT_DOWN, true);
        WindowTest::mouse(poll + 2, x, to_y, MOUSE_EV_MOTION, true);
        WindowTest::mouse(poll + 3, x, to_y, MOUSE_EV_LEFT_UP, false);
    });
}

void click_object(int poll, int id) {
    WindowTest::at(poll, [poll, id] {
        ui_object* o = object(id);
        ASSERT_NE(o, nullptr);
        WindowTest::click(poll + 1, o->screen_x + 5, o->screen_y + 5);
    });
}

TEST_F(OptionsWindow, MusicSliderAtItsTopGivesTheFullMusicVolumeOf127Of128) {
    drag_slider(2, OPT_MUSIC, true);
    key(8, KEY_ESCAPE);
    options_window();
    EXPECT_EQ(sound_get_setting(SOUND_MUSIC), 127);
    EXPECT_DOUBLE_EQ(sound_setting_level(SOUND_MUSIC), 127.0 / 128.0);
    EXPECT_EQ(top_window, first_window);
}

TEST_F(OptionsWindow, SpeedSliderAtTheTopGivesSpeedOneAndAtTheBottomSpeedTwentyFive) {
    drag_slider(2, OPT_GAME_SPEED, true);
    at(7, [] {
        EXPECT_EQ(get_object_value(0, OPT_GAME_SPEED), 24);
        EXPECT_EQ(tick_length(), 1);
    });
    drag_slider(8, OPT_GAME_SPEED, false);
    key(14, KEY_F1);  // F1 closes it as well
    options_window();
    EXPECT_EQ(tick_length(), 25);
}

TEST_F(OptionsWindow, SwitchSlidesToItsEndInTwentyFourTicksAndBackFromWhereItWasTurnedOff) {
    // Autosave starts on, so its switch slides from phase 0 as the window opens.
    std::vector<int> phases;
    for (int poll = 1; poll <= 40; ++poll)
        at(poll, [&phases] { phases.push_back(switch_phase(object(OPT_AUTOSAVE)->value[0])); });
    // Turned off at poll 14, after three steps.
    click_object(13, OPT_AUTOSAVE);
    key(41, KEY_ESCAPE);
    options_window();
    ASSERT_EQ(phases.size(), 40u);
    EXPECT_EQ(phases[3], 0);  // ticks 1-3 (a poll sees the ticks of the polls before it)
    EXPECT_EQ(phases[4], 1);  // the 4th tick
    EXPECT_EQ(phases[12], 3);
    EXPECT_EQ(phases[16], 2);  // turned off at phase 3: back from there
    EXPECT_EQ(phases[28], 0);
    EXPECT_FALSE(choices.autosave);  // read as the window closes

    // Without interruption the end comes with the 24th tick.
    phases.clear();
    const int start = polls();
    for (int poll = 1; poll <= 30; ++poll)
        at(start + poll, [&phases] { phases.push_back(switch_phase(object(OPT_MEMBER_NAMES)->value[0])); });
    click_object(start + 1, OPT_MEMBER_NAMES);
    key(start + 31, KEY_ESCAPE);
    options_window();
    ASSERT_EQ(phases.size(), 30u);
    const int first_step = static_cast<int>(std::find(phases.begin(), phases.end(), 1) - phases.begin());
    EXPECT_EQ(phases[static_cast<size_t>(first_step + 19)], 5);
    EXPECT_EQ(phases[static_cast<size_t>(first_step + 20)], 6);
    EXPECT_TRUE(choices.member_names);
}

TEST_F(OptionsWindow, SpeedGroupKeepsOneSwitchOnAndSetsTheSpeed) {
    click_object(2, OPT_WALK_SPEED_0 + 20);
    click_object(5, OPT_TURN_SPEED_0);
    click_object(8, OPT_TURN_SPEED_0);  // clicking the switch that is on keeps it on
    at(11, [] {
        EXPECT_EQ(object(OPT_WALK_SPEED_0)->value[0] & 1, 0);
        EXPECT_EQ(object(OPT_WALK_SPEED_0 + 10)->value[0] & 1, 0);
        EXPECT_EQ(object(OPT_WALK_SPEED_0 + 20)->value[0] & 1, 1);
        EXPECT_EQ(object(OPT_TURN_SPEED_0)->value[0] & 1, 1);
    });
    key(12, KEY_ESCAPE);
    options_window();
    EXPECT_EQ(movement.walk_speed, 2);
    EXPECT_EQ(movement.turn_speed, 0);
}

TEST_F(OptionsWindow, FastBattlesSwitchKeepsTheBattleStepIntervalAndCloseButtonCloses) {
    click_object(2, OPT_FAST_BATTLES);
    click_object(5, OPT_SWAP_CHANNELS);
    click_object(8, OPT_CLOSE);
    options_window();
    EXPECT_EQ(choices.battle_step_interval, FAST_BATTLE_STEP);
    EXPECT_EQ(sound_get_setting(SOUND_SWAP), 1);
    EXPECT_EQ(top_window, first_window);
}

TEST_F(OptionsWindow, DraggingFromASliderOntoTheCloseButtonDoesNotClose) {
    at(2, [] {
        ui_object* slider = object(OPT_BASS);
        ui_object* close = object(OPT_CLOSE);
        mouse(3, slider->screen_x + 5, slider->screen_y + 100, MOUSE_EV_LEFT_DOWN, true);
        mouse(4, close->screen_x + 5, close->screen_y + 5, MOUSE_EV_MOTION, true);
        mouse(5, close->screen_x + 5, close->screen_y + 5, MOUSE_EV_LEFT_UP, false);
    });
    at(9, [] { EXPECT_NE(top_window, first_window); });
    key(10, KEY_ESCAPE);
    options_window();
    EXPECT_GE(polls(), 10);
}

TEST_F(OptionsWindow, ChangedSettingIsWrittenToTheConfigurationFileOnClose) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("vorthan-options-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "vorthan.ini").string();
    std::ofstream(path) << "# the player's file\n[paths]\nroot = ./\n\n[audio]\ndevice = \n";
    set_settings_file(path);
    load_settings(nullptr);
    drag_slider(2, OPT_MUSIC, true);
    key(8, KEY_ESCAPE);
    options_window();
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    EXPECT_EQ(text.str(),
              "# the player's file\n[paths]\nroot = ./\n\n[audio]\ndevice = \nmusic_volume = 127\n");
    std::filesystem::remove_all(folder);
}

}  // namespace
