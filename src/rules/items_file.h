// ITEMS.DAT: blocks of picture and sound file names and the item definitions.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "rules/item_record.h"

constexpr uint32_t ITEMS_BLOCK_FLOOR_PICTURES = 1;
constexpr uint32_t ITEMS_BLOCK_MALE_PICTURES = 2;
constexpr uint32_t ITEMS_BLOCK_FEMALE_PICTURES = 3;
constexpr uint32_t ITEMS_BLOCK_FLIGHT_PICTURES = 4;
constexpr uint32_t ITEMS_BLOCK_ANIMATIONS = 5;
constexpr uint32_t ITEMS_BLOCK_END = 0x8000;
constexpr uint32_t ITEMS_BLOCK_DEFINITIONS = 0x8001;
constexpr uint32_t ITEMS_BLOCK_SOUNDS = 0x8002;
constexpr size_t ITEMS_BLOCK_HEADER_SIZE = 20;

struct items_file {
    // Picture sets 1..4 (floor, male body, female body, flight), each a list
    // of file names; picture p of a set is its entry p.
    std::array<std::vector<std::string>, 4> picture_sets;
    std::vector<std::string> animations;
    std::vector<std::string> sounds;
    std::vector<item_def> definitions;
};

// Reads the blocks of the file. A block with a bad header or a size beyond
// the bytes present ends the reading as the end block would; definitions
// beyond the table's limit are dropped; a trailing partial record is ignored.
items_file parse_items_file(std::span<const uint8_t> bytes);

// Writes the blocks in the order the reader expects (used by tests and tools).
std::vector<uint8_t> write_items_file(const items_file& file);
