// The map source compiler: what a source becomes after compiling and loading,
// its error messages, and the demo's first map.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <tuple>

#include "core/handles.h"
#include "forge/item_source.h"
#include "forge/map_source.h"
#include "forge/map_source_scripts.h"
#include "forge/texture_source.h"
#include "map_test_files.h"
#include "world/map.h"
#include "world/map_actions.h"
#include "world/map_scripts.h"

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

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The demo's maps link to each other: places are read from the other source.
// Their items are named as the demo's item source names them.
forge::map_source_result compile_demo_map(const std::string& name) {
    const std::string folder = VORTHAN_SOURCE_DIR "/content/demo/maps/";
    const std::string item_source = VORTHAN_SOURCE_DIR "/content/demo/items/items.src";
    auto items = std::make_shared<forge::compiled_items>(
        forge::compile_item_source(read_file(item_source), item_source));
    forge::map_item_resolver item_names = [items](const std::string& item) -> std::optional<int> {
        auto found = items->numbers.find(item);
        if (found == items->numbers.end()) return std::nullopt;
        return found->second;
    };
    forge::map_place_resolver resolver = [folder](const std::string& link, const std::string& place,
                                                  std::string&) -> std::optional<std::pair<int, int>> {
        auto other = forge::compile_map_source(read_file(folder + link), link);
        auto it = other.places.find(place);
        if (it == other.places.end()) return std::nullopt;
        return it->second;
    };
    return forge::compile_map_source(read_file(folder + name), name, resolver, item_names);
}

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

// Stairs down: the grid draws a wall south of the top step, the exit makes it
// a way through (a [sides] line can still put a door there); a shaft's
// target may lie on the layer below.
TEST(MapSourceLayers, ExitThroughAWallOpensItAndAShaftFallsToTheLayerBelow) {
    auto r = compile(
        "[map]\nstart = 1 1 s\n[textures]\nwall w = A B C\nwall door = D E F\n[legend]\n# = wall=w\n"
        ". = floor=none\ns = type=11\n[grid]\n####\n#.s#\n####\n[grid -1]\n####\n#..#\n####\n"
        "[sectors]\n1 1: exit.south=1,1,-1\n1 1 -1: exit.north=1,1 exit.west=2,1,-1\n2 1: target=2,1,-1\n"
        "[sides]\n1 1 -1 west: primary=door flags=+P_VIS+!PLR\n");
    ASSERT_TRUE(r.ok()) << r.errors[0];
    const int top = r.sector_at.at({1, 1, 0}), shaft = r.sector_at.at({2, 1, 0});
    const int foot = r.sector_at.at({1, 1, -1}), below = r.sector_at.at({2, 1, -1});
    const map_side& down = r.map.sides[static_cast<size_t>(4 * top + 2)];
    EXPECT_EQ(r.map.sectors[static_cast<size_t>(top)].exits[2], foot);
    EXPECT_FALSE(down.flags & (SIDE_NOPLAYER | SIDE_P_VIS));
    EXPECT_TRUE(down.flags & SIDE_TRANSPARENT);
    EXPECT_EQ(down.primary, 0);
    EXPECT_FALSE(r.map.sides[static_cast<size_t>(4 * foot)].flags & SIDE_NOPLAYER);
    // The side line comes after the exit: the door it draws stays shut.
    EXPECT_TRUE(r.map.sides[static_cast<size_t>(4 * foot + 3)].flags & SIDE_NOPLAYER);
    EXPECT_EQ(r.map.sides[static_cast<size_t>(4 * foot + 3)].primary, 2);
    // Walls the exits do not touch stay walls; the shaft falls to the lower layer.
    EXPECT_TRUE(r.map.sides[static_cast<size_t>(4 * top + 3)].flags & SIDE_NOPLAYER);
    EXPECT_EQ(r.map.sectors[static_cast<size_t>(shaft)].action_target, below);
}

