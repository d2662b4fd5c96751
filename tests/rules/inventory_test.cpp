// The inventory rules: wearing, stacks, bags, the quiver, giving and eating.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "rules/inventory.h"
#include "rules/party.h"

namespace {

// Remembers what went to the floor and which sounds played.
struct recording_world : inventory_world {
    std::vector<int16_t> floor;
    std::vector<std::string> sounds;
    std::vector<int> spells;
    void drop_on_floor(const party_member&, int16_t item) override { floor.push_back(item); }
    void play_sound(const char* name) override { sounds.push_back(name); }
    void cast_spell_on(party_member&, int spell) override { spells.push_back(spell); }
};

item_def make(const char* name, int type, int placement) {
    item_def item;
    std::strncpy(item.name, name, sizeof item.name - 1);
    item.type = static_cast<int16_t>(type);
    item.placement = static_cast<int16_t>(placement);
    return item;
}

party_member character(int strength = 50, int dexterity = 50) {
    party_member member;
    member.used = 1;
    member.stats[STAT_STRENGTH] = static_cast<int16_t>(strength);
    member.stats[STAT_MAGIC_POWER] = 50;
    member.stats[STAT_SPEED] = 50;
    member.stats[STAT_DEXTERITY] = static_cast<int16_t>(dexterity);
    member.stats[STAT_HP_MAX] = 40;
    member.inventory_size = BACKPACK_MIN;
    std::copy(member.stats, member.stats + STAT_COUNT, member.base_stats);
    return member;
}

// The party reads worn items from the game's table, so the tests use it.
struct fixture : ::testing::Test {
    item_table& items = game_items();
    void SetUp() override {
        items = item_table();
        install_game_items();
    }
    recording_world world;
    std::vector<combine_rule> no_rules;
    held_list held;

    int16_t add(const item_def& item) {
        std::vector<item_def> all = items.records();
        all.push_back(item);
        items.set_definitions(all);
        return static_cast<int16_t>(items.size());
    }
};

using Wearing = fixture;
using Stacks = fixture;
using Bags = fixture;
using Quiver = fixture;
using Eating = fixture;

}  // namespace

TEST_F(Wearing, ModifierBelowTheRequirementRefusesTheSword) {
    item_def sword = make("sword", IT_MELEE, PL_ONE_HAND);
    sword.requirements[STAT_STRENGTH] = 30;
    sword.mods[STAT_STRENGTH] = -5;
    const int16_t number = add(sword);
    party_member member = character(32);
    EXPECT_FALSE(can_wear(items, member, number));
    held = {number};
    EXPECT_FALSE(drop_on_body(items, member, held, 150, world));
    EXPECT_EQ(held, held_list{number});
    EXPECT_EQ(member.worn[SLOT_RIGHT_HAND], 0);

    member.stats[STAT_STRENGTH] = member.base_stats[STAT_STRENGTH] = 35;
    EXPECT_TRUE(drop_on_body(items, member, held, 150, world));
    // Worn, the modifier already lowers strength to 30: it is not counted a
    // second time when the equipment is checked again.
    EXPECT_EQ(member.stats[STAT_STRENGTH], 30);
    EXPECT_EQ(member.worn[SLOT_RIGHT_HAND], number);
    EXPECT_TRUE(held.empty());
    EXPECT_EQ(world.sounds.back(), "obleci.wav");

    // A ring that weakens its wearer below the sword's requirement sends the
    // sword to the backpack.
    item_def ring = make("ring", IT_ORDINARY, PL_SLOT6);
    ring.mods[STAT_STRENGTH] = -3;
    held = {add(ring)};
    ASSERT_TRUE(drop_on_body(items, member, held, 150, world));
    EXPECT_EQ(member.worn[SLOT_RIGHT_HAND], 0);
    EXPECT_EQ(member.inventory[0], number);
    EXPECT_EQ(member.stats[STAT_STRENGTH], 32);
}

