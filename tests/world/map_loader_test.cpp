// The map loader: results and error texts on good and bad files, the checks and
// corrections of the records, handles, the string table, identity hash and
// last place.
#include <gtest/gtest.h>

#include <cstring>

#include "base/paths.h"
#include "base/strings.h"
#include "core/decoders.h"
#include "core/handles.h"
#include "forge/map_writer.h"
#include "map_test_files.h"
#include "world/map.h"

using forge::append_map_block;
using forge::map_model;
using map_test::file_of;
using map_test::small_map;

namespace {

const uint32_t LIST_BLOCKS[TEX_KIND_COUNT] = {
    MAP_BLOCK_WALLS,  MAP_BLOCK_LEFT_WALLS,  MAP_BLOCK_RIGHT_WALLS, MAP_BLOCK_CEILINGS,
    MAP_BLOCK_FLOORS, MAP_BLOCK_LEFT_ARCHES, MAP_BLOCK_RIGHT_ARCHES};

const char* const GOOD_TABLE = "; texts\n0 music.pls\n12 Hello|world  \n-1\n";

// The blocks of a model, each given separately so tests can reorder or break them.
struct blocks {
    std::vector<uint8_t> header, sectors, sides, coords;
    std::array<std::vector<uint8_t>, TEX_KIND_COUNT> lists;
    explicit blocks(const map_model& m)
        : header(forge::encode_map_header(m.header)),
          sectors(forge::encode_sectors(m.sectors)),
          sides(forge::encode_sides(m.sides)),
          coords(forge::encode_coords(m.coords)) {
        for (int k = 0; k < TEX_KIND_COUNT; ++k) lists[k] = forge::encode_name_list(m.textures[k]);
    }
    std::vector<uint8_t> file(const std::vector<std::pair<uint32_t, std::vector<uint8_t>>>& extra = {},
                              bool end = true) const {
        std::vector<uint8_t> out;
        append_map_block(out, MAP_BLOCK_HEADER, header);
        for (int k = 0; k < TEX_KIND_COUNT; ++k) append_map_block(out, LIST_BLOCKS[k], lists[k]);
        append_map_block(out, MAP_BLOCK_SECTORS, sectors);
        append_map_block(out, MAP_BLOCK_SIDES, sides);
        append_map_block(out, MAP_BLOCK_COORDS, coords);
        for (const auto& [type, payload] : extra) append_map_block(out, type, payload);
        if (end) append_map_block(out, MAP_BLOCK_END, {});
        return out;
    }
};

class MapLoader : public ::testing::Test {
  protected:
    map_test::maps_folder folder;

    void TearDown() override {
        if (!current_map.name.empty()) unload_map(0);
    }
    int load(const std::vector<uint8_t>& bytes, const std::string& table = GOOD_TABLE) {
        folder.write("TEST.MAP", bytes);
        folder.write_text("TEST.txt", table);
        return load_map("TEST.MAP");
    }
    int load(const map_model& m) { return load(file_of(m)); }
};

std::vector<uint8_t> u32s(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> out;
    for (uint32_t v : values) forge::put_u32(out, v);
    return out;
}

}  // namespace

TEST(MapHash, IsFnvStyleHashOfTheUpperCaseName) {
    EXPECT_EQ(map_hash("KEEP.MAP"), 1194639802u);
    EXPECT_EQ(map_hash("A"), 0xCB17309Au);
    EXPECT_EQ(map_hash("keep.map"), map_hash("KEEP.MAP"));
    EXPECT_EQ(map_hash(""), 0x01000193u);
}

TEST(MapLoadErrors, TextsFollowTheResultCodes) {
    EXPECT_EQ(map_load_error_text(MAP_CORRUPTED, "X.MAP"), "Map file is corrupted!\n");
    EXPECT_EQ(map_load_error_text(MAP_NO_END_MARK, "X.MAP"), "Missing -1 at the end of map string table");
    EXPECT_EQ(map_load_error_text(MAP_NOT_FOUND, "X.MAP"),
              "Error while loading map (X.MAP) ....file not found\n");
    EXPECT_EQ(map_load_error_text(7, "X.MAP"), "Error in string table at line 7");
}

