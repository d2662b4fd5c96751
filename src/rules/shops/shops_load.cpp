// Reading the shops at the start of a game.
#include <cstdio>

#include "base/paths.h"
#include "core/handles.h"
#include "rules/shops/shops.h"

void load_shops() {
    shop_catalogue& catalogue = game_shops();
    catalogue.clear();
    if (!resource_available(PATH_MAPS, SHOPS_FILE_NAME)) return;  // an adventure without shops
    int32_t length = 0;
    void* data = load_file(SHOPS_FILE_NAME, PATH_MAPS, &length);
    if (!data) return;
    std::string error;
    std::optional<shops_file> file =
        parse_shops_file(std::span<const uint8_t>(static_cast<const uint8_t*>(data), size_t(length)), &error);
    free_file_data(data);
    if (!file) {
        std::fprintf(stderr, "%s: %s; the adventure has no shops\n", SHOPS_FILE_NAME, error.c_str());
        return;
    }
    catalogue.set(std::move(*file));
    if (std::optional<language_table> names = open_language_table(SHOPS_TABLE_NAME))
        apply_shop_translations(catalogue, *names);
}
