#pragma once
// Writing map files: the records of a map in memory and the block file the
// player's loader reads (see the map section of docs/formats.md).
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "world/map_format.h"

namespace forge {

struct map_model {
    map_header header;
    std::vector<map_sector> sectors;                                // sector 0 included
    std::vector<map_side> sides;                                    // 4 per sector
    std::vector<map_coord> coords;                                  // 1 per sector
    std::array<std::vector<std::string>, TEX_KIND_COUNT> textures;  // picture names per list
    std::vector<map_item_place> items;                              // each list ends with 0
    std::vector<std::string> sounds;                                // empty = number unset
    // Multiaction lists: records in their in-memory (slot) form, at most 228
    // bytes each; the writer leaves out byte 3 where the file does.
    struct action_list {
        uint32_t side = 0;  // not 0: side 0 cannot have a list
        std::vector<std::vector<uint8_t>> records;
    };
    std::vector<action_list> multiactions;
    std::vector<std::array<uint8_t, RECESS_RECORD_SIZE>> recesses;
    std::vector<std::array<uint8_t, MONSTER_DEF_SIZE>> monster_defs;  // written before the monsters
    std::vector<uint8_t> monsters;                                    // the monster block, as it is
};

// The multiaction block's payload; raises std::runtime_error for a list on
// side 0 or a record that is empty or longer than its slot.
std::vector<uint8_t> encode_multiactions(const std::vector<map_model::action_list>& lists);

// Little-endian field writers.
void put_u8(std::vector<uint8_t>& out, uint8_t v);
void put_u16(std::vector<uint8_t>& out, uint16_t v);
void put_u32(std::vector<uint8_t>& out, uint32_t v);

// One block: the 20-byte header ("<BLOCK>", type, size, reserved 0) and the payload.
void append_map_block(std::vector<uint8_t>& out, uint32_t type, const std::vector<uint8_t>& payload);

std::vector<uint8_t> encode_map_header(const map_header& header);  // 108 bytes
std::vector<uint8_t> encode_sectors(const std::vector<map_sector>& sectors);
std::vector<uint8_t> encode_sides(const std::vector<map_side>& sides);
std::vector<uint8_t> encode_coords(const std::vector<map_coord>& coords);
std::vector<uint8_t> encode_name_list(const std::vector<std::string>& names);  // NUL after each

// The whole file: header, the seven texture lists, sectors, sides,
// coordinates, then items, multiactions, recesses, sounds, monster
// definitions and monsters when there are any, then the end block.
std::vector<uint8_t> build_map_file(const map_model& map);

// A numbered text table (texts already in the game code page): "n text" lines
// in number order, "|" for each line feed, then "-1".
std::string numbered_table_text(const std::vector<std::pair<int, std::string>>& entries);

}  // namespace forge
