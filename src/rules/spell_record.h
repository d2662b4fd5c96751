#pragma once
// The spell definition file: for every spell a fixed 56-byte record (cost,
// power needed, target kind, flags, name) and the offset of its code, then
// the code. Spells are numbered 0..104: rune group g (0 fire, 1 water,
// 2 earth, 3 air, 4 mind), rune r (0..6) and variant v (0..2) give
// g x 21 + r x 3 + v.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

constexpr int SPELL_COUNT = 105;
constexpr int RUNE_GROUP_COUNT = 5, RUNES_PER_GROUP = 7, SPELL_VARIANTS = 3;
constexpr size_t SPELL_RECORD_SIZE = 56;
constexpr int SPELL_NAME_SIZE = 30;
constexpr int SPELL_TARGET_CHOSEN = 512;  // spell + 512 x (target member + 1)

inline int spell_number(int group, int rune, int variant) {
    return group * RUNES_PER_GROUP * SPELL_VARIANTS + rune * SPELL_VARIANTS + variant;
}

// spell_flags
constexpr uint8_t SPF_MONSTER_CAST = 0x01;  // monsters may cast it; in battle it needs a free way ahead
constexpr uint8_t SPF_CHOOSE_PLACE = 0x02;  // the caster chooses a place on the map first

// Target kinds.
enum spell_target : int16_t {
    ST_CASTER = 0,
    ST_CHOSEN = 1,        // a member chosen by a portrait click
    ST_OWN_SECTOR = 2,    // every monster and member in the caster's sector
    ST_SECTOR_AHEAD = 3,  // everybody in the sector ahead (the own one behind a wall)
    ST_CHOSEN_DEAD = 4,   // a member chosen by a portrait click, also a dead one
    ST_CHOSEN_ANYWHERE = 5,
    ST_AHEAD_ONE_MEMBER = 6,  // every monster ahead and one member there at random
    ST_MONSTER = 7,           // a given monster (weapon casts)
};

// The definition record, and the run-time state of an effect made from it.
struct spell_def {
    uint16_t number = 0;  // (run time) the spell's number
    uint16_t power = 0;   // magic power needed
    uint16_t cost = 0;    // magic points spent; experience for the caster
    uint16_t element = 0;
    int16_t caster = 0;  // (run time) party slot, negative for monsters and objects
    int16_t group = 0;   // stacking key: > 0 replaces, < 0 refuses a second copy
    int32_t code = 0;    // offset of the code in the file, 0 = not defined; (run time) resume offset
    int16_t target_kind = 0;
    uint8_t resistible = 0;
    uint8_t spell_flags = 0;
    uint16_t backfire = 0;
    int16_t frame_wait = 0;  // (run time) redraws left
    int16_t tick_wait = 0;   // (run time) game ticks left
    char spell_name[SPELL_NAME_SIZE] = {};
};

// The spell definition file as loaded: the records (record i is spell i) and
// the whole file's bytes, into which the code offsets point.
struct spell_book {
    std::vector<spell_def> spells;
    std::vector<uint8_t> bytes;
    const spell_def* find(int number) const;  // null when out of range or not defined
};

// In memory (and in saved games) bytes 19..25 of a record are spell_flags,
// backfire and the two waits; in the definition file byte 25 holds
// spell_flags and bytes 19..24 the others. Records are read and written
// field by field in either layout; the name is always terminated.
enum class spell_layout { file, memory };
spell_def read_spell_record(const uint8_t* bytes, spell_layout layout);
void write_spell_record(const spell_def& def, uint8_t* out, spell_layout layout);
// The whole file: records until the lowest code offset, then the code. False
// (and `error` set) when it cannot be read safely.
bool read_spell_file(std::span<const uint8_t> bytes, spell_book& out, std::string* error = nullptr);
// Spell names from the language's table (text i names spell i, at most 27 characters).
void apply_spell_names(spell_book& book, const std::vector<std::string>& names);

// Opcodes of the code: each is one byte followed by its operand, a u16 or a
// zero-terminated string (148, 149, 164); 255 has none.
enum spell_opcode : uint8_t {
    OP_ELEMENT = 131,
    OP_HIT_A = 135,
    OP_HIT_B = 136,
    OP_ELEMENTAL_A = 137,
    OP_ELEMENTAL_B = 138,
    OP_STAT_INDEX = 139,
    OP_STAT_ADD = 140,
    OP_STAT_PERCENT = 147,
    OP_WAIT_TICKS = 141,
    OP_WAIT_REDRAWS = 150,
    OP_LAUNCH = 142,
    OP_DROP_ITEM = 143,
    OP_ITEM_TO_HAND = 158,
    OP_SPECIAL = 146,
    OP_ANIMATION = 148,
    OP_SOUND = 149,
    OP_SET_FLAGS = 151,
    OP_CLEAR_FLAGS = 152,
    OP_STRIKE_A = 153,
    OP_STRIKE_B = 154,
    OP_CONDITION = 156,
    OP_MAGIC_UNCAPPED = 157,
    OP_MAGIC = 159,
    OP_DRAIN_MAGIC = 160,
    OP_AREA_A = 161,
    OP_AREA_B = 162,
    OP_TELEPORT_SECTOR = 163,
    OP_TELEPORT_MAP = 164,
    OP_TELEPORT_DIRECTION = 165,
    OP_TELEPORT_ACROSS = 166,
    OP_TELEPORT_ALONG = 167,
    OP_END = 255,
};
