// The shop screen on the headless run, driven by the mouse and keys: buying
// by taking an item and dropping it with yes, buying at once with the
// modifier, haggling over the last piece (refused, then a deal at the asking
// price), selling a dagger, a stack and an item the shop does not buy
// refused, a sale at once with the modifier; the golden picture of the shop.
#include <gtest/gtest.h>

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
#include "rules/shops/shops.h"
#include "story/haggle_window.h"
#include "story/held_items.h"
#include "story/inventory_pictures.h"
#include "story/inventory_screen.h"
#include "story/shop_screen.h"
#include "support/golden.h"
#include "ui/toolkit.h"
#include "window_harness.h"
#include "world/panel.h"

namespace {

const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";

enum : int16_t { POTION = 1, DAGGER, BREAD, RING, SWORD, ARROWS };

std::vector<item_def> test_items() {
    std::vector<item_def> items;
    const char* names[] = {"Potion", "Dagger", "Bread", "Ring", "Sword", "Arrows"};
    for (uint16_t i = 0; i < 6; ++i) {
        item_def item;
        std::snprintf(item.name, sizeof item.name, "%s", names[i]);
        item.type = IT_ORDINARY;
        item.icon = i;
        items.push_back(item);
    }
    return items;
}

std::vector<uint16_t> pal8(int w, int h, const std::function<uint8_t(int, int)>& pick) {
    const std::vector<uint8_t> bytes = pal8_picture_bytes(w, h, pick);
    return aligned_pal8_record(bytes.data(), bytes.size());
}

// Icons with a border and as many stripes as their number.
class icon_pictures : public inventory_pictures {
  public:
    icon_pictures() {
        for (uint16_t i = 0; i < 6; ++i)
            icons_[i] = pal8(45, 55, [i](int x, int y) {
                if (x == 0 || y == 0 || x == 44 || y == 54) return uint8_t{90};
                return static_cast<uint8_t>(y / 5 <= i && x > 5 && x < 40 ? 100 + 8 * i : 0);
            });
    }
    const picture* figure(int) override { return nullptr; }
    const picture* worn(bool, int) override { return nullptr; }
    const picture* icon(uint16_t number) override {
        auto found = icons_.find(number);
        return found == icons_.end() ? nullptr : reinterpret_cast<const picture*>(found->second.data());
    }
    const void* icon_record(uint16_t number, size_t& length) override {
        const picture* pic = icon(number);
        length = pic ? 2993 : 0;
        return pic;
    }

