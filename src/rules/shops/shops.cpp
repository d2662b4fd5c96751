#include "rules/shops/shops.h"

#include <algorithm>
#include <limits>

#include "core/random.h"
#include "core/record_bytes.h"

namespace {

int32_t clamp_price(int64_t price) {
    return int32_t(std::clamp<int64_t>(price, 0, std::numeric_limits<int32_t>::max()));
}

}  // namespace

void shop_catalogue::set(shops_file file) {
    shops = std::move(file.shops);
    products = std::move(file.products);
    stock.assign(products.size(), stock_entry{});
    for (size_t i = 0; i < products.size(); ++i) stock[i].stock = products[i].start_stock;
}

int shop_catalogue::find(int32_t shop_id) const {
    for (size_t i = 0; i < shops.size(); ++i)
        if (shops[i].shop_id == shop_id) return int(i);
    return -1;
}

shop_catalogue& game_shops() {
    static shop_catalogue catalogue;
    return catalogue;
}

int32_t selling_price(const shop_def& shop, const shop_product& product) {
    const int64_t base = product.base_price;
    return clamp_price(base + base * shop.markup / 100);
}

int32_t buying_price(const shop_def& shop, const shop_product& product) {
    const int64_t base = product.base_price;
    return clamp_price(base - base * shop.markup / 100);
}

void restock(shop_catalogue& catalogue, int shop_index) {
    if (shop_index < 0 || size_t(shop_index) >= catalogue.shops.size()) return;
    const shop_def& shop = catalogue.shops[size_t(shop_index)];
    std::vector<int> random_products;
    for (int i = shop.first_product; i < shop.first_product + shop.product_count; ++i) {
        const shop_product& product = catalogue.products[size_t(i)];
        int16_t& stock = catalogue.stock[size_t(i)].stock;
        if (product.flags & PRODUCT_GROWS) stock = int16_t(std::min<int>(stock + 1, INT16_MAX));
        if (!(product.flags & PRODUCT_SOLD)) stock = 0;
        if (stock > product.max_stock) stock = product.max_stock;
        if (product.flags & PRODUCT_RANDOM) {
            stock = 0;
            random_products.push_back(i);
        }
    }
    // A shop without random products has nothing to pick from.
    if (random_products.empty()) return;
    for (int pick = 0; pick < shop.random_picks; ++pick) {
        const int chosen = random_products[size_t(random(int(random_products.size())))];
        const int16_t max_stock = catalogue.products[size_t(chosen)].max_stock;
        catalogue.stock[size_t(chosen)].stock = max_stock > 0 ? int16_t(random(max_stock) + 1) : int16_t(0);
    }
}

void restock_all(shop_catalogue& catalogue) {
    for (size_t i = 0; i < catalogue.shops.size(); ++i) restock(catalogue, int(i));
}

std::vector<uint8_t> save_shop_state(const shop_catalogue& catalogue) {
    std::vector<uint8_t> bytes(catalogue.stock.size() * 4);
    record_writer out(bytes.data());
    for (const stock_entry& entry : catalogue.stock) {
        out.i16(entry.stock);
        out.i16(entry.last_offer);
    }
    return bytes;
}

bool load_shop_state(shop_catalogue& catalogue, std::span<const uint8_t> bytes) {
    if (bytes.size() != catalogue.stock.size() * 4) return false;
    record_reader in(bytes.data(), bytes.size());
    for (stock_entry& entry : catalogue.stock) {
        entry.stock = in.i16();
        entry.last_offer = in.i16();
    }
    return true;
}

void apply_shop_translations(shop_catalogue& catalogue, const language_table& texts) {
    for (shop_def& shop : catalogue.shops) {
        auto text = texts.find(shop.shop_id);
        if (text != texts.end()) shop.name = cut_to_field(text->second, SHOP_NAME_SIZE);
    }
}

namespace {

// The shopkeeper's answer to an offer that is not taken, by how close it came.
int disappointment(int64_t closeness) {
    if (closeness > 75) return 2;
    if (closeness > 50) return 3;
    if (closeness < 26) return 5;
    return 4;
}

// Divisors from the file's numbers can come to zero; they count as one.
int64_t nonzero(int64_t divisor) {
    return divisor != 0 ? divisor : 1;
}

}  // namespace

int buying_verdict(int32_t asking, int32_t offer, int32_t previous, int32_t base, int32_t stock) {
    const int64_t a = asking, o = offer, p = previous, b = base, s = stock;
    int64_t room = 2 * (a - b) * (s - 1) / nonzero(s + 1);
    const int64_t floor = a - room;
    if (p >= floor) room = a - (floor + p) / 2;
    const int64_t closeness = (o - floor) * 100 / nonzero(room + 1);
    const int roll = random(100);
    if (o == 0) return 1;
    if (s == 1 && o < a) return VERDICT_LAST_PIECE;
    if (o >= a) return 0;
    if (o > p && o >= floor) return roll < closeness ? 0 : disappointment(closeness);
    return 1;
}

int selling_verdict(int32_t asking, int32_t offer, int32_t previous, int32_t base, int32_t stock) {
    const int64_t a = asking, o = offer, p = previous, b = base;
    const int64_t s = int64_t(stock) + 1;
    const int64_t room = 2 * (b - a) / nonzero(s);
    const int64_t reach = p != 0 ? (a + room + p) / 2 - a : room;
    const int64_t closeness = (a + room - o) * 100 / nonzero(reach + 1);
    const int roll = random(100);
    if (o == 0 || o <= a) return 0;
    if (o <= a + room && roll < closeness && (p == 0 || o < p)) return 0;
    return disappointment(closeness);
}

int verdict_text(int verdict) {
    return (random(2) ? 250 : 230) + verdict;
}

namespace {

int find_product(const shop_catalogue& catalogue, int shop_index, int item, int16_t flag) {
    if (shop_index < 0 || size_t(shop_index) >= catalogue.shops.size()) return -1;
    const shop_def& shop = catalogue.shops[size_t(shop_index)];
    for (int i = shop.first_product; i < shop.first_product + shop.product_count; ++i) {
        const shop_product& product = catalogue.products[size_t(i)];
        if ((product.flags & flag) && product.item + 1 == item) return i;
    }
    return -1;
}

}  // namespace

int product_selling(const shop_catalogue& catalogue, int shop_index, int item) {
    return find_product(catalogue, shop_index, item, PRODUCT_SOLD);
}

int product_buying(const shop_catalogue& catalogue, int shop_index, int item) {
    return find_product(catalogue, shop_index, item, PRODUCT_BOUGHT);
}

bool buy_product(shop_catalogue& catalogue, int product, int32_t price, int32_t& gold) {
    if (product < 0 || size_t(product) >= catalogue.stock.size()) return false;
    stock_entry& entry = catalogue.stock[size_t(product)];
    if (price > gold || entry.stock <= 0) return false;
    gold -= price;
    --entry.stock;
    return true;
}

void sell_product(shop_catalogue& catalogue, int product, int32_t price, int32_t& gold) {
    if (product < 0 || size_t(product) >= catalogue.stock.size()) return;
    stock_entry& entry = catalogue.stock[size_t(product)];
    gold = int32_t(std::min<int64_t>(int64_t(gold) + price, std::numeric_limits<int32_t>::max()));
    entry.stock = int16_t(std::min<int>(entry.stock + 1, INT16_MAX));
    entry.last_offer = 0;
}
