#include "saves/game_save.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/paths.h"
#include "fresh_game.h"
#include "rules/items.h"
#include "rules/party.h"
#include "rules/shops/shops.h"
#include "rules/spells/spells.h"
#include "saves/game_file.h"
#include "saves/save_list.h"
#include "saves/saved_game.h"
#include "saves/temp_store.h"
#include "world/map_scripts.h"
#include "world/party_standin.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> dialog_block() {
    std::vector<uint8_t> block{3, 0, 0, 0, 0x1B};
    block.resize(block.size() + 32, 0);
    block.back() = 0x40;
    return block;
}

// The story's part as a test sees it: what it was told and what it hands over.
class recording_world final : public saves_world {
  public:
    settings kept;
    std::vector<int16_t> held;
    // Three paragraphs' marks and the 32 flag bytes.
    std::vector<uint8_t> dialog = dialog_block();
    std::vector<std::string> book{"Day one", "The cellars"};
    std::vector<std::string> failures;
    std::vector<bool> failed_autosave;
    int signs = 0;

    settings current_settings() const override { return kept; }
    void apply_settings(const settings& loaded) override { kept = loaded; }
    void save_dialog_state(std::vector<uint8_t>& out) override {
        out.insert(out.end(), dialog.begin(), dialog.end());
    }
    bool load_dialog_state(const uint8_t* data, size_t size, size_t& used) override {
        dialog.assign(data, data + size);
        used = size;
        return true;
    }
    std::vector<int16_t> hand() const override { return held; }
    void set_hand(const std::vector<int16_t>& items) override { held = items; }
    std::vector<std::string> book_lines() const override { return book; }
    void set_book_lines(const std::vector<std::string>& lines) override { book = lines; }
    void save_failed(const std::string& message, bool autosave) override {
        failures.push_back(message);
        failed_autosave.push_back(autosave);
    }
    void saved_sign() override { ++signs; }
};

std::vector<uint8_t> one_effect() {
    std::vector<uint8_t> block = {1, 0, 0, 0};
    block.resize(4 + GAME_FILE_EFFECT_SIZE, 0);
    block[4 + 56] = 5;  // the first statistic change
    return block;
}

std::vector<uint8_t> effects_now() {
    std::vector<uint8_t> out;
    save_effects(out);
    return out;
}

item_def named(const char* name) {
    item_def item;
    std::strcpy(item.name, name);
    return item;
}

class GameSave : public ::testing::Test {
  protected:
    recording_world world;
    std::string folder;

    void SetUp() override {
        folder = (fs::temp_directory_path() / ("vorthan_game_save_" + std::to_string(getpid())) /
                  ::testing::UnitTest::GetInstance()->current_test_info()->name())
                     .string();
        fs::remove_all(folder);
        start_fresh_game(folder, world, {named("Dagger"), named("Torch"), named("Gold")});
    }
    void TearDown() override {
        for (party_member& m : party_members) {
            delete m.saved_self;
            m.saved_self = nullptr;
        }
        set_saves_world(nullptr);
        fs::remove_all(folder);
    }

    // A game in progress with something in every part the game file keeps.
    void play_a_while() {
        const int16_t clone = game_items().clone_item(1);
        game_items().find(clone)->charges = 7;
        game_items().clone_item(2);
        party_members[0].used = 1;
        std::strcpy(party_members[0].name, "Tomas");
        party_members[0].hp = 30;
        party_members[0].worn[7] = clone;
        party_members[1].used = 1;
        std::strcpy(party_members[1].name, "Wolf");
        party_members[1].saved_self = new party_member;
        std::strcpy(party_members[1].saved_self->name, "Irena");
        party_state.gold = 1234;
        party_state.runes[2] = 0x05;
        party_state.rest_allowance = 999;
        party_state.current_group = 2;
        game_time = 777;
        global_hooks[10] = global_hook{3, 1, 0, 42};
        game_shops().stock = {{5, 0}, {2, 30}};
        ASSERT_TRUE(load_effects(one_effect()));
        world.held = {clone};
        world.kept.travel = true;
        world.kept.sound[0] = 99;
    }

    // The game as a load would find it when nothing was restored.
    void forget_everything() {
        for (party_member& m : party_members) delete m.saved_self;
        reset_party();
        game_items().replace_clones({});
        clear_global_hooks();
        game_shops().stock = {{0, 0}, {0, 0}};
        load_effects(std::vector<uint8_t>{0, 0, 0, 0});
        game_time = 0;
        world.kept = {};
        world.held.clear();
        world.dialog.clear();
        world.book.clear();
    }

