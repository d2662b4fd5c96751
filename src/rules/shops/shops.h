#pragma once
// The game's shops: their definitions, the stock each product has now and
// the last haggling offer for it, prices, restocking and the trades
// themselves. The screen decides what the player means; these do it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/strings.h"
#include "rules/shops/shops_file.h"

struct stock_entry {
    int16_t stock = 0;
    int16_t last_offer = 0;  // the last haggling offer for the product, 0 = none
};

struct shop_catalogue {
    std::vector<shop_def> shops;
    std::vector<shop_product> products;
    std::vector<stock_entry> stock;  // one per product

    // Takes the file's shops with every stock at its start and no offers.
    void set(shops_file file);
    void clear() { set({}); }
    // The index of the shop with that id, -1 for none.
    int find(int32_t shop_id) const;
};

// The shops of the running game.
shop_catalogue& game_shops();

// What the shop asks for a product and what it pays for one; 0 when the
// markup would make the shop pay less than nothing.
int32_t selling_price(const shop_def& shop, const shop_product& product);
int32_t buying_price(const shop_def& shop, const shop_product& product);

// One shop's restock: growing products gain one, products the shop does not
// sell run out, each is capped at its maximum, then `random_picks` random
// products get a random stock.
void restock(shop_catalogue& catalogue, int shop_index);
void restock_all(shop_catalogue& catalogue);

// _SHOPS.TMP: stock and last offer of every product, 4 bytes each.
std::vector<uint8_t> save_shop_state(const shop_catalogue& catalogue);
// False (and the stock as it was) when the size does not fit the products.
bool load_shop_state(shop_catalogue& catalogue, std::span<const uint8_t> bytes);

// Translated names: text `shop_id` of the table replaces a shop's name.
void apply_shop_translations(shop_catalogue& catalogue, const language_table& texts);

// Reads SHOPS.DAT from the maps folder or the archives and shops.csv of the
// language; a missing or damaged file leaves no shops (the reason goes to
// stderr). The stock starts anew.
void load_shops();
constexpr const char* SHOPS_FILE_NAME = "SHOPS.DAT";
constexpr const char* SHOPS_TABLE_NAME = "shops.csv";
constexpr const char* SHOPS_STATE_NAME = "_SHOPS.TMP";

// Haggling. A verdict of 0 closes the deal; any other is the shopkeeper's
// answer (text 230 + v or 250 + v).
//   asking: what the shop asks (buying) or pays (selling); offer: the player's
//   number; previous: the last offer, 0 = none; base: the product's base
//   price; stock: the product's stock now.
int buying_verdict(int32_t asking, int32_t offer, int32_t previous, int32_t base, int32_t stock);
int selling_verdict(int32_t asking, int32_t offer, int32_t previous, int32_t base, int32_t stock);
// The answer text's number for a non-zero verdict, either of its two forms.
int verdict_text(int verdict);
constexpr int VERDICT_LAST_PIECE = 6;

// The product of the shop that sells this item definition and the one that
// buys it; -1 for none. `item` is the item number (definition index + 1).
int product_selling(const shop_catalogue& catalogue, int shop_index, int item);
int product_buying(const shop_catalogue& catalogue, int shop_index, int item);

// A purchase at `price`: false when the gold does not suffice or nothing is
// in stock; otherwise gold falls and the stock with it.
bool buy_product(shop_catalogue& catalogue, int product, int32_t price, int32_t& gold);
// A sale at `price`: gold rises, one more in stock, the last offer forgotten.
void sell_product(shop_catalogue& catalogue, int product, int32_t price, int32_t& gold);
