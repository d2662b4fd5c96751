#pragma once
// SHOPS.DAT: a count of shops, then each shop's 51-byte header followed by its
// 16-byte products. Read field by field; a count the file cannot hold makes
// the whole file unreadable rather than half-read.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

constexpr int SHOP_HEADER_SIZE = 51;
constexpr int SHOP_PRODUCT_SIZE = 16;
constexpr int SHOP_NAME_SIZE = 16;     // with its terminator: 15 characters shown
constexpr int SHOP_PICTURE_SIZE = 13;  // an 8.3 file name and its terminator

// Product flags.
constexpr int16_t PRODUCT_SOLD = 0x01;
constexpr int16_t PRODUCT_BOUGHT = 0x02;
constexpr int16_t PRODUCT_GROWS = 0x04;   // one more comes in at each restock
constexpr int16_t PRODUCT_RANDOM = 0x08;  // stocked only when a random pick chooses it

struct shop_product {
    int16_t item = 0;  // counted from 0: the item number is item + 1
    int32_t base_price = 0;
    int16_t flags = 0;
    int16_t start_stock = 0;
    int16_t max_stock = 0;
};

struct shop_def {
    std::string name;     // at most 15 characters
    std::string picture;  // at most 12 characters
    int32_t markup = 0;   // percent
    int32_t shop_id = 0;  // the number that opens it and names its translation
    int32_t unused = 0;
    int16_t random_picks = 0;
    int first_product = 0;  // index of its first product in the catalogue's product list
    int product_count = 0;
};

struct shops_file {
    std::vector<shop_def> shops;
    std::vector<shop_product> products;  // every shop's products in file order
};

// The shops of the file, or nothing (with `error` saying why) when a count is
// negative or larger than the bytes that follow.
std::optional<shops_file> parse_shops_file(std::span<const uint8_t> bytes, std::string* error = nullptr);

// The file's bytes for the shops (the forge and the tests write with it).
std::vector<uint8_t> write_shops_file(const shops_file& file);

// A text cut to fit a zero-terminated field of `size` bytes.
std::string cut_to_field(std::string_view text, int size);