    std::string path_of(const std::string& name) const { return folder + "/" + name; }
};

}  // namespace

TEST_F(GameSave, LoadBringsBackEverythingTheSaveKept) {
    play_a_while();
    const std::vector<uint8_t> effects = effects_now();
    ASSERT_EQ(save_game(0x100, "Before the cellars", false), 0);
    EXPECT_EQ(world.signs, 1);
    const uint32_t identity = game_identity();
    ASSERT_NE(identity, 0u);
    const std::string name = saved_game_name(identity, 0x100, false);
    ASSERT_TRUE(fs::exists(path_of(name)));
    EXPECT_EQ(read_saved_game_description(path_of(name)), "Before the cellars");

    forget_everything();
    set_game_identity(0);
    ASSERT_EQ(load_game(name), 0);

    EXPECT_EQ(party_state.gold, 1234);
    EXPECT_EQ(party_state.runes[2], 0x05);
    EXPECT_EQ(party_state.rest_allowance, 999);
    EXPECT_EQ(party_state.current_group, 2);
    EXPECT_EQ(game_time, 777);
    EXPECT_STREQ(party_members[0].name, "Tomas");
    EXPECT_EQ(party_members[0].worn[7], 4);
    ASSERT_NE(party_members[1].saved_self, nullptr);
    EXPECT_STREQ(party_members[1].saved_self->name, "Irena");
    // The created items come back at their numbers, with their own state.
    ASSERT_EQ(game_items().size(), 5);
    EXPECT_STREQ(game_items().find(4)->name, "Dagger");
    EXPECT_EQ(game_items().find(4)->charges, 7);
    EXPECT_EQ(world.held, std::vector<int16_t>{4});
    EXPECT_EQ(effects_now(), effects);
    EXPECT_EQ(global_hooks[10].sector, 3);
    EXPECT_EQ(global_hooks[10].time, 42);
    EXPECT_EQ(game_shops().stock[1].stock, 2);
    EXPECT_EQ(game_shops().stock[1].last_offer, 30);
    EXPECT_TRUE(world.kept.travel);
    EXPECT_EQ(world.kept.sound[0], 99);
    EXPECT_EQ(world.dialog, dialog_block());
    EXPECT_EQ(world.book, (std::vector<std::string>{"Day one", "The cellars"}));
    EXPECT_EQ(game_identity(), identity);
    EXPECT_EQ(loaded_place().sector, 7);
    EXPECT_EQ(loaded_place().direction, 2);
    EXPECT_LE(play_time_seconds(), 2u);
    // Saved on a map none is loaded: it is asked for; no map change clears events.
    EXPECT_TRUE(leaving_map_for_loaded_game());
    EXPECT_FALSE(take_loaded_global_events());
}

TEST_F(GameSave, PlayTimeIsTheStoredFourBytesAndTheIdentityComesFromTheName) {
    play_a_while();
    ASSERT_EQ(save_game(0x100, "Saved", false), 0);
    auto saved = read_saved_game_file(path_of(saved_game_name(game_identity(), 0x100, false)));
    ASSERT_TRUE(saved);

    saved->store.create(PLAY_TIME_ENTRY_NAME, temp_bytes{0x88, 0x13, 0, 0});  // 5000 s
    ASSERT_TRUE(write_saved_game(path_of("sav.0000abcd.00000010"), "Long", saved->store));
    ASSERT_EQ(load_game("sav.0000abcd.00000010"), 0);
    EXPECT_GE(play_time_seconds(), 5000u);
    EXPECT_LE(play_time_seconds(), 5002u);
    EXPECT_EQ(game_identity(), 0xabcdu);
    EXPECT_EQ(autosave_description().substr(autosave_description().size() - 5), "01:23");

    saved->store.create(PLAY_TIME_ENTRY_NAME, temp_bytes{0x88, 0x13, 0});
    ASSERT_TRUE(write_saved_game(path_of("sav.0000abcd.00000011"), "Odd", saved->store));
    ASSERT_EQ(load_game("sav.0000abcd.00000011"), 0);
    EXPECT_LE(play_time_seconds(), 2u);
}

