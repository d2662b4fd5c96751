// The story's part of saving: the switches and sounds a save keeps and a load
// puts back, the autosaves of a rest that follow the autosave switch, and the
// story log the scripts write.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "base/paths.h"
#include "rules/items.h"
#include "rules/party.h"
#include "rules/spells/spells.h"
#include "saves/game_save.h"
#include "saves/save_list.h"
#include "saves/temp_store.h"
#include "story/dialog.h"
#include "story/game_choices.h"
#include "story/held_items.h"
#include "story/saves_links.h"
#include "story/sound_settings.h"
#include "world/map_services.h"
#include "world/rest.h"

namespace fs = std::filesystem;

namespace {

class SavesLinks : public ::testing::Test {
  protected:
    std::string folder;

    void SetUp() override {
        folder = (fs::temp_directory_path() / ("vorthan_saves_links_" + std::to_string(getpid()))).string();
        fs::remove_all(folder);
        path_table[PATH_SAVEGAME] = folder;
        install_saves_links();
        new_game_saves();
        reset_party();
        load_effects(std::vector<uint8_t>{0, 0, 0, 0});
        game_items().set_definitions(std::vector<item_def>(3));
        reset_sound_settings();
        choices = game_choices{};
        held_items().clear();
    }
    void TearDown() override {
        set_saves_world(nullptr);
        reset_rest_services();
        reset_map_services();
        choices = game_choices{};
        reset_sound_settings();
        fs::remove_all(folder);
    }
};

}  // namespace

TEST_F(SavesLinks, SwitchesSoundsTravelAndHandComeBackWithTheGame) {
    choices.autosave = false;
    choices.group_order = true;
    choices.battle_step_interval = FAST_BATTLE_STEP;
    dialog.travel = true;
    sound_set_setting(SOUND_MUSIC, 100);
    sound_set_setting(SOUND_EFFECTS, 200);
    sound_set_setting(SOUND_BASS, 30);
    sound_set_setting(SOUND_SWAP, 1);
    held_items() = {2, -2};
    ASSERT_EQ(save_game(1, "Options", false), 0);

    choices = game_choices{};
    dialog.travel = false;
    reset_sound_settings();
    held_items().clear();
    ASSERT_EQ(load_game(saved_game_name(game_identity(), 1, false)), 0);

    EXPECT_FALSE(choices.autosave);
    EXPECT_TRUE(choices.group_order);
    EXPECT_FALSE(choices.member_names);
    EXPECT_EQ(choices.battle_step_interval, FAST_BATTLE_STEP);
    EXPECT_TRUE(dialog.travel);
    EXPECT_EQ(sound_get_setting(SOUND_MUSIC), 100);
    EXPECT_EQ(sound_get_setting(SOUND_EFFECTS), 200);
    EXPECT_EQ(sound_get_setting(SOUND_BASS), 30);
    EXPECT_EQ(sound_get_setting(SOUND_SWAP), 1);
    EXPECT_EQ(held_items(), (held_list{2, -2}));
}

TEST_F(SavesLinks, RestAutosavesOnlyWithTheSwitchOnAndScriptsWriteTheStory) {
    auto autosaves = [&] { return build_save_list(folder, 0, false).size(); };
    choices.autosave = false;
    rest_services.autosave();
    EXPECT_EQ(autosaves(), 0u);
    choices.autosave = true;
    rest_services.autosave();
    ASSERT_EQ(autosaves(), 1u);
    EXPECT_TRUE(build_save_list(folder, 0, false)[0].autosave);

    map_services.append_story("The gate opened.");
    map_services.append_story("Night fell.");
    temp_bytes story(size_t(game_store().size(STORY_ENTRY_NAME)));
    game_store().read_all(STORY_ENTRY_NAME, story.data(), story.size());
    EXPECT_EQ(story_lines(story), (std::vector<std::string>{"The gate opened.", "Night fell."}));
    EXPECT_EQ(story.back(), '\n');
}
