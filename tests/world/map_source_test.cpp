// The map source compiler: what a source becomes after compiling and loading,
// its error messages, and the demo's first map.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "core/handles.h"
#include "forge/map_source.h"
#include "map_test_files.h"
#include "world/map.h"

namespace {

const char* const ROOMS = R"(; two rooms joined by a door
[map]
title = Sklep
fade = 8 16 24
start = 1 1 east
class = 4
fog_gradient = yes

[textures]
wall stone = S.PCX SL.PCX SR.PCX
wall door  = D.PCX DL.PCX DR.PCX
wall door_open = O.PCX OL.PCX OR.PCX
floor flags = F.PCX
ceiling vault = C.PCX
arch round = AL.PCX AR.PCX

[legend]
# = wall=stone
. = floor=flags ceiling=vault
: = floor=flags ceiling=none shaded

[grid]
#####
#..:#
#.#:#
#####

[sides]
2 1 east: primary=door anim=0/1 flags=+P_ANIM-TRANSPARENT mask=+!PLR action=1 target=3,2,north both
1 2 south: secondary=door at=100,40 flags=+S_VIS

[sectors]
3 2: type=2 target=1,1 action_side=south
1 2: action=13 text=2

[texts]
2 Dveře jsou zamčené.
1 první|druhý
)";

forge::map_source_result compile(const std::string& text) {
    return forge::compile_map_source(text, "test.src");
}

class MapSource : public ::testing::Test {
  protected:
    map_test::maps_folder folder;
    void TearDown() override {
        if (!current_map.name.empty()) unload_map(0);
    }
    // Compiles, writes and loads; returns the loader's result.
    int round_trip(const forge::map_source_result& r) {
        folder.write("ROOMS.MAP", forge::build_map_file(r.map));
        folder.write_text("ROOMS.txt", forge::numbered_table_text(r.texts));
        return load_map("ROOMS.MAP");
    }
};

}  // namespace