TEST(MapLoadErrors, ReportEndsTheProgramWithExitCodeOne) {
    EXPECT_EXIT(report_map_load_error(MAP_CORRUPTED, "X.MAP"), ::testing::ExitedWithCode(1),
                "Map file is corrupted!");
}

TEST_F(MapLoader, LoadsRecordsHeaderAndStrings) {
    ASSERT_EQ(load(small_map()), MAP_OK);
    EXPECT_EQ(current_map.name, "TEST.MAP");
    EXPECT_EQ(current_map.sector_count, 5);
    ASSERT_EQ(current_map.sides.size(), 20u);
    ASSERT_EQ(current_map.side_resting.size(), 20u);
    EXPECT_EQ(current_map.sectors[1].exits, (std::array<uint16_t, 4>{0, 2, 3, 0}));
    EXPECT_EQ(current_map.coords[4].x, 1);
    EXPECT_EQ(current_map.coords[4].y, 1);
    EXPECT_EQ(current_map.sides[4 * 1 + 0].primary, 1);
    EXPECT_EQ(current_map.side_resting[4 * 1 + 0], static_cast<uint8_t>(current_map.sides[4].flags));
    EXPECT_EQ(current_map.header.start_sector, 1);
    EXPECT_EQ(current_map.header.start_direction, 1);
    EXPECT_STREQ(current_map.header.title.data(), "Test");
    EXPECT_EQ(current_map.fade_colour, (2 << 10) | (4 << 5) | 8);  // 16, 32, 64 in RGB555
    ASSERT_NE(map_string(12), nullptr);
    EXPECT_EQ(*map_string(12), "Hello\nworld");
    ASSERT_NE(map_string(0), nullptr);
    EXPECT_EQ(*map_string(0), "music.pls");
    EXPECT_EQ(map_string(11), nullptr);
    EXPECT_EQ(map_string(100000), nullptr);
}

TEST_F(MapLoader, RegistersTextureHandlesInFileOrder) {
    ASSERT_EQ(load(small_map()), MAP_OK);
    // Header first (4 backgrounds), then walls, left, right, ceilings, floors, arches.
    EXPECT_EQ(current_map.background_base, MAP_FIRST_HANDLE);
    const texture_list& walls = current_map.textures[TEX_WALLS];
    EXPECT_EQ(walls.count, 3);
    EXPECT_EQ(walls.handle(1), MAP_FIRST_HANDLE + 4);
    EXPECT_STREQ(handle_info(walls.handle(2))->name, "W2.PCX");
    const texture_list& floors = current_map.textures[TEX_FLOORS];
    EXPECT_STREQ(handle_info(floors.handle(1))->name, "F1.PCX");
    EXPECT_EQ(current_map.handle_end, MAP_FIRST_HANDLE + 4 + 9 + 1 + 2 + 2);
    // Every map handle is gone after unloading.
    handle_id end = current_map.handle_end;
    unload_map(1);
    for (unsigned h = MAP_FIRST_HANDLE; h < end; ++h)
        EXPECT_EQ(handle_length(static_cast<handle_id>(h)), -1) << h;
}

TEST_F(MapLoader, ListOrderChangesHandlesButNotPictures) {
    blocks b(small_map());
    std::vector<uint8_t> file;
    append_map_block(file, MAP_BLOCK_FLOORS, b.lists[TEX_FLOORS]);
    append_map_block(file, MAP_BLOCK_HEADER, b.header);
    for (int k = 0; k < TEX_KIND_COUNT; ++k)
        if (k != TEX_FLOORS) append_map_block(file, LIST_BLOCKS[k], b.lists[k]);
    append_map_block(file, MAP_BLOCK_SECTORS, b.sectors);
    append_map_block(file, MAP_BLOCK_SIDES, b.sides);
    append_map_block(file, MAP_BLOCK_COORDS, b.coords);
    append_map_block(file, MAP_BLOCK_END, {});
    ASSERT_EQ(load(file), MAP_OK);
    const texture_list& floors = current_map.textures[TEX_FLOORS];
    EXPECT_EQ(floors.handle(1), MAP_FIRST_HANDLE);
    EXPECT_STREQ(handle_info(floors.handle(2))->name, "F2.PCX");
    EXPECT_STREQ(handle_info(current_map.textures[TEX_WALLS].handle(1))->name, "W1.PCX");
    EXPECT_NE(current_map.textures[TEX_WALLS].handle(1), MAP_FIRST_HANDLE + 4);
}

