// Alcoves written in a map source: the forge's record read back by the game.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "forge/map_source.h"
#include "forge/map_writer.h"
#include "rules/floor/alcoves.h"
#include "world/map.h"

namespace {

std::string room(const std::string& alcoves) {
    return "[map]\nstart = 1 1 north\n[textures]\nwall stone = A.PCX AL.PCX AR.PCX\nfloor f = F.PCX\n"
           "ceiling c = C.PCX\n[legend]\n# = wall=stone\n. = floor=f ceiling=c\n[grid]\n####\n#..#\n####\n"
           "[alcoves]\n" +
           alcoves;
}

forge::map_source_result compile(const std::string& alcoves) {
    const std::map<std::string, int> names = {{"key", 4}, {"candle", 9}};
    return forge::compile_map_source(room(alcoves), "room.mapsrc", {}, [names](const std::string& n) {
        auto it = names.find(n);
        return it == names.end() ? std::nullopt : std::optional<int>(it->second);
    });
}

}  // namespace

TEST(AlcoveSource, AnAlcoveByItemNameComesBackFromTheMapFileWithItsWallMarked) {
    const auto r = compile("2 1 east: 320 210 120 80  key, candle 4\n1 1 north: 300 200 50 40\n");
    ASSERT_TRUE(r.ok()) << r.errors.front();
    loaded_map map;
    const std::vector<uint8_t> file = forge::build_map_file(r.map);
    ASSERT_EQ(parse_map(file.data(), file.size(), map), 0);
    ASSERT_EQ(map.recesses.size(), 2u);
    const alcove a = read_alcove(map.recesses[0]);
    EXPECT_EQ(a.sector, 2);
    EXPECT_EQ(a.side, 1);
    EXPECT_EQ(a.x, 320);
    EXPECT_EQ(a.y, 210);
    EXPECT_EQ(a.width, 120);
    EXPECT_EQ(a.height, 80);
    EXPECT_EQ(a.items, (std::vector<int16_t>{4, 9, 4}));
    EXPECT_TRUE(read_alcove(map.recesses[1]).items.empty());
    EXPECT_TRUE(map.sides[2 * 4 + 1].arch_and_flags2 & SIDE2_RECESS);
    EXPECT_TRUE(map.sides[1 * 4 + 0].arch_and_flags2 & SIDE2_RECESS);
    EXPECT_FALSE(map.sides[2 * 4 + 0].arch_and_flags2 & SIDE2_RECESS);
}

TEST(AlcoveSource, FaultsAreReportedAtTheirLine) {
    auto first_error = [](const std::string& alcoves) {
        const auto r = compile(alcoves);
        return r.errors.empty() ? std::string() : r.errors.front();
    };
    EXPECT_EQ(first_error("2 1 east: 320 210 120\n"),
              "room.mapsrc:15: alcove line is: x y [layer] direction: sill-x sill-y width height [items]");
    EXPECT_EQ(first_error("2 1 east: 320 210 120 80 key key key key key key key key key\n"),
              "room.mapsrc:15: an alcove holds at most 8 items");
    EXPECT_EQ(first_error("2 1 east: 320 210 120 80 loaf\n"), "room.mapsrc:15: unknown item loaf");
    EXPECT_EQ(first_error("2 1 east: 320 210 0 80\n"),
              "room.mapsrc:15: the alcove's opening needs a width and height of 1 to 640 and 480");
    EXPECT_EQ(first_error("2 1 east: 320 210 10 8\n2 1 e: 1 1 1 1\n"),
              "room.mapsrc:16: that wall has an alcove already");
}
