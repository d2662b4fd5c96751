// Objects in the air on a small corridor built in memory: throwing speeds,
// bouncing off walls, falling down shafts, hitting members and monsters.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "../world/view_test_map.h"
#include "core/random.h"
#include "monsters/monsters.h"
#include "rules/flight/flight.h"
#include "rules/floor/floor_items.h"
#include "rules/floor/floor_items_game.h"
#include "rules/items.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/party.h"
#include "world/map.h"
#include "world/party_standin.h"

using namespace view_test;

namespace {

// Sectors 1..5 from west to east; a wall closes each end.
const std::vector<std::string> corridor = {
    "#######",  //
    "#.....#",  //
    "#######",  //
};

constexpr int16_t DAGGER = 1, ARROW = 2, STONE = 3;

item_def weapon(const char* name, int type, int placement, int weight, int attack) {
    item_def d;
    std::snprintf(d.name, sizeof d.name, "%s", name);
    d.type = int16_t(type);
    d.placement = int16_t(placement);
    d.weight = int16_t(weight);
    d.mods[STAT_ATTACK_MIN] = d.mods[STAT_ATTACK_MAX] = int16_t(attack);
    return d;
}

class Flight : public ::testing::Test {
  protected:
    void SetUp() override {
        build_grid_map(corridor);
        clear_monster_table();
        clear_flying_objects();
        reset_party();
        lost_items().clear();
        game_items().set_definitions({weapon("dagger", IT_THROWN, PL_ONE_HAND, 5, 60),
                                      weapon("arrow", IT_THROWN, PL_QUIVER, 1, 60),
                                      weapon("stone", IT_ORDINARY, PL_NONE, 100, 0)});
        new_standin_party(2, 1);  // in sector 2 looking east
        random_seed(77);
    }
    void TearDown() override { clear_flying_objects(); }

    // Runs the flight until nothing is in the air (at most `ticks` ticks).
    void fly(int ticks = 400) {
        for (int i = 0; i < ticks && !flying_objects().empty(); ++i) flight_tick();
        ASSERT_TRUE(flying_objects().empty());
    }
    flying_object* throw_one(int16_t item, bool level = true, int y = 100) {
        held_list held{item};
        return throw_items(100, y, level, held);
    }
    party_member& member(int slot, int sector) {
        party_member& p = party_members[slot];
        p.used = 1;
        p.group = 1;
        p.sector = int16_t(sector);
        p.map_hash = current_map.hash;
        p.hp = p.stats[STAT_HP_MAX] = 500;
        p.vp = p.stats[STAT_VP_MAX] = 50;
        current_map.coords[size_t(sector)].coord_flags |= MC_PLAYER;
        return p;
    }
    monster& place(int slot, int sector, int hp) {
        monster& m = monster_table[size_t(slot)];
        m = monster{};
        m.state = MST_LIVE;
        m.sector = int16_t(sector);
        m.hp = m.stats[STAT_HP_MAX] = int16_t(hp);
        enter_occupancy(slot);
        return m;
    }
    int hp_lost(int from, int to) const {
        int lost = 0;
        for (int i = from; i <= to; ++i) lost += 500 - party_members[i].hp;
        return lost;
    }
};

}  // namespace

TEST_F(Flight, ThrowSpeedFallsWithWeightAndWeightlessItemsFlyAtTwentyFour) {
    EXPECT_EQ(throw_speed(5), 56);
    EXPECT_EQ(throw_speed(100), 11);
    EXPECT_EQ(throw_speed(0), 24);
    EXPECT_EQ(throw_speed(-7), 24);
    // Thrown from the view: the held list flies, the hand is empty.
    held_list held{STONE};
    flying_object* p = throw_items(500, 300, false, held);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(held.empty());
    EXPECT_EQ(p->speed, 11);
    EXPECT_EQ(p->progress, 12);
    EXPECT_EQ(p->offset, 32);
    EXPECT_EQ(p->fly_sector, 2);
    EXPECT_EQ(p->fly_dir, 1);
}

TEST_F(Flight, ThrownItemBouncesOffTheWallAheadAndLandsInTheFarHalf) {
    party.sector = 4;  // the wall is one sector ahead, behind sector 5
    throw_one(DAGGER, false);
    fly();
    EXPECT_FALSE(items_in_sector(4));
    ASSERT_EQ(floor_stack_count(5, 1), 1);  // east facing: ahead-left is the north-east quarter
    EXPECT_EQ(floor_list(5, 1)[0], DAGGER);
}

TEST_F(Flight, ItemFallingIntoAShaftLandsInTheSectorBelowAndAShaftToNowhereLosesNothing) {
    current_map.sectors[3].sector_type = SECTOR_PIT;
    current_map.sectors[3].action_target = 5;
    throw_one(STONE, false);
    fly();
    EXPECT_FALSE(items_in_sector(3));
    EXPECT_TRUE(items_in_sector(5));

    // Without a sector below the stone comes down on the edge it came from.
    current_map.sectors[3].action_target = 0;
    throw_one(STONE, false);
    fly();
    EXPECT_TRUE(items_in_sector(2));
    EXPECT_TRUE(lost_items().empty());
}

