#pragma once
// Shop sources: readable text naming each shop, its keeper's picture, its
// markup and its products by item name, compiled into SHOPS.DAT and the
// shops' name table (shops.csv).
#include <string>
#include <string_view>

#include "forge/item_source.h"
#include "rules/shops/shops_file.h"

namespace forge {

struct compiled_shops {
    shops_file file;
};

// Compiles the UTF-8 source; items are named as in the item source. Throws
// std::runtime_error "<source_name>:<line>: <what>" for the first fault.
compiled_shops compile_shop_source(std::string_view utf8_source, std::string_view source_name,
                                   const compiled_items& items);

// shops.csv in Windows-1250: each shop's name at its number.
std::string shops_csv_text(const compiled_shops& shops);

}  // namespace forge
