// End to end on the headless display with the demo.
// - A save named on the save screen (F2) loads back from the load screen (F3)
//   with the party facing the way it did; F5 writes an autosave.
// - A party that has fought the goblin, talked to the merchant and bought
//   from him, cast a lasting spell and raised the cellars' gate with its
//   lever saves, plays on (the gate down again, back up into the keep, the
//   spell worn off) and loads the save: everything is as it was at the save,
//   and a second save made at once holds the same store byte for byte as the
//   first (the play time aside).
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/random.h"
#include "demo_places.h"
#include "demo_session.h"
#include "monsters/monsters.h"
#include "rules/battle/battle.h"
#include "rules/battle_desk/battle_desk.h"
#include "rules/flight/flight.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "rules/rune_panel/rune_panel.h"
#include "rules/shops/shops.h"
#include "rules/spells/spells.h"
#include "saves/game_save.h"
#include "saves/save_list.h"
#include "saves/saved_game.h"
#include "story/dialog.h"
#include "story/inventory_screen.h"
#include "story/save_screens.h"
#include "story/shop_screen.h"
#include "support/golden.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/monster_hooks.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/screen_layout.h"

using namespace demo_places;

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";
constexpr uint16_t KEY_F2 = 0x3C00, KEY_F3 = 0x3D00, KEY_F5 = 0x3F00, KEY_RIGHT = 0x4D00;
constexpr uint16_t KEY_UP = 0x4800, KEY_SPACE = 0x3920, KEY_ENTER = 0x1C0D, KEY_ESC = 0x011B;
constexpr uint16_t KEY_I = 0x1769, KEY_R = 0x1372;
constexpr int NORTH = 0, SOUTH = 2, WEST = 3;
constexpr int EARTH = 2, BORIN = 0, LENKA = 1, STONE_STRENGTH = 42;
constexpr int POTION = 0;     // the merchant's first product
constexpr int FREE_CELL = 5;  // Borin carries five things


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

int running(int spell) {
    int count = 0;
    for (const effect_slot& e : effect_slots())
        if (e.used && e.def.number == spell) ++count;
    return count;
}

bool grille_raised() {
    const map_side& side = current_map.sides[size_t(sector_at(13, 6) * 4 + SOUTH)];
    return !(side.flags & SIDE_NOPLAYER);
}

temp_store store_of(const std::string& name) {
    std::optional<saved_game> game = read_saved_game_file(saved_games_folder() + "/" + name);
    EXPECT_TRUE(game) << name;
    return game ? std::move(game->store) : temp_store{};
}

// What the party did before the save, as the save should bring it back.
struct moment {
    std::string map;
    int sector = 0, direction = 0;
    int32_t gold = 0;
    int strength = 0;
    int potions = 0;
    int inventory_cell = 0;
    std::vector<uint8_t> dialog_state;
};

moment now() {
    moment m;
    m.map = current_map.name;
    m.sector = party.sector;
    m.direction = party.direction;
    m.gold = party_state.gold;
    m.strength = party_members[BORIN].stats[STAT_STRENGTH];
    m.potions = game_shops().stock[POTION].stock;
    m.inventory_cell = party_members[BORIN].inventory[FREE_CELL];
    dialog_save_state(m.dialog_state);
    return m;
}

void expect_same(const moment& a, const moment& b) {
    EXPECT_EQ(a.map, b.map);
    EXPECT_EQ(a.sector, b.sector);
    EXPECT_EQ(a.direction, b.direction);
    EXPECT_EQ(a.gold, b.gold);
    EXPECT_EQ(a.strength, b.strength);
    EXPECT_EQ(a.potions, b.potions);
    EXPECT_EQ(a.inventory_cell, b.inventory_cell);
    EXPECT_EQ(a.dialog_state, b.dialog_state);
}

}  // namespace

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

