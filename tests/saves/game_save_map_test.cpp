// Loading a game saved on the map that is loaded, and on another one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "../world/map_test_files.h"
#include "base/paths.h"
#include "core/event_ids.h"
#include "core/events.h"
#include "rules/items.h"
#include "rules/party.h"
#include "rules/spells/spells.h"
#include "saves/game_save.h"
#include "saves/save_list.h"
#include "saves/saved_game.h"
#include "saves/temp_store.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_scripts.h"
#include "world/party_standin.h"

namespace fs = std::filesystem;

namespace {

std::string requested_map;
int requested_sector = -1;

void record_change(event_msg& msg, void**) {
    if (msg.number != EV_CHANGE_MAP) return;
    const auto* request = msg.next_ptr<const map_change_request>();
    requested_map = request->name;
    requested_sector = request->sector;
}

class GameSaveOnMap : public ::testing::Test {
  protected:
    map_test::maps_folder maps;
    std::string folder;

    void SetUp() override {
        folder = (fs::temp_directory_path() / ("vorthan_game_save_map_" + std::to_string(getpid()))).string();
        fs::remove_all(folder);
        path_table[PATH_SAVEGAME] = folder;
        new_game_saves();
        reset_party();
        clear_global_hooks();
        load_effects(std::vector<uint8_t>{0, 0, 0, 0});
        game_items().set_definitions(std::vector<item_def>(6));
        install_temp_store_for_maps();
        install_map_rules();
        maps.write("ONE.MAP", map_test::file_of(map_test::small_map()));
        maps.write("TWO.MAP", map_test::file_of(map_test::small_map()));
        maps.write_text("ONE.txt", "-1\n");
        maps.write_text("TWO.txt", "-1\n");
        ASSERT_EQ(load_map("ONE.MAP"), MAP_OK);
        new_standin_party(1, 1);
        requested_map.clear();
        requested_sector = -1;
        add_event_handler(EV_CHANGE_MAP, record_change);
    }
    void TearDown() override {
        remove_event_handler(EV_CHANGE_MAP, record_change);
        if (!current_map.name.empty()) unload_map(1);
        set_map_state_store({});
        fs::remove_all(folder);
    }
    static map_side& north_of(int sector) { return current_map.sides[size_t(4 * sector)]; }
};

}  // namespace

TEST_F(GameSaveOnMap, LoadOnTheSameMapPutsBackItsRecordsAndPlace) {
    north_of(2).flags ^= SIDE_P_VIS;
    const uint32_t saved_flags = north_of(2).flags;
    const uint8_t file_type = current_map.sectors[3].sector_type;
    current_map.items.push_back(map_item_place{4 * 3 + 1, {5, 0}});
    ASSERT_EQ(save_game(1, "Here", false), 0);

    north_of(2).flags ^= SIDE_P_VIS;
    current_map.sectors[3].sector_type = 13;
    current_map.coords[4].coord_flags |= MC_MAPPED;
    current_map.items.clear();  // picked up
    place_party(2, 3);
    ASSERT_EQ(load_game(saved_game_name(game_identity(), 1, false)), 0);

    EXPECT_EQ(north_of(2).flags, saved_flags);
    EXPECT_EQ(current_map.sectors[3].sector_type, file_type);
    EXPECT_FALSE(current_map.coords[4].coord_flags & MC_MAPPED);
    ASSERT_EQ(current_map.items.size(), 1u);
    EXPECT_EQ(current_map.items[0].items, (std::vector<int16_t>{5, 0}));
    EXPECT_EQ(party.sector, 1);
    EXPECT_EQ(party.direction, 1);
    EXPECT_TRUE(requested_map.empty());
    EXPECT_FALSE(leaving_map_for_loaded_game());
    EXPECT_FALSE(take_loaded_global_events());
}

TEST_F(GameSaveOnMap, LoadOfAnotherMapAsksForItAndTheMapLeftStoresNothing) {
    north_of(2).flags ^= SIDE_P_VIS;
    const uint32_t saved_flags = north_of(2).flags;
    global_hooks[10] = global_hook{2, 1, 0, 0};
    ASSERT_EQ(save_game(1, "On one", false), 0);
    const std::string name = saved_game_name(game_identity(), 1, false);

    // The party walks on to the second map and changes it.
    unload_map(1);
    ASSERT_EQ(load_map("TWO.MAP"), MAP_OK);
    north_of(3).flags ^= SIDE_P_VIS;
    ASSERT_EQ(load_game(name), 0);
    EXPECT_EQ(requested_map, "ONE.MAP");
    EXPECT_EQ(requested_sector, 1);
    EXPECT_TRUE(leaving_map_for_loaded_game());

    // The game loop carries the change out.
    unload_map(2);
    EXPECT_EQ(game_store().size("TWO.MAP"), -1);
    EXPECT_EQ(game_store().size("TWO.MAP.lplace"), -1);
    ASSERT_EQ(load_map("ONE.MAP"), MAP_OK);
    EXPECT_FALSE(leaving_map_for_loaded_game());
    EXPECT_EQ(north_of(2).flags, saved_flags);
    EXPECT_TRUE(take_loaded_global_events());
    EXPECT_EQ(global_hooks[10].sector, 2);
}

TEST_F(GameSaveOnMap, ARecordThatDoesNotFitThisMapLoadsNothing) {
    ASSERT_EQ(save_game(1, "Here", false), 0);
    const std::string path = folder + "/" + saved_game_name(game_identity(), 1, false);
    auto saved = read_saved_game_file(path);
    ASSERT_TRUE(saved);
    temp_bytes record(size_t(saved->store.size("ONE.MAP")));
    saved->store.read_all("ONE.MAP", record.data(), record.size());
    record.resize(record.size() - 3);  // cut inside its last part
    saved->store.create("ONE.MAP", record);
    ASSERT_TRUE(write_saved_game(path, "Cut", saved->store));

    north_of(2).flags ^= SIDE_P_VIS;
    const uint32_t flags = north_of(2).flags;
    game_items().clone_item(1);
    party_state.gold = 9;
    EXPECT_NE(load_game(saved_game_name(game_identity(), 1, false)), 0);
    EXPECT_EQ(north_of(2).flags, flags);
    EXPECT_EQ(game_items().size(), 7);
    EXPECT_EQ(party_state.gold, 9);
}