TEST_F(MapLoader, ResultCodesOfMissingFileAndStringTable) {
    EXPECT_EQ(load_map("NOPE.MAP"), MAP_NOT_FOUND);
    EXPECT_EQ(load(file_of(small_map()), "1 one\n2 two\n"), MAP_NO_END_MARK);
    unload_map(0);
    EXPECT_EQ(load(file_of(small_map()), "1 one\n\nnot a number\n-1\n"), 3);
    unload_map(0);
    // A map without its string table is not whole.
    folder.write("BARE.MAP", file_of(small_map()));
    EXPECT_EQ(load_map("BARE.MAP"), MAP_NOT_FOUND);
}

TEST_F(MapLoader, HeaderPayloadIsZeroFilledOrCut) {
    blocks b(small_map());
    std::vector<uint8_t> full = b.header;
    b.header.resize(80);
    ASSERT_EQ(load(b.file()), MAP_OK);
    EXPECT_EQ(current_map.header.map_class, 0);
    EXPECT_EQ(current_map.header.title[8], 0);  // offset 80 lies inside the title
    EXPECT_STREQ(current_map.header.title.data(), "Test");
    unload_map(0);

    b.header = full;
    b.header[102] = 4;  // map class
    b.header.resize(200, 0xEE);
    ASSERT_EQ(load(b.file()), MAP_OK);
    EXPECT_EQ(current_map.header.map_class, 4);
    EXPECT_EQ(current_map.header.reserved2[2], 0);
}

TEST_F(MapLoader, BrokenBlockStructureIsCorrupted) {
    blocks b(small_map());
    std::vector<uint8_t> good = b.file();
    // Cut inside the sides block, inside a block header, and before the end block.
    for (size_t cut : {good.size() / 2, good.size() - 30, good.size() - 20, size_t{10}, size_t{0}}) {
        std::vector<uint8_t> bad(good.begin(), good.begin() + static_cast<long>(cut));
        EXPECT_EQ(load(bad), MAP_CORRUPTED) << cut;
    }
    std::vector<uint8_t> bad_tag = good;
    bad_tag[3] = 'X';
    EXPECT_EQ(load(bad_tag), MAP_CORRUPTED);
    // A declared size beyond the file's end.
    std::vector<uint8_t> long_block = good;
    long_block[12] = 0xFF;
    long_block[13] = 0xFF;
    EXPECT_EQ(load(long_block), MAP_CORRUPTED);
    EXPECT_TRUE(current_map.name.empty());
    for (unsigned h = MAP_FIRST_HANDLE; h < MAP_FIRST_HANDLE + 20u; ++h)
        EXPECT_EQ(handle_length(static_cast<handle_id>(h)), -1);
}

TEST_F(MapLoader, UnknownAndMarkBlocksAreSkipped) {
    blocks b(small_map());
    ASSERT_EQ(load(b.file({{0x8013, {1, 2, 3}}, {0x9999, {0, 0, 0, 0, 0}}, {0x800E, {}}})), MAP_OK);
}

