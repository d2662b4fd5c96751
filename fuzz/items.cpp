// ITEMS.DAT: whatever the bytes, the reader stays within them, keeps the
// table's limit, and what it read survives being written and read again; the
// item table built from it finds its special items among the definitions.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "rules/items.h"
#include "rules/items_file.h"

// A few hundred records and a handful of name blocks are enough to reach every
// branch; larger inputs only slow the search down.
constexpr size_t LONGEST_INPUT = 65536;

namespace {

void check_names(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (name.find('\0') != std::string::npos) __builtin_trap();
}

void check_table(const std::vector<item_def>& definitions) {
    item_table table;
    table.set_definitions(definitions);
    if (table.definition_count() != static_cast<int>(definitions.size())) __builtin_trap();
    const int16_t specials[] = {table.light_source(), table.map_item()};
    for (int16_t special : specials) {
        if (special == 0) continue;
        if (special > table.definition_count() || table.find(special)->type != IT_SPECIAL) __builtin_trap();
    }
    const int16_t money = table.make_money(1234);
    if (money != 0) {
        const item_def* coin = table.find(money);
        if (!coin || coin->type != IT_MONEY || money <= table.definition_count()) __builtin_trap();
    }
    const int16_t copy = table.clone_item(1);
    if ((copy != 0) != (table.definition_count() > 0)) __builtin_trap();
    const int16_t gone[] = {copy, money, -1, 0};
    table.destroy_items(gone);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > LONGEST_INPUT) return 0;
    const items_file file = parse_items_file(std::span<const uint8_t>(data, size));
    if (file.definitions.size() > static_cast<size_t>(MAX_ITEMS)) __builtin_trap();
    for (const auto& set : file.picture_sets) check_names(set);
    check_names(file.animations);
    check_names(file.sounds);
    for (const item_def& item : file.definitions) {
        if (std::memchr(item.name, 0, sizeof item.name) == nullptr) __builtin_trap();
        if (std::memchr(item.description, 0, sizeof item.description) == nullptr) __builtin_trap();
    }

    // Written and read back, every list and record comes out as it went in.
    const std::vector<uint8_t> written = write_items_file(file);
    const items_file again = parse_items_file(written);
    if (again.picture_sets != file.picture_sets || again.animations != file.animations ||
        again.sounds != file.sounds || again.definitions.size() != file.definitions.size())
        __builtin_trap();
    if (write_items_file(again) != written) __builtin_trap();

    check_table(file.definitions);
    return 0;
}