// The demo's first map: big enough, with the places the view needs.
TEST(DemoMap, KeepCompilesWithHallShadeAndStart) {
    auto r = compile_demo_map("keep.mapsrc");
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

// Every picture the demo's maps name is one the demo's texture list builds.
TEST(DemoMap, MapsUseOnlyTexturesTheDemoBuilds) {
    std::string list = read_file(VORTHAN_SOURCE_DIR "/content/demo/textures/textures.txt");
    ASSERT_FALSE(list.empty());
    for (const char* map : {"keep.mapsrc", "cellars.mapsrc"}) {
        auto r = compile_demo_map(map);
        ASSERT_TRUE(r.ok()) << r.errors[0];
        for (const auto& names : r.map.textures)
            for (const std::string& name : names) {
                size_t at = list.find(" " + name + " ");
                if (at == std::string::npos) at = list.find(" " + name + "\n");
                EXPECT_NE(at, std::string::npos) << map << ": " << name;
            }
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

// ---------------------------------------------------------------- scripts

namespace {

// ROOMS with a script on the door (2 1 east) and a place.
std::string with_script(const std::string& script) {
    return std::string(ROOMS) + "[places]\ncorner = 3 2 south\n[script 2 1 east]\n" + script;
}

std::vector<uint8_t> bytes_of(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

}  // namespace

TEST(MapScripts, LabelsBecomeRelativeRecordDistances) {
    auto r =
        compile(with_script("used: if_flag flag=P_VIS not jump=@shut\n"
                            "used: map_text text=1 stop\n"
                            "@shut\n"
                            "used: map_text text=2\n"
                            "used: if_random below=50 jump=shut\n"
                            "@end\n"));
    ASSERT_TRUE(r.ok()) << r.errors[0];
    ASSERT_EQ(r.map.multiactions.size(), 1u);
    const auto& records = r.map.multiactions[0].records;
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(r.map.multiactions[0].side, 4u * 2 + 1);
    // if_flag -10 (P_VIS is bit 9, negated), jump +2.
    EXPECT_EQ(records[0], bytes_of({16, 0x04, 0, 0, 0xF6, 0xFF, 2, 0}));
    // A jump backwards: from record 3 to record 2.
    EXPECT_EQ(records[3], bytes_of({32, 0x04, 0, 0, 50, 0, 0xFF, 0xFF}));
    EXPECT_EQ(records[1][0], 3 | 0x40);  // stop
}

TEST(MapScripts, EventsAndMarkersByName) {
    auto r =
        compile(with_script("passed+approach,map_start: map_text text=1 once stop\n"
                            "0x2001: destroy_held\n"
                            "anim_end: leave_screen once\n"));
    ASSERT_TRUE(r.ok()) << r.errors[0];
    const auto& records = r.map.multiactions[0].records;
    EXPECT_EQ(records[0], bytes_of({3 | 0x40 | 0x80, 0xA1, 0x00, 0, 1, 0, 0, 0}));
    EXPECT_EQ(records[1], bytes_of({6, 0x01, 0x20, 0}));
    EXPECT_EQ(records[2], bytes_of({33 | 0x80, 0x00, 0x20, 0}));
}

// Slot bytes of one command of each parameter shape.
TEST(MapScripts, EachParameterShapeWritesItsBytes) {
    struct {
        const char* line;
        std::vector<uint8_t> bytes;
    } cases[] = {
        // 32-bit number at 4
        {"used: dialog dialog=70000", bytes_of({9, 4, 0, 0, 0x70, 0x11, 0x01, 0x00})},
        // byte 3 mask, four 16-bit fields: target sector 5, side north, action 1, delay 12
        {"used: send_action to=3,2,north action=open mask=+!PLR+!SOUND delay=12",
         bytes_of({4, 4, 0, 0x12, 5, 0, 0, 0, 1, 0, 12, 0})},
        // byte 3 symbol, the code at 4 (8 bytes), byte 12 the slot
        {"used: code_lock symbol=B code=ABCA slot=3 stop",
         bytes_of({11 | 0x40, 4, 0, 'B', 'A', 'B', 'C', 'A', 0, 0, 0, 0, 3})},
        // sector, byte 6 direction, a 13-byte name at 7; a place of this map
        {"used: teleport to=corner animated", bytes_of({22, 4, 0, 0, 5, 0, 0x82, 0})},
        // byte 3 hook, sector, byte 6 side, byte 7 cancel, 32-bit time at 8 (-1830)
        {"used: set_hook hook=38 side=1,1,west at=18:30 cancel",
         bytes_of({37, 4, 0, 38, 1, 0, 3, 1, 0xDA, 0xF8, 0xFF, 0xFF})},
        // byte 6 a switch, a file name at 7
        {"used: play_video file=A.MGF black", bytes_of({23, 4, 0, 0, 0, 0, 1, 'A', '.', 'M', 'G', 'F', 0})},
        {"used: set_story_flag flag=7 toggle", bytes_of({26, 4, 0, 0, 7, 0, 2})},
        {"used: hit_party min=2 max=9 all", bytes_of({15, 4, 0, 1, 2, 0, 9, 0})},
        {"used: drop_new_item data=0A0BFF", bytes_of({27, 4, 0, 0, 0x0A, 0x0B, 0xFF})},
        {"used: lock key=12 difficulty=-1", bytes_of({13, 4, 0, 0, 12, 0, 0xFF, 0xFF})},
        {"used: if_action action=close jump=@x\n@x", bytes_of({20, 4, 0, 0, 3, 0, 1, 0})},
        {"used: load_map map=DOWN.MAP sector=7 dir=west",
         bytes_of({7, 4, 0, 0, 7, 0, 3, 'D', 'O', 'W', 'N', '.', 'M', 'A', 'P', 0, 0, 0, 0, 0})},
    };
    for (const auto& c : cases) {
        auto r = compile(with_script(std::string(c.line) + "\n"));
        ASSERT_TRUE(r.ok()) << c.line << ": " << r.errors[0];
        EXPECT_EQ(r.map.multiactions[0].records[0], c.bytes) << c.line;
    }
}

TEST(MapScripts, MapChangeFindsThePlaceInTheLinkedSource) {
    std::string asked;
    forge::map_place_resolver resolver = [&](const std::string& link, const std::string& place,
                                             std::string& error) -> std::optional<std::pair<int, int>> {
        asked = link + "/" + place;
        if (place == "stairs") return std::pair<int, int>{300, 2};
        error = "no such place";
        return std::nullopt;
    };
    std::string text = with_script("passed: load_map map=CELLARS.MAP place=stairs\n") +
                       "[links]\nCELLARS.MAP = cellars.mapsrc\n";
    auto r = forge::compile_map_source(text, "test.src", resolver);
    ASSERT_TRUE(r.ok()) << r.errors[0];
    EXPECT_EQ(asked, "cellars.mapsrc/stairs");
    const auto& record = r.map.multiactions[0].records[0];
    EXPECT_EQ(record[4] | record[5] << 8, 300);
    EXPECT_EQ(record[6], 2);
    EXPECT_STREQ(reinterpret_cast<const char*>(&record[7]), "CELLARS.MAP");

    text = with_script("passed: load_map map=CELLARS.MAP place=nowhere\n") + "[links]\nCELLARS.MAP = c.src\n";
    r = forge::compile_map_source(text, "test.src", resolver);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.errors[0], "test.src:42: no such place");
    r = compile(with_script("passed: load_map map=CELLARS.MAP place=stairs\n"));
    EXPECT_EQ(r.errors.at(0), "test.src:42: map CELLARS.MAP has no line in [links]");
}

TEST(MapScriptErrors, NameTheLineAndTheFault) {
    auto error_of = [](const std::string& script) {
        auto r = compile(with_script(script));
        return r.ok() ? std::string() : r.errors[0];
    };
    EXPECT_EQ(error_of("used: open_door\n"), "test.src:42: unknown command 'open_door'");
    EXPECT_EQ(error_of("pushed: destroy_held\n"), "test.src:42: unknown events 'pushed'");
    EXPECT_EQ(error_of("used destroy_held\n"), "test.src:42: script line is: events: command parameters");
    EXPECT_EQ(error_of("used: map_text text=1\nused: if_random below=5 jump=@gone\n"),
              "test.src:43: no label @gone in this script");
    EXPECT_EQ(error_of("@again\nused: if_random below=5 jump=@again\n"),
              "test.src:43: a jump to its own record would run it again forever");
    EXPECT_EQ(error_of("used: map_text text=9\n"), "test.src:42: text 9 is not in [texts]");
    EXPECT_EQ(error_of("used: map_text text=1 colour=red\n"),
              "test.src:42: map_text has no parameter 'colour'");
    EXPECT_EQ(error_of("used: send_action to=3,2,north\n"), "test.src:42: send_action needs action=");
    EXPECT_EQ(error_of("used: send_action to=3,2,north action=fly\n"), "test.src:42: unknown action 'fly'");
    EXPECT_EQ(error_of("used: set_hook hook=3 side=1,1,n at=18:30\n"),
              "test.src:42: only the timed hooks 38-41 take at= or after=");
    EXPECT_EQ(error_of("used: teleport to=9,9\n"), "test.src:42: no open cell at 9,9");
    EXPECT_EQ(error_of("used: code_lock symbol=A code=ABCDEFGH\n"),
              "test.src:42: code of code_lock has at most 7 symbols");
}

TEST(MapSourceSides, SettingsTakeNames) {
    std::string text = ROOMS;
    text.replace(text.find("action=1 target=3,2,north both"), 30, "action=open target=3,2,north both");
    text.replace(text.find("anim=0/1 "), 9, "anim=0/1 ping forward auto ");
    text.replace(text.find("1 2: action=13"), 14, "1 2: action=message");
    text += "[sides]\n3 1 south: secondary=door anim2=0/1 loop\n";
    auto r = compile(text);
    ASSERT_TRUE(r.ok()) << r.errors[0];
    const map_side& door = r.map.sides[4 * 2 + 1];
    EXPECT_EQ(door.action, 1);
    EXPECT_EQ(door.flags & (SIDE_P_PING | SIDE_P_FORW | SIDE_AUTOANIM),
              SIDE_P_PING | SIDE_P_FORW | SIDE_AUTOANIM);
    EXPECT_EQ(r.map.sectors[4].action, 13);
    EXPECT_EQ(r.map.sides[4 * 3 + 2].flags & SIDE_S_ANIM, SIDE_S_ANIM);

    text = ROOMS;
    text.replace(text.find("anim=0/1 "), 9, "ping anim=0/1 ");
    EXPECT_EQ(compile(text).errors.at(0), "test.src:29: 'ping' follows anim= or anim2=");
}

// The readable names stand for the numbers the player's rules use.
TEST(MapScripts, NamesMatchThePlayersNumbers) {
    EXPECT_EQ(forge::action_code_by_name("open"), ACT_OPEN);
    EXPECT_EQ(forge::action_code_by_name("show_hide_2nd"), ACT_SHOW_HIDE_2ND);
    EXPECT_EQ(forge::action_code_by_name("sector_set"), ACT_SECTOR_SET);
    EXPECT_EQ(forge::action_code_by_name("7"), ACT_SHOW_HIDE);
    for (int c = 0; c < 19; ++c) EXPECT_EQ(forge::action_code_by_name(forge::ACTION_CODE_NAMES[c]), c);
    EXPECT_EQ(forge::side_events_by_name("passed"), SIDE_EV_PASSED);
    EXPECT_EQ(forge::side_events_by_name("map_start"), SIDE_EV_MAP_START);
    EXPECT_EQ(forge::side_events_by_name("anim_end"), SIDE_EV_ANIM_END);
    EXPECT_EQ(forge::side_events_by_name("monster_bump"), SIDE_EV_MONSTER_BUMP);
    EXPECT_EQ(forge::side_events_by_name("used+action"), SIDE_EV_USED | SIDE_EV_ACTION);
    // Command numbers: the first byte of a compiled record.
    auto r =
        compile(with_script("used: load_map map=A.MAP last\nused: set_hook hook=1 side=corner\n"
                            "used: call_side side=corner\n"));
    ASSERT_TRUE(r.ok()) << r.errors[0];
    EXPECT_EQ(r.map.multiactions[0].records[0][0], MA_LOAD_MAP);
    EXPECT_EQ(r.map.multiactions[0].records[1][0], MA_SET_HOOK);
    EXPECT_EQ(r.map.multiactions[0].records[2][0], MA_CALL_SIDE);
}

// A script's records survive the file: the loader puts back the byte 3 the
// file leaves out.
TEST_F(MapSource, ScriptRecordsLoadIntoTheirSlots) {
    auto r =
        compile(with_script("passed: load_map map=DOWN.MAP sector=4 dir=east once\n"
                            "used: code_lock symbol=Q code=Q slot=1\n"));
    ASSERT_TRUE(r.ok()) << r.errors[0];
    ASSERT_EQ(round_trip(r), MAP_OK);
    ASSERT_EQ(current_map.multiactions.size(), 1u);
    const auto& slots = current_map.multiactions[0].records;
    ASSERT_EQ(slots.size(), 2u);
    EXPECT_EQ(slots[0][0], MA_LOAD_MAP | MA_ONCE);
    EXPECT_EQ(slots[0][3], 0);
    EXPECT_EQ(slots[0][4], 4);
    EXPECT_EQ(slots[0][6], 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(&slots[0][7]), "DOWN.MAP");
    EXPECT_EQ(slots[1][3], 'Q');
    EXPECT_EQ(slots[1][12], 1);
}

// ---------------------------------------------------------------- the cellars

namespace {

// The records of a side's script in a parsed map.
const std::vector<std::array<uint8_t, MULTIACTION_SLOT_SIZE>>* script_of(const loaded_map& map, int side) {
    for (const auto& list : map.multiactions)
        if (list.side == static_cast<uint32_t>(side)) return &list.records;
    return nullptr;
}

}  // namespace

// The demo's second map loads, joins the keep both ways, and has every place
// its comment block lists, all connected to the stairs.
TEST(DemoMap, CellarsLoadWithEveryPlaceOfTheirList) {
    auto cellars = compile_demo_map("cellars.mapsrc");
    ASSERT_TRUE(cellars.ok()) << cellars.errors[0];
    auto keep = compile_demo_map("keep.mapsrc");
    ASSERT_TRUE(keep.ok()) << keep.errors[0];
    std::vector<uint8_t> bytes = forge::build_map_file(cellars.map);
    loaded_map map;
    ASSERT_EQ(parse_map(bytes.data(), bytes.size(), map), MAP_OK);
    auto at = [&](int x, int y) { return cellars.sector_at.at({x, y, 0}); };
    auto side = [&](int x, int y, int d) { return 4 * at(x, y) + d; };

    // Stairs and shaft: the keep's scripts land on the cellars' places, and
    // the stairs lead back to the keep's place.
    auto keep_records = [&](int x, int y, int d) {
        for (const auto& l : keep.map.multiactions)
            if (l.side == static_cast<uint32_t>(4 * keep.sector_at.at({x, y, 0}) + d)) return l.records;
        return std::vector<std::vector<uint8_t>>{};
    };
    for (auto [x, y, d, place] : {std::tuple{15, 17, 2, "stairs_foot"}, std::tuple{21, 15, 1, "shaft_bottom"},
                                  std::tuple{22, 14, 2, "shaft_bottom"}}) {
        auto records = keep_records(x, y, d);
        ASSERT_EQ(records.size(), 1u) << x << "," << y;
        EXPECT_EQ(records[0][0], MA_LOAD_MAP);
        EXPECT_EQ(records[0][4] | records[0][5] << 8, cellars.places.at(place).first);
        EXPECT_STREQ(reinterpret_cast<const char*>(&records[0][7]), "CELLARS.MAP");
    }
    const auto* up = script_of(map, side(2, 1, 3));
    ASSERT_NE(up, nullptr);
    EXPECT_EQ((*up)[0][4] | (*up)[0][5] << 8, keep.sector_at.at({15, 17, 0}));
    EXPECT_STREQ(reinterpret_cast<const char*>(&(*up)[0][7]), "KEEP.MAP");

    // The side message, the secret wall, the two doors.
    EXPECT_EQ(map.sides[side(3, 4, 2)].action, ACT_MESSAGE);
    EXPECT_TRUE(map.sides[side(3, 4, 2)].flags & SIDE_PASS);
    EXPECT_EQ(map.sides[side(4, 5, 2)].flags & (SIDE_SECRET | SIDE_NOPLAYER | SIDE_P_VIS),
              SIDE_SECRET | SIDE_P_VIS);
    EXPECT_EQ(map.sides[side(6, 5, 1)].action, ACT_SHOW_HIDE);
    EXPECT_EQ(map.sides[side(10, 5, 1)].action, ACT_REVERSE);
    EXPECT_EQ(map.sides[side(10, 5, 1)].primary_anim, 0x03);
    // The lever and its grille; the plate and the grille it drops.
    EXPECT_EQ(map.sides[side(13, 6, 3)].action_target, at(13, 6));
    EXPECT_TRUE(map.sides[side(13, 6, 3)].flags & SIDE_AUTOANIM);
    EXPECT_EQ(map.sectors[at(16, 4)].sector_type, SECTOR_PLATE_RELEASED);
    EXPECT_EQ(map.textures[TEX_FLOORS].names[map.sectors[at(16, 4)].floor], "KPLATED.PCX");
    EXPECT_EQ(map.sides[side(16, 4, 2)].primary_anim, 0x33);
    // The four levers are the sides of one sector, each toggling itself.
    for (int d = 0; d < 4; ++d) {
        EXPECT_EQ(map.sides[side(16, 2, d)].action, ACT_SECTOR_TOGGLE) << d;
        EXPECT_EQ(map.sides[side(16, 2, d)].action_target, at(16, 2)) << d;
        EXPECT_EQ(map.sides[side(16, 2, d)].target_side & 3, d);
        EXPECT_FALSE(map.sides[side(16, 2, d)].flags & SIDE_P_VIS);
    }
    EXPECT_EQ(map.sectors[at(16, 2)].action, ACT_REVERSE);
    EXPECT_EQ(map.sectors[at(16, 2)].action_target, at(16, 3));
    // The code lock: four buttons of one slot.
    for (int x = 22; x <= 25; ++x) {
        const auto* records = script_of(map, side(x, 5, 0));
        ASSERT_NE(records, nullptr) << x;
        EXPECT_EQ((*records)[0][0], MA_CODE_LOCK);
        EXPECT_STREQ(reinterpret_cast<const char*>(&(*records)[0][4]), "HMSR");
    }
    // The chain: three delayed openings.
    const auto* chain = script_of(map, side(21, 5, 2));
    ASSERT_NE(chain, nullptr);
    ASSERT_GE(chain->size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ((*chain)[i][0], MA_SEND_ACTION | MA_ONCE);
        EXPECT_EQ((*chain)[i][10], 6 * i);
    }
    // The teleporter and the timed hook.
    EXPECT_EQ(map.sectors[at(28, 4)].sector_type, 12);
    EXPECT_EQ(map.sectors[at(28, 4)].action_target, at(3, 3));
    const auto* hook = script_of(map, side(8, 7, 2));
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ((*hook)[0][3], 38);
    EXPECT_EQ((*hook)[0][8] | (*hook)[0][9] << 8 | (*hook)[0][10] << 16 | (*hook)[0][11] << 24, -1830);

    // Every open cell is joined to the stairs by exits.
    std::vector<bool> seen(static_cast<size_t>(map.sector_count));
    std::vector<int> todo{cellars.places.at("stairs_foot").first};
    seen[static_cast<size_t>(todo[0])] = true;
    while (!todo.empty()) {
        int s = todo.back();
        todo.pop_back();
        for (uint16_t e : map.sectors[static_cast<size_t>(s)].exits)
            if (e && !seen[e]) seen[e] = true, todo.push_back(e);
    }
    for (int s = 1; s < map.sector_count; ++s) EXPECT_TRUE(seen[static_cast<size_t>(s)]) << "sector " << s;
    int shaded = 0;
    for (int s = 1; s < map.sector_count; ++s) shaded += (map.coords[s].coord_flags & MC_SHADED) != 0;
    EXPECT_EQ(shaded, map.sector_count - 1);
}

// ---------------------------------------------------------------- mechanism pictures

namespace {

// Share of transparent pixels in a rectangle of a picture.
double clear_share(const forge::texture_canvas& c, int x0, int y0, int x1, int y1) {
    int clear = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) clear += c.a[c.at(x, y)] < 0.5f;
    return static_cast<double>(clear) / ((x1 - x0) * (y1 - y0));
}

}  // namespace

// The doorway of a door closes fully at frame 0, opens by thirds, and is
// clear at frame 3; the wall around it stays whole.
TEST(MechanismPictures, DoorFramesOpenFromClosedToClear) {
    double previous = -1;
    for (int f = 0; f < 4; ++f) {
        auto door = forge::procedural_source("door" + std::to_string(f), 3);
        ASSERT_EQ(door.width, 500);
        const double open = clear_share(door, 165, 80, 335, 320);
        EXPECT_GT(open, previous) << f;
        EXPECT_NEAR(open, f / 3.0, 0.05) << f;
        EXPECT_EQ(clear_share(door, 0, 0, 130, 320), 0.0) << f;
        previous = open;
    }
    // A portcullis is see-through even when down, and raised all but its spikes.
    const double down = clear_share(forge::procedural_source("portcullis0", 4), 150, 60, 350, 300);
    const double up = clear_share(forge::procedural_source("portcullis3", 4), 150, 80, 350, 320);
    EXPECT_GT(down, 0.4);
    EXPECT_LT(down, 0.9);
    EXPECT_EQ(up, 1.0);
}

// The two frames of a lever differ where the handle is, and a pressed plate
// is darker than a resting one.
TEST(MechanismPictures, LeverAndPlateFramesDiffer) {
    auto up = forge::procedural_source("lever_up", 1), down = forge::procedural_source("lever_down", 1);
    ASSERT_EQ(up.width, down.width);
    EXPECT_GT(clear_share(down, 0, 0, up.width, 40), clear_share(up, 0, 0, up.width, 40));
    EXPECT_GT(clear_share(up, 0, 130, up.width, 170), clear_share(down, 0, 130, up.width, 170));
    auto brightness = [](const forge::texture_canvas& c) {
        double sum = 0;
        for (int y = 80; y < 180; ++y)
            for (int x = 80; x < 180; ++x) sum += c.r[c.at(x, y)] + c.g[c.at(x, y)] + c.b[c.at(x, y)];
        return sum;
    };
    EXPECT_LT(brightness(forge::procedural_source("plate_down", 6)),
              0.9 * brightness(forge::procedural_source("plate", 6)));
}
