// The monsters' side of a fight on a small map built in memory: morale and
// flight, actions per round, the blow, shooting, death and loot.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "../world/view_test_map.h"
#include "core/random.h"
#include "rules/floor/floor_items.h"
#include "rules/items.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"
#include "world/map.h"

using namespace view_test;

namespace {

// A corridor running east with a branch going south from its middle:
// sectors 1..5 along the corridor, 6, 7, 8 down the branch from sector 3.
const std::vector<std::string> branching = {
    "#######",  //
    "#.....#",  //
    "###.###",  //
    "###.###",  //
    "###.###",  //
    "#######",  //
};

struct recording_fight : monster_fight_world {
    std::vector<std::vector<uint16_t>> paths;
    std::vector<int> launched_force;
    int launched_item = 0;
    void store_path(int, const std::vector<uint16_t>& sectors) override { paths.push_back(sectors); }
    void launch(int, int item, int, int force, int) override {
        launched_item = item;
        launched_force.push_back(force);
    }
};

class MonsterFight : public ::testing::Test {
  protected:
    std::array<monster, MONSTER_SLOTS> table{};
    std::vector<uint8_t> occupancy;
    recording_fight world;

    void SetUp() override {
        build_grid_map(branching);
        occupancy.assign(size_t(current_map.sector_count), 0);
        bind_fight_table({table, occupancy});
        set_monster_fight_world(&world);
        reset_party();
        lost_items().clear();
        game_items().set_definitions({});
        random_seed(1234);
    }
    void TearDown() override { set_monster_fight_world(nullptr); }

    monster& place(int slot, int sector, int hp, int direction = 1) {
        monster& m = table[size_t(slot)];
        std::snprintf(m.name, sizeof m.name, "goblin %d", slot);
        m.state = MST_LIVE;
        m.sector = int16_t(sector);
        m.direction = int16_t(direction);
        m.hp = int16_t(hp);
        m.stats[STAT_HP_MAX] = int16_t(hp);
        enter_occupancy(slot);
        return m;
    }
    party_member& member(int slot, int sector, int hp = 50) {
        party_member& p = party_members[slot];
        p.used = 1;
        p.group = 1;
        p.sector = int16_t(sector);
        p.hp = int16_t(hp);
        p.stats[STAT_HP_MAX] = 50;
        p.stats[STAT_VP_MAX] = 50;
        p.vp = 50;
        p.stats[STAT_SPEED] = 30;
        std::snprintf(p.name, sizeof p.name, "hero %d", slot);
        current_map.coords[size_t(sector)].coord_flags |= MC_PLAYER;
        return p;
    }
};

}  // namespace

TEST_F(MonsterFight, MoraleZeroAtFullHealthNeverFleesNorAfterLosingSixtyOfAHundred) {
    member(0, 1);
    monster& m = place(0, 5, 100);  // far from the party, alone in its sector
    m.morale = 0;
    for (int round = 0; round < 50; ++round) {
        random_seed(uint32_t(round));
        m.intent = MI_NONE;
        monster_turn(0);
        ASSERT_NE(m.intent, MI_FLEE);
    }
    m.hp = 40;
    m.damage_taken = 60;
    for (int round = 0; round < 50; ++round) {
        random_seed(uint32_t(round));
        m.damage_taken = 60;
        m.intent = MI_NONE;
        monster_turn(0);
        ASSERT_NE(m.intent, MI_FLEE);
    }
    EXPECT_TRUE(world.paths.empty());
    // The same monster in panic runs.
    m.stats[STAT_FLAGS] = MF_PANIC;
    monster_turn(0);
    EXPECT_EQ(m.intent, MI_FLEE);
}

