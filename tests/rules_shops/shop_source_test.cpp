#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "forge/shop_source.h"
#include "rules/shops/shops.h"

namespace {

std::string read_source(const std::string& path) {
    std::ifstream in(std::string(VORTHAN_SOURCE_DIR) + "/" + path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const forge::compiled_items& demo_items() {
    static const forge::compiled_items items =
        forge::compile_item_source(read_source("content/demo/items/items.src"), "items.src");
    return items;
}

std::string compile_error(const std::string& source) {
    try {
        forge::compile_shop_source(source, "test.src", demo_items());
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(ShopSource, DemoMerchantSellsPotionsFoodDaggerArrowsAndBuysWeapons) {
    const forge::compiled_shops shops =
        forge::compile_shop_source(read_source("content/demo/shops/shops.src"), "shops.src", demo_items());
    std::optional<shops_file> file = parse_shops_file(write_shops_file(shops.file));
    ASSERT_TRUE(file);
    shop_catalogue catalogue;
    catalogue.set(std::move(*file));
    const int merchant = catalogue.find(1);
    ASSERT_EQ(merchant, 0);
    EXPECT_EQ(catalogue.shops[0].name, "Merchant");
    const auto item = [](const char* name) { return demo_items().numbers.at(name); };
    for (const char* sold : {"healing_potion", "bread", "dagger", "arrows"})
        EXPECT_GE(product_selling(catalogue, merchant, item(sold)), 0) << sold;
    for (const char* bought : {"long_sword", "dagger", "short_bow"})
        EXPECT_GE(product_buying(catalogue, merchant, item(bought)), 0) << bought;
    EXPECT_LT(product_selling(catalogue, merchant, item("long_sword")), 0);
    EXPECT_LT(product_buying(catalogue, merchant, item("bread")), 0);
    EXPECT_NE(forge::shops_csv_text(shops).find("1,\"Merchant\""), std::string::npos);
}

TEST(ShopSource, FaultsNameTheirLine) {
    EXPECT_EQ(compile_error("name Lost\n"), "test.src:1: \"name\" before the first shop");
    EXPECT_EQ(compile_error("shop 2\n  name Smith\n  product anvil 5 sells\n"),
              "test.src:3: unknown item anvil");
    EXPECT_EQ(compile_error("shop 2\n  name Smith\n  product dagger 5\n"),
              "test.src:3: a product the shop neither sells nor buys");
    EXPECT_EQ(compile_error("shop 2\n  name Smith\n  product dagger 5 sells stock 3 max 2\n"),
              "test.src:3: the stock is above its max");
    EXPECT_EQ(compile_error("shop 2\n  name A name too long to fit\n"),
              "test.src:2: \"A name too long to fit\" is longer than 15 bytes");
    EXPECT_EQ(compile_error("shop 2\nname A\nshop 2\n"), "test.src:3: shop 2 twice");
}