TEST_F(Wearing, TwoDaggersNeedTheLargerDexterityRequirement) {
    item_def light = make("dagger", IT_MELEE, PL_ONE_HAND);
    light.requirements[STAT_DEXTERITY] = 20;
    item_def heavy = light;
    heavy.requirements[STAT_DEXTERITY] = 25;
    const int16_t first = add(light);
    const int16_t second = add(heavy);

    party_member nimble = character(50, 25);
    held = {first};
    ASSERT_TRUE(drop_on_body(items, nimble, held, 150, world));
    held = {second};
    ASSERT_TRUE(drop_on_body(items, nimble, held, 10, world));
    EXPECT_EQ(nimble.worn[SLOT_RIGHT_HAND], first);
    EXPECT_EQ(nimble.worn[SLOT_LEFT_HAND], second);
    EXPECT_TRUE(two_weapons_allowed(items, nimble));

    party_member clumsy = character(50, 24);
    clumsy.worn[SLOT_RIGHT_HAND] = first;
    clumsy.worn[SLOT_LEFT_HAND] = second;
    EXPECT_FALSE(two_weapons_allowed(items, clumsy));
    // Two of the lighter dagger: dexterity 24 is at least the larger requirement.
    clumsy.worn[SLOT_LEFT_HAND] = first;
    EXPECT_TRUE(two_weapons_allowed(items, clumsy));
    held = {second};
    EXPECT_FALSE(drop_on_body(items, clumsy, held, 150, world));

    // A pair not allowed: the weapon in the other hand goes to the backpack.
    item_def club = make("club", IT_MELEE, PL_ONE_HAND);
    club.requirements[STAT_STRENGTH] = 25;
    item_def mace = club;
    mace.requirements[STAT_STRENGTH] = 30;
    const int16_t club_number = add(club);
    const int16_t mace_number = add(mace);
    party_member fighter = character(50, 24);  // 50 < 25 + 30 and 24 < 30
    fighter.worn[SLOT_LEFT_HAND] = club_number;
    held = {mace_number};
    ASSERT_TRUE(drop_on_body(items, fighter, held, 150, world));
    EXPECT_EQ(fighter.worn[SLOT_RIGHT_HAND], mace_number);
    EXPECT_EQ(fighter.worn[SLOT_LEFT_HAND], 0);
    EXPECT_EQ(fighter.inventory[0], club_number);
}

TEST_F(Wearing, ArmourMovesHeadSlotsToTheBackpackThenTheFloor) {
    const int16_t armour = add(make("mail", IT_ORDINARY, PL_SLOT5));
    const int16_t helmet = add(make("helmet", IT_ORDINARY, 2));
    const int16_t collar = add(make("collar", IT_ORDINARY, 3));
    const int16_t cloak = add(make("cloak", IT_ORDINARY, 4));
    const int16_t rock = add(make("rock", IT_ORDINARY, PL_NONE));

    party_member member = character();
    member.worn[1] = helmet;
    member.worn[2] = collar;
    member.worn[3] = cloak;
    member.inventory[1] = rock;
    held = {armour};
    ASSERT_TRUE(drop_on_body(items, member, held, 50, world));
    EXPECT_EQ(member.worn[SLOT_ARMOUR], armour);
    EXPECT_EQ(member.worn[1] + member.worn[2] + member.worn[3], 0);
    EXPECT_EQ(member.inventory[0], cloak);  // slots are emptied 3, 2, 1
    EXPECT_EQ(member.inventory[1], rock);
    EXPECT_EQ(member.inventory[2], collar);
    EXPECT_EQ(member.inventory[3], helmet);
    EXPECT_TRUE(world.floor.empty());

    // With the backpack full they go to the floor instead.
    party_member packed = character();
    for (int cell = 0; cell < BACKPACK_MIN; ++cell) packed.inventory[cell] = rock;
    packed.worn[1] = helmet;
    packed.worn[3] = cloak;
    held = {armour};
    ASSERT_TRUE(drop_on_body(items, packed, held, 50, world));
    EXPECT_EQ(world.floor, (std::vector<int16_t>{cloak, helmet}));

    // A helmet put on takes the armour off again.
    held = {helmet};
    ASSERT_TRUE(drop_on_body(items, member, held, 50, world));
    EXPECT_EQ(member.worn[1], helmet);
    EXPECT_EQ(member.worn[SLOT_ARMOUR], 0);
    EXPECT_EQ(member.inventory[4], armour);
}

TEST_F(Wearing, BoundItemsVanishWhenTakenOffAndSummonedCharactersTouchNothing) {
    item_def glove = make("flame glove", IT_ORDINARY, PL_SLOT6);
    glove.item_flags = IF_BOUND;
    items.set_definitions({glove});
    const int16_t bound = items.clone_item(1);
    party_member member = character();
    member.worn[6] = bound;
    ASSERT_TRUE(pick_from_body(items, member, 6, held, world));
    EXPECT_TRUE(held.empty());
    EXPECT_TRUE(items.find(bound)->item_flags & IF_CLONE_FREE);

    party_member summoned = character();
    summoned.stats[STAT_FLAGS] = CF_SUMMONED;
    summoned.inventory[0] = 1;
    EXPECT_FALSE(click_backpack(items, summoned, 0, held, no_rules, world));
    EXPECT_EQ(summoned.inventory[0], 1);
}

