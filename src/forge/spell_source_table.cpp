#include "forge/spell_source_table.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "rules/party_record.h"
#include "rules/spell_record.h"

namespace forge {

namespace {

using op = spell_operand;

const spell_instruction INSTRUCTIONS[] = {
    {OP_ELEMENT, "element_event", op::unsigned16},
    {OP_HIT_A, "damage_from", op::signed16},
    {OP_HIT_B, "damage_to", op::signed16},
    {OP_ELEMENTAL_A, "elemental_from", op::signed16},
    {OP_ELEMENTAL_B, "elemental_to", op::signed16},
    {OP_STAT_INDEX, "stat_index", op::stat},
    {OP_STAT_ADD, "stat_add", op::signed16},
    {OP_STAT_PERCENT, "stat_add_percent", op::signed16},
    {OP_WAIT_TICKS, "wait_ticks", op::unsigned16},
    {OP_WAIT_REDRAWS, "wait_redraws", op::unsigned16},
    {OP_LAUNCH, "launch", op::item},
    {OP_DROP_ITEM, "drop_item", op::item},
    {OP_ITEM_TO_HAND, "item_to_hand", op::item},
    {OP_SPECIAL, "special", op::special},
    {OP_ANIMATION, "animation", op::string},
    {OP_SOUND, "sound", op::string},
    {OP_SET_FLAGS, "set_flags", op::flags},
    {OP_CLEAR_FLAGS, "clear_flags", op::flags},
    {OP_STRIKE_A, "strike_from", op::signed16},
    {OP_STRIKE_B, "strike_to", op::signed16},
    {OP_CONDITION, "condition", op::signed16},
    {OP_MAGIC_UNCAPPED, "magic_uncapped", op::signed16},
    {OP_MAGIC, "magic", op::signed16},
    {OP_DRAIN_MAGIC, "drain_magic", op::unsigned16},
    {OP_AREA_A, "area_from", op::signed16},
    {OP_AREA_B, "area_to", op::signed16},
    {OP_TELEPORT_SECTOR, "teleport_sector", op::unsigned16},
    {OP_TELEPORT_MAP, "teleport_map", op::string},
    {OP_TELEPORT_DIRECTION, "teleport_direction", op::unsigned16},
    {OP_TELEPORT_ACROSS, "teleport_across", op::signed16},
    {OP_TELEPORT_ALONG, "teleport_along", op::signed16},
    {OP_END, "end", op::none},
};

const spell_pair PAIRS[] = {
    {"damage", OP_HIT_A, OP_HIT_B},       {"elemental_damage", OP_ELEMENTAL_A, OP_ELEMENTAL_B},
    {"stat", OP_STAT_INDEX, OP_STAT_ADD}, {"stat_percent", OP_STAT_INDEX, OP_STAT_PERCENT},
    {"strike", OP_STRIKE_A, OP_STRIKE_B}, {"area_strength", OP_AREA_A, OP_AREA_B},
};

struct named_number {
    int number;
    const char* name;
};

const named_number SPECIALS[] = {
    {1, "map_small"},
    {2, "map_medium"},
    {3, "map_large"},
    {4, "bring_member"},
    {5, "bring_with_two"},
    {6, "gather_party"},
    {7, "flicker"},
    {8, "portrait_flash"},
    {9, "true_seeing"},
    {10, "hunting_instinct"},
    {11, "confusion"},
    {12, "teleport"},
    {13, "summon"},
    {14, "mutual_death"},
    {15, "mutual_death_2"},
    {16, "cap_magic"},
    {17, "lowest_life"},
    {18, "haste"},
    {20, "transform_3"},
    {21, "transform_4"},
    {22, "transform_5"},
    {23, "wave_step"},
    {24, "wave"},
    {25, "wave_cross"},
    {26, "random_teleport"},
    {27, "teleport_destination"},
    {28, "open_passage"},
};

const named_number ELEMENTS[] = {{0, "fire"}, {1, "water"}, {2, "earth"}, {3, "air"}, {4, "mind"}};

const named_number TARGETS[] = {
    {ST_CASTER, "caster"},
    {ST_CHOSEN, "chosen"},
    {ST_OWN_SECTOR, "own_sector"},
    {ST_SECTOR_AHEAD, "sector_ahead"},
    {ST_CHOSEN_DEAD, "chosen_dead"},
    {ST_CHOSEN_ANYWHERE, "chosen_anywhere"},
    {ST_AHEAD_ONE_MEMBER, "ahead_one_member"},
    {ST_MONSTER, "monster"},
};

const named_number STATE_FLAGS[] = {
    {CF_INVISIBLE, "invisible"},         {CF_EYE_FOR_EYE, "eye_for_eye"},
    {CF_DAMAGE_HEALS, "damage_heals"},   {CF_LIFE_DRAIN, "life_drain"},
    {CF_MAGIC_SHIELD, "magic_shield"},   {CF_HALF_PHYSICAL, "half_physical"},
    {CF_HALF_MAGICAL, "half_magical"},   {CF_REGENERATION, "regeneration"},
    {CF_HAZARD2_PROOF, "hazard2_proof"}, {CF_HAZARD1_PROOF, "hazard1_proof"},
    {CF_KNOCK_BACK, "knock_back"},       {CF_FLEES, "flees"},
    {CF_SUMMONED, "summoned"},
};

template <size_t N>
std::optional<int> find_number(const named_number (&list)[N], const std::string& word) {
    for (const named_number& n : list)
        if (word == n.name) return n.number;
    return std::nullopt;
}

template <size_t N>
const char* find_name(const named_number (&list)[N], int number) {
    for (const named_number& n : list)
        if (n.number == number) return n.name;
    return "";
}

}  // namespace

std::span<const spell_instruction> spell_instructions() {
    return INSTRUCTIONS;
}
std::span<const spell_pair> spell_pairs() {
    return PAIRS;
}

const spell_instruction* instruction_by_opcode(uint8_t opcode) {
    for (const spell_instruction& i : INSTRUCTIONS)
        if (i.opcode == opcode) return &i;
    return nullptr;
}

const spell_instruction* instruction_by_mnemonic(const std::string& word) {
    for (const spell_instruction& i : INSTRUCTIONS)
        if (word == i.mnemonic) return &i;
    return nullptr;
}

const spell_pair* pair_by_mnemonic(const std::string& word) {
    for (const spell_pair& p : PAIRS)
        if (word == p.mnemonic) return &p;
    return nullptr;
}

const spell_pair* pair_by_opcodes(uint8_t first, uint8_t second) {
    for (const spell_pair& p : PAIRS)
        if (p.first == first && p.second == second) return &p;
    return nullptr;
}

std::optional<int> special_by_name(const std::string& word) {
    return find_number(SPECIALS, word);
}
const char* special_name(int k) {
    return find_name(SPECIALS, k);
}
std::optional<int> element_by_name(const std::string& word) {
    return find_number(ELEMENTS, word);
}
const char* element_name(int element) {
    return find_name(ELEMENTS, element);
}
std::optional<int> target_by_name(const std::string& word) {
    return find_number(TARGETS, word);
}
const char* target_name(int kind) {
    return find_name(TARGETS, kind);
}

std::optional<uint16_t> state_flag_by_name(const std::string& word) {
    if (auto bit = find_number(STATE_FLAGS, word)) return uint16_t(*bit);
    return std::nullopt;
}

std::string state_flag_names(uint16_t flags) {
    std::string out;
    uint16_t rest = flags;
    for (const named_number& n : STATE_FLAGS) {
        if (!(flags & n.number)) continue;
        out += (out.empty() ? "" : " ") + std::string(n.name);
        rest = uint16_t(rest & ~n.number);
    }
    if (rest != 0 || out.empty()) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%04X", rest);
        out += (out.empty() ? "" : " ") + std::string(rest == 0 ? "0" : hex);
    }
    return out;
}

}  // namespace forge