TEST_F(MapSource, RoundTripThroughCompileAndLoad) {
    auto r = compile(ROOMS);
    ASSERT_TRUE(r.ok()) << r.errors[0];
    ASSERT_EQ(round_trip(r), MAP_OK);
    // Sectors in reading order: (1,1)=1 (2,1)=2 (3,1)=3 (1,2)=4 (3,2)=5.
    EXPECT_EQ(current_map.sector_count, 6);
    EXPECT_EQ(r.sector_at.at({3, 2, 0}), 5);
    EXPECT_EQ(current_map.header.start_sector, 1);
    EXPECT_EQ(current_map.header.start_direction, 1);
    EXPECT_EQ(current_map.header.map_class, 4);
    EXPECT_EQ(current_map.header.fog_gradient, 1);
    EXPECT_EQ(current_map.header.fade_blue, 24);
    EXPECT_STREQ(current_map.header.title.data(), "Sklep");

    EXPECT_EQ(current_map.sectors[1].exits, (std::array<uint16_t, 4>{0, 2, 4, 0}));
    EXPECT_EQ(current_map.sectors[3].exits, (std::array<uint16_t, 4>{0, 0, 5, 2}));
    EXPECT_EQ(current_map.coords[5].x, 3);
    EXPECT_EQ(current_map.coords[5].y, 2);
    EXPECT_EQ(current_map.coords[3].coord_flags, MC_SHADED);
    EXPECT_EQ(current_map.coords[1].coord_flags, 0);
    EXPECT_EQ(current_map.sectors[3].ceiling, 0);
    EXPECT_EQ(current_map.sectors[2].floor, 1);

    // A wall side and an open side.
    const map_side& wall = current_map.sides[4 * 1 + 0];
    EXPECT_EQ(wall.primary, 1);
    EXPECT_EQ(wall.flags,
              SIDE_P_VIS | SIDE_NOPLAYER | SIDE_NOMONSTER | SIDE_NOTHING | SIDE_NOSOUND | SIDE_AUTOMAP);
    EXPECT_EQ(current_map.sides[4 * 1 + 1].flags, SIDE_TRANSPARENT | SIDE_AUTOMAP);

    // The door, on both faces of the wall between sectors 2 and 3.
    for (int side : {4 * 2 + 1, 4 * 3 + 3}) {
        const map_side& door = current_map.sides[side];
        EXPECT_EQ(door.primary, 2) << side;
        EXPECT_EQ(door.primary_anim, 0x01);
        EXPECT_EQ(door.flags, SIDE_AUTOMAP | SIDE_P_ANIM | (SIDE_NOPLAYER << 24));
        EXPECT_EQ(door.action, 1);
        EXPECT_EQ(door.action_target, 5);
        EXPECT_EQ(door.target_side & 3, 0);
    }
    const map_side& banner = current_map.sides[4 * 4 + 2];
    EXPECT_EQ(banner.secondary, 2);
    EXPECT_EQ(banner.secondary_x, 50);
    EXPECT_EQ(banner.secondary_y, 20);
    EXPECT_TRUE(banner.flags & SIDE_S_VIS);

    EXPECT_EQ(current_map.sectors[5].sector_type, 2);
    EXPECT_EQ(current_map.sectors[5].action_target, 1);
    EXPECT_EQ(current_map.sectors[5].action_side, 2);
    EXPECT_EQ(current_map.sectors[4].action_target, 2);

    // Texts in the game code page ("ř" is 0xA9, "č" 0x87, "é" 0x82, "í" 0xA1, "ý" 0x98), "|" a line break.
    ASSERT_NE(map_string(2), nullptr);
    EXPECT_EQ(*map_string(2),
              "Dve\xA9"
              "e jsou zam\x87"
              "en\x82.");
    EXPECT_EQ(*map_string(1), "prvn\xA1\ndruh\x98");
    EXPECT_EQ(current_map.textures[TEX_LEFT_ARCHES].names, (std::vector<std::string>{"AL.PCX"}));
    EXPECT_EQ(current_map.textures[TEX_RIGHT_WALLS].names,
              (std::vector<std::string>{"SR.PCX", "DR.PCX", "OR.PCX"}));
}

TEST(MapSourceErrors, NameTheLineAndTheFault) {
    struct {
        const char* edit_from;
        const char* edit_to;
        const char* message;
    } cases[] = {
        {"#.#:#", "#.#?#", "test.src:25: character '?' is not in the legend"},
        {"start = 1 1 east", "start = 2 2 east", "test.src:5: the start position is not an open cell"},
        {"start = 1 1 east", "start = 1 1 up", "test.src:5: start is: x y [layer] direction"},
        {"wall door  = D.PCX DL.PCX DR.PCX", "wall door = D.PCX",
         "test.src:11: wall textures name 3 picture(s)"},
        {"# = wall=stone", "# = wall=marble", "test.src:18: unknown wall texture 'marble'"},
        {"flags=+S_VIS", "flags=+S_VISIBLE", "test.src:30: unknown flag 'S_VISIBLE'"},
        {"anim=0/1", "anim=2/1", "test.src:29: anim is frame/last with 0 <= frame <= last <= 15"},
        {"3 2: type=2 target=1,1", "3 2: type=2 target=2,2", "test.src:33: no open cell at 2,2"},
        {"1 2: action=13", "1 5: action=13", "test.src:34: no open cell at 1,5 layer 0"},
        {"2 Dve", "1 Dve", "test.src:38: text 1 is defined twice"},
        {"title = Sklep", "title = \xE2\x82\xAC",
         "test.src:3: title has characters outside the game code page"},
        {"[sides]", "[walls]", "test.src:28: unknown section '[walls]'"},
    };
    for (const auto& c : cases) {
        std::string text = ROOMS;
        size_t at = text.find(c.edit_from);
        ASSERT_NE(at, std::string::npos) << c.edit_from;
        text.replace(at, std::strlen(c.edit_from), c.edit_to);
        auto r = compile(text);
        ASSERT_FALSE(r.ok()) << c.message;
        EXPECT_EQ(r.errors[0], c.message);
    }
}

