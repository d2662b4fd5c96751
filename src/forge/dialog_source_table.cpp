#include "forge/dialog_source_table.h"

#include "story/dialog_format.h"

namespace forge {

namespace {

using enum dialog_operand;

const std::vector<dialog_instruction>& table() {
    static const std::vector<dialog_instruction> instructions = {
        {"TEXT", DOP_TEXT, {text}},
        {"SAY", DOP_SAY, {text}},
        {"SAVE_SELECTION", DOP_SAVE_SELECTION, {number}},
        {"NOT", DOP_NOT, {}},
        {"LOAD_SELECTION", DOP_LOAD_SELECTION, {number}},
        {"SELECT_MEMBER", DOP_SELECT_MEMBER, {number}},
        {"SELECT_BY_STAT_1", DOP_SELECT_BY_STAT_1, {number, number}},
        {"SELECT_BY_STAT_0", DOP_SELECT_BY_STAT_0, {number, number}},
        {"SELECT_BY_STAT_3", DOP_SELECT_BY_STAT_3, {number, number}},
        {"SET_NAME", DOP_SET_NAME, {text, number}},
        {"SET_FLAG", DOP_SET_FLAG, {number}},
        {"GOTO", DOP_GOTO, {paragraph}},
        {"GOTO_IF", DOP_GOTO_IF, {paragraph}},
        {"GOTO_IF_NOT", DOP_GOTO_IF_NOT, {paragraph}},
        {"CHOICE", DOP_CHOICE, {paragraph, text}},
        {"CHOICE_IF", DOP_CHOICE_IF, {number, paragraph, text}},
        {"ASK", DOP_ASK, {}},
        {"VISITED", DOP_VISITED, {paragraph}},
        {"CHOICE_ONCE", DOP_CHOICE_ONCE, {paragraph, text}},
        {"PICTURE", DOP_PICTURE, {text}},
        {"NOTE", DOP_NOTE, {text}},
        {"BOOK", DOP_BOOK, {number}},
        {"UNVISIT", DOP_UNVISIT, {paragraph}},
        {"CHANCE", DOP_CHANCE, {number}},
        {"HAS_ITEM", DOP_HAS_ITEM, {item}},
        {"GIVE_ITEM", DOP_GIVE_ITEM, {item}},
        {"TAKE_ITEM", DOP_TAKE_ITEM, {item}},
        {"ADD_MONEY", DOP_ADD_MONEY, {number}},
        {"PAY", DOP_PAY, {number}},
        {"FIGHT", DOP_FIGHT, {}},
        {"MAP_ACTION", DOP_MAP_ACTION, {number, number}},
        {"MOVE_PARTY", DOP_MOVE_PARTY, {number, number}},
        {"ANIMATE", DOP_ANIMATE, {text, number, number}},
        {"STORY", DOP_STORY, {text}},
        {"TEST_FLAG", DOP_TEST_FLAG, {flag}},
        {"WAIT", DOP_WAIT, {}},
        {"GOTO_PICKED", DOP_GOTO_PICKED, {}},
        {"NOT_REVISITED", DOP_NOT_REVISITED, {paragraph}},
        {"BASE", DOP_BASE, {number}},
        {"SHOP", DOP_SHOP, {number}},
        {"JUMP_IF_NOT", DOP_JUMP_IF_NOT, {number}},
        {"JUMP_IF", DOP_JUMP_IF, {number}},
        {"JUMP", DOP_JUMP, {number}},
        {"TEXT_MODE", DOP_TEXT_MODE, {number}},
        {"NOP", DOP_NOP, {}},
        {"JOIN", DOP_JOIN, {character}},
        {"PICK_PORTRAIT", DOP_PICK_PORTRAIT, {text, paragraph}},
        {"RAISE_STAT", DOP_RAISE_STAT, {stat, number}},
        {"COMPARE_STAT", DOP_COMPARE_STAT, {stat, compare, number}},
        {"SET_RUNE", DOP_SET_RUNE, {rune}},
        {"TEST_RUNE", DOP_TEST_RUNE, {rune}},
        {"HAS_MONEY", DOP_HAS_MONEY, {number}},
        {"ADD_STAT", DOP_ADD_STAT, {stat, number, number}},
        {"PASS_TIME", DOP_PASS_TIME, {number, number}},
        {"SLEEP", DOP_SLEEP, {number}},
        {"BUY_MEAL", DOP_BUY_MEAL, {number}},
        {"PARTY_TOGETHER", DOP_PARTY_TOGETHER, {}},
        {"SET_TRAVEL", DOP_SET_TRAVEL, {number}},
        {"COMPARE_SECTOR", DOP_COMPARE_SECTOR, {compare, number}},
        {"CAST", DOP_CAST, {number}},
        {"ALLOW_ANY_PORTRAIT", DOP_ALLOW_ANY_PORTRAIT, {}},
        {"PLAY_SOUND", DOP_PLAY_SOUND, {text}},
        {"COMPARE_CHOICES", DOP_COMPARE_CHOICES, {compare, number}},
        {"SET_VAR", DOP_SET_VAR, {number, number}},
        {"ADD_VAR", DOP_ADD_VAR, {number, number}},
        {"COMPARE_VAR", DOP_COMPARE_VAR, {number, compare, number}},
        {"STORE_PARAGRAPH", DOP_STORE_PARAGRAPH, {number}},
        {"STORE_FLAG", DOP_STORE_FLAG, {number}},
        {"CHOICE_VAR", DOP_CHOICE_VAR, {number, text}},
        {"CHOICE_VAR_IF", DOP_CHOICE_VAR_IF, {number, number, text}},
        {"GOTO_VAR", DOP_GOTO_VAR, {number}},
        {"DISMISS", DOP_DISMISS, {}},
        {"SELECT_FACE", DOP_SELECT_FACE, {number}},
        {"END", DOP_END, {}},
        {"TEST_SET_FLAG", DOP_TEST_SET_FLAG, {flag}},
        {"TEST_CLEAR_FLAG", DOP_TEST_CLEAR_FLAG, {flag}},
    };
    return instructions;
}

constexpr const char* COMPARE_SYMBOLS[] = {"=", "<", "<=", ">", ">=", "!="};

}  // namespace

const dialog_instruction* dialog_instruction_by_name(std::string_view name) {
    for (const dialog_instruction& i : table())
        if (name == i.name) return &i;
    return nullptr;
}

const dialog_instruction* dialog_instruction_by_opcode(uint16_t opcode) {
    for (const dialog_instruction& i : table())
        if (opcode == i.opcode) return &i;
    return nullptr;
}

std::optional<uint16_t> compare_by_symbol(std::string_view symbol) {
    for (uint16_t i = 0; i < 6; ++i)
        if (symbol == COMPARE_SYMBOLS[i]) return uint16_t(CMP_EQUAL + i);
    return std::nullopt;
}

const char* compare_symbol(uint16_t code) {
    if (code < CMP_EQUAL || code > CMP_NOT_EQUAL) return nullptr;
    return COMPARE_SYMBOLS[code - CMP_EQUAL];
}

std::string word_form_fault(std::string_view s) {
    bool in_group = false;
    int commas = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\\') {
            ++i;  // an escape: never a bracket of a group
            continue;
        }
        if (c == '%') {
            ++i;  // "%[" and "%]" are the brackets themselves
            continue;
        }
        if (c == '[') {
            if (in_group) return "a word form group opens inside another";
            in_group = true;
            commas = 0;
        } else if (c == ',' && in_group) {
            ++commas;
        } else if (c == ']' && in_group) {
            if (commas == 0) return "a word form group needs a form for each gender, [on,ona]";
            in_group = false;
        }
    }
    if (in_group) return "a word form group without its ']'";
    return "";
}

}  // namespace forge
