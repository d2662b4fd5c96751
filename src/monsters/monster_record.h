#pragma once
// The monster record: 380 bytes in ENEMY.DAT, in the map's monster table and
// in saved games, read and written field by field (little-endian). A map may
// carry its own definitions in an older layout of 376 bytes, widened when read.
// Monsters are named by their slot + 1 (1..255, 0 = none).
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

constexpr size_t MONSTER_RECORD_SIZE = 380;
constexpr size_t MONSTER_OLD_RECORD_SIZE = 376;
constexpr int MONSTER_SLOTS = 255;
constexpr int MONSTER_STATS = 24;
constexpr int MONSTER_CARRIED = 16;
constexpr int MONSTER_ANIM_KINDS = 6;
constexpr int MONSTER_KIND_FRAMES = 16;  // handles kept per animation kind
constexpr int MONSTER_SOUNDS = 4;

// Strategy bits.
constexpr uint8_t MS_WALK = 0x01;
constexpr uint8_t MS_WATCH = 0x02;
constexpr uint8_t MS_LISTEN = 0x04;
constexpr uint8_t MS_BIG = 0x08;
constexpr uint8_t MS_GUARD = 0x10;
constexpr uint8_t MS_PICK = 0x20;
constexpr uint8_t MS_PICKING = 0x40;
constexpr uint8_t MS_ROGUE = 0x80;

// State bits.
constexpr uint8_t MST_BATTLE = 0x01;
constexpr uint8_t MST_PASSABLE = 0x02;
constexpr uint8_t MST_SENS = 0x04;
constexpr uint8_t MST_MOB = 0x08;
constexpr uint8_t MST_RESPWN = 0x10;
constexpr uint8_t MST_CAST = 0x20;
constexpr uint8_t MST_SNDLP = 0x40;
constexpr uint8_t MST_LIVE = 0x80;

// Monster flags (stats[23]).
constexpr uint16_t MF_INVISIBLE = 0x0001;
constexpr uint16_t MF_EYE_FOR_EYE = 0x0002;
constexpr uint16_t MF_DRAINING = 0x0008;
constexpr uint16_t MF_HALF_PHYSICAL = 0x0020;
constexpr uint16_t MF_HALF_MAGICAL = 0x0040;
constexpr uint16_t MF_NEVER_PURSUES = 0x0080;
constexpr uint16_t MF_KNOCK_BACK = 0x0800;
constexpr uint16_t MF_PANIC = 0x1000;
constexpr uint16_t MF_FROZEN = 0x2000;

// Animation kinds (anim_kind at run time).
constexpr uint8_t MA_NORMAL = 0;
constexpr uint8_t MA_ATTACKING = 1;
constexpr uint8_t MA_IN_PAIN = 4;
constexpr uint8_t MA_DYING = 5;

// Intents.
constexpr uint8_t MI_NONE = 0;
constexpr uint8_t MI_CAST = 1;
constexpr uint8_t MI_FLEE = 2;
constexpr uint8_t MI_ATTACK = 3;

struct monster {
    char name[30] = {};
    int16_t spell = 0;
    int16_t frame_shift[MONSTER_ANIM_KINDS * MONSTER_KIND_FRAMES] = {};  // by kind x 16 + frame
    int16_t sector = 0;                                                  // run time
    int16_t direction = 0;                                               // run time
    uint8_t pos_x = 128, pos_y = 128;    // run time: inside the sector, 128 = centre
    uint8_t goal_x = 128, goal_y = 128;  // run time
    int16_t anim_frame = -1;             // run time: -1 standing
    int16_t stats[MONSTER_STATS] = {};   // a character's statistics indexes
    int16_t carried[MONSTER_CARRIED] = {};
    int16_t hp = 0;
    int16_t anim_set = 0;  // file: the definition number; run time: the animation set
    int16_t speed = 0;
    int16_t sight = 0;
    int16_t reach = 0;
    uint8_t strategy = 0;
    uint8_t walk_data = 0;
    uint16_t kill_experience = 0;
    uint8_t morale = 0;
    uint8_t frame_count[MONSTER_ANIM_KINDS] = {};
    char anim_name[7] = {};
    uint8_t anim_owned = 0;
    uint8_t script_state = 0;  // run time: what its special procedure keeps
    int32_t experience = 0;
    uint8_t state = 0;
    uint8_t anim_kind = 0;       // run time
    int16_t target_sector = 0;   // run time
    int16_t home_sector = 0;     // run time
    int16_t next_in_sector = 0;  // run time
    uint8_t actions = 0;         // run time
    uint8_t hit_frame = 0;
    uint16_t sounds[MONSTER_SOUNDS] = {};
    int8_t color_variant = 0;
    uint8_t intent = 0;  // run time
    int16_t reserved368 = 0;
    uint8_t hit_flags = 0;  // run time
    uint8_t reserved371 = 0;
    uint16_t money = 0;
    uint16_t script = 0;
    uint16_t damage_taken = 0;  // run time
    uint8_t reserved378[2] = {};

    bool alive() const { return (state & MST_LIVE) != 0; }
};

// Reads one record from the first MONSTER_RECORD_SIZE bytes; false (and `out`
// untouched) when fewer bytes are given.
bool read_monster(std::span<const uint8_t> bytes, monster& out);
// Writes exactly MONSTER_RECORD_SIZE bytes.
void write_monster(const monster& m, std::vector<uint8_t>& out);
// Widens a record of the older 376-byte layout of a map's own definitions.
std::vector<uint8_t> widen_old_monster(std::span<const uint8_t> old_record);

// ENEMY.DAT: an array of 380-byte records; a trailing partial record is ignored.
std::vector<monster> read_monster_definitions(std::span<const uint8_t> bytes);
std::vector<uint8_t> write_monster_definitions(std::span<const monster> definitions);
// A map's own definitions: 376-byte records, each widened as it is read.
std::vector<monster> read_old_monster_definitions(std::span<const uint8_t> bytes);