TEST_F(MapLoader, CountsThatDoNotMatchAreCorrupted) {
    map_model m = small_map();
    m.sides.pop_back();
    EXPECT_EQ(load(m), MAP_CORRUPTED);
    m = small_map();
    m.sectors.pop_back();
    EXPECT_EQ(load(m), MAP_CORRUPTED);
    // Sides of a size that is not whole records.
    blocks b(small_map());
    b.sides.push_back(0);
    EXPECT_EQ(load(b.file()), MAP_CORRUPTED);
    // A map whose only sector is sector 0.
    m = small_map();
    m.sectors.resize(1);
    m.coords.resize(1);
    m.sides.resize(4);
    m.header.start_sector = 0;
    EXPECT_EQ(load(m), MAP_CORRUPTED);
}

TEST_F(MapLoader, StartOutsideTheMapBecomesSectorOneFacingNorth) {
    for (int start : {0, 5, -1}) {
        map_model m = small_map();
        m.header.start_sector = start;
        m.header.start_direction = 2;
        ASSERT_EQ(load(m), MAP_OK) << start;
        EXPECT_EQ(current_map.header.start_sector, 1);
        EXPECT_EQ(current_map.header.start_direction, 0);
        unload_map(0);
    }
    map_model m = small_map();
    m.header.start_sector = 3;
    m.header.start_direction = 4;
    ASSERT_EQ(load(m), MAP_OK);
    EXPECT_EQ(current_map.header.start_sector, 3);
    EXPECT_EQ(current_map.header.start_direction, 0);
}

TEST_F(MapLoader, ExitBeyondTheCountLeadsToTheSectorItself) {
    map_model m = small_map();
    m.sectors[2].exits[0] = 5;
    m.sectors[3].exits[3] = 60000;
    ASSERT_EQ(load(m), MAP_OK);
    EXPECT_EQ(current_map.sectors[2].exits[0], 2);
    EXPECT_EQ(current_map.sectors[3].exits[3], 3);
}

TEST_F(MapLoader, MissingExitIsNeverPassable) {
    map_model m = small_map();
    // A side that claims to be open but has no neighbour.
    m.sides[4 * 1 + 0].flags = SIDE_TRANSPARENT;
    ASSERT_EQ(load(m), MAP_OK);
    uint32_t f = current_map.sides[4 * 1 + 0].flags;
    EXPECT_TRUE(f & SIDE_NOPLAYER);
    EXPECT_TRUE(f & SIDE_NOMONSTER);
    EXPECT_TRUE(f & SIDE_NOTHING);
    EXPECT_TRUE(f & SIDE_TRANSPARENT);
    // Sides with a neighbour keep their flags.
    EXPECT_EQ(current_map.sides[4 * 1 + 1].flags, SIDE_TRANSPARENT | SIDE_AUTOMAP);
    EXPECT_EQ(current_map.side_resting[4], static_cast<uint8_t>(f));
}

TEST_F(MapLoader, TextureIndexesBeyondTheirListsAreCleared) {
    map_model m = small_map();
    m.textures[TEX_RIGHT_WALLS].pop_back();  // the common wall length is now 2
    m.sides[4 * 1 + 0].primary = 3;
    m.sides[4 * 1 + 0].secondary = 2;
    m.sides[4 * 2 + 1].secondary = 9;
    m.sides[4 * 2 + 1].arch_and_flags2 = SIDE2_RECESS | 2;  // one arch picture only
    m.sides[4 * 3 + 3].arch_and_flags2 = SIDE2_UP_SIDE | 1;
    m.sectors[1].floor = 3;
    m.sectors[2].floor = 2;
    m.sectors[3].ceiling = 2;
    m.sides[1].primary = 7;  // sector 0's sides 1..3 are corrected too, side 0 is not
    m.sides[3].arch_and_flags2 = 5;
    m.sides[0].primary = 7;
    ASSERT_EQ(load(m), MAP_OK);
    EXPECT_EQ(current_map.sides[1].primary, 0);
    EXPECT_EQ(current_map.sides[3].arch_and_flags2, 0);
    EXPECT_EQ(current_map.sides[0].primary, 7);
    EXPECT_EQ(current_map.sides[4].primary, 0);
    EXPECT_EQ(current_map.sides[4].secondary, 2);
    EXPECT_EQ(current_map.sides[9].secondary, 0);
    EXPECT_EQ(current_map.sides[9].arch_and_flags2, SIDE2_RECESS);
    EXPECT_EQ(current_map.sides[15].arch_and_flags2, SIDE2_UP_SIDE | 1);
    EXPECT_EQ(current_map.sectors[1].floor, 0);
    EXPECT_EQ(current_map.sectors[2].floor, 2);
    EXPECT_EQ(current_map.sectors[3].ceiling, 0);
}

