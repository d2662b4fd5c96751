// COMBITEM.DAT: whatever the text, the rules read from it survive being
// written out and read again, and a combination found with them only ever
// names items of the table.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rules/combine.h"

// Rules are read one after another with nothing carried between them.
constexpr size_t LONGEST_INPUT = 4096;
constexpr int ITEM_COUNT = 40;

namespace {

std::string written_rules(const std::vector<combine_rule>& rules) {
    std::string text;
    for (const combine_rule& rule : rules) {
        text += std::to_string(rule.first) + " " + std::to_string(rule.second) + " -> " +
                std::to_string(rule.result_first);
        if (rule.has_second_result()) text += " " + std::to_string(rule.result_second);
        text += ";\n";
    }
    return text;
}

bool same_rules(const std::vector<combine_rule>& a, const std::vector<combine_rule>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].first != b[i].first || a[i].second != b[i].second ||
            a[i].result_first != b[i].result_first || a[i].result_second != b[i].result_second)
            return false;
    return true;
}

bool item_or_nothing(int16_t item) {
    return item >= 0 && item <= ITEM_COUNT;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > LONGEST_INPUT) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<combine_rule> rules = parse_combine_rules(text);
    for (const combine_rule& rule : rules)
        if (rule.result_second < -1) __builtin_trap();
    if (!same_rules(parse_combine_rules(written_rules(rules)), rules)) __builtin_trap();

    // The pairs the rules name (both ways round), and some that no rule may match.
    std::vector<std::pair<int64_t, int64_t>> pairs = {{0, 1}, {1, 0}, {-1, 1}, {ITEM_COUNT + 1, 1}, {1, 1}};
    for (size_t i = 0; i < rules.size() && i < 64; ++i) {
        pairs.emplace_back(int64_t{rules[i].first} + 1, int64_t{rules[i].second} + 1);
        pairs.emplace_back(int64_t{rules[i].second} + 1, int64_t{rules[i].first} + 1);
    }
    for (const auto& [held, slot] : pairs) {
        if (held < INT16_MIN || held > INT16_MAX || slot < INT16_MIN || slot > INT16_MAX) continue;
        const auto outcome =
            find_combination(rules, static_cast<int16_t>(held), static_cast<int16_t>(slot), ITEM_COUNT);
        if (!outcome) continue;
        if (held < 1 || held > ITEM_COUNT || slot < 1 || slot > ITEM_COUNT) __builtin_trap();
        if (!item_or_nothing(outcome->held) || outcome->slot < 1 || outcome->slot > ITEM_COUNT)
            __builtin_trap();
    }
    return 0;
}
