// The shops' stock lives for the game: it stays as the last visit left it,
// and every map the party enters brings the growing products in.
#include <gtest/gtest.h>

#include "../world/map_test_files.h"
#include "rules/shops/shops.h"
#include "story/shop_open.h"
#include "world/map.h"

namespace {

constexpr int16_t GROWS = PRODUCT_SOLD | PRODUCT_GROWS;

TEST(ShopStock, StockStaysBetweenVisitsAndEveryMapEnteredBringsMoreIn) {
    map_test::maps_folder folder;
    folder.write("TEST.MAP", map_test::file_of(map_test::small_map()));
    folder.write_text("TEST.txt", "; texts\n0 music.pls\n-1\n");
    install_shops();  // the folder has no SHOPS.DAT: the shop is set here
    shops_file file;
    shop_def shop;
    shop.name = "Stall";
    shop.shop_id = 1;
    shop.product_count = 1;
    file.shops.push_back(shop);
    file.products.push_back({0, 10, GROWS, 1, 3});
    game_shops().set(std::move(file));

    int32_t gold = 100;
    ASSERT_TRUE(buy_product(game_shops(), 0, 12, gold));
    EXPECT_EQ(game_shops().stock[0].stock, 0);  // sold out until a map is entered
    for (int expected : {1, 2, 3, 3}) {
        ASSERT_EQ(load_map("TEST.MAP"), MAP_OK);
        EXPECT_EQ(game_shops().stock[0].stock, expected);
        unload_map(0);
    }
    game_shops().clear();
}

}  // namespace
