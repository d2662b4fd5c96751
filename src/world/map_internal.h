#pragma once
// Shared between the map loader's source files; not for other subsystems.
#include <cstddef>
#include <cstdint>
#include <string>

#include "world/map.h"

constexpr size_t MAP_MAX_SECTORS = 65535;  // sector numbers are 16-bit
constexpr uint8_t ACT_MESSAGE_CODE = 13;   // the action whose target is a text number

bool sector_target_ok(uint8_t action, uint16_t target, size_t count);
bool sector_type_target_ok(uint8_t type, uint16_t target);
// Step 7 of the load: corrections of exits, texture indexes and animations.
void correct_records(loaded_map& map);
// consumed (optional): the bytes up to the end of the end block.
int parse_map_blocks(const uint8_t* data, size_t size, loaded_map& map, bool define_handles,
                     std::string* error, size_t* consumed = nullptr);
