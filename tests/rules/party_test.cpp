// The party's rules: statistics from worn items, damage and death, ticks,
// rest, experience, attributes, practice, load and groups.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/random.h"
#include "party_test_support.h"

namespace {

item_def resist_item(int element, int value) {
    item_def it;
    it.placement = PL_SLOT4;
    it.mods[STAT_RESIST + element] = int16_t(value);
    return it;
}

}  // namespace

TEST_F(PartyTest, ResistancesCombineBelowNinetyAndAZeroDenominatorGivesANumber) {
    party_member& m = hero();
    m.worn[4] = int16_t(add_test_item(resist_item(0, 50)));
    m.worn[5] = int16_t(add_test_item(resist_item(0, 50)));
    recompute_stats(m);
    EXPECT_EQ(m.stats[STAT_RESIST], 76);
    for (int slot = 0; slot < WORN_SLOTS; ++slot) m.worn[slot] = int16_t(add_test_item(resist_item(1, 89)));
    recompute_stats(m);
    // Rounding half up lets the sum reach 90, where it stays.
    EXPECT_EQ(m.stats[STAT_RESIST + 1], 90);
    // 90 against -90 leaves a zero denominator: the values are added instead.
    party_member& z = hero(1);
    z.base_stats[STAT_RESIST + 2] = 90;
    z.worn[4] = int16_t(add_test_item(resist_item(2, -90)));
    recompute_stats(z);
    EXPECT_EQ(z.stats[STAT_RESIST + 2], 0);
    z.base_stats[STAT_RESIST + 2] = 91;  // a denominator just below zero
    recompute_stats(z);
    EXPECT_EQ(z.stats[STAT_RESIST + 2], 1);
}

TEST_F(PartyTest, WornItemsAddModifiersButAThrowingWeaponNotItsAttackRoll) {
    party_member& m = hero();
    item_def axe;
    axe.type = IT_THROWN;
    axe.mods[STAT_ATTACK_MIN] = 5;
    axe.mods[STAT_ATTACK_MAX] = 9;
    axe.mods[STAT_STRENGTH] = 3;
    axe.damage_bonus = 2;
    axe.flags_given = CF_INVISIBLE;
    item_def bow;
    bow.type = IT_BOW;
    bow.mods[STAT_ATTACK_MAX] = 12;
    bow.flags_given = CF_KNOCK_BACK;
    m.worn[7] = int16_t(add_test_item(axe));
    recompute_stats(m);
    EXPECT_EQ(m.stats[STAT_STRENGTH], 23);
    EXPECT_EQ(m.stats[STAT_ATTACK_MAX], 1);  // clamped up from 0, the roll not added
    EXPECT_EQ(m.stats[STAT_DAMAGE_BONUS], 2);
    m.worn[8] = int16_t(add_test_item(bow));
    recompute_stats(m);
    EXPECT_EQ(m.stats[STAT_ATTACK_MAX], 12);
    EXPECT_EQ(m.stats[STAT_FLAGS], CF_INVISIBLE | CF_KNOCK_BACK);
    EXPECT_EQ(m.base_stats[STAT_FLAGS], 0);
}

TEST_F(PartyTest, RecomputeClampsAndCapsPointsAndReserves) {
    party_member& m = hero();
    item_def curse;
    curse.mods[STAT_HP_MAX] = -100;
    curse.mods[STAT_STRENGTH] = 32000;
    m.worn[1] = int16_t(add_test_item(curse));
    m.worn[2] = m.worn[1];  // the sum saturates instead of wrapping
    m.inventory_size = 40;
    m.mp = 500;
    recompute_stats(m);
    EXPECT_EQ(m.stats[STAT_HP_MAX], 1);
    EXPECT_EQ(m.stats[STAT_STRENGTH], 200);
    EXPECT_EQ(m.hp, 1);
    EXPECT_EQ(m.mp, 500);  // magic points are not capped here
    EXPECT_EQ(m.inventory_size, 30);
    EXPECT_EQ(m.food, (1 / 2 + 48) * 360);
    EXPECT_EQ(m.water, (1 / 3 + 24) * 360);
}

TEST_F(PartyTest, MagicShieldTakesTheHitFromMagicPointsAndFadesWhenThemRunOut) {
    party_member& m = hero();
    m.stats[STAT_FLAGS] = CF_MAGIC_SHIELD;
    m.mp = 5;
    EXPECT_FALSE(take_hit(m, 8, true));
    EXPECT_EQ(m.hp, 40);
    EXPECT_EQ(m.mp, 0);
    EXPECT_EQ(m.stats[STAT_FLAGS] & CF_MAGIC_SHIELD, 0);
    take_hit(m, 8, true);
    EXPECT_EQ(m.hp, 32);
}

