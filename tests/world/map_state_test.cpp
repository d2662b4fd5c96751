// The map state record: what survives leaving a map and coming back, records
// that do not fit the map, and parking the loaded map.
#include <gtest/gtest.h>

#include <memory>

#include "core/handles.h"
#include "map_rules_fixture.h"
#include "world/map_state.h"
#include "world/party_standin.h"

using map_rules_test::MapRules;
using map_rules_test::rules_map;
using map_rules_test::store;

namespace {

// The rules map with a multiaction list of three records on sector 1's north
// side, a floor list and one alcove.
forge::map_model state_map() {
    forge::map_model m = rules_map();
    std::vector<uint8_t> record(8, 0);
    record[0] = MA_GLOBAL_TEXT;
    m.multiactions.push_back({4, {record, record, record}});
    m.items.push_back({4 * 3 + 1, {5, -1, 0}});
    m.recesses.push_back({});
    m.recesses[0][0] = 3;
    return m;
}

// A copy of exactly the bytes given, so that reading past them is caught.
int apply_exact(const std::vector<uint8_t>& bytes, size_t size, bool automap_only = false) {
    auto copy = std::make_unique<uint8_t[]>(size + 1);
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size), copy.get());
    return map_state_apply_bytes(copy.get(), size, automap_only);
}

// The loaded map's record, as leaving the map stores it.
std::vector<uint8_t> stored_record() {
    map_state_store();
    return store.at(current_map.name);
}

