#pragma once
// The character record, party_member: 312 bytes in files and saved games,
// read and written field by field (little-endian). The same 24-entry block of
// signed 16-bit statistics is used by monsters and by item modifiers.
#include <cstddef>
#include <cstdint>
#include <vector>

// Indexes into a statistics block.
constexpr int STAT_COUNT = 24;
constexpr int STAT_STRENGTH = 0;
constexpr int STAT_MAGIC_POWER = 1;
constexpr int STAT_SPEED = 2;
constexpr int STAT_DEXTERITY = 3;
constexpr int STAT_HP_MAX = 4;
constexpr int STAT_VP_MAX = 5;
constexpr int STAT_MP_MAX = 6;
constexpr int STAT_DEFENSE_MIN = 7;
constexpr int STAT_DEFENSE_MAX = 8;
constexpr int STAT_ATTACK_MIN = 9;
constexpr int STAT_ATTACK_MAX = 10;
constexpr int STAT_RESIST = 11;  // resist[0..4] at 11..15, one per magic element
constexpr int STAT_RESIST_COUNT = 5;
constexpr int STAT_HP_REGEN = 16;
constexpr int STAT_MP_REGEN = 17;
constexpr int STAT_VP_REGEN = 18;
constexpr int STAT_MAGIC_ATTACK_MIN = 19;
constexpr int STAT_MAGIC_ATTACK_MAX = 20;
constexpr int STAT_MAGIC_ELEMENT = 21;
constexpr int STAT_DAMAGE_BONUS = 22;
constexpr int STAT_FLAGS = 23;
// Statistics 0..18 are clamped after every recomputation; 19..23 are not.
constexpr int STAT_CLAMPED_COUNT = 19;

// The statistic's name ("strength", "resist[2]", ...); "" outside 0..23.
const char* stat_name(int index);
// The clamp range of statistics 0..18 (for 19..23 the whole 16-bit range).
int stat_min(int index);
int stat_max(int index);

// State flags in stats[STAT_FLAGS].
constexpr uint16_t CF_INVISIBLE = 0x0001;
constexpr uint16_t CF_EYE_FOR_EYE = 0x0002;
constexpr uint16_t CF_DAMAGE_HEALS = 0x0004;
constexpr uint16_t CF_LIFE_DRAIN = 0x0008;
constexpr uint16_t CF_MAGIC_SHIELD = 0x0010;
constexpr uint16_t CF_HALF_PHYSICAL = 0x0020;
constexpr uint16_t CF_HALF_MAGICAL = 0x0040;
constexpr uint16_t CF_REGENERATION = 0x0100;
constexpr uint16_t CF_HAZARD2_PROOF = 0x0200;
constexpr uint16_t CF_HAZARD1_PROOF = 0x0400;
constexpr uint16_t CF_KNOCK_BACK = 0x0800;
constexpr uint16_t CF_FLEES = 0x1000;
constexpr uint16_t CF_SUMMONED = 0x2000;  // greyed body, no items, removed when it falls in battle
// Bit 15 of base_stats[STAT_FLAGS]: the character is transformed by a spell.
constexpr uint16_t CF_TRANSFORMED = 0x8000;

// Bit 7 of `used`: fell to 0 hit points in a battle round, death still pending.
constexpr uint8_t USED_DYING = 0x80;

constexpr int WEAPON_CLASSES = 7;  // class 6 is fighting without a weapon
constexpr int WORN_SLOTS = 13;
constexpr int BACKPACK_MAX = 30;
constexpr int BACKPACK_MIN = 6;
constexpr int PARTY_NAME_MAX = 14;  // characters of a name; the field holds 17 bytes

struct battle_action;  // a planned battle action; the battle rules own them

struct party_member {
    uint8_t used = 0;
    uint8_t under_spell = 0;
    uint8_t group = 0;
    uint8_t face = 0;
    uint8_t direction = 0;
    uint8_t reserved5 = 0;
    int16_t sector = 0;
    int16_t stats[STAT_COUNT] = {};
    int16_t skills[WEAPON_CLASSES] = {};
    int16_t hp = 0;
    int16_t mp = 0;
    int16_t vp = 0;
    int16_t actions_left = 0;
    int16_t mp_cap = 0;
    int16_t base_stats[STAT_COUNT] = {};
    int16_t worn[WORN_SLOTS] = {};
    int16_t arrows = 0;
    int16_t inventory_size = 0;
    int16_t inventory[BACKPACK_MAX] = {};
    int16_t level = 0;
    int16_t skill_practice[WEAPON_CLASSES] = {};
    int16_t reserved234 = 0;
    int32_t experience = 0;
    uint8_t female = 0;
    uint8_t walk_steps = 0;
    uint8_t reserved242[6] = {};
    // Run-time pointers: stored as zeros, cleared when a record is read.
    battle_action* plan = nullptr;
    battle_action* plan_cursor = nullptr;
    uint8_t planned = 0;
    char name[17] = {};
    int16_t last_damage = 0;
    int16_t free_points = 0;
    uint8_t reserved286[2] = {};
    int32_t food = 0;
    int32_t water = 0;
    // While transformed by a spell: the character's own record (the spells
    // own it). Stored as 1 when set, 0 when not, so a saved game knows
    // that the copy follows the party block.
    party_member* saved_self = nullptr;
    uint32_t map_hash = 0;
    uint8_t reserved308[4] = {};
};

constexpr size_t PARTY_MEMBER_SIZE = 312;

// Reads one record from the first PARTY_MEMBER_SIZE bytes; false (and `out`
// untouched) when fewer bytes are present. The pointers come back null;
// `saved_self_follows` (when given) tells whether a copy of the character's
// own record was stored after the party. The name is always terminated.
bool read_party_member(const uint8_t* data, size_t size, party_member& out,
                       bool* saved_self_follows = nullptr);
// Writes exactly PARTY_MEMBER_SIZE bytes.
void write_party_member(const party_member& member, uint8_t* out);
void append_party_member(const party_member& member, std::vector<uint8_t>& out);