TEST_F(MonsterFight, FleeingMonsterRunsToTheFarthestReachableSectorAwayFromTheParty) {
    member(0, 1);  // the party holds sector 1 and so closes sector 2
    monster& m = place(0, 3, 30);
    m.stats[STAT_FLAGS] = MF_PANIC;
    m.damage_taken = 12;
    EXPECT_TRUE(monster_turn(0));
    ASSERT_EQ(world.paths.size(), 1u);
    EXPECT_EQ(world.paths[0], (std::vector<uint16_t>{6, 7, 8}));
    EXPECT_EQ(m.intent, MI_FLEE);
    EXPECT_EQ(m.actions, 6);
    EXPECT_EQ(m.damage_taken, 0);

    // A teleport in the branch closes it: the corridor's end is farthest now.
    current_map.sectors[7].sector_type = 12;
    monster_turn(0);
    EXPECT_EQ(world.paths.back(), (std::vector<uint16_t>{4, 5}));
    // Sectors holding two monsters are full; a BIG monster needs them empty.
    current_map.sectors[7].sector_type = 0;
    place(1, 4, 10);
    m.strategy = MS_BIG;
    monster_turn(0);
    EXPECT_EQ(world.paths.back(), (std::vector<uint16_t>{6, 7, 8}));
    place(2, 6, 10);
    world.paths.clear();
    m.intent = MI_NONE;
    monster_turn(0);  // nowhere to go: it fights on
    EXPECT_TRUE(world.paths.empty());
    EXPECT_NE(m.intent, MI_FLEE);
}

TEST_F(MonsterFight, ActionsPerRoundComeFromSpeed) {
    EXPECT_EQ(monster_round_actions(7), 1);
    EXPECT_EQ(monster_round_actions(30), 2);
    EXPECT_EQ(monster_round_actions(0), 0);
    EXPECT_EQ(monster_round_actions(-4), 0);
    EXPECT_EQ(monster_round_actions(14), 1);
    monster& fast = place(0, 4, 10);
    fast.stats[STAT_SPEED] = 45;
    fast.walk_data = 230;
    monster& dead = place(1, 5, 10);
    dead.stats[STAT_SPEED] = 45;
    dead.state = 0;
    grant_round_actions();
    EXPECT_EQ(fast.actions, 3);
    EXPECT_EQ(fast.walk_data, 0);
    EXPECT_EQ(dead.actions, 0);
}

TEST_F(MonsterFight, BlowLandsOnALivingMemberAndFallsOnNobodyWhenNoneLivesThere) {
    party_member& hero = member(0, 2);
    monster& m = place(0, 3, 20, 3);
    m.stats[STAT_ATTACK_MIN] = m.stats[STAT_ATTACK_MAX] = 12;
    m.intent = MI_ATTACK;
    m.target_sector = 2;
    m.damage_taken = 9;
    monster_blow(0);
    EXPECT_EQ(hero.last_damage, 12);
    EXPECT_EQ(hero.hp, 50 - 12);
    EXPECT_EQ(m.damage_taken, 0);

    // The sector is still marked, but the one standing there is dead.
    hero.hp = 0;
    m.damage_taken = 9;
    uint32_t before = random_state();
    monster_blow(0);
    EXPECT_EQ(random_state(), before);
    EXPECT_EQ(m.damage_taken, 9);
    EXPECT_EQ(hero.hp, 0);
}

TEST_F(MonsterFight, ArcherShootsTheFirstArrowAndStopsTheGameWithoutOne) {
    monster& m = place(0, 3, 20);
    m.strategy = MS_ROGUE;
    m.stats[STAT_ATTACK_MIN] = 4, m.stats[STAT_ATTACK_MAX] = 8, m.stats[STAT_DEXTERITY] = 25;
    m.stats[STAT_MAGIC_ATTACK_MAX] = 6;
    EXPECT_EXIT(monster_blow(0), ::testing::ExitedWithCode(1),
                "Nestvura nemuze strilet. Neni nadefinovan obekt sipu");

    item_def bolt, arrow;
    bolt.type = IT_THROWN;  // a throwing weapon, not in the quiver
    bolt.placement = PL_ONE_HAND;
    arrow.type = IT_THROWN;
    arrow.placement = PL_QUIVER;
    game_items().set_definitions({bolt, arrow});
    for (int i = 0; i < 40; ++i) monster_blow(0);
    EXPECT_EQ(world.launched_item, 2);
    EXPECT_EQ(game_items().find(2)->magic_attack_max, 6);
    for (int force : world.launched_force) {
        ASSERT_GE(force, 4 + 5);
        ASSERT_LE(force, 8 + 5);
    }
}

