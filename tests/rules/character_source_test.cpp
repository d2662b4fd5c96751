// Compiling character sources into POSTAVY.DAT, read back by the game's
// definition reader with the compiled items installed.
#include <gtest/gtest.h>

#include <string>

#include "forge/character_source.h"
#include "rules/party_definitions.h"

namespace {

const char* const ITEMS = R"(item bread
  type food
item sword
  type melee
  placement one_hand
  modifies strength 5
item bag
  placement container
  extra_slots 2
item cap
  placement slot1
item armour
  placement slot5
item staff
  placement two_hands
)";

const forge::compiled_items* installed = nullptr;
const item_def* compiled_item(int number) {
    const auto& defs = installed->file.definitions;
    return number >= 1 && size_t(number) <= defs.size() ? &defs[size_t(number) - 1] : nullptr;
}

class CharacterSource : public ::testing::Test {
  protected:
    void SetUp() override {
        installed = &items;
        set_party_item_lookup(compiled_item);
    }
    void TearDown() override { set_party_item_lookup(nullptr); }

    std::string failure(const std::string& source) {
        try {
            forge::compile_character_source(source, "chars.src", items);
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        ADD_FAILURE() << "compiled without complaint:\n" << source;
        return "";
    }

    forge::compiled_items items = forge::compile_item_source(ITEMS, "items.src");
};

}  // namespace

TEST_F(CharacterSource, DefinitionsReadBackWithTheirItemsByName) {
    std::string text = forge::compile_character_source(R"(character
  name Alvena
  sex female
  face 3
  level 2
  experience 450
  strength 30
  hp_max 50
  resist[2] 10
  runes 0 1 8
  runes 2 4
  bag bag
  wear 7 sword
  backpack bread bread
  backpack sword
  arrows 12
character
  name Bor
  hp_max 20
)",
                                                       "chars.src", items);
    party_member defs[CHARACTER_DEFINITIONS];
    uint8_t runes[RUNE_GROUPS] = {};
    definitions_result result = parse_character_definitions(text.data(), text.size(), defs, runes);
    ASSERT_EQ(result.line, 0) << result.error;
    ASSERT_EQ(result.count, 2);
    const party_member& a = defs[0];
    EXPECT_STREQ(a.name, "Alvena");
    EXPECT_EQ(a.female, 1);
    EXPECT_EQ(a.face, 3);
    EXPECT_EQ(a.level, 2);
    EXPECT_EQ(a.experience, 450);
    EXPECT_EQ(a.base_stats[STAT_STRENGTH], 30);
    EXPECT_EQ(a.stats[STAT_STRENGTH], 35);  // the worn sword adds 5
    EXPECT_EQ(a.base_stats[STAT_RESIST + 2], 10);
    EXPECT_EQ(a.worn[0], 3);
    EXPECT_EQ(a.inventory_size, 8);
    EXPECT_EQ(a.worn[7], 2);
    EXPECT_EQ(a.inventory[0], 1);
    EXPECT_EQ(a.inventory[1], 1);
    EXPECT_EQ(a.inventory[2], 2);
    EXPECT_EQ(a.inventory[3], 0);
    EXPECT_EQ(a.arrows, 12);
    EXPECT_EQ(runes[0], 0x81);
    EXPECT_EQ(runes[2], 0x08);
    EXPECT_STREQ(defs[1].name, "Bor");
    EXPECT_EQ(defs[1].female, 0);
    EXPECT_EQ(defs[1].hp, 20);
}

TEST_F(CharacterSource, FaultsNameTheFileAndLine) {
    EXPECT_EQ(failure("character\n  name A\n  backpack bread loaf\n"), "chars.src:3: unknown item loaf");
    EXPECT_EQ(failure("character\n  name A\n  wear 13 sword\n"), "chars.src:3: 13 lies outside 1..12");
    EXPECT_EQ(failure("character\n  name A\n  arrows 100\n"), "chars.src:3: 100 lies outside 0..99");
    EXPECT_EQ(failure("character\n  name A\n  wear 7 sword\n  wear 7 bread\n"),
              "chars.src:4: slot 7 is worn twice");
    EXPECT_EQ(failure("character\n  name A\n  bag bread\n"), "chars.src:3: bread is not a container");
    EXPECT_EQ(failure("character\n  name A\n  runes 0 9\n"), "chars.src:3: 9 lies outside 1..8");
    EXPECT_EQ(failure("character\n  name A\n  luck 3\n"), "chars.src:3: unknown keyword luck");
    EXPECT_EQ(failure("character\n  name Fifteen letters\n"),
              "chars.src:2: the name is longer than 14 characters");
    EXPECT_EQ(failure("\ncharacter\n  face 1\n"), "chars.src:2: the character has no name");
    EXPECT_EQ(failure("name A\n"), "chars.src:1: 'name' before the first character");
    std::string many;
    for (int i = 0; i < 21; ++i) many += "character\nname A\n";
    EXPECT_EQ(failure(many), "chars.src:41: more than 20 characters");
    EXPECT_EQ(failure("character 3\nname A\ncharacter 3\nname B\n"),
              "chars.src:3: character 3 comes after character 3; numbers rise");
    EXPECT_EQ(failure("character 20\nname A\n"), "chars.src:1: 20 lies outside 0..19");
    EXPECT_EQ(failure("character 19\nname A\ncharacter\nname B\n"), "chars.src:3: more than 20 characters");
}

TEST_F(CharacterSource, NumberedCharacterLeavesTheSkippedDefinitionsEmpty) {
    const std::string text = forge::compile_character_source(
        "character\n name Alvena\ncharacter 3\n name Mirel\ncharacter\n name Oto\n", "chars.src", items);
    party_member defs[CHARACTER_DEFINITIONS];
    uint8_t runes[RUNE_GROUPS] = {};
    definitions_result result = parse_character_definitions(text.data(), text.size(), defs, runes);
    ASSERT_EQ(result.line, 0) << result.error;
    ASSERT_EQ(result.count, 5);
    EXPECT_STREQ(defs[0].name, "Alvena");
    for (int unused : {1, 2}) {
        EXPECT_FALSE(defs[unused].used) << unused;
        EXPECT_STREQ(defs[unused].name, "") << unused;
    }
    EXPECT_STREQ(defs[3].name, "Mirel");
    EXPECT_TRUE(defs[3].used);
    EXPECT_STREQ(defs[4].name, "Oto");
}

TEST_F(CharacterSource, BackpackBeyondItsCellsIsRefused) {
    // Six cells without a bag; the bag adds two.
    EXPECT_EQ(failure("character\n  name A\n  backpack bread bread bread bread bread bread bread\n"),
              "chars.src:1: A's backpack holds 7 items in 6 cells");
    EXPECT_NO_THROW(forge::compile_character_source(
        "character\n  name A\n  bag bag\n  backpack bread bread bread bread bread bread bread bread\n",
        "chars.src", items));
}

TEST_F(CharacterSource, WornItemsFollowTheWearingRules) {
    EXPECT_EQ(failure("character\n  name A\n  wear 2 cap\n"), "chars.src:1: A cannot wear cap in slot 2");
    EXPECT_EQ(failure("character\n  name A\n  wear 1 cap\n  wear 5 armour\n"),
              "chars.src:1: A wears armour in slot 5, which takes off slot 1");
    EXPECT_EQ(failure("character\n  name A\n  wear 7 sword\n  wear 8 staff\n"),
              "chars.src:1: A holds a two-handed item beside slot 7");
    EXPECT_NO_THROW(forge::compile_character_source("character\n  name A\n  wear 1 cap\n  wear 7 sword\n",
                                                    "chars.src", items));
}
