#pragma once
// The loaded map: its records (sectors, sides, grid coordinates), the texture
// lists, the header and the map's own texts, and the loader that fills them.
// The records themselves and their flags are in map_format.h.
//
// What load_map guarantees. A file that cannot be read safely (a short or
// missing block, records cut in the middle, counts that disagree with each
// other or with the bytes present, a multiaction record too long for its
// slot, more handles than the table has) is rejected as corrupted; what a
// well-formed file gets wrong is corrected:
// - sector_count >= 2; sectors, coords and side_resting have sector_count
//   entries, sides 4 x sector_count; the start sector is 1 .. count - 1 and the
//   start direction 0 .. 3 (a start that is not a place becomes sector 1 facing
//   north, a direction outside 0 .. 3 north);
// - every exit of sectors 1 .. count - 1 is 0 (no neighbour) or below the count
//   (an exit beyond the count is corrected to the sector itself). A side whose
//   exit is 0 carries !PLR, !MONST and !THING after load. Actions can clear
//   those flags later, so movement code must also treat an exit of 0 as a
//   blocked step: the party never stands in sector 0;
// - action_target of sectors and sides is kept as the file has it, and may
//   be any number: the code that follows a target checks it (an action whose
//   target is not a sector of the map does nothing; a carry, teleport or pit
//   whose target is not a place moves nobody, and a member falling into such a
//   pit dies);
// - texture indexes are within their lists (else corrected to 0), primary and
//   secondary animations stay within the wall lists (last frame shortened); a
//   texture name longer than a handle's name leaves its handle undefined (no
//   picture);
// - item places are below 4 x count and multiaction sides below 4 x count
//   (entries for other places are left out).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/handles.h"
#include "world/map_format.h"

// A texture list: index i (1-based) is the handle base + i; 0 means none.
struct texture_list {
    handle_id base = 0;
    int count = 0;
    std::vector<std::string> names;  // as read, for tools and tests
    handle_id handle(int index) const { return static_cast<handle_id>(base + index); }
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
    // The automap's notes as the map's state record carries them, one entry
    // per note (x, y, layer as 32-bit values and the NUL-terminated text);
    // kept with the map and written back with its state.
    std::vector<std::vector<uint8_t>> automap_notes;
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
struct map_store_hooks {
    void (*write)(const std::string& name, const std::vector<uint8_t>& data) = nullptr;
    bool (*read)(const std::string& name, std::vector<uint8_t>& data) = nullptr;
};
void set_map_state_store(const map_store_hooks& store);  // empty members restore the local store
void map_store_write(const std::string& name, const std::vector<uint8_t>& data);
bool map_store_read(const std::string& name, std::vector<uint8_t>& data);

// Callbacks run by load_map after the records are in place (map state restore,
// music, sounds, monsters) and by unload_map before the records are freed.
using map_event_fn = void (*)();
void add_map_loaded_hook(map_event_fn fn);
void add_map_unloading_hook(map_event_fn fn);
// The map's state record: `restore` runs after every loaded hook (the
// monsters are placed by then) and `store` before every unloading hook (the
// monsters and the things in the air are still there). Null clears either.
void set_map_state_hooks(map_event_fn restore, map_event_fn store);
