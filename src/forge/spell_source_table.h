#pragma once
// The words of the spell language shared by the assembler and the listing:
// one mnemonic per instruction, the pair forms that set both registers of an
// instruction pair in one line, and the names of operands.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace forge {

enum class spell_operand {
    none,
    signed16,    // printed signed; the assembler takes -32768..65535
    unsigned16,  // 0..65535
    flags,       // state flag names or a number
    stat,        // a statistic by name or index
    special,     // a special effect by name or number
    item,        // an item's place from 0, or its name when items are known
    string,      // a zero-terminated text
};

struct spell_instruction {
    uint8_t opcode;
    const char* mnemonic;
    spell_operand operand;
};

// Two instructions written as one line: `damage 5 10` is damage_from 5, damage_to 10.
struct spell_pair {
    const char* mnemonic;
    uint8_t first, second;
};

std::span<const spell_instruction> spell_instructions();
std::span<const spell_pair> spell_pairs();
const spell_instruction* instruction_by_opcode(uint8_t opcode);
const spell_instruction* instruction_by_mnemonic(const std::string& word);
const spell_pair* pair_by_mnemonic(const std::string& word);
const spell_pair* pair_by_opcodes(uint8_t first, uint8_t second);

// Names of numbered things; nullopt / "" when there is none.
std::optional<int> special_by_name(const std::string& word);
const char* special_name(int k);
std::optional<int> element_by_name(const std::string& word);  // fire 0 .. mind 4, as the rune groups
const char* element_name(int element);
std::optional<int> target_by_name(const std::string& word);
const char* target_name(int kind);
std::optional<uint16_t> state_flag_by_name(const std::string& word);
// The set bits by name, bits without one as a hexadecimal number; "0" for none.
std::string state_flag_names(uint16_t flags);

}  // namespace forge