TEST(SavesEndToEnd, AGameSavedAfterABattleATalkAPurchaseASpellAndALeverLoadsBackAsItWas) {
    if (!std::filesystem::exists(demo_dir + "/maps/CELLARS.MAP")) GTEST_SKIP() << "the demo is not built";
    const auto folder = std::filesystem::temp_directory_path() / ("vorthan-play-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    random_seed(1313);
    demo_session s;
    s.options.config_file = config_saving_into(folder).string();
    static int goblin = -1;
    static void (*monster_tick)() = nullptr;
    static moment at_save;
    static std::string saved_name;
    static temp_store saved_store;

    // The goblin at the great hall's doorway falls in one round (as in the
    // battle's own run: the same seed and the same plans).
    s.wait(500);
    s.probe([] {
        restart_random_after_startup(1313);
        goblin = placed_at("GOBLIN", 16, 7);
        ASSERT_GE(goblin, 0);
        monster_table[size_t(goblin)].hp = 3;
        put_party(16, 8, NORTH);
    });
    s.wait(1500);
    s.probe([] { EXPECT_EQ(battle.phase, BATTLE_PLANNING); });
    s.click_in(desk_button_rect(DESK_ATTACK));
    s.probe([] {});
    s.click_in(desk_button_rect(DESK_ATTACK));
    s.probe([] { game_held() = {int16_t(item_named("Dagger"))}; });
    s.click(330, 150);
    s.click_in(desk_button_rect(DESK_REST));
    s.wait(200);
    s.probe([] {});
    s.click_in(desk_button_rect(DESK_GO));
    s.wait(1300);
    s.probe([] {});
    s.wait(5700);
    s.probe([] {
        EXPECT_FALSE(monster_table[size_t(goblin)].alive());
        EXPECT_EQ(battle.phase, BATTLE_OFF);
        // From here on the monsters stand still and leave the party alone, so
        // that the store after the load can be compared with the save's.
        monster_tick = world_monsters.tick;
        world_monsters.tick = nullptr;
        monster_hooks.ignore_party = true;
        party_state.gold = 100;
        put_party(1, 3, WEST);  // under the merchant's awning
    });

    // The merchant's talk opens his shop; the potion is bought at his price.
    s.press(KEY_SPACE, 600);
    s.probe([] { EXPECT_EQ(dialog.choice_count, 3); });
    s.click(100, 297);  // "Show us your wares."
    s.wait(300);
    s.click(SHELF_X + 20, SHELF_Y + 20);
    s.click(BACKPACK_X + FREE_CELL % BACKPACK_COLUMNS * BACKPACK_CELL_W + 20,
            BACKPACK_Y + FREE_CELL / BACKPACK_COLUMNS * BACKPACK_CELL_H + 20);
    s.wait(300);
    s.press(KEY_ENTER, 400);  // yes, at 50
    s.probe([] {
        EXPECT_EQ(party_state.gold, 50);
        EXPECT_EQ(party_members[BORIN].inventory[FREE_CELL], item_named("Healing potion"));
    });
    s.press(KEY_ESC, 600);

    // Lenka's stone strength on Borin: a spell that is still running at the save.
    s.press(KEY_I);
    s.click(party_slot_x(LENKA) + PARTY_SLOT_WIDTH / 2, PANEL_FIRST_ROW + 40);
    s.press(KEY_R);
    s.click_in(rune_tab_rect(EARTH));
    s.click_in(rune_place_rect(0));
    s.click_in(rune_variant_rect(0));
    s.click(party_slot_x(BORIN) + PARTY_SLOT_WIDTH / 2, PANEL_FIRST_ROW + 40);
    s.press(KEY_I);
    s.probe([] {
        EXPECT_EQ(running(STONE_STRENGTH), 1);
        put_party(15, 17, SOUTH);
    });

    // Down into the cellars (past their scene), where the lever raises the
    // gate of its room.
    s.step_skipping_video(KEY_UP);
    s.probe([] {
        ASSERT_EQ(current_map.name, "CELLARS.MAP");
        put_party(13, 6, WEST);
        EXPECT_FALSE(grille_raised());
    });
    s.press(KEY_SPACE, 800);
    s.probe([] { EXPECT_TRUE(grille_raised()); });

    // Saved on the save screen under the offered description.
    s.press(KEY_F2, 600);
    s.click(SAVE_LIST_X + 30, SAVE_ROWS_Y + SAVE_ROW_H / 2);
    s.wait(400);
    s.press(KEY_ENTER, 800);
    const size_t saved = s.probe([] {
        EXPECT_FALSE(save_screen_running());
        const std::vector<save_list_row> manual = build_save_list(saved_games_folder(), 0, true);
        ASSERT_EQ(manual.size(), 1u);
        saved_name = manual[0].name;
        saved_store = store_of(saved_name);
        at_save = now();
        EXPECT_EQ(running(STONE_STRENGTH), 1);
    });

    // Played on: the gate down again, up into the keep, the spell worn off.
    s.press(KEY_SPACE, 800);
    s.probe([] {
        EXPECT_FALSE(grille_raised());
        put_party(2, 1, WEST);
    });
    s.press(KEY_UP, 800);
    s.wait(40000);
    s.probe([] {
        EXPECT_EQ(current_map.name, "KEEP.MAP");
        EXPECT_EQ(running(STONE_STRENGTH), 0);
        party_state.gold += 1000;
    });

    // Loaded from the load screen: the keep's autosave (newest) comes first,
    // the save second.
    s.press(KEY_F3, 600);
    s.options.script.push_back(script_mouse_move(s.t, LOAD_LIST_X + 30, SAVE_ROWS_Y + SAVE_ROW_H * 3 / 2));
    s.wait(300);
    s.probe([] {
        const std::vector<save_screen_row> rows = save_screen_rows_shown();
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_TRUE(rows[0].autosave);
        EXPECT_EQ(rows[1].name, saved_name);
    });
    s.click(LOAD_LIST_X + 30, SAVE_ROWS_Y + SAVE_ROW_H * 3 / 2);
    s.wait(1500);
    const size_t loaded = s.probe([] {
        expect_same(now(), at_save);
        EXPECT_TRUE(grille_raised());
        EXPECT_EQ(running(STONE_STRENGTH), 1);
        // A save made now holds what the first one held.
        ASSERT_EQ(save_game(save_time_now() + 1, "again", false), 0);
        const std::vector<save_list_row> manual = build_save_list(saved_games_folder(), 0, true);
        ASSERT_EQ(manual.size(), 2u);
        temp_store again = store_of(manual[0].name);
        again.remove(PLAY_TIME_ENTRY_NAME);
        temp_store before = saved_store;
        before.remove(PLAY_TIME_ENTRY_NAME);
        EXPECT_EQ(again.entries().size(), before.entries().size());
        for (const auto& [name, bytes] : before.entries()) {
            ASSERT_TRUE(again.entries().contains(name)) << name;
            EXPECT_EQ(again.entries().at(name), bytes) << name;
        }
        world_monsters.tick = monster_tick;
        monster_hooks.ignore_party = false;
    });

    const scripted_run_result run = s.run();
    monster_hooks.ignore_party = false;
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.checkpoints.size(), s.probes.size());
    EXPECT_TRUE(golden::matches(golden_dir + "saves_before_save.png", run.checkpoints[saved].frame_buffer.data()));
    EXPECT_TRUE(golden::matches(golden_dir + "saves_after_load.png", run.checkpoints[loaded].frame_buffer.data()));
    std::filesystem::remove_all(folder);
}
