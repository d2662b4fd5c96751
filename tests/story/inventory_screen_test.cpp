// The inventory screen on the headless run, driven by the mouse: armour and a
// sword are put on, bread eaten, water drunk, two herbs combined in the
// backpack, the bag taken off with what it carries, the sheet shown, a point
// spent and the bag given to another member through the party bar.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <vector>

#include "base/strings.h"
#include "core/events.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "gfx/font.h"
#include "gfx/font_test_fonts.h"
#include "gfx/screen.h"
#include "rules/party.h"
#include "story/body_picture.h"
#include "story/held_items.h"
#include "story/inventory_pictures.h"
#include "story/inventory_screen.h"
#include "support/golden.h"
#include "window_harness.h"
#include "world/panel.h"

namespace {

const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";

// Item numbers (index + 1) of the test's table.
enum : int16_t { ARMOUR = 1, SWORD, BREAD, WATER, HERB, LEAF, POULTICE, BAG, AXE, RING };

item_def make_item(const char* name, int type, int placement, uint16_t icon) {
    item_def item;
    std::snprintf(item.name, sizeof item.name, "%s", name);
    std::snprintf(item.description, sizeof item.description, "the %s", name);
    item.type = static_cast<int16_t>(type);
    item.placement = static_cast<int16_t>(placement);
    item.icon = icon;
    item.picture = icon;
    return item;
}

std::vector<item_def> test_items() {
    std::vector<item_def> items;
    item_def armour = make_item("Mail", IT_ORDINARY, PL_SLOT5, 0);
    armour.body_pos[1] = 150;
    armour.mods[STAT_DEFENSE_MAX] = 6;
    items.push_back(armour);
    item_def sword = make_item("Sword", IT_MELEE, PL_ONE_HAND, 1);
    sword.body_pos_7[0] = 50;
    sword.body_pos_7[1] = 100;
    sword.mods[STAT_ATTACK_MAX] = 9;
    items.push_back(sword);
    item_def bread = make_item("Bread", IT_FOOD, PL_NONE, 2);
    bread.value = 10;
    items.push_back(bread);
    item_def water = make_item("Water", IT_DRINK, PL_NONE, 3);
    water.value = 5;
    items.push_back(water);
    items.push_back(make_item("Herb", IT_ORDINARY, PL_NONE, 4));
    items.push_back(make_item("Leaf", IT_ORDINARY, PL_NONE, 5));
    items.push_back(make_item("Poultice", IT_ORDINARY, PL_NONE, 6));
    item_def bag = make_item("Bag", IT_ORDINARY, PL_CONTAINER, 7);
    bag.extra_slots = 6;
    items.push_back(bag);
    item_def axe = make_item("Axe", IT_MELEE, PL_TWO_HANDS, 8);
    axe.requirements[0] = 90;
    items.push_back(axe);
    items.push_back(make_item("Ring", IT_ORDINARY, PL_NONE, 9));
    return items;
}

// A type-8 record of w x h whose pixel (x, y) has index pick(x, y); index i
// has the harness's colour_of_index(i).
std::vector<uint16_t> pal8(int w, int h, const std::function<uint8_t(int, int)>& pick) {
    const std::vector<uint8_t> bytes = pal8_picture_bytes(w, h, pick);
    return aligned_pal8_record(bytes.data(), bytes.size());
}

// A figure filling the middle of the body, worn pictures as coloured
// blocks, icons with a border and a number of stripes.
class test_pictures : public inventory_pictures {
  public:
    test_pictures() {
        figure_ = pal8(BODY_WIDTH, BODY_HEIGHT, [](int x, int y) {
            const bool head = (x - 97) * (x - 97) + (y - 40) * (y - 40) < 400;
            const bool trunk = x >= 50 && x < 144 && y >= 60 && y < 320;
            return static_cast<uint8_t>(head || trunk ? 40 + y / 40 : 0);
        });
        worn_[0] = pal8(60, 80, [](int, int) { return uint8_t{70}; });
        worn_[1] = pal8(20, 100, [](int x, int) { return static_cast<uint8_t>(x < 4 ? 0 : 75); });
        for (uint16_t i = 0; i < 10; ++i)
            icons_[i] = pal8(45, 55, [i](int x, int y) {
                if (x == 0 || y == 0 || x == 44 || y == 54) return uint8_t{90};
                return static_cast<uint8_t>(y / 5 <= i && x > 5 && x < 40 ? 100 + 8 * i : 0);
            });
    }
    const picture* figure(int face) override { return face == 0 ? as_picture(figure_) : nullptr; }
    const picture* worn(bool, int number) override {
        auto found = worn_.find(number);
        return found == worn_.end() ? nullptr : as_picture(found->second);
    }
    const picture* icon(uint16_t number) override {
        auto found = icons_.find(number);
        return found == icons_.end() ? nullptr : as_picture(found->second);
    }
    const void* icon_record(uint16_t number, size_t& length) override {
        const picture* pic = icon(number);
        length = pic ? 2993 : 0;
        return pic;
    }

