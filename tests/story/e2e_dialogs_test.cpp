// The whole program on the headless display with the demo, on a seeded
// random: the party talks. The warden in the great hall calls the party liars
// until it has been down in the cellars, then pays it and teaches it a rune;
// the prisoner in the cellars joins as the fifth member; the merchant in the
// courtyard ends his talk by opening his shop, where a potion is bought with
// haggling and a dagger sold. Conversations are opened with Space at the wall
// as the player does, answered with keys and clicks on the choice lines;
// frames are compared with golden pictures.
#include <SDL2/SDL_scancode.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

#include "core/random.h"
#include "gfx/video_player.h"
#include "demo_places.h"
#include "demo_session.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "rules/shops/shops.h"
#include "story/dialog.h"
#include "story/dialog_screen.h"
#include "story/inventory_screen.h"
#include "story/shop_screen.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "ui/toolkit.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/panel.h"
#include "world/party_standin.h"

using namespace demo_places;

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";

constexpr uint16_t KEY_UP = 0x4800, KEY_SPACE = 0x3920, KEY_ENTER = 0x1C0D, KEY_ESC = 0x011B;
constexpr int NORTH = 0, EAST = 1, SOUTH = 2, WEST = 3;
constexpr int CELLARS_SEEN = 16;  // the story flag the cellars' map sets on entry
constexpr int WATER = 1;
constexpr uint8_t WATER_SECOND = 1 << 1;  // "water:2": runes count from 1, bits from 0

bool demo_built() {
    return std::filesystem::exists(demo_dir + "/maps/KEEP.MAP") &&
           std::filesystem::exists(demo_dir + "/maps/DIALOGY.DAT");
}

int members_in_party() {
    int count = 0;
    for (const party_member& m : party_members)
        if (m.used) ++count;
    return count;
}

void expect_goldens(const scripted_run_result& run,
                    std::initializer_list<std::pair<size_t, const char*>> goldens) {
    for (const auto& [index, name] : goldens)
        EXPECT_TRUE(golden::matches(golden_dir + name + ".png", run.checkpoints[index].frame_buffer.data()))
            << name;
}

// A click on the line of a choice: the probe before it checks that the line
// shows that choice now.
constexpr int LINE_X = 100;
// Backpack cell `cell` of the shop's customer, a member's portrait on the
// party bar, and an amount typed into the haggling window with Enter.
constexpr int FREE_CELL = 5;  // Borin carries five things
constexpr int TOMAS = 2;      // the third member; his backpack starts with a dagger
void click_backpack(demo_session& s, int cell) {
    s.click(BACKPACK_X + cell % BACKPACK_COLUMNS * BACKPACK_CELL_W + 20,
            BACKPACK_Y + cell / BACKPACK_COLUMNS * BACKPACK_CELL_H + 20);
}
void click_portrait(demo_session& s, int position) {
    s.click(PARTY_BAR_FIRST_X + position * PARTY_SLOT_WIDTH + PARTY_SLOT_WIDTH / 2, INVENTORY_ROWS + 40);
}
// The keyboard reads as the Czech one: the number row's plain keys write
// accented letters, its digits come with Shift, so a player types an amount
// with Shift held (or on the keypad). The keys go through the whole
// keyboard path, as the window system gives them.
void type(demo_session& s, const std::string& digits) {
    for (char c : digits) {
        const int key = c == '0' ? SDL_SCANCODE_0 : SDL_SCANCODE_1 + (c - '1');
        s.options.script.push_back(script_scancode(s.t, key, true));
        s.wait(150);
    }
    s.press(KEY_ENTER, 400);
}
void pick_by_click(demo_session& s, int y, int choice) {
    s.probe([=] {
        ASSERT_EQ(dialog.waiting, dialog_wait::ask);
        EXPECT_EQ(dialog_choice_at(LINE_X, y), choice) << "at " << y;
    });
    s.click(LINE_X, y);
    s.wait(300);
}

}  // namespace

