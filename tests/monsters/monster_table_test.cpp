// The monster record and its files, placements and the sector bytes.
#include <gtest/gtest.h>

#include <cstring>

#include "base/fatal.h"
#include "core/handles.h"
#include "monster_test_map.h"
#include "monsters/monster_anim.h"
#include "monsters/monsters.h"

using namespace monster_test;

TEST(MonsterRecord, WideningMovesTheTailAndKeepsTheNameTerminated) {
    std::vector<uint8_t> old(MONSTER_OLD_RECORD_SIZE, 0);
    std::memset(old.data(), 'A', 30);            // a name without a terminator
    std::memcpy(old.data() + 335, "GOBLIN", 6);  // anim_name
    old[342] = 1;                                // the old record has no owned-set flag
    old[341] = 0x44, old[342] = 0x33, old[343] = 0x22, old[344] = 0x11;  // experience in the old place
    old[345] = MST_MOB;                                                  // state
    old[371] = 0x34, old[372] = 0x12;                                    // script

    monster m;
    ASSERT_TRUE(read_monster(widen_old_monster(old), m));
    EXPECT_EQ(std::string(m.name), std::string(29, 'A'));
    EXPECT_STREQ(m.anim_name, "GOBLIN");
    EXPECT_EQ(m.anim_owned, 0);
    EXPECT_EQ(m.experience, 0x11223344);
    EXPECT_EQ(m.state, MST_MOB);
    EXPECT_EQ(m.script, 0x1234);

    // What is read comes out as it went in.
    std::vector<uint8_t> written;
    write_monster(m, written);
    monster again;
    ASSERT_TRUE(read_monster(written, again));
    std::vector<uint8_t> rewritten;
    write_monster(again, rewritten);
    EXPECT_EQ(written, rewritten);
}

TEST(MonsterRecord, DefinitionFileIgnoresATrailingPartialRecord) {
    const monster defs[] = {definition(1, "GOBLIN"), definition(7, "ARCHER")};
    std::vector<uint8_t> file = write_monster_definitions(defs);
    file.resize(file.size() + 100, 0xEE);
    const std::vector<monster> read = read_monster_definitions(file);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[1].anim_set, 7);
    EXPECT_TRUE(read_monster_definitions(std::vector<uint8_t>(379)).empty());
}

TEST(MonsterPlacement, OneDefinitionSharesASetAndAnotherRegistersTheNextOne) {
    monster_map map;
    map.write_seq("GOBLIN");
    map.write_seq("ARCHER");
    const monster defs[] = {definition(1, "GOBLIN"), definition(2, "ARCHER")};
    std::vector<uint8_t> block;
    add_placement(block, 1, 1, 2);
    add_placement(block, 2, 1);
    add_placement(block, 3, 2, 3);
    add_placement(block, 4, 9);   // no such definition
    add_placement(block, 0, 1);   // sector 0 is no place
    add_placement(block, 10, 1);  // beyond the map
    handle_id next = FIRST;
    EXPECT_EQ(place_monsters(block, defs, next), 3);

    EXPECT_EQ(next, FIRST + 2 * MONSTER_SET_HANDLES);
    EXPECT_EQ(monster_table[0].anim_set, 1);
    EXPECT_EQ(monster_table[1].anim_set, 1);
    EXPECT_EQ(monster_table[2].anim_set, 1 + MONSTER_SET_HANDLES);
    EXPECT_EQ(monster_set_handle(monster_table[2]), FIRST + MONSTER_SET_HANDLES);
    EXPECT_STREQ(handle_info(FIRST)->name, "GOBLIN.SEQ");
    EXPECT_STREQ(handle_info(FIRST + MONSTER_SET_HANDLES)->name, "ARCHER.SEQ");
    EXPECT_STREQ(handle_info(FIRST + MONSTER_SET_HANDLES + MONSTER_SET_COLOURS)->name, "ARCHER.COL");
    EXPECT_EQ(monster_table[0].direction, 2);
    EXPECT_EQ(monster_table[2].direction, 3);
    EXPECT_EQ(monster_table[2].home_sector, 3);
    for (int slot = 3; slot < MONSTER_SLOTS; ++slot) {
        EXPECT_FALSE(monster_table[static_cast<size_t>(slot)].alive());
        EXPECT_EQ(monster_table[static_cast<size_t>(slot)].anim_set, -1);
    }
    EXPECT_EQ(first_monster_in(4), 0);
}