TEST_F(Stacks, StackNeedsAFreeCellPerItemAndWrapsRound) {
    const int16_t rock = add(make("rock", IT_ORDINARY, PL_NONE));
    const int16_t gem = add(make("gem", IT_ORDINARY, PL_NONE));
    party_member member = character();
    for (int cell = 0; cell < 4; ++cell) member.inventory[cell] = rock;
    held = {gem, static_cast<int16_t>(-gem), static_cast<int16_t>(-gem)};
    EXPECT_FALSE(click_backpack(items, member, 4, held, no_rules, world));
    EXPECT_EQ(held.size(), 3u);
    EXPECT_EQ(member.inventory[4], 0);

    // With three free cells the stack starts at the clicked cell and wraps.
    member.inventory[0] = 0;
    member.inventory[3] = 0;
    member.inventory[4] = rock;
    held = {gem, static_cast<int16_t>(-gem)};
    ASSERT_TRUE(click_backpack(items, member, 4, held, no_rules, world));  // a rock was there
    EXPECT_EQ(member.inventory[4], gem);
    EXPECT_EQ(member.inventory[5], gem);
    EXPECT_EQ(held, held_list{rock});
    held = {gem, static_cast<int16_t>(-gem)};
    member.inventory[1] = 0;
    ASSERT_TRUE(click_backpack(items, member, 3, held, no_rules, world));
    EXPECT_EQ(member.inventory[3], gem);
    EXPECT_EQ(member.inventory[0], gem);  // wrapped round
    EXPECT_TRUE(held.empty());

    // Cells beyond the backpack's size do nothing.
    held = {gem};
    EXPECT_FALSE(click_backpack(items, member, 6, held, no_rules, world));
}

TEST_F(Stacks, CombiningReplacesTheSlotAndEmptiesTheCursor) {
    std::vector<item_def> defs;
    for (int i = 0; i < 12; ++i) defs.push_back(make("thing", IT_ORDINARY, PL_NONE));
    items.set_definitions(defs);
    const auto rules = parse_combine_rules("7 5 -> 9");
    party_member member = character();
    member.inventory[2] = 8;  // file number 7
    held = {6};               // file number 5
    ASSERT_TRUE(click_backpack(items, member, 2, held, rules, world));
    EXPECT_EQ(member.inventory[2], 10);
    EXPECT_TRUE(held.empty());

    // No rule: the held item and the cell's item change places.
    held = {3};
    ASSERT_TRUE(click_backpack(items, member, 2, held, rules, world));
    EXPECT_EQ(member.inventory[2], 3);
    EXPECT_EQ(held, held_list{10});
}

TEST_F(Bags, BagTakenOffCarriesItsItemsAndPutsThemBack) {
    item_def bag_def = make("bag", IT_ORDINARY, PL_CONTAINER);
    bag_def.extra_slots = 6;
    const int16_t bag = add(bag_def);
    const int16_t rock = add(make("rock", IT_ORDINARY, PL_NONE));
    party_member member = character();
    member.worn[SLOT_CONTAINER] = bag;
    member.inventory_size = 12;
    member.inventory[0] = rock;
    for (int cell = 6; cell < 12; ++cell) member.inventory[cell] = static_cast<int16_t>(rock);
    member.inventory[9] = 0;  // one extra cell empty

    ASSERT_TRUE(pick_from_body(items, member, SLOT_CONTAINER, held, world));
    EXPECT_EQ(held, (held_list{bag, static_cast<int16_t>(-rock), static_cast<int16_t>(-rock),
                               static_cast<int16_t>(-rock), static_cast<int16_t>(-rock),
                               static_cast<int16_t>(-rock)}));
    EXPECT_EQ(member.inventory_size, BACKPACK_MIN);
    EXPECT_EQ(member.worn[SLOT_CONTAINER], 0);
    for (int cell = 6; cell < BACKPACK_MAX; ++cell) EXPECT_EQ(member.inventory[cell], 0);
    EXPECT_EQ(member.inventory[0], rock);

    ASSERT_TRUE(drop_on_body(items, member, held, 50, world));
    EXPECT_TRUE(held.empty());
    EXPECT_EQ(member.worn[SLOT_CONTAINER], bag);
    EXPECT_EQ(member.inventory_size, 12);
    for (int cell = 6; cell < 11; ++cell) EXPECT_EQ(member.inventory[cell], rock);
    EXPECT_EQ(member.inventory[11], 0);

    // A single item is not laid on the body as a stack would be.
    held = {rock, static_cast<int16_t>(-rock)};
    EXPECT_FALSE(drop_on_body(items, member, held, 50, world));
}