TEST(MapSourceErrors, OpenCellsMustBeClosedInAndTheMapNeedsAStart) {
    auto r = compile("[textures]\nwall w = A B C\n[legend]\n. = floor=none\n# = wall=w\n[grid]\n#..\n");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.errors[0],
              "test.src:7: cell 1,0 faces the map's edge northward: add a wall cell or set edge_wall");
    EXPECT_EQ(r.errors.back(), "test.src:7: the map has no start position ([map] start = x y direction)");

    r = compile(
        "[map]\nedge_wall = w\nstart = 1 0 n\n[textures]\nwall w = A B C\n[legend]\n. = floor=none\n"
        "[grid]\n ..\n");
    EXPECT_TRUE(r.ok()) << r.errors[0];
    EXPECT_EQ(r.map.sides[4 * 1 + 0].primary, 1);
}

TEST(MapSourceErrors, CarryWithoutTargetIsRefused) {
    auto r = compile(
        "[map]\nedge_wall = w\nstart = 0 0 n\n[textures]\nwall w = A B C\n[legend]\n. = floor=none\n"
        "t = type=12\n[grid]\n.t\n");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.errors[0], "test.src:10: sector 2 (type 12) moves the party but has no target");
}

TEST(MapSourceLayers, ExitsJoinLayersAndLayersKeepTheirCoordinates) {
    auto r = compile(
        "[map]\nedge_wall = w\nstart = 0 0 e\n[textures]\nwall w = A B C\n[legend]\n. = floor=none\n"
        "[grid]\n..\n[grid 1]\n..\n[sectors]\n1 0: exit.east=0,0,1\n0 0 1: exit.west=none\n");
    ASSERT_TRUE(r.ok()) << r.errors[0];
    EXPECT_EQ(r.sector_at.at({0, 0, 1}), 3);
    EXPECT_EQ(r.map.sectors[2].exits[1], 3);
    EXPECT_EQ(r.map.coords[3].layer, 1);
    EXPECT_EQ(r.map.sectors[3].exits[3], 0);
    EXPECT_TRUE(r.map.sides[4 * 3 + 3].flags & SIDE_NOPLAYER);
}

// The demo's first map: big enough, with the places the view needs.
TEST(DemoMap, KeepCompilesWithHallShadeAndStart) {
    std::ifstream in(VORTHAN_SOURCE_DIR "/content/demo/maps/keep.mapsrc", std::ios::binary);
    ASSERT_TRUE(in);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto r = compile(text);
    ASSERT_TRUE(r.ok()) << r.errors[0];
    std::vector<uint8_t> bytes = forge::build_map_file(r.map);
    loaded_map map;
    ASSERT_EQ(parse_map(bytes.data(), bytes.size(), map), MAP_OK);

    int min_x = 1 << 20, max_x = -1, min_y = 1 << 20, max_y = -1, shaded = 0;
    for (int s = 1; s < map.sector_count; ++s) {
        min_x = std::min<int>(min_x, map.coords[s].x);
        max_x = std::max<int>(max_x, map.coords[s].x);
        min_y = std::min<int>(min_y, map.coords[s].y);
        max_y = std::max<int>(max_y, map.coords[s].y);
        shaded += (map.coords[s].coord_flags & MC_SHADED) != 0;
    }
    EXPECT_GE(max_x - min_x + 1, 16);
    EXPECT_GE(max_y - min_y + 1, 16);
    EXPECT_GE(shaded, 4);
    EXPECT_GE(map.textures[TEX_WALLS].count, 4);

    // Somewhere the party sees open floor in all five depths and all seven columns.
    auto open = [&](int x, int y) { return r.sector_at.count({x, y, 0}) != 0; };
    bool hall = false;
    for (const auto& [pos, s] : r.sector_at) {
        auto [x, y, layer] = pos;
        bool all = true;
        for (int depth = 0; depth < 5 && all; ++depth)
            for (int column = -3; column <= 3 && all; ++column) all = open(x + column, y - depth);
        hall = hall || all;
    }
    EXPECT_TRUE(hall);
    EXPECT_EQ(map.header.start_sector, r.sector_at.at({5, 18, 0}));
}