  private:
    static const picture* as_picture(const std::vector<uint16_t>& words) {
        return reinterpret_cast<const picture*>(words.data());
    }
    std::vector<uint16_t> figure_;
    std::map<int, std::vector<uint16_t>> worn_, icons_;
};

// Every printable character a 5 x 8 glyph showing its code's bits.
std::vector<uint8_t> bit_font() {
    test_fonts::font_bytes font;
    for (int c = 33; c < 127; ++c) {
        std::vector<uint8_t> codes;
        for (int x = 0; x < 5; ++x)
            for (int y = 0; y < 8; ++y) codes.push_back(x < 4 && y < 7 && ((c >> ((x + y) % 7)) & 1) ? 2 : 0);
        font.glyph(static_cast<uint8_t>(c), 5, 8, codes);
    }
    font.glyph(' ', 4, 8, std::vector<uint8_t>(32, 0));
    return font.bytes;
}

item_table* lookup_table = nullptr;
const item_def* lookup(int number) {
    return lookup_table ? lookup_table->find(number) : nullptr;
}

class InventoryScreen : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        test_fonts::install(FONT_SADA16, bit_font());
        register_panel_decoder();
        for (int text : {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
                         25, 26, 30, 31, 69, 70, 90, 91, 92, 93, 94, 95, 96, 97})
            string_list_set(ui_strings, text, ("T" + std::to_string(text)).c_str());
        string_list_set(ui_strings, 200, "Str %d");
        table.set_definitions(test_items());
        lookup_table = &table;
        set_party_item_lookup(lookup);
        inventory_setup = {};
        inventory_setup.items = &table;
        inventory_setup.pictures = &pictures;
        inventory_setup.combine_rules = [] { return parse_combine_rules("4 5 -> 6;\n"); };
        reset_party();
        held_items().clear();
        make_member(0, "Hero", 0);
        make_member(1, "Mate", 1);
        party_member& hero = party_members[0];
        hero.worn[SLOT_CONTAINER] = BAG;
        hero.inventory_size = 12;
        const int16_t pack[12] = {ARMOUR, SWORD, BREAD, WATER, HERB, LEAF, AXE, RING, 0, 0, 0, 0};
        std::copy(pack, pack + 12, hero.inventory);
        hero.arrows = 12;
        hero.free_points = 2;
        recompute_stats(hero);
        hero.food = 100 * TICKS_PER_HOUR / 2;
        hero.water = 10 * TICKS_PER_HOUR;
    }
    void TearDown() override {
        inventory_setup = {};
        held_items().clear();
        reset_party();
        set_party_item_lookup(nullptr);
        lookup_table = nullptr;
        reset_font_state();
        undefine_handle(FONT_SADA16);
        undefine_handle(H_PANEL);
        string_list_free(ui_strings);
        WindowTest::TearDown();
    }
    static void make_member(int slot, const char* name, uint8_t face) {
        party_member& m = party_members[slot];
        m.used = 1;
        m.group = 1;
        m.face = face;
        m.level = 1;
        m.inventory_size = 6;
        std::snprintf(m.name, sizeof m.name, "%s", name);
        const int16_t base[8] = {30, 10, 30, 25, 40, 30, 10, 1};
        std::copy(base, base + 8, m.base_stats);
        m.base_stats[STAT_DEFENSE_MAX] = 4;
        m.base_stats[STAT_ATTACK_MAX] = 5;
        recompute_stats(m);
        m.hp = m.stats[STAT_HP_MAX];
        m.vp = m.stats[STAT_VP_MAX];
        m.mp = m.stats[STAT_MP_MAX];
        m.food = m.water = 20 * TICKS_PER_HOUR;
    }
    static int cell_x(int cell) { return BACKPACK_X + cell % 6 * BACKPACK_CELL_W + 20; }
    static int cell_y(int cell) { return BACKPACK_Y + cell / 6 * BACKPACK_CELL_H + 20; }

    item_table table;
    test_pictures pictures;
};

