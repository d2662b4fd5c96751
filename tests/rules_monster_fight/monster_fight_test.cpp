// The monsters' side of a fight on a small map built in memory: morale and
// flight, actions per round, the blow, shooting, death and loot.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "../world/view_test_map.h"
#include "core/random.h"
#include "rules/binding/world_binding.h"
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

// The path stored for a slot, as the saved layout gives it back (without the
// closing 0); empty for none.
std::vector<uint16_t> stored_path(int slot) {
    std::vector<uint8_t> bytes;
    write_monster_paths(bytes);
    for (size_t at = 0; at + 2 <= bytes.size();) {
        const int16_t owner = int16_t(bytes[at] | bytes[at + 1] << 8);
        if (owner == -1) break;
        const uint32_t count =
            uint32_t(bytes[at + 2] | bytes[at + 3] << 8 | bytes[at + 4] << 16 | bytes[at + 5] << 24);
        std::vector<uint16_t> entries;
        for (uint32_t i = 0; i + 1 < count; ++i)
            entries.push_back(uint16_t(bytes[at + 6 + 2 * i] | bytes[at + 7 + 2 * i] << 8));
        if (owner == slot) return entries;
        at += 6 + 2 * size_t(count);
    }
    return {};
}

struct recording_fight : monster_fight_world {
    std::vector<int> launched_force;
    int launched_item = 0;
    void launch(int, int item, int, int force, int) override {
        launched_item = item;
        launched_force.push_back(force);
    }
};

class MonsterFight : public ::testing::Test {
  protected:
    std::array<monster, MONSTER_SLOTS>& table = monster_table;
    std::vector<uint8_t>& occupancy = sector_monsters;
    recording_fight world;

    void SetUp() override {
        build_grid_map(branching);
        clear_monster_table();
        reset_monster_ai();
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
    EXPECT_FALSE(has_monster_path(0));
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
    EXPECT_EQ(stored_path(0), (std::vector<uint16_t>{6, 7, 8}));
    EXPECT_EQ(m.intent, MI_FLEE);
    EXPECT_EQ(m.actions, 6);
    EXPECT_EQ(m.damage_taken, 0);

    // A teleport in the branch closes it: the corridor's end is farthest now.
    current_map.sectors[7].sector_type = 12;
    monster_turn(0);
    EXPECT_EQ(stored_path(0), (std::vector<uint16_t>{4, 5}));
    // Sectors holding two monsters are full; a BIG monster needs them empty.
    current_map.sectors[7].sector_type = 0;
    place(1, 4, 10);
    m.strategy = MS_BIG;
    monster_turn(0);
    EXPECT_EQ(stored_path(0), (std::vector<uint16_t>{6, 7, 8}));
    place(2, 6, 10);
    drop_monster_path(0);
    m.intent = MI_NONE;
    monster_turn(0);  // nowhere to go: it fights on
    EXPECT_FALSE(has_monster_path(0));
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

TEST_F(MonsterFight, BlowFallsOnNobodyWhenTheTargetSectorIsOutOfReach) {
    party_member& near_hero = member(0, 3);
    party_member& far_hero = member(1, 5);
    monster& m = place(0, 2, 20, 1);
    m.stats[STAT_ATTACK_MIN] = m.stats[STAT_ATTACK_MAX] = 12;
    m.intent = MI_ATTACK;
    // A target two sectors off, as a look of a monster with a long reach
    // leaves it: nobody there is struck from afar.
    m.target_sector = 5;
    monster_blow(0);
    EXPECT_EQ(far_hero.hp, 50);
    EXPECT_EQ(near_hero.hp, 50);
    // The neighbour ahead is within reach.
    m.target_sector = 3;
    monster_blow(0);
    EXPECT_EQ(near_hero.hp, 50 - 12);
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

TEST_F(MonsterFight, MonsterClosesInOnTheMemberItSeesAndStrikesAtTheMemberAhead) {
    install_rules_into_world();  // the monsters look for the real party
    party_member& hero = member(0, 3);
    monster& m = place(0, 8, 30, 0);  // at the branch's end, facing north up to the corridor
    m.state |= MST_BATTLE;
    // Seeing nobody it leaves the battle.
    EXPECT_TRUE(monster_turn(0));
    EXPECT_FALSE(m.state & MST_BATTLE);

    m.sight = 5;
    EXPECT_FALSE(monster_turn(0));
    EXPECT_EQ(m.direction, 0);
    EXPECT_EQ(m.goal_y, 0);  // walking out north, toward sector 7

    // The member steps into the sector ahead: the monster stops and strikes.
    leave_occupancy(0);
    m.sector = 4;
    m.direction = 3;
    enter_occupancy(0);
    current_map.coords[3].coord_flags = 0;
    hero.sector = 3;
    current_map.coords[3].coord_flags |= MC_PLAYER;
    EXPECT_FALSE(monster_turn(0));
    EXPECT_EQ(m.intent, MI_ATTACK);
    EXPECT_EQ(m.target_sector, 3);
    EXPECT_EQ(m.goal_x, 104);
    EXPECT_EQ(m.goal_y, 128);
    remove_rules_from_world();
}

TEST_F(MonsterFight, BlowAtTheHitFrameOfTheWalkAndDeathCheckGoThroughTheFight) {
    install_monster_fight();
    set_monster_fight_world(&world);
    party_member& hero = member(0, 2);
    monster& m = place(0, 3, 20, 3);
    m.stats[STAT_ATTACK_MIN] = m.stats[STAT_ATTACK_MAX] = 7;
    m.frame_count[4] = 4;
    m.hit_frame = 2;
    m.intent = MI_ATTACK;
    m.target_sector = 2;
    m.anim_kind = MA_ATTACKING;
    m.anim_frame = 0;
    monster_step(0);
    EXPECT_EQ(hero.hp, 50);
    monster_step(0);  // the hit frame
    EXPECT_EQ(hero.hp, 50 - 7);
    monster_step(0);
    monster_step(0);
    EXPECT_EQ(m.anim_kind, MA_NORMAL);

    // Killed, it dies at the dying animation's third frame, its path with it;
    // a summoned one's own animation set goes too, so it never comes back.
    set_monster_path(0, {4, 5});
    m.anim_owned = 1;
    m.state |= MST_RESPWN;
    hit_monster(0, 20);
    EXPECT_EQ(m.anim_kind, MA_DYING);
    monster_step(0);
    EXPECT_TRUE(m.alive());
    monster_step(0);
    EXPECT_FALSE(m.alive());
    EXPECT_FALSE(has_monster_path(0));
    EXPECT_EQ(occupancy[3], 0);
    EXPECT_EQ(m.anim_set, -1);
    for (int tick = 0; tick < 30; ++tick) respawn_tick();
    EXPECT_FALSE(m.alive());
}