  private:
    std::map<int, std::vector<uint16_t>> icons_;
};

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

shops_file test_shop() {
    shops_file file;
    shop_def shop;
    shop.name = "Merchant";
    shop.picture = "KEEPER.PCX";
    shop.markup = 25;
    shop.shop_id = 1;
    shop.product_count = 5;
    file.shops.push_back(shop);
    // item (from 0), base price, flags, start stock, max stock
    file.products.push_back({POTION - 1, 40, PRODUCT_SOLD, 2, 4});
    file.products.push_back({DAGGER - 1, 20, PRODUCT_SOLD | PRODUCT_BOUGHT, 1, 2});
    file.products.push_back({BREAD - 1, 4, PRODUCT_SOLD, 3, 6});
    file.products.push_back({SWORD - 1, 40, PRODUCT_BOUGHT, 0, 2});
    file.products.push_back({ARROWS - 1, 10, PRODUCT_BOUGHT, 0, 2});
    return file;
}
constexpr int P_POTION = 0, P_DAGGER = 1, P_BREAD = 2, P_SWORD = 3;

item_table* lookup_table = nullptr;
const item_def* lookup(int number) {
    return lookup_table ? lookup_table->find(number) : nullptr;
}
bool modifier = false;
std::vector<std::string> sounds;

class ShopScreen : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        test_fonts::install(FONT_SADA16, bit_font());
        const std::map<int, const char*> texts = {
            {77, "Yes"},           {78, "No"},          {80, "OK"},           {100, "No deal."},
            {101, "It costs %d."}, {102, "I give %d."}, {103, "No %s here."}, {104, "Too little gold."},
            {230, "Haggle"},       {231, "Never"},      {236, "Last one"},    {237, "Not a number"},
            {239, "Cancel"},       {240, "Amount?"},    {251, "No"},          {256, "Last piece"}};
        for (const auto& [number, words] : texts) string_list_set(ui_strings, number, words);
        table.set_definitions(test_items());
        lookup_table = &table;
        set_party_item_lookup(lookup);
        inventory_setup = {};
        inventory_setup.items = &table;
        inventory_setup.pictures = &pictures;
        inventory_setup.shift_held = [] { return modifier; };
        modifier = false;
        sounds.clear();
        keeper = pal8(KEEPER_W, KEEPER_H, [](int x, int y) { return uint8_t(60 + (x / 20 + y / 20) % 8); });
        shop_screen_setup = {};
        shop_screen_setup.play_sound = [](const char* name) { sounds.push_back(name); };
        shop_screen_setup.keypad_wanted = [] { return false; };
        shop_screen_setup.keeper_picture = [](const std::string& name) {
            return name == "KEEPER.PCX" ? reinterpret_cast<const picture*>(keeper.data()) : nullptr;
        };
        install_picture(H_SHOP, 640, 378,
                        [](int x, int y) { return uint8_t(x < 270 ? 3 : 4 + (y / 60) % 2); });
        game_shops().set(test_shop());
        reset_party();
        held_items().clear();
        party_member& hero = party_members[0];
        hero.used = 1;
        hero.hp = 10;
        hero.inventory_size = 6;
        std::snprintf(hero.name, sizeof hero.name, "Hero");
        const int16_t pack[6] = {DAGGER, RING, 0, 0, 0, SWORD};
        std::copy(pack, pack + 6, hero.inventory);
        party_state.gold = 200;
    }
    void TearDown() override {
        inventory_setup = {};
        shop_screen_setup = {};
        game_shops().clear();
        held_items().clear();
        reset_party();
        set_party_item_lookup(nullptr);
        lookup_table = nullptr;
        reset_font_state();
        undefine_handle(FONT_SADA16);
        undefine_handle(H_SHOP);
        string_list_free(ui_strings);
        WindowTest::TearDown();
    }
    static int shelf_x(int cell) { return SHELF_X + cell % 4 * SHELF_CELL_W + 20; }
    static int shelf_y(int cell) { return SHELF_Y + cell / 4 * SHELF_CELL_H + 20; }
    static int pack_x(int cell) { return BACKPACK_X + cell % 6 * BACKPACK_CELL_W + 20; }
    static int pack_y(int cell) { return BACKPACK_Y + cell / 6 * BACKPACK_CELL_H + 20; }
    // A click on button `id` of the window open at `poll`.
    static void click_button(int poll, int id) {
        at(poll, [poll, id] {
            const ui_object* button = find_object(0, id);
            ASSERT_NE(button, nullptr);
            click(poll + 1, button->screen_x + 4, button->screen_y + 4);
        });
    }
    static void type(int poll, const std::string& digits) {
        for (char c : digits) key(poll++, uint16_t((c == '0' ? 0x0B : c - '1' + 2) << 8 | c));
        key(poll, KEY_ENTER);
    }
    static int16_t stock(int product) { return game_shops().stock[size_t(product)].stock; }
    static void run() { game_shop_screen().run(0, 0); }

    item_table table;
    icon_pictures pictures;
    static std::vector<uint16_t> keeper;
};
std::vector<uint16_t> ShopScreen::keeper;

