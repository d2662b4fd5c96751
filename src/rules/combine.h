// Combining two items: the rules of COMBITEM.DAT and how a held item and a
// backpack item turn into others.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// One rule "a b -> c d" or "a b -> c". The numbers are as written in the file,
// counted from 0 (item number - 1).
struct combine_rule {
    int first = 0;
    int second = 0;
    int result_first = 0;
    int result_second = -1;  // -1: a three-number rule
    bool has_second_result() const { return result_second >= 0; }
};

// Reads the rules of the text. Reading stops at the first rule that gives
// fewer than three numbers. The fourth number must stand on the line of the
// third: a three-number rule without ';' would otherwise take the first
// number of the next rule as its fourth and lose every rule after it.
std::vector<combine_rule> parse_combine_rules(std::string_view text);

// What the cursor and the backpack cell hold after a combination (item
// numbers, 0 = nothing).
struct combine_outcome {
    int16_t held = 0;
    int16_t slot = 0;
};

// The first rule that combines the held item with the slot item (in either
// order), or nothing. Rules naming an item outside 1..item_count are skipped.
std::optional<combine_outcome> find_combination(const std::vector<combine_rule>& rules, int16_t held_item,
                                                int16_t slot_item, int item_count);
