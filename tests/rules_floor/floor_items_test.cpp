// Items on the floor: dropping into water and teleports, picking up and
// putting down with the mouse, and how the view shows them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../world/view_test_map.h"
#include "gfx/screen.h"
#include "rules/floor/floor_items.h"
#include "rules/floor/floor_items_game.h"
#include "rules/item_pictures.h"
#include "rules/party.h"
#include "support/golden.h"
#include "world/map.h"
#include "world/party_standin.h"
#include "world/view.h"

using namespace view_test;

namespace {

constexpr int16_t SWORD = 1, RUNE = 2, COINS = 3, SHIELD = 4, BAG = 5;

// A corridor with a side room: the party stands at its south end.
const std::vector<std::string> corridor = {
    "#####",  //
    "#...#",  //
    "#.#.#",  //
    "#...#",  //
    "##.##",  //
    "##.##",  //
    "#####",  //
};

item_def make_item(const char* name, int type, uint16_t picture) {
    item_def d;
    std::snprintf(d.name, sizeof d.name, "%s", name);
    d.type = static_cast<int16_t>(type);
    d.picture = picture;
    d.floor_inset = 255;
    return d;
}

// Floor pictures painted here: index 0 is transparent, 1 darkens what lies
// beneath (a shadow), 2.. are the item's colours.
std::vector<uint16_t> painted(int w, int h, uint16_t fade, const std::vector<uint8_t>& rgb,
                              int (*paint)(int x, int y, int w, int h)) {
    std::vector<uint8_t> px(static_cast<size_t>(w * h));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            px[static_cast<size_t>(y * w + x)] = static_cast<uint8_t>(paint(x, y, w, h));
    return fade_picture(w, h, px, rgb, fade);
}

std::vector<uint8_t> item_palette() {
    std::vector<uint8_t> rgb(768, 0);
    auto set = [&](int i, int r, int g, int b) {
        rgb[i * 3] = static_cast<uint8_t>(r), rgb[i * 3 + 1] = static_cast<uint8_t>(g),
                rgb[i * 3 + 2] = static_cast<uint8_t>(b);
    };
    set(2, 200, 205, 215);  // steel
    set(3, 110, 70, 30);    // leather
    set(4, 230, 190, 60);   // gold
    set(5, 90, 90, 100);    // slate
    set(6, 80, 170, 255);   // rune light
    return rgb;
}

class FloorItems : public ::testing::Test {
  protected:
    void SetUp() override {
        init_view_tables();
        view = view_state{};
        reset_view_hooks();
        clear_pictures();
        set_view_picture_source(test_picture);
        g = build_grid_map(corridor, 0x1D0B);
        install_standard_pictures();
        std::vector<item_def> defs = {make_item("sword", IT_MELEE, 0), make_item("rune", IT_RUNE, 1),
                                      make_item("coins", IT_MONEY, 2), make_item("shield", IT_ORDINARY, 3),
                                      make_item("bag", IT_ORDINARY, 3)};
        defs[RUNE - 1].value = 23;  // group 2, rune 3
        defs[COINS - 1].money = 10;
        defs[BAG - 1].extra_slots = 2;
        game_items().set_definitions(defs);
        items_file names;
        names.picture_sets[0] = {"ITEM00.PCX", "ITEM01.PCX", "ITEM02.PCX", "ITEM03.PCX"};
        register_item_pictures(names);
        reset_party();
        lost_items().clear();
        game_held().clear();
        party.sector = g.sector(2, 5);
        party.direction = 0;
        install_floor_items();
    }
    void TearDown() override {
        set_view_picture_source(nullptr);
        reset_view_hooks();
        game_held().clear();
    }
    void lay(int sector, int quarter, held_list stack) { drop_items(sector, quarter, stack); }
    std::vector<int16_t> list(int sector, int quarter) {
        const std::span<const int16_t> l = floor_list(sector, quarter);
        return {l.begin(), l.end()};
    }
    grid_map g;
};

}  // namespace

TEST_F(FloorItems, WaterSwallowsWhatFallsInAndTheNextDyingMonsterDropsTheOldest) {
    const int pool = g.sector(1, 1);
    current_map.sectors[pool].sector_type = SECTOR_WATER;
    lay(pool, 2, {SWORD});
    lay(pool, 0, {SHIELD, -RUNE});
    EXPECT_TRUE(list(pool, 2).empty());
    EXPECT_TRUE(list(pool, 0).empty());
    EXPECT_FALSE(items_in_sector(pool));
    // Newest first, every entry its own item now.
    EXPECT_EQ(lost_items(), (std::vector<int16_t>{SHIELD, RUNE, SWORD}));
    EXPECT_TRUE(floor_holds_item(RUNE));
    EXPECT_EQ(take_lost_item(), SWORD);
    EXPECT_EQ(take_lost_item(), RUNE);
    EXPECT_EQ(take_lost_item(), SHIELD);
    EXPECT_EQ(take_lost_item(), 0);
}