TEST_F(MapLoader, AnimationsAreKeptInsideTheWallLists) {
    map_model m = small_map();
    m.sides[4 * 1 + 0].primary = 2;
    m.sides[4 * 1 + 0].primary_anim = 0x34;  // frame 3 of 0..4: would show 2 + 4 = 6
    m.sides[4 * 2 + 1].primary = 1;
    m.sides[4 * 2 + 1].primary_anim = 0x02;  // 1 + 2 = 3 fits
    m.sides[4 * 3 + 2].secondary = 3;
    m.sides[4 * 3 + 2].secondary_anim = 0x11;
    ASSERT_EQ(load(m), MAP_OK);
    EXPECT_EQ(current_map.sides[4].primary_anim, 0x11);
    EXPECT_EQ(current_map.sides[9].primary_anim, 0x02);
    EXPECT_EQ(current_map.sides[14].secondary_anim, 0x00);
}

TEST_F(MapLoader, ActionTargetsOutsideTheMapLoadAsTheFileHasThem) {
    // Whoever follows a target checks it: such an action does nothing.
    map_model m = small_map();
    m.sides[4 * 2 + 1].action = 1;
    m.sides[4 * 2 + 1].action_target = 5;
    m.sectors[3].action_target = 77;
    m.sectors[3].action_side = 6;
    ASSERT_EQ(load(m), MAP_OK);
    EXPECT_EQ(current_map.sides[9].action_target, 5);
    EXPECT_EQ(current_map.sectors[3].action_target, 77);
    EXPECT_EQ(current_map.sectors[3].action_side, 2);
}

TEST_F(MapLoader, SectorsThatMoveThePartyLoadWithoutATarget) {
    for (uint8_t type : {2, 11, 12, 50, 58}) {
        map_model m = small_map();
        m.sectors[4].sector_type = type;
        m.sectors[4].action_target = 0;
        EXPECT_EQ(load(m), MAP_OK) << int(type);
        unload_map(0);
    }
}

TEST_F(MapLoader, OverlongTextureNameLoadsWithoutItsPicture) {
    map_model m = small_map();
    m.textures[TEX_WALLS][1] = "A_NAME_TOO_LONG.PCX";
    ASSERT_EQ(load(m), MAP_OK);
    const texture_list& walls = current_map.textures[TEX_WALLS];
    EXPECT_EQ(walls.count, 3);
    EXPECT_EQ(walls.names[1], "A_NAME_TOO_LONG.PCX");
    EXPECT_EQ(handle_length(walls.handle(2)), -1);  // never defined: nothing is drawn
    EXPECT_STREQ(handle_info(walls.handle(3))->name, "W3.PCX");
}