TEST(MonsterPlacement, FrameCountsOfZeroTakeKindZerosLetterAndCount) {
    monster_map map;
    map.write("GOBLIN.SEQ", {'0', '1', '2', '3', '\r', '\n',  // kind 0
                             '4', '5', '6', '7', '\r',        // kind 1, ended by CR alone
                             'a', 'b', 'c', 'd', '\n',        // kind 2, LF alone
                             'e', 'f', 'g', 'h', 'i',  '\r', '\n', 'x', 'y', 'z', '\r', '\n', 'q', 'r'});
    monster def = definition(1, "GOBLIN");
    const uint8_t counts[6] = {3, 0, 0, 0, 2, 1};
    std::memcpy(def.frame_count, counts, 6);
    std::vector<uint8_t> block;
    add_placement(block, 1, 1);
    handle_id next = FIRST;
    place_monsters(block, std::span(&def, 1), next);

    auto frame = [](int kind, int f) {
        return handle_info(static_cast<handle_id>(FIRST + 1 + 16 * kind + f));
    };
    EXPECT_STREQ(frame(0, 3)->name, "GOBLINF3.PCX");
    EXPECT_STREQ(frame(1, 0)->name, "GOBLINF4.PCX");
    EXPECT_STREQ(frame(1, 3)->name, "GOBLINF7.PCX");
    EXPECT_STREQ(frame(2, 3)->name, "GOBLINFD.PCX");
    EXPECT_STREQ(frame(3, 3)->name, "GOBLINFH.PCX");
    EXPECT_EQ(frame(3, 4)->state, HANDLE_UNDEFINED);  // the line's fifth character is skipped
    EXPECT_STREQ(frame(4, 2)->name, "GOBLINCZ.PCX");
    EXPECT_EQ(frame(4, 3)->state, HANDLE_UNDEFINED);
    EXPECT_STREQ(frame(5, 1)->name, "GOBLINHR.PCX");
    const uint8_t filled[6] = {3, 3, 3, 3, 2, 1};
    EXPECT_EQ(std::memcmp(monster_table[0].frame_count, filled, 6), 0);
}

TEST(MonsterPlacement, FrameCountAboveFifteenStaysInItsKindsHandles) {
    monster def = definition(1, "GOBLIN");
    def.frame_count[0] = 200;
    monster_frame_names names;
    std::string bad;
    const std::string line = "0123456789ABCDEFGHIJ\r\n";
    std::string seq;
    for (int k = 0; k < 6; ++k) seq += line;
    ASSERT_TRUE(read_monster_frame_names(std::span(reinterpret_cast<const uint8_t*>(seq.data()), seq.size()),
                                         def, names, bad));
    EXPECT_EQ(names.last_frame[0], 15);
    EXPECT_EQ(names.names[0][15], "GOBLINFF.PCX");
}

TEST(MonsterPlacementDeathTest, ShortSequenceLineStopsWithTheMessage) {
    monster_map map;
    map.write_seq("GOBLIN", "0123");
    monster def = definition(1, "GOBLIN");
    def.frame_count[0] = 4;
    std::vector<uint8_t> block;
    add_placement(block, 1, 1);
    handle_id next = FIRST;
    EXPECT_EXIT(place_monsters(block, std::span(&def, 1), next), testing::ExitedWithCode(1),
                "Soubor sekvence GOBLINF\\?\\.PCX obsahuje chybne udaje nebo je sekvence je moc kratka");
}

