#pragma once
// dialogy.dat: the compiled dialog scripts of an adventure. A header (the
// paragraph count u32, 4 unused bytes), 8-byte paragraph entries ordered by
// code offset, then the code area. Every value the interpreter reads,
// opcodes included, is tagged: 2 and a 16-bit number (or, where a string is
// expected, a text number: > 0 the map's text table, <= 0 the interface
// texts), 3 and the index of a dialog variable, 1 and a NUL-terminated text.
#include <cstddef>
#include <cstdint>

constexpr size_t DIALOG_HEADER_SIZE = 8;
constexpr size_t DIALOG_ENTRY_SIZE = 8;

// The first 32-bit word of a paragraph entry; the second is the offset of
// its code from the start of the code area.
constexpr uint32_t PARAGRAPH_NUMBER_MASK = 0x7FFF;  // bits 0..14
constexpr int PARAGRAPH_REDIRECT_SHIFT = 15;        // bits 15..29
constexpr uint32_t PARAGRAPH_VISITED = 1u << 30;    // run time
constexpr uint32_t PARAGRAPH_REENTERED = 1u << 31;  // run time

constexpr int DIALOG_BLOCK = 128;  // dialogs are numbered in blocks of 128 paragraphs

enum dialog_tag : uint8_t { TAG_TEXT = 1, TAG_NUMBER = 2, TAG_VARIABLE = 3 };

enum dialog_opcode : uint16_t {
    DOP_TEXT = 128,
    DOP_SAY = 129,
    DOP_SAVE_SELECTION = 130,
    DOP_NOT = 131,
    DOP_LOAD_SELECTION = 132,
    DOP_SELECT_MEMBER = 133,
    DOP_SELECT_BY_STAT_1 = 134,
    DOP_SELECT_BY_STAT_0 = 135,
    DOP_SELECT_BY_STAT_3 = 136,
    DOP_SET_NAME = 137,
    DOP_SET_FLAG = 138,
    DOP_GOTO = 139,
    DOP_GOTO_IF = 140,
    DOP_GOTO_IF_NOT = 141,
    DOP_CHOICE = 142,
    DOP_CHOICE_IF = 143,
    DOP_ASK = 144,
    DOP_VISITED = 145,
    DOP_CHOICE_ONCE = 146,
    DOP_PICTURE = 147,
    DOP_NOTE = 148,
    DOP_BOOK = 149,
    DOP_UNVISIT = 150,
    DOP_CHANCE = 151,
    DOP_HAS_ITEM = 152,
    DOP_GIVE_ITEM = 153,
    DOP_TAKE_ITEM = 154,
    DOP_ADD_MONEY = 155,
    DOP_PAY = 156,
    DOP_FIGHT = 157,
    DOP_MAP_ACTION = 158,
    DOP_MOVE_PARTY = 160,
    DOP_ANIMATE = 161,
    DOP_STORY = 162,
    DOP_TEST_FLAG = 163,
    DOP_WAIT = 164,
    DOP_GOTO_PICKED = 165,
    DOP_NOT_REVISITED = 166,
    DOP_BASE = 167,
    DOP_SHOP = 168,
    DOP_JUMP_IF_NOT = 169,
    DOP_JUMP_IF = 170,
    DOP_JUMP = 171,
    DOP_TEXT_MODE = 172,
    DOP_NOP = 173,
    DOP_JOIN = 174,
    DOP_PICK_PORTRAIT = 175,
    DOP_RAISE_STAT = 176,
    DOP_COMPARE_STAT = 177,
    DOP_SET_RUNE = 178,
    DOP_TEST_RUNE = 179,
    DOP_HAS_MONEY = 180,
    DOP_ADD_STAT = 181,
    DOP_PASS_TIME = 182,
    DOP_SLEEP = 183,
    DOP_BUY_MEAL = 184,
    DOP_PARTY_TOGETHER = 185,
    DOP_SET_TRAVEL = 186,
    DOP_COMPARE_SECTOR = 187,
    DOP_CAST = 188,
    DOP_ALLOW_ANY_PORTRAIT = 189,
    DOP_PLAY_SOUND = 190,
    DOP_COMPARE_CHOICES = 191,
    DOP_SET_VAR = 192,
    DOP_ADD_VAR = 193,
    DOP_COMPARE_VAR = 194,
    DOP_STORE_PARAGRAPH = 195,
    DOP_STORE_FLAG = 196,
    DOP_CHOICE_VAR = 197,
    DOP_CHOICE_VAR_IF = 198,
    DOP_GOTO_VAR = 199,
    DOP_DISMISS = 200,
    DOP_SELECT_FACE = 201,
    DOP_END = 255,
    DOP_TEST_SET_FLAG = 518,
    DOP_TEST_CLEAR_FLAG = 519,
};

// Comparison operators (an operand of the comparison instructions).
enum dialog_compare : uint8_t {
    CMP_EQUAL = 32,          // ' '
    CMP_LESS = 33,           // '!'
    CMP_LESS_EQUAL = 34,     // '"'
    CMP_GREATER = 35,        // '#'
    CMP_GREATER_EQUAL = 36,  // '$'
    CMP_NOT_EQUAL = 37,      // '%'
};

constexpr int DIALOG_FLAG_BITS = 256;
constexpr int DIALOG_VARIABLES = 20;
constexpr int SELECTION_SLOTS = 20;
constexpr int SELECTION_NAME_SIZE = 32;
constexpr int DIALOG_CHOICES = 11;
constexpr int DIALOG_HISTORY_LINES = 256;
constexpr size_t DIALOG_EXPAND_SIZE = 4096;