TEST_F(MapLoader, ItemLists) {
    blocks b(small_map());
    std::vector<uint8_t> items = u32s({4 * 3 + 2});
    for (uint16_t v : {5, 0xFFFF, 0}) forge::put_u16(items, v);
    forge::put_u32(items, 4 * 4 + 0);
    forge::put_u16(items, 0);
    ASSERT_EQ(load(b.file({{MAP_BLOCK_ITEMS, items}})), MAP_OK);
    ASSERT_EQ(current_map.items.size(), 2u);
    EXPECT_EQ(current_map.items[0].place, 14u);
    EXPECT_EQ(current_map.items[0].items, (std::vector<int16_t>{5, -1, 0}));
    EXPECT_EQ(current_map.items[1].items, (std::vector<int16_t>{0}));
    unload_map(0);

    // A place the map does not have: the entry is left out.
    std::vector<uint8_t> outside = u32s({4 * 5});
    forge::put_u16(outside, 0);
    forge::put_u32(outside, 4);
    forge::put_u16(outside, 3);
    forge::put_u16(outside, 0);
    ASSERT_EQ(load(b.file({{MAP_BLOCK_ITEMS, outside}})), MAP_OK);
    ASSERT_EQ(current_map.items.size(), 1u);
    EXPECT_EQ(current_map.items[0].place, 4u);
    unload_map(0);
    std::vector<uint8_t> unended = u32s({4});
    forge::put_u16(unended, 7);
    EXPECT_EQ(load(b.file({{MAP_BLOCK_ITEMS, unended}})), MAP_CORRUPTED);
}

TEST_F(MapLoader, MultiactionRecordsFillTheirSlots) {
    blocks b(small_map());
    std::vector<uint8_t> block = u32s({4 * 2 + 1, 5});
    // Command 1 keeps byte 3; command 5 leaves it out in the file.
    for (uint8_t v : {0x01, 0x40, 0x00, 0x09, 0x11}) block.push_back(v);
    forge::put_u32(block, 4);
    for (uint8_t v : {0x05, 0x00, 0x01, 0x22}) block.push_back(v);
    forge::put_u32(block, 0);
    forge::put_u32(block, 0);
    ASSERT_EQ(load(b.file({{MAP_BLOCK_MULTIACTIONS, block}})), MAP_OK);
    ASSERT_EQ(current_map.multiactions.size(), 1u);
    const auto& list = current_map.multiactions[0];
    EXPECT_EQ(list.side, 9u);
    ASSERT_EQ(list.records.size(), 2u);
    EXPECT_EQ(list.records[0][3], 0x09);
    EXPECT_EQ(list.records[0][4], 0x11);
    EXPECT_EQ(list.records[1][2], 0x01);
    EXPECT_EQ(list.records[1][3], 0x00);
    EXPECT_EQ(list.records[1][4], 0x22);
}

TEST_F(MapLoader, BadMultiactionBlocksAreCorrupted) {
    blocks b(small_map());
    auto with_record = [&](uint32_t side, std::vector<uint8_t> record) {
        std::vector<uint8_t> block = u32s({side, static_cast<uint32_t>(record.size())});
        block.insert(block.end(), record.begin(), record.end());
        auto tail = u32s({0, 0});
        block.insert(block.end(), tail.begin(), tail.end());
        return b.file({{MAP_BLOCK_MULTIACTIONS, block}});
    };
    // A side outside the map: the list is left out.
    ASSERT_EQ(load(with_record(20, {1, 0, 0, 0})), MAP_OK);
    EXPECT_TRUE(current_map.multiactions.empty());
    unload_map(0);
    std::vector<uint8_t> big(229, 0);
    big[0] = 1;
    EXPECT_EQ(load(with_record(4, big)), MAP_CORRUPTED);
    std::vector<uint8_t> omitted(228, 0);
    omitted[0] = 5;  // would need 229 bytes in its slot
    EXPECT_EQ(load(with_record(4, omitted)), MAP_CORRUPTED);
    omitted.pop_back();
    EXPECT_EQ(load(with_record(4, omitted)), MAP_OK);
    unload_map(0);
    // A record length running past the block, and a block without its end mark.
    EXPECT_EQ(load(b.file({{MAP_BLOCK_MULTIACTIONS, u32s({4, 100, 0})}})), MAP_CORRUPTED);
    EXPECT_EQ(load(b.file({{MAP_BLOCK_MULTIACTIONS, u32s({4, 0})}})), MAP_CORRUPTED);
}