// The warden is talked to twice: before the cellars his question about them
// catches the party lying; after the walk down, where the prisoner joins, he
// pays and teaches the water rune.
TEST(DialogsEndToEnd, TheWardenPaysOnlyAfterTheCellarsWereSeenAndThePrisonerJoinsAsTheFifth) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    random_seed(1701);
    demo_session s;
    int gold_before = 0;
    s.wait(500);
    s.probe([&] {
        restart_random_after_startup(1701);
        // The talks are about the people, not the fights: the keep's monsters
        // do not watch for the party (the debug console's switch).
        monster_hooks.ignore_party = true;
        gold_before = party_state.gold;
        // The starting party knows the water rune the warden teaches: it is
        // forgotten here so that learning it shows.
        party_state.runes[WATER] &= uint8_t(~WATER_SECOND);
        EXPECT_FALSE(story_flag(CELLARS_SEEN));
        put_party(22, 4, EAST);  // before the barricade at the hall's east end
    });
    s.press(KEY_SPACE, 600);
    const size_t greeted = s.probe([] {
        EXPECT_TRUE(dialog.running);
        EXPECT_EQ(dialog.choice_count, 2);  // who we are, or leaving
    });
    pick_by_click(s, 286, 0);  // "We are travellers from the valley."
    s.press(KEY_ENTER, 400);   // "We have been there already." (the first choice)
    const size_t caught = s.probe([&] {
        EXPECT_EQ(dialog.choice_count, 1);  // only "All right, all right."
        EXPECT_EQ(party_state.gold, gold_before);
        EXPECT_FALSE(party_state.runes[WATER] & WATER_SECOND);
    });
    s.press(KEY_ENTER, 400);
    s.probe([] { EXPECT_FALSE(dialog.running); });

    // Down the stairs: entering the cellars sets the flag the warden asks about.
    s.probe([] { put_party(15, 17, SOUTH); });
    s.step_skipping_video(KEY_UP);  // the cellars' scene plays the first time down
    s.probe([] {
        EXPECT_EQ(current_map.name, "CELLARS.MAP");
        EXPECT_GT(video_frames_shown(), 0u);    // the scene played
        EXPECT_LT(video_frames_shown(), 120u);  // and the key cut it short
        EXPECT_TRUE(story_flag(CELLARS_SEEN));
        EXPECT_EQ(members_in_party(), 4);
        put_party(8, 5, SOUTH);  // at the cell's grille
    });
    s.press(KEY_SPACE, 600);
    s.probe([] { EXPECT_EQ(dialog.choice_count, 3); });  // why, join, later
    pick_by_click(s, 297, 1);                            // "Come with us. The grille is open."
    const size_t joined = s.probe([] {
        EXPECT_EQ(members_in_party(), 5);
        EXPECT_TRUE(story_flag(18));  // the prisoner is free
    });
    s.press(KEY_ENTER, 400);
    s.probe([] {
        EXPECT_FALSE(dialog.running);
        put_party(2, 1, WEST);  // up the stairs again
    });
    s.press(KEY_UP, 800);
    s.probe([] {
        EXPECT_EQ(current_map.name, "KEEP.MAP");
        put_party(22, 4, EAST);
    });
    s.press(KEY_SPACE, 600);
    // Seen again, the warden does not ask who the party is: that choice was
    // offered only until its paragraph was entered.
    s.probe([] { EXPECT_EQ(dialog.choice_count, 2); });
    s.press(KEY_ENTER, 400);  // "We have been in the cellars."
    const size_t rewarded = s.probe([&] {
        EXPECT_EQ(party_state.gold, gold_before + 50);
        EXPECT_TRUE(party_state.runes[WATER] & WATER_SECOND);
    });
    s.press(KEY_ENTER, 400);
    s.probe([] { EXPECT_FALSE(dialog.running); });

    const scripted_run_result run = s.run();
    monster_hooks.ignore_party = false;
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.checkpoints.size(), s.probes.size());
    expect_goldens(run, {{greeted, "dialogs_warden_greets"},
                         {caught, "dialogs_warden_liar"},
                         {joined, "dialogs_prisoner_joins"},
                         {rewarded, "dialogs_warden_rewards"}});
}

