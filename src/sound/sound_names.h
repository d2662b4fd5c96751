#pragma once
// The numbered wave names that monster definitions use (1-based numbers:
// number n names entry n - 1): the map's sound-name block when it has one,
// else the adventure's sound.dat (an unsigned 32-bit count, then that many
// NUL-terminated names). An empty name leaves its number unset.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct loaded_map;

using sound_name_list = std::vector<std::optional<std::string>>;

// The names of a sound.dat file, or none when it cannot be read safely (a
// count larger than the names present; names are cut at the file's end).
std::optional<sound_name_list> parse_sound_dat(const uint8_t* data, std::size_t size);

// The map's names when it has a sound-name block, else the global ones.
void sound_load_map_names(const loaded_map& map);
// The names of sound.dat (handle H_SOUND_TABLE); an empty list when the
// handle is undefined, its file is missing or cannot be read safely.
void sound_load_global_names();
// The wave file of a 1-based number, or nullptr when unset. The text lives
// until the names are loaded again.
const char* sound_name(int number);
const sound_name_list& sound_names();
