#include "rules/combine.h"

#include <cctype>
#include <charconv>

namespace {

struct rule_reader {
    std::string_view text;
    size_t pos = 0;

    void skip_blanks(bool cross_lines) {
        while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])) &&
               (cross_lines || text[pos] != '\n'))
            ++pos;
    }
    bool number(int* out, bool cross_lines = true) {
        skip_blanks(cross_lines);
        const char* begin = text.data() + pos;
        const char* end = text.data() + text.size();
        if (begin < end && *begin == '+') ++begin;
        auto [next, error] = std::from_chars(begin, end, *out);
        if (error != std::errc()) return false;
        pos = static_cast<size_t>(next - text.data());
        return true;
    }
    bool arrow() {
        skip_blanks(true);
        if (text.substr(pos, 2) != "->") return false;
        pos += 2;
        return true;
    }
};

}  // namespace

std::vector<combine_rule> parse_combine_rules(std::string_view text) {
    std::vector<combine_rule> rules;
    rule_reader reader{text};
    for (;;) {
        combine_rule rule;
        if (!reader.number(&rule.first) || !reader.number(&rule.second) || !reader.arrow() ||
            !reader.number(&rule.result_first))
            break;
        int fourth = 0;
        size_t before_fourth = reader.pos;
        if (reader.number(&fourth, false) && fourth >= 0)
            rule.result_second = fourth;
        else
            reader.pos = before_fourth;
        rules.push_back(rule);
        reader.skip_blanks(true);
        if (reader.pos < text.size() && text[reader.pos] == ';') ++reader.pos;
    }
    return rules;
}

std::optional<combine_outcome> find_combination(const std::vector<combine_rule>& rules, int16_t held_item,
                                                int16_t slot_item, int item_count) {
    if (held_item <= 0 || slot_item <= 0) return std::nullopt;
    auto known = [item_count](int file_number) { return file_number >= 0 && file_number < item_count; };
    const int held = held_item - 1;
    const int slot = slot_item - 1;
    for (const combine_rule& rule : rules) {
        if (!known(rule.first) || !known(rule.second) || !known(rule.result_first)) continue;
        if (rule.has_second_result() && !known(rule.result_second)) continue;
        const bool held_is_first = rule.first == held && rule.second == slot;
        const bool held_is_second = rule.second == held && rule.first == slot;
        if (!held_is_first && !held_is_second) continue;
        combine_outcome outcome;
        if (!rule.has_second_result()) {
            outcome.slot = static_cast<int16_t>(rule.result_first + 1);
            return outcome;
        }
        const auto first_becomes = static_cast<int16_t>(rule.result_first + 1);
        const auto second_becomes = static_cast<int16_t>(rule.result_second + 1);
        outcome.held = held_is_first ? first_becomes : second_becomes;
        outcome.slot = held_is_first ? second_becomes : first_becomes;
        return outcome;
    }
    return std::nullopt;
}
