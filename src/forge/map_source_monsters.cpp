#include "forge/map_source_monsters.h"

#include <map>

namespace forge {

std::vector<std::pair<int, std::string>> check_monster_placements(
    const std::vector<monster_placement>& placements) {
    std::vector<std::pair<int, std::string>> faults;
    if (placements.size() > MAX_MAP_MONSTERS)
        faults.emplace_back(placements[MAX_MAP_MONSTERS].line,
                            "a map holds at most " + std::to_string(MAX_MAP_MONSTERS) + " monsters");
    // A sector holds two monsters at most, a big one alone; mobs take no room.
    struct occupancy {
        int count = 0;
        bool big = false;
    };
    std::map<int, occupancy> sectors;
    for (const monster_placement& p : placements) {
        if (p.definition.mob) continue;
        occupancy& there = sectors[p.sector];
        if (there.big || (p.definition.big && there.count > 0))
            faults.emplace_back(p.line, "a big monster fills its cell alone");
        else if (there.count >= 2)
            faults.emplace_back(p.line, "a cell holds at most two monsters");
        ++there.count;
        there.big = there.big || p.definition.big;
    }
    return faults;
}

std::vector<uint8_t> encode_monster_placements(const std::vector<monster_placement>& placements) {
    std::vector<uint8_t> out;
    out.reserve(placements.size() * 4);
    for (const monster_placement& p : placements) {
        auto what = uint16_t((p.definition.number & 0x0FFF) | (p.direction & 3) << 14);
        out.push_back(uint8_t(p.sector));
        out.push_back(uint8_t(p.sector >> 8));
        out.push_back(uint8_t(what));
        out.push_back(uint8_t(what >> 8));
    }
    return out;
}

}  // namespace forge
