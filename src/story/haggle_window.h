#pragma once
// The haggling window: the price the shop asks (or offers), a line for the
// player's number and the buttons to offer it or to give up. With a game
// controller an on-screen keypad (1..9, 0 and "<-") writes the number.
#include <cstdint>
#include <optional>
#include <string>

// What the player typed, as typed; nothing when the window was cancelled
// (the cancel button, Escape or a right click). Judging the text is the
// shop's business.
std::optional<std::string> haggle_window(int price, bool keypad);

// The player's typed offer read as gold: nothing for an empty or non-numeric
// text, or for a number too large to be any price.
struct typed_offer {
    enum kind_t { empty, not_a_number, number } kind = empty;
    int32_t gold = 0;
};
typed_offer read_offer(const std::string& typed);

constexpr int HAGGLE_DIGITS = 9;  // any nine digits fit a 32-bit price
constexpr int HAGGLE_X = 330, HAGGLE_Y = 110, HAGGLE_W = 260, HAGGLE_H = 100, HAGGLE_KEYPAD_H = 196;