TEST_F(Stacks, BeltTakesOnlyBeltItemsAndExchangesThem) {
    const int16_t potion = add(make("potion", IT_POTION, PL_BELT));
    const int16_t flask = add(make("flask", IT_DRINK, PL_BELT));
    const int16_t rock = add(make("rock", IT_ORDINARY, PL_NONE));
    party_member member = character();
    held = {rock};
    EXPECT_FALSE(click_belt(items, member, 0, held));
    held = {potion, static_cast<int16_t>(-potion)};
    EXPECT_FALSE(click_belt(items, member, 0, held));
    held = {potion};
    ASSERT_TRUE(click_belt(items, member, 2, held));
    EXPECT_EQ(member.worn[SLOT_BELT + 2], potion);
    EXPECT_TRUE(held.empty());
    held = {flask};
    ASSERT_TRUE(click_belt(items, member, 2, held));
    EXPECT_EQ(member.worn[SLOT_BELT + 2], flask);
    EXPECT_EQ(held, held_list{potion});
    EXPECT_FALSE(click_belt(items, member, 4, held));
}

TEST_F(Quiver, ArrowsStayBelowAHundredAndComeOutAsBundles) {
    item_def one = make("arrow", IT_ORDINARY, PL_QUIVER);
    item_def ten = one;
    ten.value = 10;
    const int16_t arrow = add(one);
    const int16_t bundle = add(ten);
    party_member member = character();
    member.arrows = 99;
    held = {arrow};
    EXPECT_FALSE(click_quiver(items, member, held, false));
    EXPECT_FALSE(give_items(items, member, held, true));
    EXPECT_EQ(member.arrows, 99);
    EXPECT_EQ(held, held_list{arrow});

    member.arrows = 90;
    held = {bundle};
    EXPECT_FALSE(click_quiver(items, member, held, false));  // 90 + 10
    member.arrows = 80;
    ASSERT_TRUE(give_items(items, member, held, true));
    EXPECT_EQ(member.arrows, 90);
    EXPECT_TRUE(held.empty());

    ASSERT_TRUE(click_quiver(items, member, held, true));
    EXPECT_EQ(held, held_list{bundle});
    EXPECT_EQ(member.arrows, 80);
    held.clear();
    ASSERT_TRUE(click_quiver(items, member, held, false));
    EXPECT_EQ(held, held_list{arrow});
    EXPECT_EQ(member.arrows, 79);
}

TEST_F(Stacks, GivenItemsFillTheBackpackFromTheLastAndReportLeftovers) {
    const int16_t rock = add(make("rock", IT_ORDINARY, PL_NONE));
    const int16_t gem = add(make("gem", IT_ORDINARY, PL_NONE));
    party_member member = character();
    for (int cell = 0; cell < 4; ++cell) member.inventory[cell] = rock;
    held = {rock, static_cast<int16_t>(-gem), static_cast<int16_t>(-gem)};
    EXPECT_FALSE(give_items(items, member, held, true));
    EXPECT_EQ(member.inventory[4], gem);
    EXPECT_EQ(member.inventory[5], gem);
    EXPECT_EQ(held, held_list{rock});
}

TEST_F(Eating, FoodAndDrinkFillTheReservesUpToTheirCapsAndVanish) {
    item_def bread = make("bread", IT_FOOD, PL_NONE);
    bread.value = 10;
    item_def wine = make("wine", IT_DRINK, PL_NONE);
    wine.value = 100;
    wine.charges = 1;
    wine.spell = 7;
    items.set_definitions({bread, wine});
    party_member member = character();  // hp max 40: food cap 68 h, water cap 37 h
    held = {items.clone_item(1)};
    const int16_t loaf = held[0];
    ASSERT_TRUE(drop_on_body(items, member, held, 50, world));
    EXPECT_EQ(member.food, 10 * 360);
    EXPECT_TRUE(held.empty());
    EXPECT_TRUE(items.find(loaf)->item_flags & IF_CLONE_FREE);

    held = {2};
    ASSERT_TRUE(drop_on_body(items, member, held, 50, world));
    EXPECT_EQ(member.water, 37 * 360);
    EXPECT_EQ(world.spells, std::vector<int>{7});

    // An ordinary item dropped on the body stays on the cursor.
    items.set_definitions({make("rock", IT_ORDINARY, PL_NONE)});
    held = {1};
    EXPECT_FALSE(drop_on_body(items, member, held, 50, world));
    EXPECT_EQ(held, held_list{1});
}