TEST_F(MonsterFight, DyingMonsterDropsItsLootOnTheQuarterNearestWhereItStood) {
    item_def coins, sword, lost_ring;
    coins.type = IT_MONEY;
    coins.money = 10;
    sword.type = IT_MELEE;
    game_items().set_definitions({coins, sword, lost_ring});
    lost_items() = {3};

    monster& first = place(0, 4, 20);
    monster& killed = place(1, 4, 20);
    killed.pos_x = 150, killed.pos_y = 100;  // north-east of the centre
    killed.carried[0] = 2;
    killed.money = 50;
    hit_monster(1, 500);
    EXPECT_EQ(killed.hp, 0);  // a blow never takes more than the maximum
    EXPECT_EQ(killed.anim_kind, MA_DYING);
    monster_death_check(1);
    EXPECT_FALSE(killed.alive());

    std::span<const int16_t> quarter = floor_list(4, 1);
    ASSERT_EQ(quarter.size(), 3u);
    EXPECT_GT(quarter[0], 3);  // a clone of the coins holding 40..59
    int money = game_items().find(quarter[0])->money;
    EXPECT_GE(money, 40);
    EXPECT_LE(money, 59);
    EXPECT_EQ(quarter[1], 2);
    EXPECT_EQ(quarter[2], 3);
    EXPECT_TRUE(lost_items().empty());
    for (int q : {0, 2, 3}) EXPECT_EQ(floor_stack_count(4, q), 0);
    EXPECT_EQ(occupancy[4], 1);
    EXPECT_EQ(first.next_in_sector, 0);
}

TEST_F(MonsterFight, MonsterWithoutMaximumHitPointsIsHitAndWeighsItsMoraleWithoutDividingByZero) {
    member(0, 1);
    monster& m = place(0, 5, 5);
    m.stats[STAT_HP_MAX] = 0;
    m.morale = 50;
    m.damage_taken = 3;
    monster_turn(0);
    hit_monster(0, 4);
    EXPECT_LE(m.hp, 5);
}

TEST_F(MonsterFight, KnockBackMovesTheMonsterOnlyWhereItMayEnter) {
    monster& m = place(0, 3, 20);
    m.pos_x = 140;
    push_monster(0, 1);
    EXPECT_EQ(m.sector, 4);
    EXPECT_EQ(m.pos_x, 140);
    EXPECT_EQ(occupancy[3], 0);
    EXPECT_EQ(occupancy[4], 1);
    monster& big = place(1, 5, 20);
    big.strategy = MS_BIG;
    push_monster(0, 1);  // a BIG monster fills its sector alone
    EXPECT_EQ(m.sector, 4);
    push_monster(0, 0);  // a wall
    EXPECT_EQ(m.sector, 4);
}

TEST_F(MonsterFight, MonsterClosesInOnItsTargetAndStrikesAtTheMemberAhead) {
    party_member& hero = member(0, 1);
    monster& m = place(0, 8, 30, 0);  // at the branch's end, facing north
    m.state |= MST_BATTLE;
    // Without anyone to go for it leaves the battle.
    EXPECT_TRUE(monster_turn(0));
    EXPECT_FALSE(m.state & MST_BATTLE);

    world.find_target = [](int) { return fight_target{0, 4, 0, 1}; };
    EXPECT_FALSE(monster_turn(0));
    EXPECT_EQ(m.direction, 0);
    EXPECT_EQ(m.goal_y, 0);  // walking out north, toward sector 7

    // The member steps into the sector ahead: the monster stops and strikes.
    m.sector = 3;
    m.direction = 3;
    current_map.coords[1].coord_flags = 0;
    hero.sector = 2;
    current_map.coords[2].coord_flags |= MC_PLAYER;
    EXPECT_FALSE(monster_turn(0));
    EXPECT_EQ(m.intent, MI_ATTACK);
    EXPECT_EQ(m.target_sector, 2);
    EXPECT_EQ(m.goal_x, 104);
    EXPECT_EQ(m.goal_y, 128);
}