TEST_F(MapLoader, RecessMonsterAndSoundBlocks) {
    blocks b(small_map());
    std::vector<uint8_t> recesses(64, 3);
    std::vector<uint8_t> defs(376, 1);
    std::vector<uint8_t> sounds = {'A', '.', 'W', 'A', 'V', 0, 0, 'B', 0};
    ASSERT_EQ(load(b.file({{MAP_BLOCK_RECESSES, recesses},
                           {MAP_BLOCK_MONSTER_DEFS, defs},
                           {MAP_BLOCK_MONSTERS, {9, 9}},
                           {MAP_BLOCK_SOUNDS, sounds}})),
              MAP_OK);
    EXPECT_EQ(current_map.recesses.size(), 2u);
    EXPECT_EQ(current_map.monster_defs.size(), 1u);
    EXPECT_TRUE(current_map.has_monster_defs);
    EXPECT_EQ(current_map.monsters, (std::vector<uint8_t>{9, 9}));
    EXPECT_FALSE(current_map.sounds_before_monsters);
    ASSERT_EQ(current_map.sounds.size(), 3u);
    EXPECT_EQ(current_map.sounds[0], "A.WAV");
    EXPECT_FALSE(current_map.sounds[1].has_value());
    EXPECT_EQ(current_map.sounds[2], "B");
    unload_map(0);
    EXPECT_EQ(load(b.file({{MAP_BLOCK_RECESSES, std::vector<uint8_t>(33)}})), MAP_CORRUPTED);
    EXPECT_EQ(load(b.file({{MAP_BLOCK_MONSTER_DEFS, std::vector<uint8_t>(375)}})), MAP_CORRUPTED);
}

TEST_F(MapLoader, IdentityIsStoredAndLastPlaceRemembered) {
    ASSERT_EQ(load(small_map()), MAP_OK);
    EXPECT_EQ(current_map.hash, map_hash("TEST.MAP"));
    std::vector<uint8_t> name;
    ASSERT_TRUE(map_store_read("maphash_" + std::to_string(map_hash("test.map")), name));
    EXPECT_EQ(std::string(name.begin(), name.end()), "TEST.MAP");

    unload_map(3);
    EXPECT_TRUE(current_map.name.empty());
    EXPECT_EQ(current_map.sector_count, 0);
    EXPECT_EQ(last_place("TEST.MAP"), 3);
    EXPECT_EQ(last_place("OTHER.MAP"), 0);

    // A stored sector that is not a place of the loaded map counts as none.
    ASSERT_EQ(load(small_map()), MAP_OK);
    map_store_write("TEST.MAP.lplace", {9, 0, 0, 0});
    EXPECT_EQ(last_place("TEST.MAP"), 0);
}

TEST_F(MapLoader, LastPlaceFacesTheFirstSideThatIsNotAClosedWall) {
    ASSERT_EQ(load(small_map()), MAP_OK);
    // Sector 1: north and west are walls (!PLR and P_VIS), east is open.
    EXPECT_EQ(last_place_direction(1), 1);
    // Sector 4: north open.
    EXPECT_EQ(last_place_direction(4), 0);
    for (int d = 0; d < 4; ++d) current_map.sides[4 * 2 + d].flags |= SIDE_NOPLAYER | SIDE_P_VIS;
    EXPECT_EQ(last_place_direction(2), 0);
    EXPECT_EQ(last_place_direction(0), 0);
    EXPECT_EQ(last_place_direction(99), 0);
}

TEST_F(MapLoader, ParseWithoutHandlesGivesTheSameRecords) {
    std::vector<uint8_t> bytes = file_of(small_map());
    loaded_map parsed;
    std::string error;
    ASSERT_EQ(parse_map(bytes.data(), bytes.size(), parsed, &error), MAP_OK) << error;
    EXPECT_EQ(parsed.sector_count, 5);
    EXPECT_EQ(parsed.textures[TEX_WALLS].names[2], "W3.PCX");
    EXPECT_EQ(handle_length(parsed.textures[TEX_WALLS].handle(1)), -1);
    bytes.resize(bytes.size() - 1);
    EXPECT_EQ(parse_map(bytes.data(), bytes.size(), parsed, &error), MAP_CORRUPTED);
    EXPECT_FALSE(error.empty());
}

