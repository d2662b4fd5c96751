// Fuzzes the map loader: the blocks and their records, counts, texture and
// name lists, items and multiaction lists, the checks and corrections, handle
// registration, and the map's string table. An input is a map file; the
// bytes after its end block are read as the map's string table.
//
// Handles are registered only for maps with few of them: the handle table
// looks names up by walking every handle ever touched, so a map of thousands
// of textures would make every later input slow. Parsing, the checks and the
// corrections run for every map.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/strings.h"
#include "core/handles.h"
#include "map_indexes.h"
#include "world/map.h"
#include "world/map_internal.h"

namespace {
constexpr int REGISTERED_HANDLES_MAX = 64;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const uint8_t empty = 0;
    if (!data) data = &empty, size = 0;
    loaded_map map;
    size_t consumed = 0;
    int result = parse_map_blocks(data, size, map, false, nullptr, &consumed);
    if (result == MAP_OK) {
        (void)follow_map_indexes(map);
        // Every multiaction record is one whole slot, whatever its command.
        for (const map_multiaction_list& l : map.multiactions)
            for (const auto& record : l.records) (void)record.at(MULTIACTION_SLOT_SIZE - 1);
        correct_records(map);  // corrections are stable when repeated

        if (map.handle_end - map.handle_start <= REGISTERED_HANDLES_MAX) {
            loaded_map registered;
            if (parse_map_blocks(data, size, registered, true, nullptr) != MAP_OK) __builtin_trap();
            for (unsigned h = registered.handle_start; h < registered.handle_end; ++h)
                undefine_handle(static_cast<handle_id>(h));
        }
    }

    if (consumed <= size) {
        string_list strings;
        std::string_view table(reinterpret_cast<const char*>(data) + consumed, size - consumed);
        parse_numbered_table(strings, table);
    }
    (void)map_hash(std::string_view(reinterpret_cast<const char*>(data), size < 64 ? size : 64));
    return 0;
}
