// The item information shown while the cursor rests on an item: its name,
// description and the line of requirements.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "rules/items.h"
#include "rules/party_record.h"

constexpr int REQUIREMENT_TEXT = 200;  // game texts 200..203, one per attribute

struct item_info_text {
    std::string name;  // "name (price)" inside a shop
    std::string description;
    std::string requirements;  // the non-zero requirements, separated by blanks
    bool unmet = false;        // drawn in red: the character cannot wear it
};

// `game_text` gives the numbered interface texts; each requirement text holds
// one "%d" for the value. Nothing for a number outside the table.
std::optional<item_info_text> describe_item(const item_table& items, const party_member& member, int item,
                                            const std::function<std::string(int)>& game_text,
                                            std::optional<int> price = std::nullopt);

// The text with its first "%d" replaced by the number; every other character,
// '%' included, stands as written (texts come from the adventure's files).
std::string with_number(const std::string& text, int number);