TEST_F(MapLoader, TranslationsReplaceTextsAndTitle) {
    folder.write_text("map_TEST.csv", "id,string\n12,\"Ahoj \"\"sv\xECte\"\"\"\n");
    folder.write_text("mapnames.csv",
                      "id,string\n" + std::to_string(map_hash("TEST.MAP")) + ",Ruined keep\n");
    set_language_folder(folder.path().c_str());
    int result = load(small_map());
    set_language_folder(nullptr);
    ASSERT_EQ(result, MAP_OK);
    ASSERT_NE(map_string(12), nullptr);
    EXPECT_EQ(*map_string(12), "Ahoj \"sv\x88te\"");  // converted to the game code page
    EXPECT_STREQ(current_map.header.title.data(), "Ruined keep");
}

namespace {
int loaded_calls = 0, unloading_calls = 0, sectors_seen_unloading = 0;
}

TEST_F(MapLoader, HooksRunAfterLoadAndBeforeTheRecordsAreFreed) {
    static bool added = false;
    if (!added) {
        add_map_loaded_hook([] { ++loaded_calls; });
        add_map_unloading_hook([] {
            ++unloading_calls;
            sectors_seen_unloading = current_map.sector_count;
        });
        added = true;
    }
    int before = loaded_calls;
    ASSERT_EQ(load(small_map()), MAP_OK);
    EXPECT_EQ(loaded_calls, before + 1);
    unload_map(2);
    EXPECT_EQ(unloading_calls, before + 1);
    EXPECT_EQ(sectors_seen_unloading, 5);
}

TEST_F(MapLoader, UnloadingDiscardsPicturesDecodedWithTheFadeColour) {
    std::string saved = path_table[PATH_GRAPHICS];
    path_table[PATH_GRAPHICS] = folder.path().string();
    folder.write_text("FADE.PCX", "not really a picture");
    const handle_id fade = 0x1F0, other = 0x1F1;
    define_handle(fade, "FADE.PCX", decoder_for(decoder_id::pcx_to_fade), PATH_GRAPHICS);
    define_handle(other, "FADE.PCX", nullptr, PATH_GRAPHICS);
    get_handle_data(fade);
    get_handle_data(other);
    ASSERT_EQ(load(small_map()), MAP_OK);
    unload_map(1);
    EXPECT_EQ(handle_info(fade)->state, HANDLE_DEFINED);
    EXPECT_EQ(handle_info(other)->state, HANDLE_LOADED);
    undefine_handle(fade);
    undefine_handle(other);
    path_table[PATH_GRAPHICS] = saved;
}

TEST_F(MapLoader, EntryPositionFallsBackFromRequestToLastPlaceToStart) {
    ASSERT_EQ(load(small_map()), MAP_OK);
    map_store_write("TEST.MAP.lplace", {0, 0, 0, 0});
    // Fresh entry: the header's start, whatever was asked.
    EXPECT_EQ(map_entry_position(true, 3, 2).sector, 1);
    EXPECT_EQ(map_entry_position(true, 3, 2).direction, 1);
    // A map change names its place.
    EXPECT_EQ(map_entry_position(false, 4, 6).sector, 4);
    EXPECT_EQ(map_entry_position(false, 4, 6).direction, 2);
    // Sector 0, or one that is not a place of this map, without a last place: the start.
    EXPECT_EQ(map_entry_position(false, 0, 0).sector, 1);
    EXPECT_EQ(map_entry_position(false, 5, 0).sector, 1);
    EXPECT_EQ(map_entry_position(false, -2, 0).sector, 1);
    // With a last place: there, facing its first side that is not a closed wall.
    map_store_write("TEST.MAP.lplace", {3, 0, 0, 0});
    map_position p = map_entry_position(false, 0, 3);
    EXPECT_EQ(p.sector, 3);
    EXPECT_EQ(p.direction, 0);
    p = map_entry_position(false, 9999, 3);
    EXPECT_EQ(p.sector, 3);
}
