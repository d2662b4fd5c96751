#pragma once
// The map file's format: its blocks, the records every part of the world
// reads (sectors, sides, grid coordinates, the header), their flags, and the
// rules tied to sector types. Header-only and free of the game's libraries,
// so that the tools writing map files share it with the loader.
//
// Sector n has the sides 4n .. 4n + 3 facing north, east, south, west. Sector 0
// exists in the file but is never a place.
#include <array>
#include <cstdint>
#include <vector>

// ---------------------------------------------------------------- records

struct map_sector {
    uint8_t floor = 0;          // floor texture index (1-based, floor list), 0 = none
    uint8_t ceiling = 0;        // ceiling texture index (1-based, ceiling list), 0 = none
    uint8_t surface_modes = 0;  // low nibble floor variant mode, high nibble ceiling mode
    uint8_t sector_type = 0;
    uint8_t action = 0;
    uint8_t action_side = 0;
    std::array<uint16_t, 4> exits{};  // north, east, south, west; 0 = none
    uint16_t action_target = 0;
};

struct map_side {
    uint8_t primary = 0;          // wall texture index (the three wall lists), 0 = none
    uint8_t secondary = 0;        // same lists, 0 = none
    uint8_t arch_and_flags2 = 0;  // low nibble arch index, high nibble SIDE2_* flags
    uint8_t target_side = 0;      // bits 0-1 target side, bit 7 secondary on the neighbouring cell
    uint16_t action_target = 0;
    uint8_t secondary_x = 0;  // in units of 2 texture pixels
    uint8_t secondary_y = 0;
    uint32_t flags = 0;        // SIDE_* flags
    uint8_t primary_anim = 0;  // high nibble current frame, low nibble last frame
    uint8_t secondary_anim = 0;
    uint8_t reserved = 0;
    uint8_t action = 0;
};

struct map_coord {
    int16_t x = 0;
    int16_t y = 0;
    int16_t layer = 0;
    uint16_t coord_flags = 0;  // MC_* flags
};

constexpr int MAP_SECTOR_SIZE = 16, MAP_SIDE_SIZE = 16, MAP_COORD_SIZE = 8, MAP_HEADER_SIZE = 108;

struct map_header {
    std::array<std::array<char, 13>, 4> backgrounds{};  // NUL-padded picture names
    int32_t fade_red = 0, fade_green = 0, fade_blue = 0;
    int32_t start_sector = 0;
    int32_t start_direction = 0;
    std::array<char, 30> title{};  // NUL-padded; the loader keeps the last byte 0
    uint8_t map_class = 0;
    uint8_t reserved1 = 0;
    uint8_t fog_gradient = 0;  // 1 = apply the fog gradient to floors and ceilings
    std::array<uint8_t, 3> reserved2{};
};

// ---------------------------------------------------------------- flags

// Side flags (map_side::flags).
enum : uint32_t {
    SIDE_AUTOMAP = 0x00000001,
    SIDE_NOPLAYER = 0x00000002,   // !PLR
    SIDE_NOMONSTER = 0x00000004,  // !MONST
    SIDE_NOTHING = 0x00000008,    // !THING
    SIDE_NOSOUND = 0x00000010,    // !SOUND
    SIDE_ALARM = 0x00000020,
    SIDE_PASS = 0x00000040,
    SIDE_TRANSPARENT = 0x00000080,
    SIDE_P_ANIM = 0x00000100,
    SIDE_P_VIS = 0x00000200,
    SIDE_P_PING = 0x00000400,
    SIDE_P_FORW = 0x00000800,
    SIDE_S_ANIM = 0x00001000,
    SIDE_S_VIS = 0x00002000,
    SIDE_S_PING = 0x00004000,
    SIDE_S_FORW = 0x00008000,
    SIDE_LEFT_A = 0x00010000,
    SIDE_RIGHT_A = 0x00020000,
    SIDE_ALT_SIDES = 0x00040000,
    SIDE_SPEC = 0x00080000,
    SIDE_COPY = 0x00100000,
    SIDE_SEND = 0x00200000,
    SIDE_APLY2ND = 0x00400000,
    SIDE_AUTOANIM = 0x00800000,
    SIDE_TOGGLE_MASK = 0x1F000000,  // bits 24-28: the action's toggle mask
    SIDE_SECRET = 0x20000000,
    SIDE_TRUESEE = 0x40000000,
    SIDE_INVIS = 0x80000000,
};

// Second side flags (high nibble of map_side::arch_and_flags2).
enum : uint8_t {
    SIDE2_RECESS = 0x10,
    SIDE2_UP_SIDE = 0x20,
    SIDE2_DOWN_SIDE = 0x40,
    SIDE2_ITPUSH = 0x80,
};

// Map coordinate flags (map_coord::coord_flags).
enum : uint16_t {
    MC_MAPPED = 0x0001,
    MC_FLY_OBJECT = 0x0002,
    MC_PLAYER = 0x0004,
    MC_DEAD_PLAYER = 0x0008,
    MC_SPECTXTR = 0x0010,
    MC_SAFEPLACE = 0x0020,
    MC_UNUSED = 0x0040,
    MC_MARKED = 0x0080,
    MC_SHADED = 0x0100,
    MC_STAIRS = 0x0200,
    MC_DOWN = 0x0400,
    MC_NOAUTOMAP = 0x0800,
    MC_NOSUMMON = 0x1000,
};

