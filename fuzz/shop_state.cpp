// _SHOPS.TMP against a shop file like the demo's: a state of the wrong size
// leaves the stock as it was; any state of the right size survives a restock,
// trading and haggling over every product, and is saved back byte for byte.
#include <cstddef>
#include <cstdint>
#include <span>

#include "rules/shops/shops.h"

namespace {

shop_catalogue demo_like_shops() {
    shops_file file;
    const int16_t flags[] = {PRODUCT_SOLD | PRODUCT_GROWS, PRODUCT_SOLD | PRODUCT_RANDOM,
                             PRODUCT_SOLD | PRODUCT_RANDOM, PRODUCT_SOLD | PRODUCT_BOUGHT, PRODUCT_BOUGHT};
    for (int32_t id = 1; id <= 2; ++id) {
        shop_def shop;
        shop.name = "Shop";
        shop.shop_id = id;
        shop.markup = id == 1 ? 25 : 120;
        shop.random_picks = 1;
        shop.first_product = int(file.products.size());
        for (int16_t i = 0; i < 5; ++i) file.products.push_back({i, int32_t(10 * (i + 1)), flags[i], 1, 4});
        shop.product_count = 5;
        file.shops.push_back(shop);
    }
    shop_catalogue shops;
    shops.set(std::move(file));
    return shops;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    shop_catalogue shops = demo_like_shops();
    const std::vector<uint8_t> before = save_shop_state(shops);
    const std::span<const uint8_t> bytes(data, size);
    if (!load_shop_state(shops, bytes)) {
        if (save_shop_state(shops) != before) __builtin_trap();
        return 0;
    }
    if (save_shop_state(shops) != std::vector<uint8_t>(data, data + size)) __builtin_trap();
    int32_t gold = 1000;
    for (size_t i = 0; i < shops.products.size(); ++i) {
        const stock_entry entry = shops.stock[i];
        buying_verdict(60, entry.last_offer, entry.last_offer, 50, entry.stock);
        selling_verdict(40, entry.last_offer, entry.last_offer, 50, entry.stock);
        buy_product(shops, int(i), 10, gold);
        sell_product(shops, int(i), 5, gold);
    }
    restock_all(shops);
    for (size_t i = 0; i < shops.products.size(); ++i)
        if (shops.stock[i].stock > shops.products[i].max_stock) __builtin_trap();
    return 0;
}