TEST_F(PartyTest, AHitBeyondTheHitPointsKillsAtOnceOutsideBattleAndMarksDyingInside) {
    party_member& m = hero(0, 12);
    EXPECT_TRUE(take_hit(m, 30, false));
    EXPECT_EQ(m.last_damage, 12);
    EXPECT_EQ(m.hp, 0);
    EXPECT_EQ(m.group, 0);
    EXPECT_EQ(world.events.back(), 14);
    EXPECT_FALSE(take_hit(m, 5, false));   // the dead are not hit again
    EXPECT_FALSE(take_hit(m, -5, false));  // nor healed
    EXPECT_EQ(m.hp, 0);

    world.battle = true;
    party_member& f = hero(1, 12);
    f.female = 1;
    EXPECT_FALSE(take_hit(f, 30, false));
    EXPECT_EQ(f.hp, 0);
    EXPECT_EQ(f.used & USED_DYING, USED_DYING);
    EXPECT_EQ(f.group, 1);
    EXPECT_TRUE(check_death(f, true));
    EXPECT_EQ(f.used, 1);
    EXPECT_EQ(world.events.back(), 15);
}

TEST_F(PartyTest, HealingIsCappedAndDeathDestroysBoundItems) {
    party_member& m = hero();
    m.hp = 10;
    take_hit(m, -100, false);
    EXPECT_EQ(m.hp, 40);
    item_def bound;
    bound.item_flags = IF_BOUND;
    bound.mods[STAT_STRENGTH] = 10;
    int ring = add_test_item(bound);
    m.worn[6] = int16_t(ring);
    m.worn[9] = int16_t(ring);  // belt slots keep theirs
    recompute_stats(m);
    EXPECT_TRUE(take_hit(m, 100, false));
    EXPECT_EQ(m.worn[6], 0);
    EXPECT_EQ(m.worn[9], ring);
    EXPECT_EQ(world.destroyed, std::vector<int>{ring});
    EXPECT_EQ(m.stats[STAT_STRENGTH], 30);  // only the belt's ring still counts
}

TEST_F(PartyTest, WithoutWaterEachTickCostsAHitPointWithoutFoodOnlyRegenerationStops) {
    party_member& m = hero();
    m.water = 0;
    m.vp = 1;
    m.base_stats[STAT_VP_REGEN] = 15;
    recompute_stats(m);
    tick_living(m);
    EXPECT_EQ(m.hp, 39);
    tick_living(m);
    EXPECT_EQ(m.hp, 38);
    EXPECT_EQ(m.vp, 1);
    m.water = 100;
    m.food = 0;
    tick_living(m);
    EXPECT_EQ(m.hp, 38);
    EXPECT_EQ(m.vp, 1);
    m.food = 100;
    tick_living(m);
    EXPECT_EQ(m.vp, 3);  // a tenth of 15 rounded up
    m.walk_steps = 3;
    tick_living(m);
    EXPECT_EQ(m.vp, 2);
    EXPECT_EQ(m.walk_steps, 0);
    world.options = OPTION_NO_HUNGER;
    m.water = 0;
    tick_living(m);
    EXPECT_EQ(m.hp, 38);
}

TEST_F(PartyTest, GameTickDecaysTheDeadAndHurtsInAHazard) {
    party_member& dead = hero(0);
    dead.hp = 0;
    dead.group = 0;
    dead.vp = 20;
    party_member& living = hero(1);
    world.hazard = 1;
    party_game_tick();
    EXPECT_EQ(dead.vp, 20 - 30 / 4);
    EXPECT_EQ(living.hp, 30);
    living.stats[STAT_FLAGS] = CF_HAZARD1_PROOF;
    party_game_tick();
    EXPECT_EQ(living.hp, 30);
    party_game_tick();
    party_game_tick();
    EXPECT_EQ(dead.vp, 0);
}

TEST_F(PartyTest, RestRevivesTheFallenAndRegeneratesAnHoursWorth) {
    party_member& m = hero(0);
    m.base_stats[STAT_HP_REGEN] = 5;
    m.base_stats[STAT_MP_REGEN] = 4;
    recompute_stats(m);
    m.hp = 0;
    m.group = 0;
    m.vp = 3;
    m.mp = 0;
    EXPECT_FALSE(rest_hour(m));
    EXPECT_EQ(m.hp, 6);
    EXPECT_EQ(m.mp, 4);
    EXPECT_EQ(m.group, 1);
    EXPECT_TRUE(take_hit(m, 50, false));  // it can die again
    m.vp = 3;
    m.map_hash = 99;  // fallen on another map
    EXPECT_FALSE(rest_hour(m));
    EXPECT_EQ(m.hp, 0);
    EXPECT_EQ(m.vp, 0);
    party_member& hungry = hero(1);
    hungry.food = 0;
    EXPECT_TRUE(rest_hour(hungry));
}

