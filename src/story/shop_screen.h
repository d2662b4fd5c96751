#pragma once
// The shop screen: the keeper's picture with its answers under it, the shelf
// of up to eight products the shop sells and has, the shop's name, the
// customer's backpack and the party bar. A shelf item taken onto the cursor
// is not paid until it is dropped into the backpack; an own item dropped on
// the shelf is offered for sale. Either trade can be haggled.
#include <string>

#include "gfx/picture.h"
#include "story/shop_open.h"

constexpr int KEEPER_X = 5, KEEPER_Y = 17, KEEPER_W = 260, KEEPER_H = 140;
constexpr int ANSWER_Y = 160, ANSWER_LINES = 3;
constexpr int SHOP_NAME_X = 135, SHOP_NAME_Y = 214;
constexpr int SHELF_X = 30, SHELF_Y = 226, SHELF_CELL_W = 54, SHELF_CELL_H = 60;
constexpr int SHELF_COLUMNS = 4, SHELF_CELLS = 8;
constexpr int SCROLL_X = 248, SCROLL_W = 18, SCROLL_H = 58;
constexpr int SCROLL_BACK_Y = SHELF_Y, SCROLL_FORWARD_Y = SHELF_Y + SHELF_CELL_H + 2;

// What the screen reaches beyond the shops, the party and the items (the
// items, pictures and modifier key are the inventory screen's). Null entries
// fall back to the game's own.
struct shop_screen_setup_t {
    // The trade's sound; the game plays it through the party's sounds.
    void (*play_sound)(const char* name) = nullptr;
    // The on-screen keypad of the haggling window; the game shows it while a
    // controller is connected.
    bool (*keypad_wanted)() = nullptr;
    // The keeper's picture by its file name; the game reads it from the
    // dialogs folder (a missing or damaged file is not drawn).
    const picture* (*keeper_picture)(const std::string& file) = nullptr;
};
extern shop_screen_setup_t shop_screen_setup;

// The screen shop_open hands the shop to.
shop_screen_runner& game_shop_screen();

// What the screen shows now (for tests): the customer's slot (-1 while it is
// not running), the keeper's last answer, the product on the cursor that is
// not paid for (-1 for none) and the first product shown on the shelf.
int shop_customer();
const std::string& shop_answer();
int shop_unpaid_product();
int shop_first_shown();