TEST_F(InventoryScreen, DressEatDrinkCombineTakeTheBagOffAndGiveItThroughThePartyBar) {
    const party_member& hero = party_members[0];
    const party_member& mate = party_members[1];
    const int32_t food_before = hero.food, water_before = hero.water;
    const int body_x = BODY_X + 97, body_y = 150;
    at(2, [] { EXPECT_TRUE(golden::matches(golden_dir + "inventory_open.png", frame_buffer)); });
    click(3, cell_x(0), cell_y(0));  // the mail onto the cursor ...
    click(5, body_x, body_y);        // ... and onto the body
    click(7, cell_x(1), cell_y(1));
    click(9, BODY_X + 150, body_y);  // the sword into the right hand
    click(11, cell_x(2), cell_y(2));
    click(13, body_x, body_y);  // eaten
    click(15, cell_x(3), cell_y(3));
    click(17, body_x, body_y);  // drunk
    click(19, cell_x(4), cell_y(4));
    click(21, cell_x(5), cell_y(5));  // herb on leaf: a poultice
    at(23, [&] {
        EXPECT_EQ(hero.worn[SLOT_ARMOUR], ARMOUR);
        EXPECT_EQ(hero.worn[SLOT_RIGHT_HAND], SWORD);
        EXPECT_EQ(hero.stats[STAT_ATTACK_MAX], 14);
        EXPECT_EQ(hero.food, std::min(food_before + 10 * TICKS_PER_HOUR, food_capacity(hero)));
        EXPECT_EQ(hero.water, water_before + 5 * TICKS_PER_HOUR);
        EXPECT_EQ(hero.inventory[4], 0);
        EXPECT_EQ(hero.inventory[5], POULTICE);
        EXPECT_TRUE(held_items().empty());
    });
    mouse(24, cell_x(6), cell_y(6), MOUSE_EV_MOTION, false);  // resting on the axe it cannot lift
    at(25, [] { EXPECT_TRUE(golden::matches(golden_dir + "inventory_dressed.png", frame_buffer)); });
    click(26, BODY_X + 60, 290);  // the figure below the mail: the bag comes off with the axe and the ring
    at(28, [&] {
        EXPECT_EQ(held_items(), (held_list{BAG, -AXE, -RING}));
        EXPECT_EQ(hero.inventory_size, 6);
        EXPECT_EQ(hero.worn[SLOT_CONTAINER], 0);
    });
    click(29, SWITCH_X + 5, SWITCH_Y + 5);
    click(31, 325 + 18 * 8 + 3, 67 + 3);  // the plus sign beside strength
    at(33, [] {
        EXPECT_TRUE(inventory_sheet_shown());
        EXPECT_TRUE(golden::matches(golden_dir + "inventory_sheet.png", frame_buffer));
    });
    click(34, PARTY_BAR_FIRST_X + PARTY_SLOT_WIDTH + 30,
          420);  // Mate's portrait takes the bag, the axe and the ring
    key(36, 0x011B);
    inventory_screen(0);

    EXPECT_EQ(hero.base_stats[STAT_STRENGTH], 31);
    EXPECT_EQ(hero.free_points, 1);
    EXPECT_TRUE(held_items().empty());
    EXPECT_EQ(std::count(mate.inventory, mate.inventory + 6, BAG), 1);
    EXPECT_EQ(std::count(mate.inventory, mate.inventory + 6, AXE), 1);
    EXPECT_EQ(std::count(mate.inventory, mate.inventory + 6, RING), 1);
    EXPECT_EQ(inventory_shown_slot(), -1);
}

TEST_F(InventoryScreen, APortraitTakesTheHeldItemOrShowsThatMemberAndRightClickLeavesWithTheItemStillHeld) {
    party_members[1].inventory[2] = HERB;
    click(2, cell_x(7), cell_y(7));                            // the ring onto the cursor
    click(4, PARTY_BAR_FIRST_X + 30, 420);                     // the hero's own portrait takes it back
    click(6, PARTY_BAR_FIRST_X + PARTY_SLOT_WIDTH + 30, 420);  // nothing held: Mate is shown
    at(8, [] { EXPECT_EQ(inventory_shown_slot(), 1); });
    click(9, cell_x(8), cell_y(8));  // beyond Mate's six cells: nothing
    click(11, cell_x(2), cell_y(2));
    mouse(13, 300, 200, MOUSE_EV_RIGHT_DOWN, false, true);
    inventory_screen(0);
    EXPECT_EQ(party_members[0].inventory[7], RING);
    EXPECT_EQ(held_items(), held_list{HERB});
    EXPECT_EQ(party_members[1].inventory[2], 0);
    EXPECT_EQ(party_state.current, 1);
}

TEST_F(InventoryScreen, SummonedCharacterShowsTheSheetAndItsGreyBodyTakesNoClicks) {
    party_member& hero = party_members[0];
    hero.base_stats[STAT_FLAGS] = CF_SUMMONED;
    recompute_stats(hero);
    click(2, cell_x(0), cell_y(0));
    click(4, BODY_X + 97, 150);
    at(6, [] {
        EXPECT_TRUE(inventory_sheet_shown());
        EXPECT_TRUE(held_items().empty());
        const uint16_t p = *pixel_address(BODY_X + 97, 200);
        EXPECT_EQ((p >> 10) & 31, p & 31);  // grey: red and blue alike
        EXPECT_EQ((p >> 5) & 31, p & 31);
    });
    key(7, 0x1769);  // I
    inventory_screen(0);
    EXPECT_EQ(hero.inventory[0], ARMOUR);
}

}  // namespace
