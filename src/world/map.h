#pragma once
// The loaded map: its records (sectors, sides, grid coordinates), the texture
// lists, the header and the map's own texts, and the loader that fills them.
//
// Sector n has the sides 4n .. 4n + 3 facing north, east, south, west. Sector 0
// exists in the file but is never a place.
//
// What load_map guarantees (a map breaking a rule is rejected as corrupted, or
// corrected where noted):
// - sector_count >= 2; sectors, coords and side_resting have sector_count
//   entries, sides 4 x sector_count; the start sector is 1 .. count - 1 and the
//   start direction 0 .. 3;
// - every exit of sectors 1 .. count - 1 is 0 (no neighbour) or below the count
//   (an exit beyond the count is corrected to the sector itself). A side whose
//   exit is 0 carries !PLR, !MONST and !THING after load. Actions can clear
//   those flags later, so movement code must also treat an exit of 0 as a
//   blocked step: the party never stands in sector 0;
// - action_target of sectors and sides is a sector number (below the count),
//   except for action 13, whose target is the number of a map text; sectors of
//   type 2, 12 and 50-58 (carry, teleport) have a non-zero target;
// - texture indexes are within their lists (else corrected to 0), primary and
//   secondary animations stay within the wall lists (last frame shortened);
// - item places are below 4 x count; multiaction sides are below 4 x count.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/handles.h"

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

// A texture list: index i (1-based) is the handle base + i; 0 means none.
struct texture_list {
    handle_id base = 0;
    int count = 0;
    std::vector<std::string> names;  // as read, for tools and tests
    handle_id handle(int index) const { return static_cast<handle_id>(base + index); }
};

// One place's item list (place = sector x 4 + quarter), with its closing 0.
struct map_item_place {
    uint32_t place = 0;
    std::vector<int16_t> items;
};

// One side's multiaction list: 228-byte slots in file order.
struct map_multiaction_list {
    uint32_t side = 0;
    std::vector<std::array<uint8_t, MULTIACTION_SLOT_SIZE>> records;
};

// ---------------------------------------------------------------- the loaded map

// Map textures are registered as handles from here upward; code that registers
// more handles for the map (its monsters' pictures) takes them with
// reserve_map_handles so that unload_map releases them too.
constexpr handle_id MAP_FIRST_HANDLE = 0x0200;

struct loaded_map {
    std::string name;   // file name as given to load_map; empty when no map is loaded
    uint32_t hash = 0;  // map_hash(name)

    std::vector<map_sector> sectors;    // sector_count entries
    std::vector<map_side> sides;        // 4 x sector_count entries
    std::vector<map_coord> coords;      // sector_count entries
    std::vector<uint8_t> side_resting;  // low byte of each side's flags at load (resting state)
    int sector_count = 0;

    map_header header;
    handle_id background_base = 0;  // the header's four background pictures: base .. base + 3
    uint16_t fade_colour = 0;       // the header's fade colour in RGB555

    std::array<texture_list, TEX_KIND_COUNT> textures;
    handle_id handle_start = MAP_FIRST_HANDLE;  // the map's own handles: handle_start .. handle_end - 1
    handle_id handle_end = MAP_FIRST_HANDLE;

    std::vector<std::optional<std::string>> strings;  // the map string table, by number

    std::vector<map_item_place> items;
    std::vector<map_multiaction_list> multiactions;
    std::vector<std::array<uint8_t, RECESS_RECORD_SIZE>> recesses;
    std::vector<uint8_t> monsters;  // the monster block, raw (read by the monster code)
    bool has_monsters = false;
    bool sounds_before_monsters = false;  // false: reset the sound table to the defaults first
    std::vector<std::array<uint8_t, MONSTER_DEF_SIZE>> monster_defs;  // raw 376-byte records
    bool has_monster_defs = false;
    std::vector<std::optional<std::string>> sounds;  // sound number -> name (empty = unset)
    bool has_sounds = false;
};

extern loaded_map current_map;
// Where load_map starts numbering the map's handles: MAP_FIRST_HANDLE, or the
// handle_end of a map kept aside while another one is loaded for a moment.
extern handle_id map_handle_start;

// Text of map string n, or nullptr.
const std::string* map_string(int n);

// Load results.
constexpr int MAP_OK = 0, MAP_NOT_FOUND = -1, MAP_NO_END_MARK = -2, MAP_CORRUPTED = -3;

// Loads a map file from the maps folder into current_map (replacing nothing: call
// unload_map first). Returns 0, MAP_NOT_FOUND, MAP_NO_END_MARK, MAP_CORRUPTED or
// the positive line number of a string-table error.
int load_map(std::string_view file_name);

// Parses map file bytes into `map` (no handles, no string table); for tools,
// tests and the fuzzer. Returns 0 or MAP_CORRUPTED; `error` explains a failure.
int parse_map(const uint8_t* data, size_t size, loaded_map& map, std::string* error = nullptr);

// The message for a load result (for the caller that ends the program).
std::string map_load_error_text(int result, std::string_view file_name);

// Ends the program with the message for a failed load result (exit code 1).
[[noreturn]] void report_map_load_error(int result, std::string_view file_name);

// Stores the last place and frees the map and its handles.
void unload_map(int current_sector);

// 32-bit identity of a map file name (case-insensitive).
uint32_t map_hash(std::string_view file_name);

// Sector stored as the last place of that map, or 0.
int last_place(std::string_view map_name);

// First direction 0..3 of the sector whose side does not have both !PLR and P_VIS
// (0 when all four have both): the facing when entering at the last place.
int last_place_direction(int sector);

// Where the party stands when it enters the loaded map. A fresh entry (a new
// game) takes the header's start. An entry through a map change takes the
// named sector and direction; when that sector is 0 (or not a place of this
// map) the map's last place is used, facing last_place_direction, and
// without a last place the header's start. The result is always a place.
struct map_position {
    int sector = 0;
    int direction = 0;
};
map_position map_entry_position(bool fresh, int sector, int direction);

// Takes `count` consecutive handles for the loaded map; they are released by unload_map.
handle_id reserve_map_handles(int count);

// The temporary-state store used for ".lplace" and "maphash_" entries. Until the
// saved-games code plugs its store in, a process-local store is used.
struct map_state_store {
    void (*write)(const std::string& name, const std::vector<uint8_t>& data) = nullptr;
    bool (*read)(const std::string& name, std::vector<uint8_t>& data) = nullptr;
};
void set_map_state_store(const map_state_store& store);  // empty members restore the local store
void map_store_write(const std::string& name, const std::vector<uint8_t>& data);
bool map_store_read(const std::string& name, std::vector<uint8_t>& data);

// Callbacks run by load_map after the records are in place (map state restore,
// music, sounds, monsters) and by unload_map before the records are freed.
using map_event_fn = void (*)();
void add_map_loaded_hook(map_event_fn fn);
void add_map_unloading_hook(map_event_fn fn);
