// The item table with its clones, ITEMS.DAT, COMBITEM.DAT and the icon libraries.
#include <gtest/gtest.h>

#include <cstring>

#include "rules/combine.h"
#include "rules/icons.h"
#include "rules/items.h"
#include "rules/items_file.h"

namespace {

item_def named(const char* name, int type = IT_ORDINARY) {
    item_def item;
    std::strncpy(item.name, name, sizeof item.name - 1);
    item.type = static_cast<int16_t>(type);
    return item;
}

item_def money(uint16_t amount) {
    item_def item = named("coins", IT_MONEY);
    item.money = amount;
    return item;
}

bool nothing_referenced(int16_t) {
    return false;
}
bool only_first_clone_free(int16_t number) {
    return number != 3;
}

}  // namespace

TEST(ItemTable, ClonesReuseFreedSlotsAndNeverDefinitions) {
    item_table items;
    items.set_definitions({named("wand", IT_WAND), named("arrow")});
    const int16_t first = items.clone_item(1);
    const int16_t second = items.clone_item(2);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 4);
    EXPECT_TRUE(items.find(first)->item_flags & IF_CLONE);
    EXPECT_STREQ(items.find(first)->name, "wand");

    const int16_t gone[] = {1, static_cast<int16_t>(-first)};  // a definition and a stacked clone
    items.destroy_items(gone);
    EXPECT_FALSE(items.find(1)->item_flags & IF_CLONE_FREE);
    EXPECT_TRUE(items.find(first)->item_flags & IF_CLONE_FREE);

    const int16_t again = items.clone_item(2);
    EXPECT_EQ(again, first);
    EXPECT_STREQ(items.find(again)->name, "arrow");
    EXPECT_FALSE(items.find(again)->item_flags & IF_CLONE_FREE);
    EXPECT_EQ(items.size(), 4);

    EXPECT_EQ(items.clone_item(0), 0);
    EXPECT_EQ(items.clone_item(99), 0);
    EXPECT_EQ(items.find(-1), nullptr);
}

TEST(ItemTable, FullTableReusesOnlyAnUnreferencedClone) {
    item_table items;
    items.set_definitions({named("stone"), named("gem")});
    while (items.size() < MAX_ITEMS) ASSERT_NE(items.clone_item(1), 0);

    // Until the holders of items can be asked, no clone is taken back.
    EXPECT_EQ(items.clone_item(2), 0);

    items.set_reference_check(only_first_clone_free);
    EXPECT_EQ(items.clone_item(2), 3);
    EXPECT_STREQ(items.find(3)->name, "gem");
    items.set_reference_check([](int16_t) { return true; });
    EXPECT_EQ(items.clone_item(2), 0);
    EXPECT_EQ(items.size(), MAX_ITEMS);

    // A clone of a clone that is itself the one reused keeps its content.
    items.set_reference_check(nothing_referenced);
    const int16_t copy = items.clone_item(3);
    EXPECT_EQ(copy, 3);
    EXPECT_STREQ(items.find(copy)->name, "gem");
}

TEST(ItemTable, MakeMoneyClonesTheNearestMoneyItemAndNeedsOne) {
    item_table items;
    items.set_definitions({named("sword", IT_MELEE)});
    EXPECT_EQ(items.make_money(50), 0);
    EXPECT_EQ(items.size(), 1);

    items.set_definitions({money(1), named("sword", IT_MELEE), money(100), money(10)});
    const int16_t purse = items.make_money(70);
    ASSERT_NE(purse, 0);
    EXPECT_EQ(items.find(purse)->money, 70);
    EXPECT_EQ(items.find(3)->money, 100);  // the definition is untouched
    EXPECT_EQ(items.find(items.make_money(100000))->money, 65535);
}

TEST(ItemTable, LastSpecialItemsOfEachKindAreTheLightAndTheMap) {
    item_def torch = named("torch", IT_SPECIAL);
    torch.value = SPECIAL_LIGHT;
    item_def lamp = named("lamp", IT_SPECIAL);
    lamp.value = SPECIAL_LIGHT;
    item_def chart = named("chart", IT_SPECIAL);
    chart.value = SPECIAL_MAP;
    item_table items;
    items.set_definitions({torch, chart, lamp, named("rock")});
    EXPECT_EQ(items.light_source(), 3);
    EXPECT_EQ(items.map_item(), 2);
}

