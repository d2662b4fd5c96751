#pragma once
// The game file "_GAME.TMP": a 76-byte head (the party's place, money, the
// options, sound settings, game time, runes, the map's name, counts, the rest
// counter and a flags word), then the hand, the item definitions created
// during play, the running spell effects, the six member records with the own
// records of the transformed, the dialog state and a trailing list of 16-bit
// values. Read and written field by field, little-endian.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rules/item_record.h"
#include "rules/party.h"

constexpr const char* GAME_FILE_NAME = "_GAME.TMP";
constexpr size_t GAME_FILE_HEAD_SIZE = 76;
constexpr size_t GAME_FILE_MAP_NAME_MAX = 12;
// One running effect in the effects block: its record, changes and flags.
constexpr size_t GAME_FILE_EFFECT_SIZE = 56 + 48 + 4;
constexpr int32_t GAME_FILE_MAX_EFFECTS = 500;
// The flags word.
constexpr uint32_t GAME_FLAG_TRAVEL = 0x01;
constexpr uint32_t GAME_FLAG_FAST_BATTLES = 0x02;
constexpr int GAME_FLAG_SPEED_SHIFT = 2;
constexpr uint32_t GAME_FLAG_SPEED_MASK = 0x1F;
// The sound settings of the head, in its order (offsets 25 to 32).
constexpr std::array<int, 8> GAME_FILE_SOUND_CODES = {9, 8, 10, 2, 3, 5, 4, 7};

struct game_file {
    // The head, by role.
    int32_t sector = 0;
    uint8_t direction = 0;
    int32_t money = 0;
    uint16_t current_group = 1;
    uint8_t autosave = 1;
    uint8_t group_order = 0;
    uint8_t member_names = 0;
    uint8_t hunting_instinct = 0;
    uint8_t turn_speed = 1;
    uint8_t walk_speed = 1;
    uint8_t auto_attack = 0;
    uint8_t sound[8] = {};  // GAME_FILE_SOUND_CODES' settings
    int32_t game_time = 0;
    uint8_t runes[RUNE_GROUPS] = {};
    std::string map_name;  // at most 12 characters
    int32_t rest_counter = 0;
    uint32_t flags = 0;

    // The items in the mouse hand, without the closing 0.
    std::vector<int16_t> hand;
    // The item records past the item file's definitions, in order.
    std::vector<item_def> created_items;
    // The effects block as the spells write it: the count, then each effect.
    std::vector<uint8_t> effects;
    // The six members; a transformed member's own record in own_records.
    // The members' run-time pointers are never kept here.
    std::array<party_member, PARTY_SLOTS> members{};
    std::array<std::optional<party_member>, PARTY_SLOTS> own_records{};
    // The dialog state block (paragraph count, marks, 32 flag bytes).
    std::vector<uint8_t> dialog_state;
    // The list of 16-bit values that follows the party.
    std::vector<int16_t> party_list;
};

std::vector<uint8_t> game_file_bytes(const game_file& file);
// Nothing for a file cut short or holding a count out of range: a hand list
// that does not end in its 0, more created items or effects than the bytes
// hold, a dialog block longer than what is left.
std::optional<game_file> parse_game_file(std::span<const uint8_t> bytes);

// The dialog state's length from its paragraph count; 0 when the bytes do
// not hold the count.
size_t dialog_state_size(std::span<const uint8_t> bytes);