// The names the debug console shows for the side flags (bit 0 first; empty for
// unnamed bits), and for the second side flags and the coordinate flags.
inline constexpr std::array<const char*, 32> side_flag_names = {
    "AUTOMAP", "!PLR",    "!MONST",    "!THING", "!SOUND", "ALARM",  "PASS",    "TRANSPARENT",
    "P_ANIM",  "P_VIS",   "P_PING",    "P_FORW", "S_ANIM", "S_VIS",  "S_PING",  "S_FORW",
    "LEFT_A",  "RIGHT_A", "ALT_SIDES", "SPEC",   "COPY",   "SEND",   "APLY2ND", "AUTOANIM",
    "",        "",        "",          "",       "",       "SECRET", "TRUESEE", "INVIS",
};
inline constexpr std::array<const char*, 4> side_flag2_names = {"RECESS", "UP_SIDE", "DOWN_SIDE", "ITPUSH"};
inline constexpr std::array<const char*, 16> coord_flag_names = {
    "MAPPED", "FLY_OBJECT", "PLAYER", "DEAD_PLAYER", "SPECTXTR", "SAFEPLACE", "UNUSED", "MARKED!",
    "SHADED", "STAIRS",     "DOWN",   "!AUTOMAP",    "!SUMMON",  "",          "",       "",
};

// ---------------------------------------------------------------- blocks

enum map_block_type : uint32_t {
    MAP_BLOCK_END = 0x8000,
    MAP_BLOCK_SIDES = 0x8001,
    MAP_BLOCK_SECTORS = 0x8002,
    MAP_BLOCK_WALLS = 0x8003,
    MAP_BLOCK_LEFT_WALLS = 0x8004,
    MAP_BLOCK_RIGHT_WALLS = 0x8005,
    MAP_BLOCK_CEILINGS = 0x8006,
    MAP_BLOCK_FLOORS = 0x8007,
    MAP_BLOCK_LEFT_ARCHES = 0x8008,
    MAP_BLOCK_COORDS = 0x8009,
    MAP_BLOCK_HEADER = 0x800A,
    MAP_BLOCK_RIGHT_ARCHES = 0x800B,
    MAP_BLOCK_ITEMS = 0x800C,
    MAP_BLOCK_MULTIACTIONS = 0x800D,
    MAP_BLOCK_MONSTERS = 0x800F,
    MAP_BLOCK_RECESSES = 0x8010,
    MAP_BLOCK_MONSTER_DEFS = 0x8011,
    MAP_BLOCK_SOUNDS = 0x8012,
    MAP_BLOCK_MARK = 0x8013,
};

constexpr int MAP_BLOCK_HEADER_SIZE = 20;
constexpr int MULTIACTION_SLOT_SIZE = 228;
// Multiaction commands whose records leave out byte 3 in the file (the loader
// puts it back as 0; the forge drops it when writing).
constexpr bool command_omits_byte3(int command) {
    switch (command) {
        case 5:
        case 7:
        case 8:
        case 13:
        case 16:
        case 17:
        case 18:
        case 34:
        case 35:
            return true;
        default:
            return command >= 20 && command <= 32;
    }
}
constexpr int RECESS_RECORD_SIZE = 32;
constexpr int MONSTER_DEF_SIZE = 376;

// The texture lists, in the order of their blocks' types.
enum texture_kind : int {
    TEX_WALLS = 0,
    TEX_LEFT_WALLS,
    TEX_RIGHT_WALLS,
    TEX_CEILINGS,
    TEX_FLOORS,
    TEX_LEFT_ARCHES,
    TEX_RIGHT_ARCHES,
    TEX_KIND_COUNT
};

// One place's item list (place = sector x 4 + quarter), with its closing 0.
struct map_item_place {
    uint32_t place = 0;
    std::vector<int16_t> items;
};

// ---------------------------------------------------------------- sector types

// Sector types with an effect on the party.
enum : int {
    SECTOR_CARRY = 2,
    SECTOR_BOAT = 3,
    SECTOR_DEADLY_FALL = 4,
    SECTOR_WATER = 9,
    SECTOR_PIT = 11,
    SECTOR_TELEPORT = 12,
    SECTOR_SPINNER = 20,
    SECTOR_DEADLY = 21,
    SECTOR_HARMFUL = 22,
};

constexpr bool is_teleport(int type) {
    return type == SECTOR_TELEPORT || (type >= 50 && type <= 58);
}

// Carry and teleport sectors move the party to their action_target (a carry
// at once during the step, a teleport on arrival). A target that is not a
// place of the map moves nobody. Pits are not among them: a member falls to
// the pit's target, and without one it dies.
constexpr bool sector_moves_party(int type) {
    return type == SECTOR_CARRY || is_teleport(type);
}
