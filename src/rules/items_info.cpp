#include "rules/items_info.h"

#include <cstring>

#include "rules/inventory.h"

std::string with_number(const std::string& text, int number) {
    const size_t at = text.find("%d");
    if (at == std::string::npos) return text;
    return text.substr(0, at) + std::to_string(number) + text.substr(at + 2);
}

std::optional<item_info_text> describe_item(const item_table& items, const party_member& member, int item,
                                            const std::function<std::string(int)>& game_text,
                                            std::optional<int> price) {
    const item_def* record = items.find(item);
    if (!record) return std::nullopt;
    item_info_text info;
    info.name.assign(record->name, strnlen(record->name, sizeof record->name));
    if (price) info.name += " (" + std::to_string(*price) + ")";
    info.description.assign(record->description, strnlen(record->description, sizeof record->description));
    for (int i = 0; i < 4; ++i) {
        if (record->requirements[i] == 0) continue;
        if (!info.requirements.empty()) info.requirements += ' ';
        info.requirements += with_number(game_text(REQUIREMENT_TEXT + i), record->requirements[i]);
    }
    info.unmet = !can_wear(items, member, item);
    return info;
}
