#pragma once
// Shared between the map loader's source files; not for other subsystems.
#include <cstddef>
#include <cstdint>
#include <string>

#include "world/map.h"

constexpr size_t MAP_MAX_SECTORS = 65535;  // sector numbers are 16-bit

// The corrections of the load: the start, exits, texture indexes and
// animations (safe to run again on corrected records).
void correct_records(loaded_map& map);
// consumed (optional): the bytes up to the end of the end block.
int parse_map_blocks(const uint8_t* data, size_t size, loaded_map& map, bool define_handles,
                     std::string* error, size_t* consumed = nullptr);
