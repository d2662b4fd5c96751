#pragma once
// What the map targets check after a map is loaded (and its state restored):
// every index the game follows from one record to another stays inside the
// map. std::vector::at traps where a plain index would read past a list.
#include <cstdint>

#include "world/map.h"

inline uint32_t follow_map_indexes(const loaded_map& map) {
    uint32_t sum = 0;
    for (int s = 1; s < map.sector_count; ++s)
        for (uint16_t e : map.sectors.at(s).exits)
            sum += map.coords.at(e).coord_flags + map.sides.at(4 * e).flags;
    for (const map_item_place& p : map.items) sum += map.coords.at(p.place / 4).coord_flags;
    for (const map_multiaction_list& l : map.multiactions) sum += map.sides.at(l.side).flags;
    sum += map.sides.at(4 * map.header.start_sector + map.header.start_direction).flags;
    return sum;
}
