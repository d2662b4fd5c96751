#pragma once
// Puts a map compiled from source by the forge into current_map, records
// only (no pictures), as the loader would leave them.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "forge/map_source.h"
#include "world/map.h"

// The sector of each cell (x, y, layer) of the source.
inline std::map<std::tuple<int, int, int>, int> use_compiled_map(const std::string& source) {
    const forge::map_source_result compiled = forge::compile_map_source(source, "test");
    EXPECT_TRUE(compiled.ok()) << (compiled.errors.empty() ? "" : compiled.errors.front());
    current_map = loaded_map{};
    current_map.name = "TEST.MAP";
    current_map.sectors = compiled.map.sectors;
    current_map.sides = compiled.map.sides;
    current_map.coords = compiled.map.coords;
    current_map.sector_count = static_cast<int>(compiled.map.sectors.size());
    current_map.header = compiled.map.header;
    for (const map_side& s : current_map.sides)
        current_map.side_resting.push_back(static_cast<uint8_t>(s.flags));
    return compiled.sector_at;
}
