#pragma once
// The dialog language's instructions: each opcode's name and what its
// operands are, shared by the compiler and the listing.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace forge {

enum class dialog_operand : uint8_t {
    number,     // any number
    paragraph,  // a paragraph by name (or a number relative to the dialog)
    text,       // a string: inline text(s) or a table text
    flag,       // a story flag by name (or its number)
    item,       // an item by name (or its number)
    rune,       // group:rune (or the rune's number)
    compare,    // = < <= > >= != (or the operator's code)
    stat,       // a statistic by name (or its index)
    character,  // a character definition by name (or its index)
};

struct dialog_instruction {
    const char* name;
    uint16_t opcode;
    std::vector<dialog_operand> operands;
};

const dialog_instruction* dialog_instruction_by_name(std::string_view name);
const dialog_instruction* dialog_instruction_by_opcode(uint16_t opcode);

// Comparison operators as written ("=", "<", ...) and back.
std::optional<uint16_t> compare_by_symbol(std::string_view symbol);
const char* compare_symbol(uint16_t code);  // nullptr when the code has no symbol

// Runes: group g and rune r (1..8 as the characters write them) are rune
// number g * 10 + r - 1.
constexpr int RUNE_GROUP_STRIDE = 10;

// Checks the word forms of a text as written between its quotes (escapes
// not yet read): every '[' opens a group of at least two forms closed by
// ']' on the same text. "%[" and "%]" are literal. Returns the fault, or "".
std::string word_form_fault(std::string_view quoted_source);

}  // namespace forge
