#pragma once
// The readable map source (docs/map-source.md): a grid of cells with a legend,
// texture names, per-sector and per-side settings, the start position and the
// map's texts, compiled into the records of a map file.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "forge/map_source_monsters.h"
#include "forge/map_writer.h"

namespace forge {

struct map_source_result {
    map_model map;
    std::vector<std::pair<int, std::string>> texts;      // the string table, in the game code page
    std::vector<std::string> errors;                     // "source:line: message"
    std::map<std::tuple<int, int, int>, int> sector_at;  // (x, y, layer) -> sector number
    // The named places of [places]: name -> (sector, direction).
    std::map<std::string, std::pair<int, int>> places;
    // Monsters of [monsters] named while no monster resolver was given, left
    // out of the map ("source:line: message"); the forge refuses them.
    std::vector<std::string> unplaced_monsters;
    bool ok() const { return errors.empty(); }
};

// Finds a named place of another map for a map change. link_source is the
// source file named for that map in [links], as written there; on failure
// the resolver returns nothing and says why in `error`.
using map_place_resolver = std::function<std::optional<std::pair<int, int>>(
    const std::string& link_source, const std::string& place, std::string& error)>;

// The number (from 1) of an item named in [items] or in a script's item=,
// from the adventure's item source; nothing for a name it does not have.
using map_item_resolver = std::function<std::optional<int>(const std::string& name)>;

// Compiles the source text; source_name prefixes the error messages. Without
// a resolver, map changes to places of other maps are reported as errors;
// without an item resolver, items must be given by number; without a
// monster resolver, monsters named in [monsters] are left out of the map
// (and listed in unplaced_monsters).
map_source_result compile_map_source(std::string_view text, const std::string& source_name,
                                     const map_place_resolver& resolver = {},
                                     const map_item_resolver& items = {},
                                     const map_monster_resolver& monsters = {});

}  // namespace forge
