// Compiling item sources: the records, lists, translations and combinations
// the forge writes, read back through the game's own readers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/strings.h"
#include "forge/item_source.h"
#include "rules/combine.h"
#include "rules/items_file.h"

namespace {

const char* const SOURCE = R"(# a few items
item bread
  name Chléb
  description Čerstvě upečený
  type food
  value 12
  weight 3
item sword
  name Meč
  type melee
  placement one_hand
  weapon_class 2
  requires strength 30
  modifies strength -5
  modifies resist[1] 20
  pictures mec.pcx mecm.pcx mecf.pcx
  sound clang.wav
item axe
  type melee
  pictures sekera.pcx sekeram.pcx sekeraf.pcx
  sound clang.wav
item old_sword   # the same pictures as the sword
  pictures mec.pcx mecm.pcx mecf.pcx
item bag
  placement container
  extra_slots 6
  floor_inset 0
item arrow
  type thrown
  flight a0.pcx a1.pcx a2.pcx a3.pcx a0.pcx a1.pcx a2.pcx a3.pcx b0.pcx b0.pcx b0.pcx b0.pcx b0.pcx b0.pcx b0.pcx a0.pcx
combine bread axe -> sword
combine sword bag -> axe bread
)";

std::string expect_failure(const std::string& source) {
    try {
        forge::compile_item_source(source, "items.src");
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    ADD_FAILURE() << "compiled without complaint:\n" << source;
    return "";
}

}  // namespace

TEST(ItemSource, RecordsAndListsSurviveTheItemsFileReader) {
    forge::compiled_items items = forge::compile_item_source(SOURCE, "items.src");
    std::vector<uint8_t> bytes = write_items_file(items.file);
    items_file back = parse_items_file(bytes);
    ASSERT_EQ(back.definitions.size(), 6u);
    EXPECT_EQ(items.numbers.at("bread"), 1);
    EXPECT_EQ(items.numbers.at("bag"), 5);

    const item_def& bread = back.definitions[0];
    EXPECT_EQ(std::string(bread.name), *utf8_to_game_codepage("Chléb"));
    EXPECT_EQ(std::string(bread.description), *utf8_to_game_codepage("Čerstvě upečený"));
    EXPECT_EQ(bread.type, IT_FOOD);
    EXPECT_EQ(bread.value, 12);
    EXPECT_EQ(bread.weight, 3);
    EXPECT_EQ(bread.sound, 0);

    const item_def& sword = back.definitions[1];
    EXPECT_EQ(sword.type, IT_MELEE);
    EXPECT_EQ(sword.placement, PL_ONE_HAND);
    EXPECT_EQ(sword.weapon_class, 2);
    EXPECT_EQ(sword.requirements[0], 30);
    EXPECT_EQ(sword.mods[0], -5);
    EXPECT_EQ(sword.mods[12], 20);
    EXPECT_EQ(back.definitions[4].extra_slots, 6);
    // The floor picture's empty rows are left for the game to count, unless a source gives them.
    EXPECT_EQ(bread.floor_inset, 255);
    EXPECT_EQ(sword.floor_inset, 255);
    EXPECT_EQ(back.definitions[4].floor_inset, 0);
    EXPECT_STREQ(back.definitions[2].name, "axe");  // no name: the source's

    // One picture number names the same entry of the floor and both body sets.
    const item_def& axe = back.definitions[2];
    EXPECT_EQ(back.picture_sets[0][sword.picture], "mec.pcx");
    EXPECT_EQ(back.picture_sets[1][sword.picture], "mecm.pcx");
    EXPECT_EQ(back.picture_sets[2][sword.picture], "mecf.pcx");
    EXPECT_EQ(back.picture_sets[0][axe.picture], "sekera.pcx");
    EXPECT_EQ(back.definitions[3].picture, sword.picture);
    EXPECT_EQ(back.picture_sets[0].size(), 2u);
    // Sound 0 is none: the first named sound is 1, and a repeated file shares it.
    EXPECT_EQ(sword.sound, 1);
    EXPECT_EQ(axe.sound, 1);
    EXPECT_EQ(back.sounds[1], "clang.wav");
    // Flight picture 0 falls back to the item's own: the first file is 1.
    const item_def& arrow = back.definitions[5];
    EXPECT_EQ(arrow.flight_pictures[0], 1);
    EXPECT_EQ(arrow.flight_pictures[4], 1);
    EXPECT_EQ(arrow.flight_pictures[8], 5);
    EXPECT_EQ(arrow.flight_pictures[15], 1);
    EXPECT_EQ(back.picture_sets[3][5], "b0.pcx");
    EXPECT_EQ(back.picture_sets[3].size(), 6u);
}

