#include <gtest/gtest.h>

#include "core/random.h"
#include "rules/shops/shops.h"

namespace {

shop_product product(int16_t item, int32_t price, int16_t flags, int16_t start, int16_t max) {
    return shop_product{item, price, flags, start, max};
}

// One shop of the given products, as the file would hold it.
shops_file one_shop(std::vector<shop_product> products, int32_t markup = 20, int16_t picks = 0) {
    shops_file file;
    shop_def shop;
    shop.name = "Trader";
    shop.picture = "KEEPER.PCX";
    shop.markup = markup;
    shop.shop_id = 1;
    shop.random_picks = picks;
    shop.product_count = int(products.size());
    file.shops.push_back(shop);
    file.products = std::move(products);
    return file;
}

}  // namespace

TEST(ShopPrices, BasePriceHundredAtTwentyPercentSellsForHundredTwentyAndBuysForEighty) {
    shop_catalogue shops;
    shops.set(one_shop({product(0, 100, PRODUCT_SOLD | PRODUCT_BOUGHT, 1, 1)}));
    EXPECT_EQ(selling_price(shops.shops[0], shops.products[0]), 120);
    EXPECT_EQ(buying_price(shops.shops[0], shops.products[0]), 80);
}

TEST(ShopPrices, MarkupAboveHundredNeverPaysLessThanNothing) {
    shop_catalogue shops;
    shops.set(one_shop({product(0, 100, PRODUCT_BOUGHT, 0, 0)}, 150));
    EXPECT_EQ(buying_price(shops.shops[0], shops.products[0]), 0);
    EXPECT_EQ(selling_price(shops.shops[0], shops.products[0]), 250);
}

TEST(ShopsFile, WrittenShopsReadBackWithTheirProductsAndStartStock) {
    shops_file file =
        one_shop({product(3, 10, PRODUCT_SOLD, 2, 5), product(7, 40, PRODUCT_BOUGHT, 0, 0)}, 30, 1);
    std::optional<shops_file> read = parse_shops_file(write_shops_file(file));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->shops.size(), 1u);
    EXPECT_EQ(read->shops[0].name, "Trader");
    EXPECT_EQ(read->shops[0].picture, "KEEPER.PCX");
    EXPECT_EQ(read->shops[0].markup, 30);
    EXPECT_EQ(read->shops[0].random_picks, 1);
    ASSERT_EQ(read->products.size(), 2u);
    EXPECT_EQ(read->products[1].item, 7);
    EXPECT_EQ(read->products[1].base_price, 40);
    shop_catalogue shops;
    shops.set(std::move(*read));
    EXPECT_EQ(shops.stock[0].stock, 2);
    EXPECT_EQ(shops.find(1), 0);
    EXPECT_EQ(shops.find(2), -1);
}

TEST(ShopsFile, CountsTheFileCannotHoldAreRefused) {
    std::vector<uint8_t> bytes = write_shops_file(one_shop({product(0, 1, PRODUCT_SOLD, 1, 1)}));
    std::string error;
    // One product more than the bytes hold.
    std::vector<uint8_t> more = bytes;
    more[4 + 33] = 2;
    EXPECT_FALSE(parse_shops_file(more, &error));
    EXPECT_NE(error.find("products"), std::string::npos);
    // A negative product count.
    std::vector<uint8_t> negative = bytes;
    negative[4 + 33] = negative[4 + 34] = negative[4 + 35] = negative[4 + 36] = 0xFF;
    EXPECT_FALSE(parse_shops_file(negative));
    // More shops than headers, and a huge count.
    std::vector<uint8_t> shops = bytes;
    shops[0] = 2;
    EXPECT_FALSE(parse_shops_file(shops));
    shops[3] = 0x7F;
    EXPECT_FALSE(parse_shops_file(shops));
    EXPECT_FALSE(parse_shops_file(std::vector<uint8_t>{1, 0}));
}

