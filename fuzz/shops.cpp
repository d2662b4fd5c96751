// SHOPS.DAT: whatever the bytes, the reader stays within them, its counts fit
// the file, names keep to their fields, what it read is written back to the
// same shops, and restocking and pricing every product stays in bounds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "rules/shops/shops.h"

constexpr size_t LONGEST_INPUT = 65536;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > LONGEST_INPUT) return 0;
    std::optional<shops_file> file = parse_shops_file(std::span<const uint8_t>(data, size));
    if (!file) return 0;
    size_t products = 0;
    for (const shop_def& shop : file->shops) {
        if (shop.name.size() >= SHOP_NAME_SIZE || shop.picture.size() >= SHOP_PICTURE_SIZE) __builtin_trap();
        if (shop.first_product != int(products)) __builtin_trap();
        products += size_t(shop.product_count);
    }
    if (products != file->products.size()) __builtin_trap();
    const std::optional<shops_file> again = parse_shops_file(write_shops_file(*file));
    if (!again || again->products.size() != products || again->shops.size() != file->shops.size())
        __builtin_trap();

    shop_catalogue shops;
    shops.set(std::move(*file));
    restock_all(shops);
    for (const shop_def& shop : shops.shops)
        for (int i = shop.first_product; i < shop.first_product + shop.product_count; ++i) {
            const shop_product& product = shops.products[size_t(i)];
            if (buying_price(shop, product) < 0 || selling_price(shop, product) < 0) __builtin_trap();
            const int16_t stock = shops.stock[size_t(i)].stock;
            buying_verdict(selling_price(shop, product), product.base_price, 0, product.base_price, stock);
            selling_verdict(buying_price(shop, product), product.base_price, 1, product.base_price, stock);
        }
    return 0;
}
