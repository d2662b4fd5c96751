#include "forge/shop_source.h"

#include <set>

#include "base/strings.h"
#include "forge/item_source_lines.h"

namespace forge {

namespace {

std::string game_text(const source_line& line, std::string_view source_name, int field_size) {
    std::optional<std::string> text = utf8_to_game_codepage(line.rest);
    if (!text) throw source_error(source_name, line.number, "a text outside the game's code page");
    if (int(text->size()) > field_size - 1)
        throw source_error(
            source_name, line.number,
            "\"" + line.rest + "\" is longer than " + std::to_string(field_size - 1) + " bytes");
    return *text;
}

int16_t product_flag(const std::string& word) {
    if (word == "sells") return PRODUCT_SOLD;
    if (word == "buys") return PRODUCT_BOUGHT;
    if (word == "grows") return PRODUCT_GROWS;
    if (word == "random") return PRODUCT_RANDOM;
    return 0;
}

// product <item> <price> [sells] [buys] [grows] [random] [stock N] [max N]
shop_product read_product(const source_line& line, std::string_view source_name,
                          const compiled_items& items) {
    if (line.words.size() < 3) throw source_error(source_name, line.number, "product <item> <price> ...");
    shop_product product;
    product.item = int16_t(item_number_by_name(items, line.words[1], source_name, line.number) - 1);
    product.base_price = int32_t(source_number(line.words[2], 0, 1000000, source_name, line.number));
    for (size_t i = 3; i < line.words.size(); ++i) {
        const std::string& word = line.words[i];
        if (int16_t flag = product_flag(word)) {
            product.flags |= flag;
        } else if ((word == "stock" || word == "max") && i + 1 < line.words.size()) {
            const auto value = int16_t(source_number(line.words[++i], 0, 32767, source_name, line.number));
            (word == "stock" ? product.start_stock : product.max_stock) = value;
        } else {
            throw source_error(source_name, line.number, "unknown product word " + word);
        }
    }
    if (!(product.flags & (PRODUCT_SOLD | PRODUCT_BOUGHT)))
        throw source_error(source_name, line.number, "a product the shop neither sells nor buys");
    if (product.start_stock > product.max_stock)
        throw source_error(source_name, line.number, "the stock is above its max");
    return product;
}

}  // namespace

compiled_shops compile_shop_source(std::string_view utf8_source, std::string_view source_name,
                                   const compiled_items& items) {
    compiled_shops out;
    std::set<int32_t> ids;
    shop_def* shop = nullptr;
    for (const source_line& line : split_source_lines(utf8_source)) {
        const std::string& keyword = line.words[0];
        if (keyword == "shop") {
            if (line.words.size() != 2) throw source_error(source_name, line.number, "shop <number>");
            const auto id = int32_t(source_number(line.words[1], 1, 1000000, source_name, line.number));
            if (!ids.insert(id).second)
                throw source_error(source_name, line.number, "shop " + line.words[1] + " twice");
            out.file.shops.emplace_back();
            shop = &out.file.shops.back();
            shop->shop_id = id;
            shop->first_product = int(out.file.products.size());
            continue;
        }
        if (!shop) throw source_error(source_name, line.number, "\"" + keyword + "\" before the first shop");
        if (keyword == "name") {
            shop->name = game_text(line, source_name, SHOP_NAME_SIZE);
        } else if (keyword == "keeper") {
            shop->picture = game_text(line, source_name, SHOP_PICTURE_SIZE);
        } else if (keyword == "markup" && line.words.size() == 2) {
            shop->markup = int32_t(source_number(line.words[1], 0, 1000, source_name, line.number));
        } else if (keyword == "random_picks" && line.words.size() == 2) {
            shop->random_picks = int16_t(source_number(line.words[1], 0, 100, source_name, line.number));
        } else if (keyword == "product") {
            out.file.products.push_back(read_product(line, source_name, items));
            ++shop->product_count;
        } else {
            throw source_error(source_name, line.number, "unknown line \"" + keyword + "\"");
        }
    }
    for (const shop_def& each : out.file.shops)
        if (each.name.empty())
            throw source_error(source_name, 0, "shop " + std::to_string(each.shop_id) + " has no name");
    return out;
}

std::string shops_csv_text(const compiled_shops& shops) {
    std::string text = "id,string\n";
    for (const shop_def& shop : shops.file.shops) text += csv_record_line(shop.shop_id, shop.name);
    return text;
}

}  // namespace forge