TEST_F(PartyTest, ExperienceRaisesLevelsWithFreePointsButNeverBeyondTheTable) {
    random_seed(7);
    party_member& m = hero();
    int hp_max = m.base_stats[STAT_HP_MAX], vp_max = m.base_stats[STAT_VP_MAX];
    add_experience(m, 399);
    EXPECT_EQ(m.level, 1);
    add_experience(m, 601);
    EXPECT_EQ(m.level, 3);
    EXPECT_EQ(m.free_points, 10);
    // Strength 20 and dexterity 20 lead; magic power 0 gains nothing.
    EXPECT_EQ(m.base_stats[STAT_MP_MAX], 20);
    EXPECT_GE(m.base_stats[STAT_HP_MAX] + m.base_stats[STAT_VP_MAX] - hp_max - vp_max, 2 * (1 + 1));
    EXPECT_LE(m.base_stats[STAT_HP_MAX] + m.base_stats[STAT_VP_MAX] - hp_max - vp_max, 2 * (5 + 3));

    party_member& veteran = hero(1);
    veteran.level = 39;
    add_experience(veteran, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(veteran.level, 40);
    EXPECT_EQ(veteran.experience, std::numeric_limits<int32_t>::max());
    add_experience(veteran, 1);
    EXPECT_EQ(veteran.level, 40);
    veteran.base_stats[STAT_FLAGS] = int16_t(CF_TRANSFORMED);
    veteran.experience = 0;
    add_experience(veteran, 500);
    EXPECT_EQ(veteran.experience, 0);  // a transformed character learns nothing
}

TEST_F(PartyTest, SpendingAPointGrowsTheDependentValuesAndKeepsTheReservesFillRatio) {
    party_member& m = hero();
    m.base_stats[STAT_STRENGTH] = 40;
    recompute_stats(m);
    m.free_points = 2;
    m.food = food_capacity(m) / 2;
    party_state.current = 0;
    ASSERT_TRUE(raise_attribute(STAT_STRENGTH));
    EXPECT_EQ(m.base_stats[STAT_STRENGTH], 41);
    EXPECT_EQ(m.base_stats[STAT_HP_MAX], 41);  // floor(61.5) - floor(60)
    EXPECT_EQ(m.base_stats[STAT_HP_REGEN], 0);
    EXPECT_EQ(m.free_points, 1);
    EXPECT_NEAR(m.food, food_capacity(m) / 2, 1);
    ASSERT_TRUE(raise_attribute(STAT_MAGIC_POWER));
    EXPECT_EQ(m.base_stats[STAT_MP_MAX], 22);
    EXPECT_FALSE(raise_attribute(STAT_DEXTERITY));  // no points left
    m.free_points = 1;
    m.base_stats[STAT_SPEED] = 100;
    EXPECT_FALSE(raise_attribute(STAT_SPEED));
    EXPECT_FALSE(raise_attribute(4));
}

TEST_F(PartyTest, PracticeRaisesTheSkillAtTheTableTotalsUpToNine) {
    party_member& m = hero();
    party_state.current = 0;
    for (int i = 0; i < 19; ++i) practice_skill(2);
    EXPECT_EQ(m.skills[2], 0);
    practice_skill(2);
    EXPECT_EQ(m.skills[2], 1);
    m.skills[3] = 9;
    practice_skill(3);
    EXPECT_EQ(m.skill_practice[3], 0);
    practice_skill(7);  // no such class: nothing
    item_def knife;
    knife.weapon_class = 2;
    item_def odd;
    odd.weapon_class = 9;
    EXPECT_EQ(weapon_skill(m, add_test_item(knife)), 1);
    EXPECT_EQ(weapon_skill(m, add_test_item(odd)), 0);
    m.skills[6] = 4;
    EXPECT_EQ(weapon_skill(m, 0), 4);
    EXPECT_EQ(weapon_skill(m, -1), 0);
}

TEST_F(PartyTest, BackpackWeighsHalfAgainAndLoadBeyondStrengthOverloads) {
    party_member& m = hero();  // strength 20 carries 400
    item_def stone;
    stone.weight = 100;
    int n = add_test_item(stone);
    for (int i = 0; i < 3; ++i) m.inventory[i] = int16_t(n);
    m.worn[0] = int16_t(n);
    EXPECT_EQ(carried_weight(m), 550);
    EXPECT_EQ(overload(m), 0);
    m.inventory[3] = int16_t(n);
    m.inventory[4] = int16_t(n);
    EXPECT_EQ(carried_weight(m), 850);
    EXPECT_EQ(overload(m), 2);
}

TEST_F(PartyTest, DodgingCostsAConditionPointAndNeedsSpeedAndCondition) {
    party_member& m = hero();  // speed 30, condition 30
    EXPECT_TRUE(can_dodge(m));
    EXPECT_EQ(m.vp, 29);
    m.vp = 14;
    EXPECT_FALSE(can_dodge(m));
    EXPECT_EQ(m.vp, 14);
}

TEST_F(PartyTest, GroupsFollowSectorsAndMapsAndTheViewPicksTheCurrentOne) {
    hero(0).sector = 5;
    hero(1).sector = 10;
    hero(2).sector = 5;
    party_member& dead = hero(3);
    dead.hp = 0;
    party_member& away = hero(4);
    away.sector = 5;
    away.map_hash = 1;
    regroup();
    EXPECT_EQ(party_members[0].group, 1);
    EXPECT_EQ(party_members[1].group, 2);
    EXPECT_EQ(party_members[2].group, 1);
    EXPECT_EQ(party_members[3].group, 0);
    EXPECT_EQ(party_members[4].group, 3);
    EXPECT_EQ(party_state.current_group, 2);  // the view stands on sector 10
}

TEST_F(PartyTest, JoiningFillsTheFirstFreeSlotAtTheView) {
    character_definitions[3] = party_member{};
    character_definitions[3].used = 1;
    std::snprintf(character_definitions[3].name, sizeof character_definitions[3].name, "Mirel");
    hero(0);
    party_state.current_group = 2;
    EXPECT_FALSE(join_from_definition(3));
    EXPECT_STREQ(party_members[1].name, "Mirel");
    EXPECT_EQ(party_members[1].sector, 10);
    EXPECT_EQ(party_members[1].group, 2);
    for (int i = 2; i < PARTY_SLOTS; ++i) EXPECT_FALSE(join_from_definition(3));
    EXPECT_TRUE(join_from_definition(3));
    EXPECT_TRUE(join_from_definition(20));
}

TEST_F(PartyTest, FallenSummonedLeaveAndTheRestMoveDown) {
    hero(0);
    party_member& summoned = hero(1);
    summoned.stats[STAT_FLAGS] = CF_SUMMONED;
    party_member& fallen = hero(2);
    fallen.hp = 0;
    hero(3).stats[STAT_FLAGS] = CF_SUMMONED;  // still standing
    party_members[1].hp = 0;
    party_state.current = 3;
    EXPECT_EQ(remove_fallen_summoned(), 1);
    EXPECT_STREQ(party_members[1].name, "Hero2");
    EXPECT_STREQ(party_members[2].name, "Hero3");
    EXPECT_EQ(party_members[3].used, 0);
    EXPECT_EQ(party_state.current, 2);  // the shown character moved down with its record
    EXPECT_EQ(remove_fallen_summoned(), 0);
    party_state.current = 2;
    party_members[2].hp = 0;
    EXPECT_EQ(remove_fallen_summoned(), 1);
    EXPECT_EQ(party_state.current, -1);
}

TEST_F(PartyTest, ItemsWornOrCarriedCountAsHeld) {
    party_member& m = hero();
    m.worn[12] = 7;
    m.inventory[29] = -9;  // a stack mark names its item
    EXPECT_TRUE(party_holds_item(7));
    EXPECT_TRUE(party_holds_item(9));
    EXPECT_TRUE(party_holds_item(-7));
    EXPECT_FALSE(party_holds_item(8));
    EXPECT_FALSE(party_holds_item(0));
    m.used = 0;
    EXPECT_FALSE(party_holds_item(7));
}

TEST_F(PartyTest, ThePartyBlockKeepsAllSixRecordsAndRefusesAShortBlock) {
    hero(0);
    hero(3).experience = 4321;
    party_member own_shape;
    party_members[5].saved_self = &own_shape;
    party_members[5].used = 1;
    std::vector<uint8_t> block;
    append_party_block(block);
    ASSERT_EQ(block.size(), PARTY_BLOCK_SIZE);
    reset_party();
    EXPECT_FALSE(read_party_block(block.data(), block.size() - 1));
    EXPECT_EQ(party_members[3].used, 0);
    bool follows[PARTY_SLOTS] = {};
    ASSERT_TRUE(read_party_block(block.data(), block.size(), follows));
    EXPECT_STREQ(party_members[0].name, "Hero0");
    EXPECT_EQ(party_members[3].experience, 4321);
    EXPECT_EQ(party_members[5].saved_self, nullptr);
    EXPECT_TRUE(follows[5]);
    EXPECT_FALSE(follows[0]);
}