TEST(ItemsFile, ReadsWhatItWritesAndStopsAtABadBlock) {
    items_file file;
    file.picture_sets[0] = {"floor1.pcx", "", "floor3.pcx"};
    file.picture_sets[3] = {"fly.pcx"};
    file.animations = {"swing.mgf"};
    file.sounds = {"clang.wav"};
    item_def sword = named("sword", IT_MELEE);
    sword.requirements[0] = 30;
    sword.mods[0] = -5;
    file.definitions = {sword, money(7)};
    std::vector<uint8_t> bytes = write_items_file(file);

    items_file back = parse_items_file(bytes);
    EXPECT_EQ(back.picture_sets[0], file.picture_sets[0]);
    EXPECT_TRUE(back.picture_sets[1].empty());
    EXPECT_EQ(back.picture_sets[3], file.picture_sets[3]);
    EXPECT_EQ(back.animations, file.animations);
    EXPECT_EQ(back.sounds, file.sounds);
    ASSERT_EQ(back.definitions.size(), 2u);
    EXPECT_STREQ(back.definitions[0].name, "sword");
    EXPECT_EQ(back.definitions[0].mods[0], -5);
    EXPECT_EQ(back.definitions[1].money, 7);

    // Every cut of the file reads without fault and never more than it holds.
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        items_file part = parse_items_file(std::span<const uint8_t>(bytes.data(), cut));
        EXPECT_LE(part.definitions.size(), 2u);
    }
    // A damaged tag ends the reading: what follows it is not read.
    std::vector<uint8_t> damaged = bytes;
    size_t defs_at = 0;
    while (defs_at + 12 <= damaged.size() && !(std::memcmp(&damaged[defs_at], "<BLOCK>", 8) == 0 &&
                                               damaged[defs_at + 8] == 0x01 && damaged[defs_at + 9] == 0x80))
        ++defs_at;
    ASSERT_LT(defs_at + 12, damaged.size());
    damaged[defs_at] = 'X';
    items_file cut_short = parse_items_file(damaged);
    EXPECT_EQ(cut_short.picture_sets[0], file.picture_sets[0]);
    EXPECT_TRUE(cut_short.definitions.empty());
    EXPECT_TRUE(cut_short.sounds.empty());
}

TEST(CombineRules, HeldAndSlotCombineInEitherOrderFirstRuleWins) {
    const auto rules = parse_combine_rules("7 5 -> 9 ;\n 1 2 -> 3 4\n1 2 -> 0 0\n");
    ASSERT_EQ(rules.size(), 3u);
    // Held item 5 (number 6) on slot item 7 (number 8): the slot gets 9 + 1.
    auto outcome = find_combination(rules, 6, 8, 20);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->slot, 10);
    EXPECT_EQ(outcome->held, 0);

    outcome = find_combination(rules, 2, 3, 20);  // held a=1, slot b=2
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->held, 4);
    EXPECT_EQ(outcome->slot, 5);
    outcome = find_combination(rules, 3, 2, 20);  // held b, slot a: each changes in its own place
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->held, 5);
    EXPECT_EQ(outcome->slot, 4);

    EXPECT_FALSE(find_combination(rules, 6, 6, 20));
    EXPECT_FALSE(find_combination(rules, 0, 8, 20));
}

TEST(CombineRules, ThreeNumberRuleDoesNotSwallowTheNextRule) {
    const auto rules = parse_combine_rules("7 5 -> 9\n1 2 -> 3 4\n  oops\n 5 5 -> 5 5");
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_FALSE(rules[0].has_second_result());
    EXPECT_EQ(rules[1].result_second, 4);
    EXPECT_TRUE(parse_combine_rules("").empty());
    EXPECT_TRUE(parse_combine_rules("1 2 ->").empty());
}

TEST(CombineRules, RulesNamingItemsOutsideTheTableNeverApply) {
    const auto rules = parse_combine_rules("1 2 -> 500; 1 2 -> -3; 1 2 -> 3");
    auto outcome = find_combination(rules, 2, 3, 10);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->slot, 4);
    EXPECT_FALSE(find_combination(parse_combine_rules("1 200 -> 3"), 2, 201, 10));
}

TEST(IconLibraries, IconsBeyondThePresentLibrariesDrawNothing) {
    EXPECT_EQ(icon_library_name(3), "IKONY03.LIB");
    EXPECT_EQ(count_icon_libraries([](const std::string& name) { return name <= "IKONY01.LIB"; }), 2);
    EXPECT_EQ(count_icon_libraries([](const std::string&) { return false; }), 0);

    icon_libraries icons;
    std::vector<uint8_t> full(ICONS_PER_LIBRARY * ICON_PICTURE_BYTES);
    for (int i = 0; i < ICONS_PER_LIBRARY; ++i) full[i * ICON_PICTURE_BYTES] = static_cast<uint8_t>(i + 1);
    icons.add_library(full);
    icons.add_library(std::vector<uint8_t>(2 * ICON_PICTURE_BYTES + 10));  // a short library

    ASSERT_EQ(icons.icon_picture(5).size(), static_cast<size_t>(ICON_PICTURE_BYTES));
    EXPECT_EQ(icons.icon_picture(5)[0], 6);
    EXPECT_EQ(icons.icon_picture(18 + 1).size(), static_cast<size_t>(ICON_PICTURE_BYTES));
    EXPECT_TRUE(icons.icon_picture(18 + 2).empty());
    EXPECT_TRUE(icons.icon_picture(36).empty());
    EXPECT_TRUE(icons.icon_picture(65535).empty());
}
