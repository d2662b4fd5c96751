#pragma once
// Monsters placed by a map source's [monsters] section: their checks and the
// map's placement block (4 bytes a monster: sector, then the definition
// number in bits 0-11 and the direction in bits 14-15).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace forge {

// What a map needs to know of a monster definition it places by name.
struct map_monster_definition {
    int number = 0;    // the definition number, 1..4095
    bool big = false;  // fills its sector alone
    bool mob = false;  // takes no room in its sector
};

// The definition of a monster named in [monsters], from the adventure's
// monster source; nothing for a name it does not have.
using map_monster_resolver = std::function<std::optional<map_monster_definition>(const std::string& name)>;

struct monster_placement {
    int line = 0;
    int sector = 0;
    int direction = 0;
    map_monster_definition definition;
};

// The game fills one slot per placement and keeps the last slot free.
constexpr size_t MAX_MAP_MONSTERS = 254;

// The faults of a map's placements, as (line, message): too many monsters, a
// third monster in one sector, a big monster sharing its sector.
std::vector<std::pair<int, std::string>> check_monster_placements(
    const std::vector<monster_placement>& placements);

// The payload of the map's monster block.
std::vector<uint8_t> encode_monster_placements(const std::vector<monster_placement>& placements);

}  // namespace forge
