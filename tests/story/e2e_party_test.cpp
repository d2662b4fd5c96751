// The whole program on the headless display, with the demo's real party: the
// rune and the coins by the gate are picked up from the floor, the bread and
// the water flask beside them eaten and drunk on the inventory screen, flint
// struck on the unlit torch, a sword and a helm from the guard rooms worn,
// and the party rests with F4. Frames are compared with golden pictures and
// the party's records are checked at each point.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/events.h"
#include "core/handles.h"
#include "demo_session.h"
#include "rules/floor/floor_items.h"
#include "rules/inventory.h"
#include "rules/items.h"
#include "rules/party.h"
#include "story/inventory_screen.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "world/map.h"
#include "world/party_standin.h"
#include "world/rest.h"

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";

constexpr uint16_t KEY_UP = 0x4800, KEY_DOWN = 0x5000, KEY_LEFT = 0x4B00, KEY_RIGHT = 0x4D00;
constexpr uint16_t KEY_I = 0x1769, KEY_F4 = 0x3E00;
constexpr uint16_t KEY_SPACE = 0x3920;
constexpr int NORTH = 0, WEST = 3;

// Screen points: the near quarters of the party's own cell on the view, and
// the inventory screen's figure (the right hand lies right of its middle).
constexpr int FLOOR_LEFT_X = 200, FLOOR_RIGHT_X = 440, FLOOR_Y = 350;
constexpr int FIGURE_X = BODY_X + 97, FIGURE_Y = 150, RIGHT_HAND_X = BODY_X + 150;

int backpack_x(int cell) {
    return BACKPACK_X + cell % BACKPACK_COLUMNS * BACKPACK_CELL_W + 27;
}
int backpack_y(int cell) {
    return BACKPACK_Y + cell / BACKPACK_COLUMNS * BACKPACK_CELL_H + 30;
}

// The number of the demo's item with this name, 0 when there is none.
int16_t item_named(const char* name) {
    const item_table& items = game_items();
    for (int n = 1; n <= items.definition_count(); ++n)
        if (std::string(items.find(n)->name) == name) return static_cast<int16_t>(n);
    return 0;
}
// The backpack cell of the first item of that name, -1 when it is not there.
int cell_of(const party_member& m, const char* name) {
    const int16_t number = item_named(name);
    for (int i = 0; i < m.inventory_size; ++i)
        if (std::abs(m.inventory[i]) == number && number != 0) return i;
    return -1;
}
std::pair<int, int> party_cell() {
    const map_coord& c = current_map.coords[static_cast<size_t>(party.sector)];
    return {c.x, c.y};
}

}  // namespace

