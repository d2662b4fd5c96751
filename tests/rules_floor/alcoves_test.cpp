// Wall alcoves: their records, putting items in and taking them out with the
// mouse, the side's scripts hearing of it, and how the view shows them.
#include <gtest/gtest.h>

#include <string>

#include "../world/view_test_map.h"
#include "base/strings.h"
#include "gfx/screen.h"
#include "rules/floor/alcoves.h"
#include "rules/floor/alcoves_view.h"
#include "rules/floor/floor_items.h"
#include "rules/floor/floor_items_game.h"
#include "rules/item_pictures.h"
#include "rules/party.h"
#include "world/map.h"
#include "world/movement_rules.h"
#include "world/panel.h"
#include "world/party_standin.h"
#include "world/view.h"

using namespace view_test;

namespace {

constexpr int16_t KEY = 1, SWORD = 2, RUNE = 3;

const std::vector<std::string> room = {
    "#####",  //
    "#...#",  //
    "#...#",  //
    "#...#",  //
    "#####",  //
};

// A picture of w x h pixels: a block of colour 2 above `empty_rows` empty rows.
std::vector<uint16_t> block(int w, int h, int empty_rows, uint16_t fade) {
    std::vector<uint8_t> px(static_cast<size_t>(w * h), 0);
    for (int y = 0; y < h - empty_rows; ++y)
        for (int x = 0; x < w; ++x) px[static_cast<size_t>(y * w + x)] = 2;
    std::vector<uint8_t> rgb(768, 0);
    rgb[6] = 250, rgb[7] = 40, rgb[8] = 40;  // a strong red
    return fade_picture(w, h, px, rgb, fade);
}

std::vector<std::pair<int, int>> events;
void listen(int side, int bits) {
    events.emplace_back(side, bits);
}

class Alcoves : public ::testing::Test {
  protected:
    void SetUp() override {
        init_view_tables();
        view = view_state{};
        reset_view_hooks();
        clear_pictures();
        set_view_picture_source(test_picture);
        g = build_grid_map(room, 0x1D0B);
        install_standard_pictures();
        item_def key, sword, rune;
        std::snprintf(key.name, sizeof key.name, "key");
        std::snprintf(sword.name, sizeof sword.name, "sword");
        std::snprintf(rune.name, sizeof rune.name, "rune");
        key.picture = 0, sword.picture = 1, rune.picture = 2;
        rune.type = IT_RUNE;
        rune.value = 11;  // group 1, rune 1
        for (item_def* d : {&key, &sword, &rune}) d->floor_inset = 255;
        game_items().set_definitions({key, sword, rune});
        items_file names;
        names.picture_sets[0] = {"ITEM00.PCX", "ITEM01.PCX", "ITEM02.PCX"};
        register_item_pictures(names);
        put_picture(ITEM_PICTURE_HANDLES + 0, block(30, 20, 4, current_map.fade_colour));   // key
        put_picture(ITEM_PICTURE_HANDLES + 1, block(140, 30, 0, current_map.fade_colour));  // sword
        put_picture(ITEM_PICTURE_HANDLES + 2, block(20, 20, 0, current_map.fade_colour));   // rune
        reset_party();
        game_held().clear();
        party.sector = g.sector(2, 2);
        party.direction = 0;
        install_floor_items();
        // An alcove in the north wall of the party's cell: a sill 100 pixels
        // wide at screen row 200, 60 high.
        wall = party.sector * 4 + 0;
        current_map.sides[static_cast<size_t>(wall)].arch_and_flags2 |= SIDE2_RECESS;
        alcove a;
        a.sector = static_cast<int16_t>(party.sector);
        a.side = 0;
        a.x = 320, a.y = 200, a.width = 100, a.height = 60;
        a.items = {KEY};
        alcove_record r{};
        write_alcove(a, r);
        current_map.recesses = {r};
        events.clear();
        movement_rules.send_side_event = listen;
        string_list_free(ui_strings);
        for (int i = 0; i < 40; ++i) string_list_set(ui_strings, i, ("text " + std::to_string(i)).c_str());
        panel_message.clear();
    }
    void TearDown() override {
        set_view_picture_source(nullptr);
        reset_view_hooks();
        reset_movement_rules();
        game_held().clear();
        string_list_free(ui_strings);
    }
    std::vector<int16_t> contents() { return read_alcove(current_map.recesses[0]).items; }
    grid_map g;
    int wall = 0;
};

}  // namespace

TEST(AlcoveRecord, FieldsRoundTripLittleEndianAndTheReservedBytesStay) {
    alcove a;
    a.sector = 300, a.side = 3, a.x = -5, a.y = 260, a.width = 90, a.height = 70;
    a.items = {7, 1000};
    alcove_record r{};
    r[30] = 0xAB, r[31] = 0xCD;
    write_alcove(a, r);
    EXPECT_EQ(r[0], 0x2C);
    EXPECT_EQ(r[1], 0x01);
    EXPECT_EQ(r[4], 0xFB);
    EXPECT_EQ(r[5], 0xFF);
    EXPECT_EQ(r[14], 0xE8);  // the second item, 1000, at offset 14
    EXPECT_EQ(r[16], 0);     // then the closing 0
    EXPECT_EQ(r[30], 0xAB);
    EXPECT_EQ(r[31], 0xCD);
    const alcove b = read_alcove(r);
    EXPECT_EQ(b.sector, 300);
    EXPECT_EQ(b.side, 3);
    EXPECT_EQ(b.x, -5);
    EXPECT_EQ(b.y, 260);
    EXPECT_EQ(b.width, 90);
    EXPECT_EQ(b.height, 70);
    EXPECT_EQ(b.items, (std::vector<int16_t>{7, 1000}));
}