TEST(MonsterPlacementDeathTest, SpeedBelowOneStopsWithTheMessage) {
    monster_map map;
    map.write_seq("GOBLIN");
    monster defs[] = {definition(1, "GOBLIN"), definition(2, "GOBLIN")};
    defs[1].speed = 0;
    std::snprintf(defs[1].name, sizeof defs[1].name, "Slimak");
    std::vector<uint8_t> block;
    add_placement(block, 1, 1);
    add_placement(block, 2, 2);
    handle_id next = FIRST;
    // The first set is loaded by then; the program frees what it holds before
    // it ends, as the start sequence's closing step does.
    EXPECT_EXIT(
        {
            set_before_fatal([] { free_all_handles(); });
            place_monsters(block, defs, next);
        },
        testing::ExitedWithCode(1), "Nestvura cislo #1 \\(Slimak\\) je spatne definovana \\(rychlost\\)");
}

TEST(MonsterOccupancy, SecondMonsterHangsOnTheFirstAndMobStandsNowhere) {
    monster_map map;
    map.write_seq("GOBLIN");
    monster defs[] = {definition(1, "GOBLIN"), definition(2, "GOBLIN")};
    defs[1].state = MST_MOB;
    std::vector<uint8_t> block;
    add_placement(block, 5, 1);
    add_placement(block, 5, 1);
    add_placement(block, 6, 2);
    add_placement(block, 5, 2);
    handle_id next = FIRST;
    place_monsters(block, defs, next);

    const auto check = [] {
        EXPECT_EQ(first_monster_in(5), 1);
        EXPECT_EQ(second_monster_in(5), 2);
        EXPECT_EQ(monster_table[1].next_in_sector, 0);
        EXPECT_FALSE(sector_has_monster(6));  // MOB monsters block nothing
        EXPECT_EQ(monster_table[3].next_in_sector, 0);
    };
    check();
    rebuild_occupancy();
    check();

    leave_occupancy(0);  // the second moves up
    EXPECT_EQ(first_monster_in(5), 2);
    EXPECT_EQ(second_monster_in(5), 0);
    monster_table[1].sector = 7;
    leave_occupancy(1);  // already counted elsewhere: nothing in 5 is lost
    EXPECT_EQ(first_monster_in(-1), 0);
    EXPECT_EQ(first_monster_in(1000), 0);
}

TEST(MonsterSummon, SharesALivingSetUnlessItIsAnotherSummonsOwn) {
    monster_map map;
    map.write_seq("GOBLIN");
    map.write_seq("WRAITH");
    const monster goblin = definition(1, "GOBLIN");
    std::vector<uint8_t> block;
    add_placement(block, 1, 1);
    handle_id next = FIRST;
    place_monsters(block, std::span(&goblin, 1), next);

    EXPECT_EQ(summon_monster(10, goblin, 2, 1, next), 0);
    EXPECT_EQ(monster_table[10].anim_set, 1);
    EXPECT_EQ(monster_table[10].anim_owned & 1, 0);

    const monster wraith = definition(3, "WRAITH");
    EXPECT_EQ(summon_monster(11, wraith, 3, 0, next), MONSTER_SET_HANDLES);
    EXPECT_EQ(monster_table[11].anim_set, 1 + MONSTER_SET_HANDLES);
    EXPECT_EQ(monster_table[11].anim_owned & 1, 1);
    EXPECT_EQ(monster_table[11].home_sector, 3);
    // A second wraith does not lean on the first one's own set.
    EXPECT_EQ(summon_monster(12, wraith, 3, 0, next), MONSTER_SET_HANDLES);
    EXPECT_EQ(summon_monster(13, wraith, 0, 0, next), -1);
    EXPECT_EQ(summon_monster(255, wraith, 3, 0, next), -1);
}
