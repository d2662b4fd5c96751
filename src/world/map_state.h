#pragma once
// The map state record: everything that changed on a map (discovered
// sectors, the automap's notes, sides and sectors that differ from the file,
// the monsters, resting bytes, pending delayed actions, scripts that ran
// once, the code locks, the floor lists and alcoves, what is in the air, the
// monsters' paths), written into the state store under the map's file name
// when the map is left or the game is saved, and read back when the map is
// entered again; and keeping the loaded map aside while another one is
// looked at for a moment.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "world/map.h"

// A map file of the maps folder read and parsed again, as its file has it
// (what a record compares with); nothing when it cannot be read.
std::optional<loaded_map> read_map_file(const std::string& name);

// Writes the loaded map's record into the store under the map's file name
// (the map file is read again to compare with). When the map file cannot be
// read the display is closed and the program ends with "Unable to open the
// file : <name>". Nothing happens while no map is loaded.
void map_state_store();
// The record of the loaded map compared with `original` (the map as its file
// has it).
void map_state_write(const loaded_map& original, std::vector<uint8_t>& record);

// Results of applying.
constexpr int MAP_STATE_OK = 0, MAP_STATE_MISSING = -1, MAP_STATE_UNFIT = -2;
// Applies the record stored under `name` to the loaded map, whose file was
// just read: MAP_STATE_MISSING when there is none (a first visit),
// MAP_STATE_UNFIT when it does not fit a map of `sector_count` sectors (the
// loaded one). Every part is read and checked before any of it is used, so an
// unfit record leaves the map as loaded. With `automap_only` only the
// discovered sectors, the notes and the changed sides and sectors are taken
// (another map's automap).
int map_state_apply(const std::string& name, int sector_count, bool automap_only);
// The same for the record's bytes, against the loaded map's sector count.
int map_state_apply_bytes(const uint8_t* data, size_t size, bool automap_only = false);

// The parts of the record that the libraries above the world keep: the
// monster table (after the changed sectors), the objects in the air and the
// monsters' paths (at the end). Until a library installs its part, the world
// writes the part empty and reads it as follows: monsters and paths are
// skipped, and a record with something in the air does not fit.
enum class map_state_part { monsters, flying_objects, monster_extras };
struct map_state_section {
    // Appends the part with its end mark.
    void (*write)(std::vector<uint8_t>& out) = nullptr;
    // Reads the part from the start of `bytes`, checks all of it and keeps it
    // aside; `used` receives the bytes it took. False when it does not fit:
    // nothing of the game changes then.
    bool (*stage)(std::span<const uint8_t> bytes, size_t& used) = nullptr;
    // Puts what the last successful stage kept aside into the game.
    void (*commit)() = nullptr;
};
// A section without all three functions restores the world's default.
void set_map_state_section(map_state_part part, const map_state_section& section);

// Keeps the loaded map aside (a second park before unpark is fatal) and
// brings it back, freeing whatever map was loaded meanwhile.
void park_map();
void unpark_map();
bool map_parked();
