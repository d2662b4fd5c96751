#pragma once
// The readable map source (docs/map-source.md): a grid of cells with a legend,
// texture names, per-sector and per-side settings, the start position and the
// map's texts, compiled into the records of a map file.
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "forge/map_writer.h"

namespace forge {

struct map_source_result {
    map_model map;
    std::vector<std::pair<int, std::string>> texts;      // the string table, in the game code page
    std::vector<std::string> errors;                     // "source:line: message"
    std::map<std::tuple<int, int, int>, int> sector_at;  // (x, y, layer) -> sector number
    bool ok() const { return errors.empty(); }
};

// Compiles the source text; source_name prefixes the error messages.
map_source_result compile_map_source(std::string_view text, const std::string& source_name);

}  // namespace forge