TEST(ShopsFile, NamesWithoutTerminatorAreCutToTheirField) {
    std::vector<uint8_t> bytes = write_shops_file(one_shop({}));
    for (int i = 0; i < SHOP_NAME_SIZE + SHOP_PICTURE_SIZE; ++i) bytes[size_t(4 + i)] = 'A';
    std::optional<shops_file> read = parse_shops_file(bytes);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->shops[0].name, std::string(15, 'A'));
    EXPECT_EQ(read->shops[0].picture, std::string(12, 'A'));

    shop_catalogue shops;
    shops.set(std::move(*read));
    apply_shop_translations(shops, {{1, "A translated name far too long"}, {2, "Other"}});
    EXPECT_EQ(shops.shops[0].name, "A translated na");
}

TEST(ShopRestock, GrowingProductGainsOnePerMapEntryUpToItsMaximum) {
    shop_catalogue shops;
    shops.set(
        one_shop({product(0, 5, PRODUCT_SOLD | PRODUCT_GROWS, 0, 3), product(1, 5, PRODUCT_BOUGHT, 4, 9)}));
    std::vector<int> seen;
    for (int entry = 0; entry < 5; ++entry) {
        restock_all(shops);
        seen.push_back(shops.stock[0].stock);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 3, 3}));
    EXPECT_EQ(shops.stock[1].stock, 0);  // the shop only buys it
}

TEST(ShopRestock, OneRandomPickStocksExactlyOneOfTwoRandomProducts) {
    shop_catalogue shops;
    shops.set(one_shop({product(0, 5, PRODUCT_SOLD | PRODUCT_RANDOM, 2, 4),
                        product(1, 5, PRODUCT_SOLD | PRODUCT_RANDOM, 2, 4)},
                       20, 1));
    bool first_chosen = false, second_chosen = false;
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        random_seed(seed);
        restock_all(shops);
        const int a = shops.stock[0].stock, b = shops.stock[1].stock;
        ASSERT_TRUE((a == 0) != (b == 0)) << "seed " << seed << ": " << a << " and " << b;
        EXPECT_LE(a + b, 4);
        first_chosen |= a > 0;
        second_chosen |= b > 0;
    }
    EXPECT_TRUE(first_chosen && second_chosen);
}

TEST(ShopRestock, ShopWithoutRandomProductsDrawsNoRandomNumber) {
    shop_catalogue shops;
    shops.set(one_shop({product(0, 5, PRODUCT_SOLD, 1, 1)}, 20, 3));
    random_seed(77);
    restock_all(shops);
    EXPECT_EQ(random_state(), 77u);
    EXPECT_EQ(shops.stock[0].stock, 1);
}

TEST(ShopState, StockAndOffersKeptBetweenVisitsAndWrongSizeIgnored) {
    shop_catalogue shops;
    shops.set(one_shop(
        {product(0, 100, PRODUCT_SOLD | PRODUCT_BOUGHT, 2, 5), product(1, 10, PRODUCT_BOUGHT, 0, 0)}));
    int32_t gold = 500;
    ASSERT_TRUE(buy_product(shops, 0, 120, gold));
    EXPECT_EQ(gold, 380);
    shops.stock[1].last_offer = 9;
    const std::vector<uint8_t> saved = save_shop_state(shops);
    ASSERT_EQ(saved.size(), 8u);

    shop_catalogue later;
    later.set(one_shop(
        {product(0, 100, PRODUCT_SOLD | PRODUCT_BOUGHT, 2, 5), product(1, 10, PRODUCT_BOUGHT, 0, 0)}));
    ASSERT_TRUE(load_shop_state(later, saved));
    EXPECT_EQ(later.stock[0].stock, 1);
    EXPECT_EQ(later.stock[1].last_offer, 9);
    sell_product(later, 1, 8, gold);
    EXPECT_EQ(gold, 388);
    EXPECT_EQ(later.stock[1].stock, 1);
    EXPECT_EQ(later.stock[1].last_offer, 0);

    std::vector<uint8_t> short_state(saved.begin(), saved.end() - 4);
    EXPECT_FALSE(load_shop_state(later, short_state));
    EXPECT_EQ(later.stock[1].stock, 1);
    // Not enough gold, and nothing left: no purchase.
    gold = 10;
    EXPECT_FALSE(buy_product(later, 0, 120, gold));
    later.stock[0].stock = 0;
    gold = 1000;
    EXPECT_FALSE(buy_product(later, 0, 120, gold));
    EXPECT_EQ(gold, 1000);
}