// The merchant's talk ends in his shop: the healing potion is bought for less
// than the asking price after one offer is refused, and Tomas sells his
// dagger.
TEST(DialogsEndToEnd, TheMerchantsTalkOpensHisShopWhereAPotionIsHaggledForAndADaggerSold) {
    if (!demo_built()) GTEST_SKIP() << "the demo is not built";
    random_seed(1702);
    demo_session s;
    constexpr int POTION = 0;  // the healing potion: first in the merchant's list, first on his shelf
    constexpr int DAGGER = 6;  // the dagger's product, which the merchant also buys
    int potions = 0, daggers = 0;
    s.wait(500);
    s.probe([&] {
        restart_random_after_startup(1702);
        monster_hooks.ignore_party = true;
        party_state.gold = 100;  // the party starts with none; the warden's reward is another run
        put_party(1, 3, WEST);   // under the merchant's awning
    });
    s.press(KEY_SPACE, 600);
    s.probe([] { EXPECT_EQ(dialog.choice_count, 3); });  // news, wares, goodbye
    pick_by_click(s, 297, 1);                            // "Show us your wares."
    const size_t shop_open = s.probe([&] {
        EXPECT_FALSE(dialog.running);
        EXPECT_EQ(shop_customer(), 0);
        ASSERT_GT(game_shops().stock.size(), size_t(DAGGER));
        potions = game_shops().stock[POTION].stock;
        daggers = game_shops().stock[DAGGER].stock;
        EXPECT_GE(potions, 2);
    });
    s.click(SHELF_X + 20, SHELF_Y + 20);  // the healing potion, unpaid
    s.probe([&] {
        EXPECT_EQ(shop_unpaid_product(), POTION);
        EXPECT_EQ(party_members[0].inventory[FREE_CELL], 0);
    });
    click_backpack(s, FREE_CELL);  // "It costs 50." Yes, Haggle, No
    s.wait(300);
    s.probe([] {
        const ui_object* haggle = find_object(0, 1);
        ASSERT_NE(haggle, nullptr);
        EXPECT_EQ(haggle->screen_x, 295);
        EXPECT_EQ(haggle->screen_y, 181);
    });
    s.click(299, 185);
    s.wait(300);
    type(s, "1");  // far below what the merchant would take: refused
    const size_t haggled = s.probe([&] {
        EXPECT_EQ(party_state.gold, 100);
        EXPECT_FALSE(shop_answer().empty());
        EXPECT_EQ(game_shops().stock[POTION].last_offer, 1);
        EXPECT_EQ(shop_unpaid_product(), POTION);
    });
    type(s, "48");  // close to the asking price: a deal
    const size_t bought = s.probe([&] {
        EXPECT_EQ(party_state.gold, 52);
        EXPECT_EQ(party_members[0].inventory[FREE_CELL], item_named("Healing potion"));
        EXPECT_EQ(game_shops().stock[POTION].stock, potions - 1);
        EXPECT_EQ(shop_unpaid_product(), -1);
        EXPECT_EQ(shop_answer(), "");  // the refusal went with the deal
        EXPECT_EQ(party_members[TOMAS].inventory[0], item_named("Dagger"));
    });
    click_portrait(s, TOMAS);             // Tomas becomes the customer
    click_backpack(s, 0);                 // his dagger onto the cursor
    s.click(SHELF_X + 20, SHELF_Y + 20);  // offered on the shelf: "I give 15."
    s.wait(300);
    s.press(KEY_ENTER, 400);  // yes
    const size_t sold = s.probe([&] {
        EXPECT_EQ(shop_customer(), TOMAS);
        EXPECT_EQ(party_state.gold, 67);
        EXPECT_EQ(party_members[TOMAS].inventory[0], 0);
        EXPECT_EQ(game_shops().stock[DAGGER].stock, daggers + 1);
    });
    s.press(KEY_ESC, 600);  // out of the shop
    s.probe([] { EXPECT_EQ(shop_customer(), -1); });

    const scripted_run_result run = s.run();
    monster_hooks.ignore_party = false;
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.checkpoints.size(), s.probes.size());
    expect_goldens(run, {{shop_open, "dialogs_shop_open"},
                         {haggled, "dialogs_shop_haggled"},
                         {bought, "dialogs_shop_bought"},
                         {sold, "dialogs_shop_sold"}});
}