TEST_F(GameSave, CutOrCorruptSavesLeaveGameAndStoreAsTheyWere) {
    play_a_while();
    ASSERT_EQ(save_game(0x100, "Good", false), 0);
    const std::string good = path_of(saved_game_name(game_identity(), 0x100, false));
    auto saved = read_saved_game_file(good);
    ASSERT_TRUE(saved);

    // Cut in the middle of its entries.
    const auto size = fs::file_size(good);
    fs::copy_file(good, path_of("sav.00000001.00000001"));
    fs::resize_file(path_of("sav.00000001.00000001"), size / 2);
    // A game file whose hand is not closed by its 0.
    temp_store corrupt = saved->store;
    temp_bytes game(size_t(corrupt.size(GAME_FILE_NAME)));
    corrupt.read_all(GAME_FILE_NAME, game.data(), game.size());
    game[62] = 5;
    corrupt.create(GAME_FILE_NAME, game);
    ASSERT_TRUE(write_saved_game(path_of("sav.00000001.00000002"), "Corrupt", corrupt));
    // No game file at all; and (below) no file of that name.
    temp_store without = saved->store;
    without.remove(GAME_FILE_NAME);
    ASSERT_TRUE(write_saved_game(path_of("sav.00000001.00000003"), "Empty", without));

    // A good save outside the folder is not reached through the name.
    fs::copy_file(good, folder + "/../sav.00000001.00000009", fs::copy_options::overwrite_existing);

    // The game goes on meanwhile.
    party_state.gold = 55;
    game_store().create("MARK", temp_bytes{1});
    const temp_store store_before = game_store();
    const std::vector<uint8_t> effects = effects_now();
    const int items = game_items().size();
    const uint32_t identity = game_identity();

    for (const char* name : {"sav.00000001.00000001", "sav.00000001.00000002", "sav.00000001.00000003",
                             "sav.00000001.0000000f", "../sav.00000001.00000009", ""}) {
        EXPECT_NE(load_game(name), 0) << name;
        EXPECT_EQ(party_state.gold, 55) << name;
        EXPECT_TRUE(game_store() == store_before) << name;
        EXPECT_EQ(effects_now(), effects) << name;
        EXPECT_EQ(game_items().size(), items) << name;
        EXPECT_EQ(game_identity(), identity) << name;
        EXPECT_FALSE(take_loaded_global_events()) << name;
    }
}

TEST_F(GameSave, AutosaveKeepsOlderOnesWhileAMemberLiesDeadOnThisMap) {
    set_game_identity(0x1234);
    fs::create_directories(folder);
    for (const char* name :
         {"sav.00001234.00000001-autosave", "sav.00001234.00000002", "sav.00005678.00000001-autosave"})
        std::ofstream(path_of(name)) << "x";
    auto autosaves_of_this_game = [&] {
        std::vector<std::string> names;
        for (const auto& row : build_save_list(folder, 0x1234, false))
            if (row.autosave) names.push_back(row.name);
        return names;
    };

    party.members[0].hit_points = 0;
    ASSERT_EQ(autosave(), 0);
    EXPECT_EQ(autosaves_of_this_game().size(), 2u);

    party.members[0].hit_points = 10;
    ASSERT_EQ(autosave(), 0);
    const auto left = autosaves_of_this_game();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(left[0], "sav.00001234.00000001-autosave");
    EXPECT_TRUE(fs::exists(path_of("sav.00001234.00000002")));
    EXPECT_TRUE(fs::exists(path_of("sav.00005678.00000001-autosave")));
    EXPECT_EQ(world.signs, 2);
}

TEST_F(GameSave, FailedSaveTellsThePathAndKeepsTheOlderFile) {
    play_a_while();
    ASSERT_EQ(save_game(0x200, "First", false), 0);
    const std::string path = path_of(saved_game_name(game_identity(), 0x200, false));
    const auto first = read_saved_game_file(path);
    ASSERT_TRUE(first);

    // The writer's temporary cannot be made: a folder stands in its place.
    fs::create_directories(path + ".tmp" + std::to_string(getpid()) + "/in the way");
    party_state.gold = 1;
    EXPECT_NE(save_game(0x200, "Second", false), 0);
    ASSERT_EQ(world.failures.size(), 1u);
    EXPECT_EQ(world.failures[0], "Failed to create savegame at path " + path);
    EXPECT_FALSE(world.failed_autosave[0]);
    EXPECT_EQ(world.signs, 1);
    const auto after = read_saved_game_file(path);
    ASSERT_TRUE(after);
    EXPECT_EQ(after->description, "First");
    EXPECT_TRUE(after->store == first->store);

    // A folder that cannot be made: an autosave says so too.
    std::ofstream(folder + "/file") << "x";
    path_table[PATH_SAVEGAME] = folder + "/file/Vorthan";
    EXPECT_NE(autosave(), 0);
    ASSERT_EQ(world.failures.size(), 2u);
    EXPECT_TRUE(world.failed_autosave[1]);
}
