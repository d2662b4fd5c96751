// Fuzzes the map loader: the blocks and their records, counts, texture and
// name lists, items and multiactions, the checks and corrections, handle
// registration, and the map's string table. An input is a map file; the
// bytes after its end block are read as the map's string table.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/strings.h"
#include "core/handles.h"
#include "world/map.h"
#include "world/map_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const uint8_t empty = 0;
    if (!data) data = &empty, size = 0;
    loaded_map map;
    size_t consumed = 0;
    int result = parse_map_blocks(data, size, map, true, nullptr, &consumed);
    if (result == MAP_OK) {
        // The records must index safely as the rest of the game indexes them.
        uint32_t sum = 0;
        for (int s = 1; s < map.sector_count; ++s)
            for (uint16_t e : map.sectors[s].exits) sum += map.coords[e].coord_flags + map.sides[4 * e].flags;
        for (const map_item_place& p : map.items) sum += map.coords[p.place / 4].coord_flags;
        for (const map_multiaction_list& l : map.multiactions) sum += map.sides[l.side].flags;
        sum += map.sides[4 * map.header.start_sector + map.header.start_direction].flags;
        correct_records(map);  // corrections are stable when repeated
        (void)sum;
    }
    for (unsigned h = map.handle_start; h < map.handle_end; ++h) undefine_handle(static_cast<handle_id>(h));

    if (consumed <= size) {
        string_list strings;
        std::string_view table(reinterpret_cast<const char*>(data) + consumed, size - consumed);
        parse_numbered_table(strings, table);
    }
    (void)map_hash(std::string_view(reinterpret_cast<const char*>(data), size < 64 ? size : 64));
    return 0;
}
