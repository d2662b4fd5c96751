// The player's settings in the configuration file.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/config.h"
#include "core/clock.h"
#include "story/game_choices.h"
#include "story/ini_edit.h"
#include "story/settings_file.h"
#include "story/sound_settings.h"
#include "world/movement.h"

namespace {

TEST(IniEdit, ReplacesTheKeysFirstValueAndKeepsEveryOtherLine) {
    const std::string text = "# volumes\n[audio]\n  music_volume = 64  \nmusic_volume=3\n[video]\nx=1\n";
    EXPECT_EQ(ini_text_set(text, "audio", "music_volume", "127"),
              "# volumes\n[audio]\nmusic_volume = 127\nmusic_volume=3\n[video]\nx=1\n");
    // The same key in another section is not this one.
    EXPECT_EQ(ini_text_set("[video]\nbass = 1\n", "audio", "bass", "2"),
              "[video]\nbass = 1\n\n[audio]\nbass = 2\n");
}

TEST(IniEdit, MissingKeyGoesAfterTheSectionsLastKeyAndMissingSectionAtTheEnd) {
    EXPECT_EQ(ini_text_set("[audio]\ndevice = x\n\n# video\n[video]\n", "audio", "bass", "5"),
              "[audio]\ndevice = x\nbass = 5\n\n# video\n[video]\n");
    EXPECT_EQ(ini_text_set("[audio]\n[video]\n", "audio", "bass", "5"), "[audio]\nbass = 5\n[video]\n");
    EXPECT_EQ(ini_text_set("[paths]\nroot = ./", "game", "autosave", "on"),
              "[paths]\nroot = ./\n\n[game]\nautosave = on\n");
    EXPECT_EQ(ini_text_set("", "game", "autosave", "on"), "[game]\nautosave = on\n");
}

TEST(IniEdit, WindowsLineEndingsAreKept) {
    EXPECT_EQ(ini_text_set("[audio]\r\nbass = 1\r\n", "audio", "bass", "2"), "[audio]\r\nbass = 2\r\n");
    EXPECT_EQ(ini_text_set("[audio]\r\nbass = 1\r\n", "audio", "treble", "2"),
              "[audio]\r\nbass = 1\r\ntreble = 2\r\n");
}

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("vorthan-settings-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        path = (folder / "vorthan.ini").string();
        reset_sound_settings();
        choices = game_choices{};
        movement.walk_speed = movement.turn_speed = 1;
        set_tick_length(DEFAULT_TICK_LENGTH);
    }
    void TearDown() override {
        set_settings_file("");
        set_tick_length(DEFAULT_TICK_LENGTH);
        reset_sound_settings();
        std::filesystem::remove_all(folder);
    }
    std::string read() const {
        std::stringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
    }
    std::filesystem::path folder;
    std::string path;
};

TEST_F(SettingsFile, LoadedSettingsTakeEffectAndUnchangedOnesAreNotWritten) {
    const std::string original =
        "[audio]\nmusic_volume = 100\nswap_channels = yes\n[game]\ngame_speed = 10\nwalk_speed = 7\nautosave "
        "= off\n";
    std::ofstream(path) << original;
    auto config = ini_open(path);
    load_settings(config.get());
    EXPECT_EQ(sound_get_setting(SOUND_MUSIC), 100);
    EXPECT_EQ(sound_get_setting(SOUND_SWAP), 1);
    EXPECT_EQ(tick_length(), 10);
    EXPECT_EQ(movement.walk_speed, 2);  // kept within 0-2
    EXPECT_FALSE(choices.autosave);
    set_settings_file(path);
    EXPECT_TRUE(save_settings(config.get()));
    EXPECT_EQ(read(), original.substr(0, original.find("walk_speed")) + "walk_speed = 2\nautosave = off\n");
}

TEST_F(SettingsFile, ChangedSettingsGoToTheFileAndTheConfigurationInMemory) {
    std::ofstream(path) << "[audio]\ndevice = \n";
    auto config = ini_open(path);
    load_settings(config.get());
    set_settings_file(path);
    sound_set_setting(SOUND_BASS, 40);
    choices.battle_step_interval = FAST_BATTLE_STEP;
    EXPECT_TRUE(save_settings(config.get()));
    EXPECT_EQ(read(), "[audio]\ndevice = \nbass = 40\n\n[game]\nfast_battles = on\n");
    EXPECT_STREQ(ini_get(ini_section(config.get(), "audio"), "bass"), "40");
    // Nothing left in temporary files beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(SettingsFile, FileThatCannotBeReadIsNotReplaced) {
    auto config = ini_parse("[audio]\n");
    load_settings(config.get());
    set_settings_file(path);  // never written: it does not exist
    sound_set_setting(SOUND_TREBLE, 9);
    EXPECT_FALSE(save_settings(config.get()));
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
