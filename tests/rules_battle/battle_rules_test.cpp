// The battle's rules one at a time: experience, the shuffle, planning, the
// end of a round and the loss of a group.
#include "battle_fixture.h"
#include "world/map_scripts.h"
#include "world/screen_effects.h"

using namespace battle_test;

TEST_F(BattleTest, HitSharesExperienceByDamageOverMaximumAndAKillGivesEveryoneTheKillExperience) {
    party_member& hitter = member(0, 2);
    party_member& other = member(1, 2);
    monster& m = foe(0, 3, 200);
    m.experience = 1000;
    m.kill_experience = 40;
    battle.acting = 0;

    award_experience(0, 50);
    EXPECT_EQ(hitter.experience, 250);
    EXPECT_EQ(other.experience, 0);

    // The blow that kills: the kill experience for everyone, the share for the hitter.
    m.hp = 0;
    award_experience(0, 50);
    EXPECT_EQ(hitter.experience, 250 + 40 + 250);
    EXPECT_EQ(other.experience, 40);

    // Mutual death takes the hitter along with the monster it killed.
    battle.mutual_death = 1;
    award_experience(0, 10);
    EXPECT_EQ(hitter.hp, 0);
    EXPECT_EQ(other.experience, 80);
    battle.mutual_death = 0;

    // Without maximum hit points no share is divided out; a huge share is
    // clamped, never wrapped.
    battle.acting = 1;
    m.hp = 5;
    m.stats[STAT_HP_MAX] = 0;
    award_experience(0, 50);
    EXPECT_EQ(other.experience, 80);
    m.stats[STAT_HP_MAX] = 1;
    m.experience = 2000000000;
    award_experience(0, 30000);
    EXPECT_EQ(other.experience, INT32_MAX);
}

TEST_F(BattleTest, ShuffleSwapsEachPositionInOrderWithARandomOne) {
    std::vector<int16_t> order = {1, 2, 3, -1, -2, -3, 4};
    std::vector<int16_t> expected = order;
    random_seed(77);
    for (size_t i = 0; i < expected.size(); ++i) std::swap(expected[i], expected[size_t(random(7))]);
    random_seed(77);
    shuffle_order(order);
    EXPECT_EQ(order, expected);
    std::vector<int16_t> none;
    shuffle_order(none);  // nobody to shuffle: random(0) is never asked to pick
    EXPECT_TRUE(none.empty());
}

TEST_F(BattleTest, PlanningUsesActionsAsEachKindDemandsAndClearingRestoresThem) {
    member(0, 2, 45);  // three actions
    member(1, 2, 45);
    foe(0, 5, 20);
    plan_round();
    EXPECT_EQ(battle.phase, BATTLE_PLANNING);
    ASSERT_EQ(battle.acting, 0);
    party_member& a = party_members[0];
    EXPECT_EQ(a.actions_left, 3);

    EXPECT_TRUE(plan_action(BA_ATTACK, 0));
    EXPECT_EQ(a.actions_left, 2);
    EXPECT_TRUE(plan_action(BA_WALK));  // walking takes all that is left
    EXPECT_EQ(a.actions_left, 0);
    EXPECT_EQ(a.walk_steps, 2 + 5);
    EXPECT_FALSE(plan_action(BA_ATTACK, 0));

    // Clearing gives the actions back and a dagger planned for throwing
    // returns to the hand.
    item_def dagger;
    dagger.type = IT_THROWN;
    game_items().set_definitions({dagger});
    ASSERT_TRUE(plan_action(BA_CLEAR));
    EXPECT_EQ(a.actions_left, 3);
    EXPECT_EQ(a.walk_steps, 0);
    EXPECT_EQ(a.planned, 0);
    game_held() = {1};
    EXPECT_TRUE(plan_throw(320, 200));
    EXPECT_TRUE(game_held().empty());
    EXPECT_EQ(a.plan[0].action, BA_THROW);
    EXPECT_EQ(uint16_t(a.plan[0].arg), 80 + 256 * 100);
    ASSERT_TRUE(plan_action(BA_CLEAR));
    EXPECT_EQ(game_held(), held_list{1});
    EXPECT_TRUE(plan_action(BA_REST));  // resting takes all as well
    EXPECT_EQ(a.actions_left, 0);
    EXPECT_FALSE(plan_action(8));  // no such kind

    // A dead member may not be chosen; a living one with actions may.
    party_members[1].hp = 0;
    EXPECT_FALSE(select_acting(1));
    party_members[1].hp = 50;
    EXPECT_TRUE(select_acting(1));
}