void put_u32_at(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

TEST_F(MapRules, ChangesSurviveLeavingTheMapAndComingBack) {
    load(state_map());
    side(2, 0).flags ^= SIDE_P_VIS;
    current_map.sectors[3].sector_type = 13;
    current_map.coords[4].coord_flags |= MC_MAPPED;
    current_map.coords[2].coord_flags |= MC_UNUSED;
    current_map.side_resting[9] = 0x5A;
    queue_action(ACT_SHOW_HIDE, 1, 0, 0x1F000000, false, 5);
    queue_action(ACT_OPEN, 2, 1, 0, true, 9);
    ASSERT_EQ(map_actions.ran_once.size(), 3u);
    map_actions.ran_once[2] = 1;
    map_actions.code_locks[17] = 'X';
    current_map.items = {{4 * 2, {9, 0}}};
    current_map.recesses[0][5] = 77;
    const uint32_t flags = side(2, 0).flags;
    // Never left before: nothing to apply.
    EXPECT_EQ(map_state_apply("RULES.MAP", current_map.sector_count, false), MAP_STATE_MISSING);
    unload_map(1);
    ASSERT_EQ(store.count("RULES.MAP"), 1u);

    ASSERT_EQ(load_map("RULES.MAP"), MAP_OK);
    EXPECT_EQ(side(2, 0).flags, flags);
    EXPECT_EQ(current_map.sectors[3].sector_type, 13);
    EXPECT_TRUE(current_map.coords[4].coord_flags & MC_MAPPED);
    EXPECT_TRUE(current_map.coords[2].coord_flags & MC_UNUSED);
    EXPECT_FALSE(current_map.coords[3].coord_flags & MC_MAPPED);
    EXPECT_EQ(current_map.side_resting[9], 0x5A);
    ASSERT_EQ(map_actions.delayed.size(), 2u);
    EXPECT_EQ(map_actions.delayed[0].code, ACT_OPEN);  // newest first, as before
    EXPECT_EQ(map_actions.delayed[0].propagate, 1);
    EXPECT_EQ(map_actions.delayed[1].flags_high, 0x1F00);
    EXPECT_EQ(map_actions.delayed[1].delay, 5);
    EXPECT_EQ(map_actions.ran_once, (std::vector<uint8_t>{0, 0, 1}));
    EXPECT_EQ(map_actions.code_locks[17], 'X');
    ASSERT_EQ(current_map.items.size(), 1u);  // the file's list at place 13 was picked up
    EXPECT_EQ(current_map.items[0].place, 8u);
    EXPECT_EQ(current_map.items[0].items, (std::vector<int16_t>{9, 0}));
    EXPECT_EQ(current_map.recesses[0][5], 77);
}

TEST_F(MapRules, OnlySidesAndSectorsThatDifferFromTheFileAreWritten) {
    load(state_map());
    const std::vector<uint8_t> untouched = stored_record();
    side(1, 3).flags ^= SIDE_SECRET;
    current_map.sectors[2].floor = 2;
    const std::vector<uint8_t> changed = stored_record();
    EXPECT_EQ(changed.size(), untouched.size() + 2 * (4 + 16));
    side(1, 3).flags ^= SIDE_SECRET;
    current_map.sectors[2].floor = 1;
    EXPECT_EQ(stored_record(), untouched);
}

TEST_F(MapRules, FiredMarksAreKeptOnlyWhenTheirCountMatches) {
    load(state_map());
    map_actions.ran_once = {1, 1, 1};
    const std::vector<uint8_t> record = stored_record();
    map_actions.ran_once = {0, 0, 0, 0};
    EXPECT_EQ(map_state_apply_bytes(record.data(), record.size()), MAP_STATE_OK);
    EXPECT_EQ(map_actions.ran_once, (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST_F(MapRules, CutOrLyingRecordsAreRefusedAndChangeNothing) {
    load(state_map());
    side(2, 0).flags ^= SIDE_P_VIS;
    current_map.coords[4].coord_flags |= MC_MAPPED;
    queue_action(ACT_SHOW_HIDE, 1, 0, 0, false, 5);
    const std::vector<uint8_t> good = stored_record();
    side(2, 0).flags ^= SIDE_P_VIS;
    current_map.coords[4].coord_flags = 0;
    map_actions.delayed.clear();
    const std::vector<map_side> sides = current_map.sides;

    for (size_t size = 0; size < good.size(); ++size)
        ASSERT_EQ(apply_exact(good, size), MAP_STATE_UNFIT) << "cut at " << size;

    // Offsets of the record of a 5-sector map: version, count, bit bytes,
    // two bit arrays of 1 byte, the note count, then the changed sides.
    const size_t sides_at = 1 + 4 + 4 + 1 + 1 + 4;
    struct lie {
        const char* what;
        size_t at;
        uint32_t value;
    };
    const size_t after_sides = sides_at + 20 + 4;
    const lie lies[] = {
        {"version 3", 0, 3},
        {"another sector count", 1, 6},
        {"another bit-byte count", 5, 2},
        {"a million notes", 11, 1000000},
        {"a side beyond the map", sides_at, 20},
        {"a sector beyond the map", after_sides, 5},
        {"a monster place beyond the table", after_sides + 4, 255},
        {"a resting count for another map", after_sides + 8, 24},
    };
    for (const lie& l : lies) {
        std::vector<uint8_t> bad = good;
        if (l.at == 0)
            bad[0] = static_cast<uint8_t>(l.value);
        else
            put_u32_at(bad, l.at, l.value);
        EXPECT_EQ(apply_exact(bad, bad.size()), MAP_STATE_UNFIT) << l.what;
    }
    // The fired marks' 64-bit size, far beyond the record.
    const size_t fired_at = after_sides + 8 + 4 + 20 + 2 + 24;
    {
        std::vector<uint8_t> bad = good;
        put_u32_at(bad, fired_at + 4, 0x80000000u);
        EXPECT_EQ(apply_exact(bad, bad.size()), MAP_STATE_UNFIT);
    }
    // A floor list longer than the record, and more alcoves than the map has.
    const size_t floors_at = fired_at + 8 + 3 + 128;
    {
        std::vector<uint8_t> bad = good;
        put_u32_at(bad, floors_at + 4, 0x7FFFFFFFu);
        EXPECT_EQ(apply_exact(bad, bad.size()), MAP_STATE_UNFIT);
    }
    {
        std::vector<uint8_t> bad = good;
        const size_t alcoves_at = floors_at + 4 + 4 + 3 * 2 + 4;
        bad[alcoves_at] = 2;
        EXPECT_EQ(apply_exact(bad, bad.size()), MAP_STATE_UNFIT);
    }
    EXPECT_EQ(current_map.coords[4].coord_flags, 0);
    EXPECT_TRUE(map_actions.delayed.empty());
    for (size_t k = 0; k < sides.size(); ++k) ASSERT_EQ(current_map.sides[k].flags, sides[k].flags);

    // The good record still fits.
    EXPECT_EQ(apply_exact(good, good.size()), MAP_STATE_OK);
    EXPECT_EQ(map_actions.delayed.size(), 1u);
}

TEST_F(MapRules, AutomapOnlyApplicationTakesTheBitsAndRecordsAlone) {
    load(state_map());
    side(2, 0).flags ^= SIDE_P_VIS;
    current_map.coords[4].coord_flags |= MC_MAPPED;
    queue_action(ACT_SHOW_HIDE, 1, 0, 0, false, 5);
    const std::vector<uint8_t> record = stored_record();
    const uint32_t changed = side(2, 0).flags;
    side(2, 0).flags ^= SIDE_P_VIS;
    current_map.coords[4].coord_flags = 0;
    map_actions.delayed.clear();
    EXPECT_EQ(map_state_apply_bytes(record.data(), record.size(), true), MAP_STATE_OK);
    EXPECT_EQ(side(2, 0).flags, changed);
    EXPECT_TRUE(current_map.coords[4].coord_flags & MC_MAPPED);
    EXPECT_TRUE(map_actions.delayed.empty());
}

using MapRulesDeathTest = MapRules;

TEST_F(MapRulesDeathTest, RecordThatDoesNotFitEndsTheLoad) {
    load(state_map());
    unload_map(1);
    store["RULES.MAP"] = {2, 9, 0, 0, 0};
    EXPECT_EXIT(load_map("RULES.MAP"), testing::ExitedWithCode(1),
                "Bug in temp file. Please purge some status blocks in last load savegame file.");
}

TEST_F(MapRulesDeathTest, MapFileGoneWhenTheStateIsStoredEndsTheProgram) {
    load(state_map());
    std::filesystem::remove(folder.path() / "RULES.MAP");
    EXPECT_EXIT(map_state_store(), testing::ExitedWithCode(1), "Unable to open the file : RULES.MAP");
    folder.write("RULES.MAP", map_test::file_of(state_map()));
}

TEST_F(MapRulesDeathTest, ParkingTwiceEndsTheProgram) {
    load(state_map());
    park_map();
    EXPECT_TRUE(map_parked());
    EXPECT_TRUE(current_map.name.empty());
    EXPECT_EXIT(park_map(), testing::ExitedWithCode(1), "Already saved map state");
    unpark_map();
}

TEST_F(MapRules, UnparkingBringsTheParkedMapBackAndFreesTheOther) {
    load(state_map());
    side(1, 0).flags ^= SIDE_SECRET;
    queue_action(ACT_SHOW_HIDE, 1, 0, 0, false, 5);
    party.sector = 3;
    party.direction = 2;
    const handle_id rules_end = current_map.handle_end;
    park_map();
    load(rules_map(), "OTHER.MAP");
    // The map looked at takes its handles above the parked one's.
    EXPECT_EQ(current_map.handle_start, rules_end);
    const handle_id other_first = current_map.handle_start;
    party.sector = 1;
    unpark_map();
    EXPECT_FALSE(map_parked());
    EXPECT_EQ(current_map.name, "RULES.MAP");
    EXPECT_TRUE(side(1, 0).flags & SIDE_SECRET);
    EXPECT_EQ(map_actions.delayed.size(), 1u);
    EXPECT_EQ(party.sector, 3);
    EXPECT_EQ(party.direction, 2);
    EXPECT_EQ(handle_length(other_first), -1);
    EXPECT_EQ(map_handle_start, MAP_FIRST_HANDLE);
}