TEST(AlcoveRecord, AListWithoutItsClosingZeroEndsAfterEightItems) {
    alcove_record r;
    r.fill(0x01);  // every item slot 257, the ninth too, and no 0 anywhere
    const alcove a = read_alcove(r);
    EXPECT_EQ(a.items, std::vector<int16_t>(8, 257));
    // Written back, the list is closed again.
    write_alcove(a, r);
    EXPECT_EQ(r[28], 0);
    EXPECT_EQ(r[29], 0);
}

TEST_F(Alcoves, TakingTheKeyOutAndPuttingItBackFireTheRecessEventAndKeepTheClone) {
    // Outside the opening: the click goes to the floor (nothing lies there).
    click_game_view(320 + 60, 190, false);
    EXPECT_TRUE(game_held().empty());
    EXPECT_EQ(contents(), (std::vector<int16_t>{KEY}));
    EXPECT_TRUE(events.empty());

    click_game_view(300, 180, false);
    EXPECT_EQ(game_held(), (held_list{KEY}));
    EXPECT_TRUE(contents().empty());
    EXPECT_EQ(events, (std::vector<std::pair<int, int>>{{wall, SIDE_EV_RECESS}}));
    // An empty alcove gives nothing and says nothing.
    game_held().clear();
    click_game_view(300, 180, false);
    EXPECT_TRUE(game_held().empty());
    EXPECT_EQ(events.size(), 1u);

    game_held() = {KEY};
    click_game_view(340, 150, false);
    EXPECT_TRUE(game_held().empty());
    EXPECT_EQ(contents(), (std::vector<int16_t>{KEY}));
    EXPECT_EQ(events.size(), 2u);
    EXPECT_TRUE(alcove_holds_item(KEY));
    EXPECT_FALSE(alcove_holds_item(SWORD));
}

TEST_F(Alcoves, ARuneTakenOutIsLearnedAtOnce) {
    alcove a = read_alcove(current_map.recesses[0]);
    a.items = {KEY, RUNE};
    write_alcove(a, current_map.recesses[0]);
    click_game_view(320, 199, false);
    EXPECT_TRUE(game_held().empty());
    EXPECT_EQ(party_state.runes[1], 1u << 1);
    EXPECT_EQ(contents(), (std::vector<int16_t>{KEY}));
}

TEST_F(Alcoves, AnItemTooBigOrAFullAlcoveStaysInTheHandWithItsText) {
    game_held() = {SWORD};  // 140 wide, the opening 100
    click_game_view(320, 180, false);
    EXPECT_EQ(game_held(), (held_list{SWORD}));
    EXPECT_EQ(panel_message, "text 35");
    EXPECT_TRUE(events.empty());

    // A held stack of keys does not go in either.
    game_held() = {KEY, -KEY};
    click_game_view(320, 180, false);
    EXPECT_EQ(game_held(), (held_list{KEY, -KEY}));

    alcove a = read_alcove(current_map.recesses[0]);
    a.items.assign(8, KEY);
    write_alcove(a, current_map.recesses[0]);
    game_held() = {RUNE};
    panel_message.clear();
    click_game_view(320, 180, false);
    EXPECT_EQ(game_held(), (held_list{RUNE}));
    EXPECT_EQ(panel_message, "text 36");
    EXPECT_EQ(contents().size(), 8u);
    EXPECT_TRUE(events.empty());
}

TEST_F(Alcoves, TheNearestViewPutsTheSillWhereTheRecordSaysAndFartherWallsShrinkIt) {
    const alcove_point near = alcove_point_on_face(0, 0, 320, 200);
    EXPECT_EQ(near.x, 320);
    EXPECT_EQ(near.y, 200);
    const alcove_point far = alcove_point_on_face(0, 1, 320, 200);
    EXPECT_EQ(far.x, 320);
    EXPECT_LT(far.scale, near.scale);
    EXPECT_GT(far.y, 200 - (200 - 17) / 2);  // nearer the horizon
    // The face of the cell to the right starts where the middle one ends.
    const alcove_point right = alcove_point_on_face(1, 1, 320, 200);
    EXPECT_GT(right.x, far.x);
}

TEST_F(Alcoves, TheKeyStandsOnTheSillOfTheWallAhead) {
    draw_view(party.sector, 0);
    auto red = [](int x, int y) {
        const uint16_t c = back_buffer[y * SCREEN_PITCH + x];
        return ((c >> 10) & 31) > 20 && ((c >> 5) & 31) < 10;
    };
    // The key is 30 wide with four empty rows at its bottom: its painted
    // part, 16 rows, stands on row 200, centred on column 320.
    EXPECT_TRUE(red(320, 199));
    EXPECT_TRUE(red(307, 186));
    EXPECT_FALSE(red(320, 201));
    EXPECT_FALSE(red(320, 181));
    EXPECT_FALSE(red(340, 195));

    // Seen from one cell back the key is smaller and still on the wall.
    party.sector = g.sector(2, 3);
    draw_view(party.sector, 0);
    const alcove_point p = alcove_point_on_face(0, 1, 320, 200);
    EXPECT_TRUE(red(p.x, p.y - 1));
    EXPECT_FALSE(red(p.x, p.y + 2));
}
