#include "rules/shops/shops_file.h"

#include <algorithm>
#include <cstring>

#include "core/record_bytes.h"

namespace {

std::string read_field(record_reader& in, int size) {
    char field[SHOP_NAME_SIZE + SHOP_PICTURE_SIZE] = {};
    in.bytes(field, size_t(size));
    // A field filled to its last byte has no terminator: the last byte goes.
    return cut_to_field(std::string_view(field, strnlen(field, size_t(size))), size);
}

void write_field(record_writer& out, const std::string& text, int size) {
    const std::string cut = cut_to_field(text, size);
    out.bytes(cut.data(), cut.size());
    out.zeros(size_t(size) - cut.size());
}

bool fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

bool read_shop(record_reader& in, size_t size, shops_file& file, std::string* error) {
    shop_def shop;
    shop.name = read_field(in, SHOP_NAME_SIZE);
    shop.picture = read_field(in, SHOP_PICTURE_SIZE);
    shop.markup = in.i32();
    const int32_t products = in.i32();
    shop.shop_id = in.i32();
    shop.unused = in.i32();
    shop.random_picks = in.i16();
    in.skip(4);
    if (!in.ok()) return fail(error, "a shop header is cut short");
    const size_t left = size - in.position();
    if (products < 0 || size_t(products) > left / SHOP_PRODUCT_SIZE)
        return fail(error, "shop " + std::to_string(shop.shop_id) + " has " + std::to_string(products) +
                               " products, more than the file holds");
    shop.first_product = int(file.products.size());
    shop.product_count = products;
    for (int32_t i = 0; i < products; ++i) {
        shop_product product;
        product.item = in.i16();
        product.base_price = in.i32();
        product.flags = in.i16();
        product.start_stock = int16_t(in.i32());  // only the low half counts
        product.max_stock = int16_t(in.i32());
        file.products.push_back(product);
    }
    file.shops.push_back(std::move(shop));
    return true;
}

}  // namespace

std::string cut_to_field(std::string_view text, int size) {
    const size_t end = std::min({text.size(), size_t(std::max(size - 1, 0)), text.find('\0')});
    return std::string(text.substr(0, end));
}

std::optional<shops_file> parse_shops_file(std::span<const uint8_t> bytes, std::string* error) {
    record_reader in(bytes.data(), bytes.size());
    const int32_t count = in.i32();
    if (!in.ok()) return fail(error, "the file is shorter than its count"), std::nullopt;
    const size_t room = (bytes.size() - 4) / SHOP_HEADER_SIZE;
    if (count < 0 || size_t(count) > room)
        return fail(error, "the file counts " + std::to_string(count) + " shops, more than it holds"),
               std::nullopt;
    shops_file file;
    for (int32_t i = 0; i < count; ++i)
        if (!read_shop(in, bytes.size(), file, error)) return std::nullopt;
    return file;
}

std::vector<uint8_t> write_shops_file(const shops_file& file) {
    size_t size = 4;
    for (const shop_def& shop : file.shops)
        size += SHOP_HEADER_SIZE + size_t(std::max(shop.product_count, 0)) * SHOP_PRODUCT_SIZE;
    std::vector<uint8_t> bytes(size);
    record_writer out(bytes.data());
    out.i32(int32_t(file.shops.size()));
    for (const shop_def& shop : file.shops) {
        write_field(out, shop.name, SHOP_NAME_SIZE);
        write_field(out, shop.picture, SHOP_PICTURE_SIZE);
        out.i32(shop.markup);
        out.i32(shop.product_count);
        out.i32(shop.shop_id);
        out.i32(shop.unused);
        out.i16(shop.random_picks);
        out.zeros(4);
        for (int i = 0; i < shop.product_count; ++i) {
            const shop_product& product = file.products.at(size_t(shop.first_product + i));
            out.i16(product.item);
            out.i32(product.base_price);
            out.i16(product.flags);
            out.i32(product.start_stock);
            out.i32(product.max_stock);
        }
    }
    return bytes;
}
