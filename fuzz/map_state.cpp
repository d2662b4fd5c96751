// Fuzzes restoring a map's state record. An input is a map file followed by
// a state record (the bytes after the map's end block). The map is parsed and
// becomes the loaded map, as the loader leaves it; the record is applied
// first for the automap alone, then whole, and the loader's corrections run
// as they do after a restore. Whatever the record holds, every index the game
// follows must stay inside the map, and a refused record leaves the map as it was.
#include <cstddef>
#include <cstdint>

#include "map_indexes.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_internal.h"
#include "world/map_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const uint8_t empty = 0;
    if (!data) data = &empty, size = 0;
    loaded_map map;
    size_t consumed = 0;
    if (parse_map_blocks(data, size, map, false, nullptr, &consumed) != MAP_OK || consumed > size) return 0;
    map.side_resting.resize(map.sides.size());
    for (size_t k = 0; k < map.sides.size(); ++k)
        map.side_resting[k] = static_cast<uint8_t>(map.sides[k].flags);

    const uint8_t* record = data + consumed;
    const size_t record_size = size - consumed;
    for (bool automap_only : {true, false}) {
        current_map = map;
        reset_map_actions();
        const int result = map_state_apply_bytes(record, record_size, automap_only);
        if (result != MAP_STATE_OK) {
            // Checked before anything is used: the map is untouched.
            if (result != MAP_STATE_UNFIT || current_map.sides.size() != map.sides.size() ||
                current_map.items.size() != map.items.size())
                __builtin_trap();
            continue;
        }
        correct_records(current_map);
        (void)follow_map_indexes(current_map);
        if (current_map.side_resting.size() != current_map.sides.size()) __builtin_trap();
        if (!automap_only) {
            size_t records = 0;
            for (const map_multiaction_list& l : current_map.multiactions) records += l.records.size();
            if (map_actions.ran_once.size() != records) __builtin_trap();
        }
    }
    current_map = loaded_map{};
    reset_map_actions();
    return 0;
}
