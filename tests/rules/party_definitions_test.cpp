// Reading character definitions: entries, lists, runes, and refusal of
// malformed files with the line that failed.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/paths.h"
#include "core/handle_ids.h"
#include "core/handles.h"
#include "party_test_support.h"
#include "rules/party_definitions.h"

namespace {

struct parsed {
    definitions_result result;
    party_member defs[CHARACTER_DEFINITIONS];
    uint8_t runes[RUNE_GROUPS] = {};
};

parsed parse(const std::string& text) {
    parsed p;
    p.result = parse_character_definitions(text.data(), text.size(), p.defs, p.runes);
    return p;
}

}  // namespace

TEST_F(PartyTest, DefinitionsFillTheRecordsAndStartThemFresh) {
    item_def bag;
    bag.placement = PL_CONTAINER;
    bag.extra_slots = 6;
    add_test_item(bag);  // item 0 in the file
    item_def sword;
    sword.mods[STAT_STRENGTH] = 5;
    add_test_item(sword);  // item 1
    auto p = parse(
        "128\r\n Ardent the "
        "Long-Named\r\n0\r\n30\r\n4\r\n50\r\n5\r\n40\r\n129\r\n1\r\n130\r\n3\r\n131\r\n2\r\n"
        "132\r\n450\r\n134\r\n0\r\n135\r\n7\r\n1\r\n133\r\n1\r\n1\r\n-1\r\n136\r\n120\r\n"
        "64\r\n1\r\n8\r\n9\r\n0\r\n-1\r\n\r\n"
        "128\r\n*Mirel\r\n4\r\n20\r\n");
    ASSERT_EQ(p.result.line, 0) << p.result.error;
    ASSERT_EQ(p.result.count, 2);
    const party_member& a = p.defs[0];
    EXPECT_STREQ(a.name, "Ardent the Lon");  // at most 14 characters
    EXPECT_EQ(a.base_stats[STAT_STRENGTH], 30);
    EXPECT_EQ(a.stats[STAT_STRENGTH], 35);
    EXPECT_EQ(a.female, 1);
    EXPECT_EQ(a.face, 3);
    EXPECT_EQ(a.level, 2);
    EXPECT_EQ(a.experience, 450);
    EXPECT_EQ(a.worn[0], 1);
    EXPECT_EQ(a.inventory_size, 12);
    EXPECT_EQ(a.worn[7], 2);
    EXPECT_EQ(a.inventory[0], 2);
    EXPECT_EQ(a.inventory[1], 2);
    EXPECT_EQ(a.arrows, 99);
    EXPECT_EQ(a.hp, 50);
    EXPECT_EQ(a.vp, 40);
    EXPECT_EQ(a.used, 1);
    EXPECT_EQ(a.group, 1);
    EXPECT_EQ(a.mp_cap, 32767);
    EXPECT_EQ(a.food, (50 / 2 + 48) * 360);
    EXPECT_EQ(a.water, (50 / 3 + 24) * 360);
    EXPECT_EQ(p.runes[0], 0x81);  // runes 1 and 8; 9 and 0 are ignored
    EXPECT_STREQ(p.defs[1].name, "Mirel");
    EXPECT_EQ(p.defs[1].hp, 20);
    EXPECT_EQ(p.defs[1].inventory_size, BACKPACK_MIN);
}

TEST_F(PartyTest, DefinitionsStopAfterTwenty) {
    std::string text;
    for (int i = 0; i < 22; ++i) text += "4\r\n" + std::to_string(10 + i) + "\r\n\r\n";
    auto p = parse(text);
    EXPECT_EQ(p.result.line, 0);
    EXPECT_EQ(p.result.count, CHARACTER_DEFINITIONS);
    EXPECT_EQ(p.defs[19].hp, 29);
}

TEST_F(PartyTest, MalformedDefinitionsAreRefusedNamingTheLine) {
    auto missing = parse("4\r\n20\r\n5\r\n");
    EXPECT_EQ(missing.result.error,
              "Error in file POSTAVY.DAT. May be missing a parameter in some definition.");
    EXPECT_EQ(missing.result.line, 3);
    EXPECT_EQ(missing.result.count, 0);
    EXPECT_EQ(parse("4\r\nmany\r\n").result.line, 2);
    EXPECT_EQ(parse("128\r\nX\r\n").result.line, 2);  // a name line needs more than its separator

    add_test_item(item_def{});
    std::string list = "4\r\n9\r\n\r\n133\r\n";
    for (int i = 0; i < 31; ++i) list += "0\r\n";
    list += "-1\r\n";
    auto overflow = parse(list);
    EXPECT_EQ(overflow.result.line, 35);
    EXPECT_EQ(overflow.result.count, 1);
    EXPECT_NE(overflow.result.error.find("line 35"), std::string::npos) << overflow.result.error;

    auto slot = parse("135\r\n13\r\n0\r\n");
    EXPECT_EQ(slot.result.line, 2);
    EXPECT_NE(slot.result.error.find("slot 13"), std::string::npos);
    EXPECT_EQ(parse("135\r\n-1\r\n0\r\n").result.line, 2);

    auto unknown_item = parse("134\r\n5\r\n");
    EXPECT_EQ(unknown_item.result.line, 2);
    EXPECT_NE(unknown_item.result.error.find("item 5"), std::string::npos);
}

namespace {

// POSTAVY.DAT in a folder of its own, named by the maps' path group.
class DefinitionsFile : public PartyTest {
  protected:
    void SetUp() override {
        PartyTest::SetUp();
        folder_ = std::filesystem::temp_directory_path() / ("vorthan_party_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        saved_path_ = path_table[PATH_MAPS];
        path_table[PATH_MAPS] = folder_.string() + "/";
    }
    void TearDown() override {
        undefine_handle(H_POSTAVY);
        path_table[PATH_MAPS] = saved_path_;
        std::filesystem::remove_all(folder_);
        PartyTest::TearDown();
    }
    void write(const std::string& text) {
        std::ofstream(folder_ / "postavy.dat", std::ios::binary) << text;
        define_handle(H_POSTAVY, "postavy.dat", nullptr, PATH_MAPS);
    }
    std::filesystem::path folder_;
    std::string saved_path_;
};

}  // namespace

TEST_F(DefinitionsFile, StartUpReadsTheDefinitionsAndTheirRunes) {
    write("128\r\n Ardent\r\n4\r\n33\r\n66\r\n2\r\n-1\r\n");
    load_character_definitions();
    EXPECT_STREQ(character_definitions[0].name, "Ardent");
    EXPECT_EQ(character_definitions[0].hp, 33);
    EXPECT_EQ(party_state.runes[2], 0x02);
}

TEST_F(DefinitionsFile, AFaultyFileEndsTheProgramWithItsMessage) {
    write("4\r\n33\r\n135\r\n20\r\n0\r\n");
    EXPECT_EXIT(load_character_definitions(), testing::ExitedWithCode(1),
                "Error in file POSTAVY.DAT on line 4: the definition names equipment slot 20");
    write("4\r\n");
    EXPECT_EXIT(load_character_definitions(), testing::ExitedWithCode(1),
                "Error in file POSTAVY.DAT. May be missing a parameter in some definition.");
}