TEST(ItemSource, AttackAnimationsLandInTheAnimationsListAndRecordBytesTwoAndThree) {
    forge::compiled_items items = forge::compile_item_source(R"(item fist
  type melee
item sword
  type melee
  attack_animation SEK.MGF 2
item axe
  attack_animation ZAR.MGF
item mace   # the sword's slash, once
  attack_animation SEK.MGF 1
)",
                                                             "items.src");
    items_file back = parse_items_file(write_items_file(items.file));
    ASSERT_EQ(back.definitions.size(), 4u);
    // Animation 0 stays empty, so the weapon without one names no file.
    ASSERT_EQ(back.animations, (std::vector<std::string>{"", "SEK.MGF", "ZAR.MGF"}));
    auto anim = [&](size_t i) {
        const uint8_t* a = back.definitions[i].attack_anim;
        return std::vector<int>{a[0], a[1], a[2], a[3]};
    };
    EXPECT_EQ(anim(0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(anim(1), (std::vector<int>{0, 0, 1, 2}));
    EXPECT_EQ(anim(2), (std::vector<int>{0, 0, 2, 1}));  // played once unless told otherwise
    EXPECT_EQ(anim(3), (std::vector<int>{0, 0, 1, 1}));
}

TEST(ItemSource, TranslationTableNamesEachItemWithItsDescription) {
    forge::compiled_items items = forge::compile_item_source(SOURCE, "items.src");
    language_table table = parse_csv_table(forge::items_csv_text(items));
    ASSERT_EQ(table.size(), 6u);
    EXPECT_EQ(table[0], *utf8_to_game_codepage("Chléb\nČerstvě upečený"));
    EXPECT_EQ(table[1], *utf8_to_game_codepage("Meč"));
    EXPECT_EQ(table[4], "bag");
}

TEST(ItemSource, CombinationsByNameMatchInTheGame) {
    forge::compiled_items items = forge::compile_item_source(SOURCE, "items.src");
    std::vector<combine_rule> rules = parse_combine_rules(forge::combitem_text(items));
    ASSERT_EQ(rules.size(), 2u);
    const int count = int(items.file.definitions.size());
    // bread (1) held on the axe (3): the slot receives the sword (2).
    auto three = find_combination(rules, 1, 3, count);
    ASSERT_TRUE(three);
    EXPECT_EQ(three->held, 0);
    EXPECT_EQ(three->slot, 2);
    // sword (2) held on the bag (5): the sword becomes the axe, the bag bread.
    auto four = find_combination(rules, 2, 5, count);
    ASSERT_TRUE(four);
    EXPECT_EQ(four->held, 3);
    EXPECT_EQ(four->slot, 1);
}

TEST(ItemSource, FaultsNameTheFileAndLine) {
    EXPECT_EQ(expect_failure("item a\ncombine a ghost -> a\n"), "items.src:2: unknown item ghost");
    // A combination written before its items is fine; a missing one is not.
    EXPECT_NO_THROW(forge::compile_item_source("combine a b -> a\nitem a\nitem b\n", "items.src"));
    EXPECT_EQ(expect_failure("item a\n\nitem a\n"), "items.src:3: item a is named twice");
    EXPECT_EQ(expect_failure("item ->\n"), "items.src:1: item name -> may hold only letters, digits and _");
    EXPECT_EQ(expect_failure("item a\n  flight a.pcx\n"),
              "items.src:2: flight takes 16 files: 4 views of 4 phases");
    EXPECT_EQ(expect_failure("item a\n  colour red\n"), "items.src:2: unknown keyword colour");
    EXPECT_EQ(expect_failure("item a\n  attack_animation SEK.MGF 0\n"), "items.src:2: 0 lies outside 1..255");
    EXPECT_EQ(expect_failure("item a\n  attack_animation\n"),
              "items.src:2: attack_animation takes a file and a repeat count");
    EXPECT_EQ(expect_failure("item a\n  weight 12kg\n"), "items.src:2: '12kg' is not a number");
    EXPECT_EQ(expect_failure("item a\n  weight 40000\n"), "items.src:2: 40000 lies outside -32768..32767");
    EXPECT_EQ(expect_failure("item a\n  type sandwich\n"), "items.src:2: unknown type sandwich");
    EXPECT_EQ(expect_failure("item a\n  modifies luck 3\n"), "items.src:2: unknown statistic luck");
    EXPECT_EQ(expect_failure("weight 3\n"), "items.src:1: 'weight' before the first item");
    EXPECT_EQ(expect_failure("item a\n  name ☺\n"),
              "items.src:2: a character of '☺' has no place in the game's code page");
    // 32 characters would leave the record's name without its end.
    EXPECT_EQ(expect_failure("item a\n  name " + std::string(32, 'x') + "\n"),
              "items.src:2: '" + std::string(32, 'x') + "' is longer than 31 characters");
    EXPECT_NO_THROW(forge::compile_item_source("item a\n  name " + std::string(31, 'x') + "\n", "items.src"));
}
