#pragma once
// The item record, item_def: 222 bytes in ITEMS.DAT and in saved games, read
// and written field by field (little-endian). Items are named by their index
// in the item table + 1 (0 = none); in lists a negative number continues the
// stack begun by the positive number before it.
#include <cstddef>
#include <cstdint>
#include <vector>

// Item types.
constexpr int IT_ORDINARY = 0;
constexpr int IT_MELEE = 1;
constexpr int IT_THROWN = 2;
constexpr int IT_BOW = 3;
constexpr int IT_ORDINARY2 = 4;
constexpr int IT_WAND = 5;
constexpr int IT_POTION = 6;
constexpr int IT_DRINK = 7;
constexpr int IT_FOOD = 8;
constexpr int IT_SPECIAL = 9;
constexpr int IT_RUNE = 10;
constexpr int IT_MONEY = 11;
constexpr int IT_BOOK = 12;
constexpr int IT_NOTE = 13;

// Placements: where an item is worn.
constexpr int PL_NONE = 0;
constexpr int PL_CONTAINER = 1;  // slot 0
constexpr int PL_SLOT1 = 2;      // 2, 3, 4: slots 1, 2, 3
constexpr int PL_SLOT3 = 4;
constexpr int PL_SLOT4 = 5;
constexpr int PL_SLOT5 = 6;
constexpr int PL_SLOT6 = 7;
constexpr int PL_ONE_HAND = 8;   // slot 7 or 8
constexpr int PL_TWO_HANDS = 9;  // slot 8
constexpr int PL_BELT = 10;      // slots 9..12
constexpr int PL_QUIVER = 11;

// Item flags.
constexpr uint16_t IF_MAGIC_PROJECTILE = 0x0001;
constexpr uint16_t IF_BOUND = 0x0002;
constexpr uint16_t IF_CLONE_FREE = 0x4000;
constexpr uint16_t IF_CLONE = 0x8000;

struct item_def {
    char name[32] = {};
    char description[32] = {};
    int16_t mods[19] = {};  // modifiers of statistics 0..18
    int16_t magic_attack_min = 0;
    int16_t magic_attack_max = 0;
    int16_t magic_element = 0;
    int16_t damage_bonus = 0;
    int16_t flags_given = 0;
    int16_t requirements[4] = {};  // strength, magic_power, speed, dexterity
    int16_t weight = 0;
    int16_t extra_slots = 0;
    int16_t type = 0;
    int16_t placement = 0;
    uint16_t item_flags = 0;
    int16_t spell = 0;
    int16_t charges = 0;
    int16_t reserved134[2] = {};
    uint16_t icon = 0;
    uint16_t picture = 0;
    int16_t value = 0;
    int16_t key_code = 0;
    int16_t body_pos[2] = {};
    int16_t body_pos_7[2] = {};
    uint8_t weapon_class = 0;
    uint8_t reserved155 = 0;
    int16_t sound = 0;
    int16_t flight_pictures[16] = {};
    uint16_t money = 0;
    uint8_t attack_anim[4] = {};
    uint8_t floor_inset = 0;
    uint8_t reserved197[25] = {};
};

constexpr size_t ITEM_DEF_SIZE = 222;

// Entry j (0..23) of the item's statistics block, as the wearer's statistics
// index it; 0 outside 0..23.
int16_t item_stat(const item_def& item, int j);

// Reads one record from the first ITEM_DEF_SIZE bytes; false (and `out`
// untouched) when fewer bytes are present. Name and description are always
// terminated.
bool read_item_def(const uint8_t* data, size_t size, item_def& out);
// Writes exactly ITEM_DEF_SIZE bytes.
void write_item_def(const item_def& item, uint8_t* out);
void append_item_def(const item_def& item, std::vector<uint8_t>& out);
