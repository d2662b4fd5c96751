// Whole rounds driven through the monster timer with the random generator
// seeded: a fight the party wins, and a round of rest the monsters use.
#include "battle_fixture.h"
#include "world/map_scripts.h"

using namespace battle_test;

namespace {

bool lies_on_floor(int sector, int16_t item) {
    for (int quarter = 0; quarter < 4; ++quarter)
        for (int16_t lying : floor_list(sector, quarter))
            if (lying == item) return true;
    return false;
}

}  // namespace

TEST_F(BattleTest, TwoAttackAndOneThrowsTheMonsterDiesAndTheExperienceAndLootArrive) {
    item_def sword, dagger, ring;
    sword.type = IT_MELEE;
    sword.placement = PL_ONE_HAND;
    dagger.type = IT_THROWN;
    dagger.placement = PL_ONE_HAND;
    game_items().set_definitions({sword, dagger, ring});
    party_member& first = member(0, 2);
    party_member& second = member(1, 2);
    party_member& thrower = member(2, 2);
    for (party_member* p : {&first, &second}) {
        p->worn[SLOT_RIGHT_HAND] = 1;
        p->stats[STAT_ATTACK_MIN] = p->stats[STAT_ATTACK_MAX] = 12;
    }
    thrower.worn[SLOT_RIGHT_HAND] = 2;
    monster& goblin = foe(0, 3, 20);
    goblin.experience = 100;
    goblin.kill_experience = 30;
    goblin.carried[0] = 3;

    battle_monsters_tick();  // the battle begins: hook 9 and the first plans
    EXPECT_TRUE(world.raised(HOOK_BATTLE_START));
    ASSERT_EQ(battle.phase, BATTLE_PLANNING);
    ASSERT_TRUE(plan_action(BA_ATTACK, 0));
    ASSERT_TRUE(select_acting(1));
    ASSERT_TRUE(plan_action(BA_ATTACK, 0));
    ASSERT_TRUE(select_acting(2));
    ASSERT_TRUE(plan_action(BA_ATTACK, 0));  // the dagger is thrown by the attack
    end_planning();
    ASSERT_EQ(battle.order.size(), 3u + 2u);

    const int ticks = run_until_over();
    EXPECT_FALSE(monster_battle.battle) << "after " << ticks << " ticks";
    EXPECT_EQ(battle.phase, BATTLE_OFF);
    EXPECT_FALSE(goblin.alive());
    // Two blows of 12 kill 20 hit points: each brought 12/20 of 100, and
    // everybody got the kill's 30.
    EXPECT_EQ(first.experience + second.experience, 60 + 60 + 2 * 30);
    EXPECT_EQ(thrower.experience, 30);
    EXPECT_GT(first.skill_practice[0] + second.skill_practice[0], 0);
    EXPECT_TRUE(lies_on_floor(3, 3));
    EXPECT_TRUE(world.raised(HOOK_BATTLE_END));
    EXPECT_EQ(hooks.autosaves, 1);
    // The dagger flew from the hand and landed further down the corridor.
    EXPECT_EQ(thrower.worn[SLOT_RIGHT_HAND], 0);
    bool dagger_landed = false;
    for (int sector = 2; sector <= 8; ++sector) dagger_landed = dagger_landed || lies_on_floor(sector, 2);
    EXPECT_TRUE(dagger_landed);
}

TEST_F(BattleTest, RoundOfRestStillRunsEveryMonsterAction) {
    party_member& hero = member(0, 2);
    hero.stats[STAT_HP_REGEN] = 0;
    monster& guard = foe(0, 3, 30, 30);  // two actions a round
    guard.stats[STAT_ATTACK_MIN] = guard.stats[STAT_ATTACK_MAX] = 7;
    guard.frame_count[4] = 3;
    guard.hit_frame = 2;
    battle_monsters_tick();
    ASSERT_EQ(battle.phase, BATTLE_PLANNING);
    ASSERT_TRUE(plan_action(BA_REST));
    end_planning();
    EXPECT_EQ(battle.order.size(), 1u + 2u + 2u);
    for (int tick = 0; tick < 500 && battle.round == 1; ++tick) battle_monsters_tick();
    EXPECT_EQ(battle.round, 2);
    EXPECT_EQ(hero.hp, 50 - 2 * 7);
    EXPECT_EQ(guard.sector, 3);
}