// Every picture the keep names is one the demo's texture list builds.
TEST(DemoMap, KeepUsesOnlyTexturesTheDemoBuilds) {
    auto read = [](const char* path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    std::string list = read(VORTHAN_SOURCE_DIR "/content/demo/textures/textures.txt");
    ASSERT_FALSE(list.empty());
    auto r = compile(read(VORTHAN_SOURCE_DIR "/content/demo/maps/keep.mapsrc"));
    ASSERT_TRUE(r.ok()) << r.errors[0];
    for (const auto& names : r.map.textures)
        for (const std::string& name : names) {
            size_t at = list.find(" " + name + " ");
            if (at == std::string::npos) at = list.find(" " + name + "\n");
            EXPECT_NE(at, std::string::npos) << name;
        }
}

TEST_F(MapSource, ActionsRecessesAndMonstersRoundTrip) {
    std::string text = ROOMS;
    text +=
        "[actions]\n"
        "2 1 east: 01 40 00 09 11\n"
        "2 1 east: 05 04 01 00 22 33\n"
        "1 2 south: 0D 04\n";
    auto r = compile(text);
    ASSERT_TRUE(r.ok()) << r.errors[0];
    std::array<uint8_t, RECESS_RECORD_SIZE> recess{};
    recess[0] = 4;
    r.map.recesses.push_back(recess);
    r.map.monster_defs.emplace_back();
    r.map.monsters = {1, 2, 3};
    ASSERT_EQ(round_trip(r), MAP_OK);

    ASSERT_EQ(current_map.multiactions.size(), 2u);
    const auto& door = current_map.multiactions[0];
    EXPECT_EQ(door.side, 4u * 2 + 1);
    ASSERT_EQ(door.records.size(), 2u);
    EXPECT_EQ(door.records[0][3], 0x09);
    EXPECT_EQ(door.records[0][4], 0x11);
    // Command 5 keeps no byte 3 in the file, but its slot has the same layout.
    EXPECT_EQ(door.records[1][2], 0x01);
    EXPECT_EQ(door.records[1][3], 0x00);
    EXPECT_EQ(door.records[1][4], 0x22);
    EXPECT_EQ(door.records[1][5], 0x33);
    EXPECT_EQ(current_map.multiactions[1].side, 4u * 4 + 2);
    EXPECT_EQ(current_map.recesses.size(), 1u);
    EXPECT_EQ(current_map.recesses[0][0], 4);
    EXPECT_EQ(current_map.monster_defs.size(), 1u);
    EXPECT_EQ(current_map.monsters, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(current_map.sounds_before_monsters);
}

TEST(MapSourceErrors, ActionRecordsAreCheckedByteForByte) {
    auto error_of = [](const std::string& line) {
        auto r = compile(std::string(ROOMS) + "[actions]\n" + line + "\n");
        return r.ok() ? std::string() : r.errors[0];
    };
    EXPECT_EQ(error_of("2 1 east: 01 4"), "test.src:40: '4' is not a two-digit hex byte");
    EXPECT_EQ(error_of("2 1 east:"), "test.src:40: a record has 1 to 228 bytes");
    EXPECT_EQ(error_of("2 1 east: 05 00 00 07"), "test.src:40: command 5 does not keep byte 3: write 00");
    EXPECT_EQ(error_of("2 2 east: 01"), "test.src:40: no open cell at 2,2 layer 0");
    EXPECT_EQ(error_of("2 1 east: 01"), "");
}