TEST(PartyEndToEnd, FloorFindsAreTakenEatenDrunkCombinedAndWornAndThePartyRests) {
    if (!std::filesystem::exists(demo_dir + "/maps/KEEP.MAP")) GTEST_SKIP() << "the demo is not built";
    const party_member& borin = party_members[0];
    demo_session s;
    int32_t food_before = 0, water_before = 0;
    s.wait(500);
    const size_t start = s.probe([&] {
        ASSERT_EQ(party_cell(), std::make_pair(5, 18));
        ASSERT_EQ(party.direction, NORTH);
        EXPECT_STREQ(borin.name, "Borin");
        EXPECT_EQ(party_state.gold, 0);
        // A new game knows every rune; this one forgets the fire group's
        // first so that the rune by the gate teaches it again.
        party_state.runes[0] &= static_cast<uint8_t>(~0x02);
        // And Borin has been a day on the road: hungry and thirsty.
        party_members[0].food = 10 * TICKS_PER_HOUR;
        party_members[0].water = 10 * TICKS_PER_HOUR;
        // His leather bag gives six places more.
        EXPECT_EQ(borin.inventory_size, 12);
    });
    s.click(FLOOR_LEFT_X, FLOOR_Y);   // the fire rune
    s.click(FLOOR_RIGHT_X, FLOOR_Y);  // the coins
    const size_t picked = s.probe([] {
        EXPECT_TRUE(game_held().empty());  // runes and money vanish into the party
        EXPECT_EQ(party_state.runes[0] & 0x02, 0x02);
        EXPECT_EQ(party_state.gold, 12);
        EXPECT_EQ(floor_stack_count(party.sector, 0), 0);
        EXPECT_EQ(floor_stack_count(party.sector, 1), 0);
    });

    // The bread: taken, and eaten on Borin's figure.
    s.press(KEY_UP);  // 5 17
    s.click(FLOOR_LEFT_X, FLOOR_Y);
    s.probe([&] {
        EXPECT_EQ(party_cell(), std::make_pair(5, 17));
        EXPECT_EQ(game_held(), held_list{item_named("Bread")});
        food_before = borin.food;
    });
    s.press(KEY_I);
    s.click(FIGURE_X, FIGURE_Y);
    s.press(KEY_I);
    // The water flask: drunk the same way.
    s.click(FLOOR_RIGHT_X, FLOOR_Y);
    s.probe([&] {
        EXPECT_EQ(borin.food, food_before + 24 * TICKS_PER_HOUR);  // the bread's 24 hours
        EXPECT_EQ(game_held(), held_list{item_named("Water flask")});
        water_before = borin.water;
    });
    s.press(KEY_I);
    s.click(FIGURE_X, FIGURE_Y);
    s.probe([&] {
        EXPECT_EQ(inventory_shown_slot(), 0);
        EXPECT_EQ(borin.water, water_before + 24 * TICKS_PER_HOUR);
        EXPECT_EQ(cell_of(borin, "Bread"), 0);  // his own, untouched
        EXPECT_EQ(cell_of(borin, "Water flask"), 1);
        EXPECT_TRUE(game_held().empty());
    });
    // Flint and steel struck on the unlit torch: a torch, and the flint stays.
    int flint_cell = -1, torch_cell = -1;
    s.probe([&] {
        flint_cell = cell_of(borin, "Flint and steel");
        torch_cell = cell_of(borin, "Unlit torch");
        ASSERT_GE(flint_cell, 0);
        ASSERT_GE(torch_cell, 0);
    });
    // The cells are known only on the game side; the clicks go where the
    // character source puts the two (the backpack's third and fourth cells).
    s.click(backpack_x(3), backpack_y(3));
    s.click(backpack_x(2), backpack_y(2));
    s.probe([&] {
        EXPECT_EQ(flint_cell, 3);
        EXPECT_EQ(torch_cell, 2);
        EXPECT_EQ(cell_of(borin, "Unlit torch"), -1);
        EXPECT_EQ(cell_of(borin, "Torch"), 2);
        EXPECT_EQ(game_held(), held_list{item_named("Flint and steel")});  // the flint comes back to the hand
    });
    s.click(backpack_x(8), backpack_y(8));  // into a cell of the bag
    const size_t combined = s.probe([&] {
        EXPECT_EQ(cell_of(borin, "Flint and steel"), 8);
        EXPECT_TRUE(game_held().empty());
    });
    s.press(KEY_I);

    // Into the west guard room for the short sword ...
    for (int i = 0; i < 3; ++i) s.press(KEY_UP);  // 5 14
    s.press(KEY_LEFT);
    for (int i = 0; i < 3; ++i) s.press(KEY_UP);  // 2 14
    s.press(KEY_RIGHT);
    s.press(KEY_UP);  // 2 13, the sword at the near left
    s.click(FLOOR_LEFT_X, FLOOR_Y);
    s.probe([&] {
        EXPECT_EQ(party_cell(), std::make_pair(2, 13));
        EXPECT_EQ(game_held(), held_list{item_named("Short sword")});
    });
    s.press(KEY_I);
    s.click(RIGHT_HAND_X, FIGURE_Y);  // the axe comes onto the cursor
    int16_t axe = 0;
    s.probe([&] {
        axe = game_held().empty() ? 0 : game_held()[0];
        EXPECT_EQ(axe, item_named("Hand axe"));
    });
    s.click(backpack_x(5), backpack_y(5));  // beside the cap he carries
    s.press(KEY_I);
    // ... and back south to the helm lying by the west wall at 1 15.
    s.press(KEY_DOWN);  // 2 14
    s.press(KEY_DOWN);  // 2 15
    s.press(KEY_RIGHT);
    s.press(KEY_RIGHT);
    s.press(KEY_RIGHT);  // facing west
    s.press(KEY_UP);     // 1 15
    s.click(FLOOR_LEFT_X, FLOOR_Y);
    s.probe([&] {
        EXPECT_EQ(party_cell(), std::make_pair(1, 15));
        EXPECT_EQ(party.direction, WEST);
        EXPECT_EQ(game_held(), held_list{item_named("Iron helm")});
    });
    s.press(KEY_I);
    // The helm on his bare head; head and body armour exclude each other, so
    // the tunic comes off into the first free cell.
    s.click(FIGURE_X, 30);
    const size_t dressed = s.probe([&] {
        EXPECT_EQ(borin.worn[1], item_named("Iron helm"));
        EXPECT_EQ(borin.worn[SLOT_RIGHT_HAND], item_named("Short sword"));
        EXPECT_EQ(cell_of(borin, "Hand axe"), 5);
        EXPECT_EQ(cell_of(borin, "Leather cap"), 4);
        EXPECT_EQ(borin.worn[SLOT_ARMOUR], 0);
        EXPECT_EQ(cell_of(borin, "Padded tunic"), 3);
        EXPECT_EQ(borin.stats[STAT_ATTACK_MAX], borin.base_stats[STAT_ATTACK_MAX] + 8);  // the sword's
        EXPECT_TRUE(game_held().empty());
    });
    s.press(KEY_I);

    // F4: the party sleeps an hour at a time on the black view, until a key.
    int32_t allowance_before = 0, hp_before = 0;
    s.probe([&] {
        EXPECT_EQ(inventory_shown_slot(), -1);
        allowance_before = party_state.rest_allowance;
        hp_before = borin.hp;
        party_members[0].hp = static_cast<int16_t>(hp_before - 10);  // a bruise to sleep off
    });
    s.press(KEY_F4, 400);
    const size_t resting = s.probe([] { EXPECT_TRUE(rest_state.resting); });
    s.press(KEY_SPACE, 800);
    const size_t awake = s.probe([&] {
        EXPECT_FALSE(rest_state.resting);
        // Some hours slept, and the key woke the party before the allowance ran out.
        EXPECT_LT(party_state.rest_allowance, allowance_before - TICKS_PER_HOUR);
        EXPECT_GT(party_state.rest_allowance, 0);
        EXPECT_GT(borin.hp, hp_before - 10);  // healed in his sleep
        EXPECT_EQ(party_cell(), std::make_pair(1, 15));
    });

    const scripted_run_result run = s.run();
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.checkpoints.size(), s.probes.size());
    const std::pair<size_t, const char*> goldens[] = {
        {start, "party_start"},     {picked, "party_picked_up"}, {combined, "party_inventory_combined"},
        {dressed, "party_dressed"}, {resting, "party_resting"},  {awake, "party_awake"}};
    for (const auto& [index, name] : goldens)
        EXPECT_TRUE(golden::matches(golden_dir + name + ".png", run.checkpoints[index].frame_buffer.data()))
            << name;
}