TEST_F(ShopScreen, BuysByDropWithYesAtOnceWithTheModifierAndHagglesOverTheLastPieceToADeal) {
    const party_member& hero = party_members[0];
    mouse(2, shelf_x(1), shelf_y(1), MOUSE_EV_MOTION, false);  // the dagger: its selling price
    at(3, [] { EXPECT_TRUE(golden::matches(golden_dir + "shop_open.png", frame_buffer)); });
    click(4, shelf_x(0), shelf_y(0));  // the potion, unpaid
    at(6, [] {
        EXPECT_EQ(held_items(), held_list{POTION});
        EXPECT_EQ(shop_unpaid_product(), P_POTION);
    });
    click(7, pack_x(2), pack_y(2));  // "It costs 50."
    key(10, KEY_ENTER);              // yes
    at(12, [&] {
        EXPECT_EQ(party_state.gold, 150);
        EXPECT_EQ(stock(P_POTION), 1);
        EXPECT_EQ(hero.inventory[2], POTION);
        EXPECT_TRUE(held_items().empty());
    });
    at(13, [] { modifier = true; });
    click(13, shelf_x(2), shelf_y(2));  // bread bought at once
    at(15, [&] {
        modifier = false;
        EXPECT_EQ(party_state.gold, 145);
        EXPECT_EQ(stock(P_BREAD), 2);
        EXPECT_EQ(hero.inventory[3], BREAD);
    });
    click(16, shelf_x(0), shelf_y(0));  // the last potion
    click(18, pack_x(4), pack_y(4));
    click_button(21, 1);  // haggle
    type(25, "1");        // below the asking price for the last piece: refused
    at(30, [] {
        EXPECT_TRUE(shop_answer() == "Last one" || shop_answer() == "Last piece") << shop_answer();
        EXPECT_EQ(game_shops().stock[P_POTION].last_offer, 1);
    });
    type(31, "50");  // the asking price: a deal
    at(36, [&] {
        EXPECT_EQ(party_state.gold, 95);
        EXPECT_EQ(stock(P_POTION), 0);
        EXPECT_EQ(hero.inventory[4], POTION);
        EXPECT_EQ(shop_unpaid_product(), -1);
    });
    key(37, KEY_ESCAPE);
    run();
    EXPECT_EQ(sounds, (std::vector<std::string>{"obchod.wav", "obchod.wav", "obchod.wav"}));
    EXPECT_EQ(shop_customer(), -1);
}

TEST_F(ShopScreen, SellsADaggerRefusesAStackAndAnItemItDoesNotBuyAndSellsAtOnceWithTheModifier) {
    const party_member& hero = party_members[0];
    click(2, pack_x(0), pack_y(0));    // the own dagger
    click(4, shelf_x(5), shelf_y(5));  // on the shelf: "I give 15."
    key(7, KEY_ENTER);
    at(9, [] {
        EXPECT_EQ(party_state.gold, 215);
        EXPECT_EQ(stock(P_DAGGER), 2);
        EXPECT_TRUE(held_items().empty());
    });
    click(10, pack_x(1), pack_y(1));  // the ring, which the shop does not buy
    click(12, shelf_x(6), shelf_y(6));
    at(14, [] {
        EXPECT_EQ(shop_answer(), "No Ring here.");
        EXPECT_EQ(held_items(), held_list{RING});
    });
    click(15, pack_x(1), pack_y(1));  // back into the backpack
    at(17, [] { held_items() = {ARROWS, -ARROWS}; });
    click(18, shelf_x(7), shelf_y(7));  // a stack: "No deal." with OK
    key(21, KEY_ENTER);
    at(23, [] {
        EXPECT_EQ(held_items(), (held_list{ARROWS, -ARROWS}));
        EXPECT_EQ(party_state.gold, 215);
        held_items().clear();
    });
    click(24, pack_x(5), pack_y(5));  // the sword onto the cursor ...
    at(26, [] { modifier = true; });
    click(26, pack_x(5), pack_y(5));  // ... and sold at once on the backpack for 30
    at(28, [&] {
        modifier = false;
        EXPECT_EQ(party_state.gold, 245);
        EXPECT_EQ(stock(P_SWORD), 1);
        EXPECT_EQ(hero.inventory[5], 0);
        EXPECT_TRUE(held_items().empty());
    });
    mouse(29, 300, 200, MOUSE_EV_RIGHT_DOWN, false, true);
    run();
    EXPECT_EQ(hero.inventory[1], RING);
    EXPECT_EQ(sounds.size(), 2u);
}

TEST(ShopOffer, EmptyTextNonNumbersAndNumbersTooLongAreNoOffer) {
    EXPECT_EQ(read_offer("  ").kind, typed_offer::empty);
    EXPECT_EQ(read_offer("12a").kind, typed_offer::not_a_number);
    EXPECT_EQ(read_offer("-5").kind, typed_offer::not_a_number);
    EXPECT_EQ(read_offer("1234567890").kind, typed_offer::not_a_number);
    const typed_offer offer = read_offer(" 120 ");
    EXPECT_EQ(offer.kind, typed_offer::number);
    EXPECT_EQ(offer.gold, 120);
    // The number row without Shift types the national letters: "+ěé" is 120.
    const typed_offer row = read_offer("+\x88\x82");
    EXPECT_EQ(row.kind, typed_offer::number);
    EXPECT_EQ(row.gold, 120);
}

}  // namespace