TEST_F(FloorItems, TeleportsHandItemsOnToTheSameQuarterOfTheirTarget) {
    const int gate = g.sector(3, 2), hall = g.sector(1, 3), relay = g.sector(3, 1);
    current_map.sectors[gate].sector_type = 12;
    current_map.sectors[gate].action_target = static_cast<uint16_t>(relay);
    current_map.sectors[relay].sector_type = 55;
    current_map.sectors[relay].action_target = static_cast<uint16_t>(hall);
    lay(gate, 3, {SWORD});
    lay(gate, 3, {SHIELD, -SWORD});
    EXPECT_TRUE(list(gate, 3).empty());
    EXPECT_TRUE(list(relay, 3).empty());
    EXPECT_EQ(list(hall, 3), (std::vector<int16_t>{SWORD, SHIELD, -SWORD}));
    EXPECT_EQ(floor_stack_count(hall, 3), 2);
    // The last stack comes off first, whole.
    EXPECT_EQ(take_stack(hall, 3), (held_list{SHIELD, -SWORD}));
    EXPECT_EQ(take_stack(hall, 3), (held_list{SWORD}));
    EXPECT_TRUE(current_map.items.empty());

    // A teleport that leads outside the map, or a shaft that leads nowhere,
    // loses the items.
    current_map.sectors[relay].action_target = 999;
    lay(gate, 1, {RUNE});
    current_map.sectors[relay].sector_type = SECTOR_PIT;
    current_map.sectors[relay].action_target = 0;
    lay(gate, 2, {SHIELD});
    EXPECT_EQ(lost_items(), (std::vector<int16_t>{SHIELD, RUNE}));
    EXPECT_TRUE(current_map.items.empty());
}

TEST_F(FloorItems, ItemsDroppedIntoTeleportsLeadingRoundInACircleLandOnOne) {
    const int gate = g.sector(3, 2), relay = g.sector(3, 1);
    current_map.sectors[gate].sector_type = 12;
    current_map.sectors[gate].action_target = static_cast<uint16_t>(relay);
    current_map.sectors[relay].sector_type = 55;
    current_map.sectors[relay].action_target = static_cast<uint16_t>(gate);
    lay(gate, 1, {SHIELD, -SWORD});
    EXPECT_TRUE(lost_items().empty());
    EXPECT_EQ(list(gate, 1).size() + list(relay, 1).size(), 2u);
    // A teleport onto itself holds them too.
    current_map.sectors[relay].action_target = static_cast<uint16_t>(relay);
    lay(relay, 3, {RUNE});
    EXPECT_EQ(list(relay, 3), (std::vector<int16_t>{RUNE}));
    EXPECT_TRUE(lost_items().empty());
}

TEST_F(FloorItems, MapEntryForgetsEntriesNamingNoItem) {
    const int s = g.sector(2, 4);
    current_map.items = {{static_cast<uint32_t>(s * 4 + 1), {-77, SWORD, -SHIELD, 0}},
                         {static_cast<uint32_t>(s * 4 + 2), {300, -RUNE, 0}},
                         {static_cast<uint32_t>(s * 4 + 3), {-300, 0}}};
    check_floor_lists(game_items());
    EXPECT_EQ(list(s, 1), (std::vector<int16_t>{SWORD, -SHIELD}));
    EXPECT_EQ(list(s, 2), (std::vector<int16_t>{RUNE}));  // the stack begins at its first real item
    EXPECT_TRUE(list(s, 3).empty());
    EXPECT_EQ(current_map.items.size(), 2u);
}

TEST_F(FloorItems, PickingUpARuneAndMoneyRunsTheirEffectsAndTheListVanishes) {
    const int here = party.sector;
    party.direction = 1;  // facing east: near-left is quarter 1, near-right quarter 2
    const int16_t purse = game_items().make_money(120);
    ASSERT_NE(purse, 0);
    lay(here, 1, {RUNE});
    lay(here, 2, {purse});
    party_state.gold = 5;

    // Above the band of a single stack nothing is taken (the far floor beyond
    // is a wall here).
    click_game_view(150, stack_band_top(1) - 1, false);
    EXPECT_EQ(list(here, 1), (std::vector<int16_t>{RUNE}));

    click_game_view(150, 370, false);
    EXPECT_EQ(party_state.runes[2], 1u << 3);
    EXPECT_TRUE(game_held().empty());
    EXPECT_TRUE(list(here, 1).empty());

    click_game_view(500, 370, false);
    EXPECT_EQ(party_state.gold, 125);
    EXPECT_TRUE(game_held().empty());
    EXPECT_FALSE(items_in_sector(here));
    EXPECT_TRUE(game_items().find(purse)->item_flags & IF_CLONE_FREE);
}