TEST_F(Flight, ItemLetGoOverAShaftFromTheViewDropsToTheSectorBelow) {
    install_flight();
    current_map.sectors[2].sector_type = SECTOR_PIT;
    current_map.sectors[2].action_target = 1;  // behind the party, which looks east
    held_list held{STONE};
    click_game_view(200, 360, false);  // nothing held: nothing happens
    game_held() = held;
    click_game_view(200, 360, false);  // the near-left floor of the shaft the party stands over
    EXPECT_TRUE(game_held().empty());
    fly();
    EXPECT_FALSE(items_in_sector(2));
    EXPECT_FALSE(items_in_sector(5));
    EXPECT_TRUE(items_in_sector(1));
    game_floor_world::thrower = nullptr;
}

TEST_F(Flight, TeleportsLeadingInACircleLetTheObjectDrop) {
    current_map.sectors[3].sector_type = SECTOR_TELEPORT;
    current_map.sectors[3].action_target = 4;
    current_map.sectors[4].sector_type = SECTOR_TELEPORT;
    current_map.sectors[4].action_target = 3;
    throw_one(DAGGER);
    fly();
    EXPECT_TRUE(items_in_sector(3) || items_in_sector(4) || !lost_items().empty());
}

TEST_F(Flight, ShaftsFallingIntoEachOtherLetTheItemLandInsteadOfFallingForever) {
    current_map.sectors[3].sector_type = SECTOR_PIT;
    current_map.sectors[3].action_target = 4;
    current_map.sectors[4].sector_type = SECTOR_PIT;
    current_map.sectors[4].action_target = 3;
    throw_one(STONE, false);
    fly();
    EXPECT_TRUE(items_in_sector(3) || items_in_sector(4));
    EXPECT_TRUE(lost_items().empty());
}

TEST_F(Flight, ArrowThatKillsAMonsterDoesNotStayWithItButAThrownDaggerDoes) {
    member(0, 2);
    party_state.current = 0;
    place(0, 3, 5);
    throw_one(ARROW);
    fly();
    monster_death_check(0);
    EXPECT_FALSE(monster_table[0].alive());
    EXPECT_FALSE(items_in_sector(3));
    EXPECT_FALSE(items_in_sector(4));

    monster& second = place(1, 3, 5);
    throw_one(DAGGER);
    fly();
    EXPECT_EQ(second.carried[0], DAGGER);
    EXPECT_EQ(second.direction, 3);  // turned to face the thrower
    monster_death_check(1);
    EXPECT_TRUE(items_in_sector(3));
    EXPECT_EQ(
        floor_list(3, 0).size() + floor_list(3, 1).size() + floor_list(3, 2).size() + floor_list(3, 3).size(),
        1u);

    // Of a thrown stack only the dagger that struck stays; the others fall.
    for (int q = 0; q < FLOOR_QUARTERS; ++q) take_stack(3, q);
    monster& third = place(2, 3, 500);
    held_list stack{DAGGER, -DAGGER, -DAGGER};
    throw_items(100, 100, true, stack);
    fly();
    EXPECT_EQ(third.carried[0], DAGGER);
    size_t on_floor = 0;
    for (int q = 0; q < FLOOR_QUARTERS; ++q) on_floor += floor_list(3, q).size();
    EXPECT_EQ(on_floor, 2u);
}

TEST_F(Flight, MembersProjectilePassesTwoMembersAndHitsOneOfThree) {
    member(0, 2);
    party_state.current = 0;
    member(1, 3);
    member(2, 3);
    throw_one(DAGGER);
    fly();
    EXPECT_EQ(hp_lost(1, 2), 0);
    EXPECT_TRUE(items_in_sector(5));  // it flew on to the wall and fell there

    member(3, 3);
    throw_one(DAGGER);
    fly();
    int hit = 0;
    for (int i = 1; i <= 3; ++i) hit += party_members[i].hp < 500;
    EXPECT_EQ(hit, 1);
    EXPECT_GT(hp_lost(1, 3), 0);
}

TEST_F(Flight, MonstersArrowHitsAMemberAndIsSpent) {
    party_member& hero = member(0, 2);
    monster& archer = place(0, 4, 20);
    archer.direction = 3;  // facing the party to the west
    flying_object* p = launch(-1, ARROW, 4, 3);
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(p->fly_flags & FLY_MAGICAL);
    p->force = 20;
    fly();
    EXPECT_LT(hero.hp, 500);
    EXPECT_FALSE(items_in_sector(2));
    EXPECT_FALSE(items_in_sector(1));
}