TEST_F(BattleTest, UnplannedMembersAttackAMonsterAheadAndRestOtherwiseTheDeadTickOnly) {
    party_member& facing = member(0, 2, 30);
    party_member& away = member(1, 2, 30);
    away.direction = 3;
    party_member& dead = member(2, 2);
    foe(0, 3, 20);
    plan_round();
    dead.hp = 0;
    dead.vp = 40;
    end_planning();
    EXPECT_EQ(battle.phase, BATTLE_ROUND);
    ASSERT_EQ(facing.planned, 2);
    EXPECT_EQ(facing.plan[0].action, BA_ATTACK);
    EXPECT_EQ(facing.plan[1].action, BA_ATTACK);
    ASSERT_EQ(away.planned, 1);
    EXPECT_EQ(away.plan[0].action, BA_REST);
    EXPECT_EQ(dead.planned, 0);
    EXPECT_LT(dead.vp, 40);  // tick_dead drained it
    // The order: one entry per planned action, then -255 and 0.
    EXPECT_EQ(battle.order.size(), 3u + 2u);
    EXPECT_EQ(battle.order[battle.order.size() - 2], ORDER_END_OF_ACTIONS);
    EXPECT_EQ(battle.order.back(), ORDER_END);

    // With the setting off nobody attacks by himself.
    end_round();
    battle_options.auto_attack = false;
    end_planning();
    battle_options.auto_attack = true;
    EXPECT_EQ(facing.plan[0].action, BA_REST);
}

TEST_F(BattleTest, NobodyAbleToActIsReportedWithoutActingForSlotZero) {
    party_member& fallen = member(0, 2);
    fallen.hp = 0;
    foe(0, 3, 20);
    plan_round();
    ASSERT_EQ(hooks.errors.size(), 1u);
    EXPECT_EQ(hooks.errors[0], "Can't select PC for battle");
    EXPECT_EQ(battle.acting, -1);
    EXPECT_FALSE(plan_action(BA_ATTACK, 0));
    end_planning();
    for (int tick = 0; tick < 10; ++tick) battle_tick();  // no crash, nothing to do
}

TEST_F(BattleTest, EndOfRoundRemovesFallenSummonsRaisesTheAllowanceAndMovesTime) {
    member(0, 2);
    party_member& summoned = member(1, 2);
    summoned.stats[STAT_FLAGS] = CF_SUMMONED;
    party_member& third = member(2, 2);
    third.stats[STAT_FLAGS] = CF_REGENERATION;
    third.hp = 40;
    std::snprintf(third.name, sizeof third.name, "third");
    monster& m = foe(0, 3, 20);
    m.stats[STAT_FLAGS] = CF_REGENERATION;
    m.hp = 19;
    plan_round();
    summoned.hp = 0;
    party_state.rest_allowance = 4000;
    const int32_t time = game_time;
    end_planning();
    end_round();

    EXPECT_STREQ(party_members[1].name, "third");  // later slots moved down
    EXPECT_EQ(party_members[1].hp, 43);
    EXPECT_FALSE(party_members[2].used);
    EXPECT_EQ(m.hp, 20);  // three more, but not above the maximum
    EXPECT_EQ(party_state.rest_allowance, REST_ALLOWANCE_MAX);
    EXPECT_EQ(game_time, time + 1);
    EXPECT_TRUE(world.raised(HOOK_GAME_TICK));
    EXPECT_EQ(battle.round, 2);  // the monster is still there: the next round is planned
    EXPECT_EQ(battle.phase, BATTLE_PLANNING);
}

TEST_F(BattleTest, LosingTheLastGroupRaisesDefeatAndShowsTheDefeatScreen) {
    member(0, 2).hp = 0;
    foe(0, 3, 20);
    reset_screen_effects();
    battle_monsters_tick();  // the battle begins, with nobody standing
    EXPECT_TRUE(world.raised(HOOK_DEFEAT));
    EXPECT_FALSE(world.raised(HOOK_BATTLE_START));
    EXPECT_TRUE(defeat_screen_shown());
    EXPECT_FALSE(monster_battle.battle);
    EXPECT_FALSE(monster_table[0].state & MST_BATTLE);
    reset_screen_effects();
}

namespace {
struct counting_casts : recording_battle_world {
    int casts = 0;
    void cast_spell(int, int, int, int) override { ++casts; }
};
}  // namespace

TEST_F(BattleTest, WandCastsUntilItsLastChargeAndOneRecordedBelowZeroCastsNothing) {
    counting_casts casting;
    set_battle_world(&casting);
    item_def wand;
    std::snprintf(wand.name, sizeof wand.name, "wand");
    wand.type = IT_WAND;
    wand.placement = PL_ONE_HAND;
    wand.spell = 7;
    wand.charges = 2;
    item_def broken = wand;
    broken.charges = -3;
    game_items().set_definitions({wand, broken});
    party_member& m = member(0, 2);

    m.worn[SLOT_RIGHT_HAND] = 2;  // charges -3
    use_wand(0, 0);
    EXPECT_EQ(casting.casts, 0);
    EXPECT_EQ(m.worn[SLOT_RIGHT_HAND], 2);

    m.worn[SLOT_RIGHT_HAND] = 1;  // two charges: a clone with one is left
    use_wand(0, 0);
    EXPECT_EQ(casting.casts, 1);
    const int16_t left = m.worn[SLOT_RIGHT_HAND];
    ASSERT_GT(left, 2);
    EXPECT_EQ(game_items().find(left)->charges, 1);
    use_wand(0, 0);  // the last charge: the wand is gone
    EXPECT_EQ(casting.casts, 2);
    EXPECT_EQ(m.worn[SLOT_RIGHT_HAND], 0);
    set_battle_world(&hooks);
}