TEST_F(FloorItems, OrdinaryItemsAreHeldPutDownNearAndTakenFromTheSectorAheadOnlyThroughAnOpening) {
    const int here = party.sector, ahead = g.sector(2, 4);
    lay(here, 0, {SWORD});
    click_game_view(100, 370, false);
    EXPECT_EQ(game_held(), (held_list{SWORD}));
    EXPECT_TRUE(list(here, 0).empty());

    // Held items above the floor band would be thrown: that is not built, they stay held.
    click_game_view(300, 200, false);
    EXPECT_EQ(game_held(), (held_list{SWORD}));
    // Put down on the near-right quarter.
    click_game_view(400, 360, false);
    EXPECT_TRUE(game_held().empty());
    EXPECT_EQ(list(here, 1), (std::vector<int16_t>{SWORD}));

    // The sector ahead: its near-right quarter is its south-east one (2).
    lay(ahead, 2, {SHIELD});
    current_map.sides[here * 4 + 0].flags |= SIDE_NOPLAYER;  // bars across the way
    click_game_view(420, 300, false);
    EXPECT_TRUE(game_held().empty());
    current_map.sides[here * 4 + 0].flags &= ~SIDE_NOPLAYER;
    click_game_view(420, 300, false);
    EXPECT_EQ(game_held(), (held_list{SHIELD}));
    EXPECT_FALSE(items_in_sector(ahead));
}

TEST_F(FloorItems, AHeldContainerFillsWithTheStacksThatFitWhenTheOptionIsOn) {
    struct options_world : party_world {
        uint32_t game_options() const override { return OPTION_CONTAINER_FILLING; }
    } world;
    set_party_world(&world);
    const int here = party.sector;
    lay(here, 0, {SHIELD, -SWORD});
    lay(here, 0, {RUNE});
    lay(here, 0, {SWORD});
    game_held() = {BAG};
    // Room for two: the sword and the rune go in, the two-item stack stays.
    click_game_view(100, 370, true);
    set_party_world(nullptr);
    EXPECT_EQ(game_held(), (held_list{BAG, -SWORD, -RUNE}));
    EXPECT_EQ(list(here, 0), (std::vector<int16_t>{SHIELD, -SWORD}));
}

TEST_F(FloorItems, GoldenViewWithItemsLyingOnTheFloor) {
    const uint16_t fade = current_map.fade_colour;
    const std::vector<uint8_t> rgb = item_palette();
    // A sword lying slanted, with its shadow.
    put_picture(ITEM_PICTURE_HANDLES + 0, painted(60, 22, fade, rgb, [](int x, int y, int, int) {
                    const int line = 16 - x / 4;
                    if (y == line + 3 && x > 4 && x < 56) return 1;
                    if (x < 12) return std::abs(y - line) <= 2 ? 3 : 0;
                    if (x < 14) return std::abs(y - line) <= 5 ? 4 : 0;
                    return std::abs(y - line) <= 1 ? 2 : 0;
                }));
    // A slate rune with a glowing mark.
    put_picture(ITEM_PICTURE_HANDLES + 1, painted(24, 18, fade, rgb, [](int x, int y, int, int) {
                    if (y >= 15) return x > 2 && x < 22 ? 1 : 0;
                    if (x >= 2 && x < 22 && y >= 2) return (x == 11 || x == 12 || y == 8) && y < 13 ? 6 : 5;
                    return 0;
                }));
    // A heap of coins, its three lowest rows empty.
    put_picture(ITEM_PICTURE_HANDLES + 2, painted(30, 16, fade, rgb, [](int x, int y, int w, int h) {
                    const int cx = x - w / 2, cy = y - 8;
                    if (y >= h - 3) return 0;
                    return cx * cx / 4 + cy * cy <= 30 ? ((x + y) % 5 == 0 ? 2 : 4) : 0;
                }));
    put_picture(ITEM_PICTURE_HANDLES + 3, painted(28, 34, fade, rgb, [](int x, int y, int, int) {
                    const int cx = x - 14, cy = y - 16;
                    return cx * cx + cy * cy <= 160 ? (cx * cx + cy * cy > 120 ? 2 : 3) : 0;
                }));
    const int here = party.sector;
    lay(here, 0, {SWORD});             // own sector, front-left
    lay(here, 1, {COINS});             // own sector, front-right
    lay(here, 1, {RUNE});              // a second stack behind it
    lay(here, 3, {SHIELD});            // behind the party: not seen
    lay(g.sector(2, 4), 3, {SHIELD});  // ahead, near-left
    lay(g.sector(2, 4), 1, {SWORD});   // ahead, far-right
    lay(g.sector(2, 3), 2, {COINS});   // two ahead
    lay(g.sector(1, 3), 1, {RUNE});    // in the room to the left
    lay(g.sector(3, 3), 0, {SHIELD, -SWORD});
    draw_view(here, 0);
    EXPECT_EQ(game_items().find(COINS)->floor_inset, 3);
    EXPECT_EQ(game_items().find(RUNE)->floor_inset, 0);
    EXPECT_TRUE(golden::matches(VORTHAN_SOURCE_DIR "/tests/rules_floor/golden/floor_items_view.png",
                                back_buffer + VIEW_SCREEN_TOP * SCREEN_PITCH, VIEW_WIDTH, VIEW_HEIGHT,
                                SCREEN_PITCH));
}
