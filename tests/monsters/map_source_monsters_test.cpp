// Monsters placed in map sources by the names of the monster source: the
// map's placement block names their definitions, and the forge refuses what
// a map cannot hold. The demo's maps place the demo's monsters.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>

#include "forge/item_source.h"
#include "forge/map_source.h"
#include "forge/monster_source.h"
#include "monsters/monster_record.h"

namespace {

const char* const ROOM = R"([map]
start = 1 1 north
[textures]
wall stone = A.PCX AL.PCX AR.PCX
floor flags = F.PCX
ceiling vault = V.PCX
[legend]
# = wall=stone
. = floor=flags ceiling=vault
[grid]
#####
#...#
#...#
#####
[grid 1]
#####
#...#
#####
[monsters]
)";

const char* const DEFINITIONS = R"(
monster rat
  anim RATLIN
  frames 3 3 3 3 2 1
  hp 5
  speed 10
monster ogre
  anim OGRBIG
  frames 3 3 3 3 2 1
  hp 50
  speed 5
  strategy big
monster ghost
  anim GHOSTS
  frames 3 3 3 3 2 1
  hp 5
  speed 5
  state mob
)";

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

forge::map_monster_resolver resolver_for(const forge::compiled_monsters& defs) {
    return [&defs](const std::string& name) -> std::optional<forge::map_monster_definition> {
        auto found = defs.numbers.find(name);
        if (found == defs.numbers.end()) return std::nullopt;
        const monster& m = defs.definitions[size_t(found->second - 1)];
        return forge::map_monster_definition{found->second, (m.strategy & MS_BIG) != 0,
                                             (m.state & MST_MOB) != 0};
    };
}

forge::map_source_result compile(const std::string& placements, const forge::compiled_monsters& defs) {
    return forge::compile_map_source(std::string(ROOM) + placements, "room.mapsrc", {}, {},
                                     resolver_for(defs));
}

struct placement {
    int sector, definition, direction;
};
std::vector<placement> decode(const std::vector<uint8_t>& block) {
    std::vector<placement> out;
    for (size_t i = 0; i + 4 <= block.size(); i += 4) {
        int what = block[i + 2] | block[i + 3] << 8;
        out.push_back({int16_t(block[i] | block[i + 1] << 8), what & 0x0FFF, what >> 14});
    }
    return out;
}

}  // namespace

TEST(MapSourceMonsters, PlacementsNameTheirDefinitionsCellAndFacing) {
    forge::compiled_monsters defs = forge::compile_monster_source(DEFINITIONS, "m.src", {});
    auto r = compile("1 1 rat east\n3 2 ogre w   ; a comment\n2 1 1 ghost south\n1 1 2 north\n", defs);
    ASSERT_TRUE(r.ok()) << r.errors[0];
    std::vector<placement> p = decode(r.map.monsters);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].sector, (r.sector_at.at({1, 1, 0})));
    EXPECT_EQ(p[0].definition, 1);
    EXPECT_EQ(p[0].direction, 1);
    EXPECT_EQ(p[1].sector, (r.sector_at.at({3, 2, 0})));
    EXPECT_EQ(p[1].definition, 2);
    EXPECT_EQ(p[1].direction, 3);
    EXPECT_EQ(p[2].sector, (r.sector_at.at({2, 1, 1})));  // on layer 1
    EXPECT_EQ(p[2].definition, 3);
    EXPECT_EQ(p[2].direction, 2);
    EXPECT_EQ(p[3].definition, 2);  // by number
    // The definition numbers are what the game matches against anim_set.
    std::vector<monster> read = read_monster_definitions(forge::enemy_file_bytes(defs));
    EXPECT_EQ(read[size_t(p[1].definition - 1)].anim_set, p[1].definition);
    EXPECT_TRUE(compile("", defs).map.monsters.empty());
}

