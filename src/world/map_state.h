#pragma once
// The map state record: everything that changed on a map (sides and sectors
// that differ from the file, resting bytes, discovered sectors, pending delayed
// actions, scripts that ran once, the code locks), written into the state
// store under the map's file name when the map is left and read back when it
// is entered again; and keeping the loaded map aside while another one is
// looked at for a moment.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Builds the loaded map's state record (the map file is read again to compare
// with). False when the map file cannot be read: no record is written then.
bool build_map_state(std::vector<uint8_t>& record);
// Writes the record into the store under the map's file name.
bool save_map_state();

// Results of restoring.
constexpr int MAP_STATE_OK = 0, MAP_STATE_MISSING = -1, MAP_STATE_UNFIT = -2;
// Applies a record to the loaded map. Every index and count is checked
// against the map before anything is used.
int apply_map_state(const uint8_t* data, size_t size, bool automap_only = false);
// Reads the loaded map's record from the store and applies it.
int restore_map_state();

// Keeps the loaded map aside (a second park before unpark is fatal) and
// brings it back, freeing whatever map was loaded meanwhile.
void park_map();
void unpark_map();
bool map_parked();