TEST(MapSourceMonsters, RefusesUnknownNamesAndOvercrowdedCells) {
    forge::compiled_monsters defs = forge::compile_monster_source(DEFINITIONS, "m.src", {});
    const int first = 20;  // the line after [monsters]
    auto fault = [&](const std::string& lines) {
        auto r = compile(lines, defs);
        return r.errors.empty() ? std::string() : r.errors[0];
    };
    EXPECT_EQ(fault("1 1 orc east\n"), "room.mapsrc:" + std::to_string(first) + ": unknown monster orc");
    EXPECT_EQ(fault("0 0 rat east\n"),
              "room.mapsrc:" + std::to_string(first) + ": no open cell at 0,0 layer 0");
    EXPECT_EQ(fault("1 1 rat up\n"),
              "room.mapsrc:" + std::to_string(first) + ": monster line is: x y [layer] name direction");
    EXPECT_EQ(fault("1 1 rat east\n1 1 rat east\n1 1 rat east\n"),
              "room.mapsrc:" + std::to_string(first + 2) + ": a cell holds at most two monsters");
    EXPECT_EQ(fault("1 1 rat east\n1 1 ogre east\n"),
              "room.mapsrc:" + std::to_string(first + 1) + ": a big monster fills its cell alone");
    EXPECT_EQ(fault("1 1 ogre east\n1 1 rat east\n"),
              "room.mapsrc:" + std::to_string(first + 1) + ": a big monster fills its cell alone");
    // Mobs take no room.
    EXPECT_EQ(fault("1 1 ogre east\n1 1 ghost east\n1 1 ghost east\n1 1 ghost east\n"), "");
    std::string many;
    for (int i = 0; i < 255; ++i) many += "1 1 ghost east\n";
    EXPECT_EQ(fault(many),
              "room.mapsrc:" + std::to_string(first + 254) + ": a map holds at most 254 monsters");
    // Without the monster source named monsters stay out of the map, listed
    // for the forge to refuse; numbered ones are placed.
    auto r = forge::compile_map_source(std::string(ROOM) + "1 1 rat east\n1 1 2 east\n", "room.mapsrc");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(decode(r.map.monsters).size(), 1u);
    ASSERT_EQ(r.unplaced_monsters.size(), 1u);
    EXPECT_EQ(r.unplaced_monsters[0],
              "room.mapsrc:" + std::to_string(first) +
                  ": monster rat is named, but no monster source was given (forge map --monsters)");
}

TEST(MapSourceMonsters, TheDemosMapsPlaceEveryDemoMonster) {
    const std::string demo = VORTHAN_SOURCE_DIR "/content/demo/";
    forge::compiled_items items =
        forge::compile_item_source(read_file(demo + "items/items.src"), "items.src");
    forge::compiled_monsters defs =
        forge::compile_monster_source(read_file(demo + "monsters/monsters.src"), "monsters.src", items);
    auto item_names = [&items](const std::string& name) -> std::optional<int> {
        auto found = items.numbers.find(name);
        if (found == items.numbers.end()) return std::nullopt;
        return found->second;
    };
    std::set<int> placed;
    for (const char* map : {"keep.mapsrc", "cellars.mapsrc"}) {
        auto r = forge::compile_map_source(read_file(demo + "maps/" + map), map, {}, item_names,
                                           resolver_for(defs));
        // Only the other map's places are missing without a link resolver.
        for (const std::string& e : r.errors) EXPECT_NE(e.find("place"), std::string::npos) << e;
        for (const placement& p : decode(r.map.monsters)) placed.insert(p.definition);
        if (std::string(map) == "keep.mapsrc") {
            // The party begins at 5 18: nobody stands within six steps of it.
            for (const placement& p : decode(r.map.monsters)) {
                const map_coord& c = r.map.coords[size_t(p.sector)];
                EXPECT_GT(std::abs(c.x - 5) + std::abs(c.y - 18), 6) << c.x << "," << c.y;
            }
        }
    }
    EXPECT_EQ(placed.size(), defs.definitions.size());
}
