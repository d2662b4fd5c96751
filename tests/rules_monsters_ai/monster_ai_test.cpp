// The monsters' behaviour outside battle on generated grid maps, with the
// random generator seeded.
#include <gtest/gtest.h>

#include "core/random.h"
#include "grid_map.h"
#include "rules/monsters_ai/monster_ai.h"
#include "world/party_roster.h"
#include "world/party_standin.h"
#include "world/rest.h"

namespace {

class MonsterBehaviour : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_monster_ai();
        rest_state.resting = false;
        random_seed(1234);
        make_grid_map(8, 8);
    }
    // The party of the stand-in company at a place, its sector marked.
    void party_at(int sector, int direction) {
        new_standin_party(sector, direction);
        current_map.coords[static_cast<size_t>(sector)].coord_flags |= MC_PLAYER;
    }
    int at(int x, int y) const { return grid_sector(8, x, y); }
};

TEST_F(MonsterBehaviour, GuardTurnsTowardThePartyWalksUpAndEngagesWhenAdjacent) {
    party_at(at(2, 5), 0);  // facing north, toward the guard
    monster& guard = put_monster(0, at(2, 1), 1, MS_WATCH | MS_GUARD);
    EXPECT_FALSE(monsters_look());  // four sectors away: it sees, turns and walks, no battle yet
    EXPECT_EQ(guard.direction, 2);
    EXPECT_TRUE(guard.strategy & MS_WALK);
    EXPECT_EQ(guard.goal_y, exit_goal_y[2]);
    for (int tick = 0; tick < 200 && !monster_battle.battle; ++tick) {
        monsters_tick();
        monsters_look();
    }
    ASSERT_TRUE(monster_battle.battle);
    EXPECT_EQ(guard.sector, at(2, 4));
    EXPECT_TRUE(guard.state & MST_BATTLE);
    EXPECT_FALSE(monster_battle.ambush);  // the party faced it
    EXPECT_EQ(guard.target_sector, at(2, 5));
    EXPECT_TRUE(current_map.coords[static_cast<size_t>(at(2, 5))].coord_flags & 0x01);
    EXPECT_EQ(roster().selected(), 0);
    EXPECT_EQ(guard.goal_x, stand_x[2]);
    EXPECT_EQ(guard.goal_y, stand_y[2]);
}

TEST_F(MonsterBehaviour, MonsterEngagingFromBehindSetsTheAmbush) {
    party_at(at(2, 3), 2);  // looking away, south
    put_monster(0, at(2, 2), 2, MS_WATCH);
    EXPECT_TRUE(monsters_look());
    EXPECT_TRUE(monster_battle.ambush);
}

TEST_F(MonsterBehaviour, MoraleHundredNeverHuntsUnlessThePartyRests) {
    party_at(at(2, 4), 0);
    monster& coward = put_monster(0, at(2, 2), 2, MS_WATCH);
    coward.morale = 100;
    EXPECT_LT(find_target(0).member, 0);
    EXPECT_FALSE(monsters_look());
    EXPECT_FALSE(coward.strategy & MS_WALK);
    rest_state.resting = true;
    const target_found seen = find_target(0);
    EXPECT_GE(seen.member, 0);
    EXPECT_EQ(seen.distance, 2);
    EXPECT_EQ(seen.direction, 2);
}

TEST_F(MonsterBehaviour, SightStopsAtClosedSidesAndBehindTheMonster) {
    party_at(at(5, 3), 0);
    put_monster(0, at(2, 2), 1, MS_WATCH);  // three east, one south: seen along a stepped line
    EXPECT_TRUE(line_of_sight(at(2, 2), at(5, 3), false));
    EXPECT_GE(find_target(0).member, 0);
    EXPECT_EQ(find_target(0).distance, 4);  // off its row and column: 2 x 3 + 3, halved
    wall_between(at(3, 2), 1);
    current_map.sides[static_cast<size_t>(at(3, 2) * 4 + 1)].flags |= SIDE_NOTHING;
    EXPECT_FALSE(line_of_sight(at(2, 2), at(5, 3), false));
    EXPECT_LT(find_target(0).member, 0);
    monster_table[0].direction = 3;  // looking west, away from the party
    EXPECT_LT(find_target(0).member, 0);
    // A grate lets the sight through, but not arrows.
    current_map.sides[static_cast<size_t>(at(3, 2) * 4 + 1)].flags |= SIDE_TRANSPARENT;
    EXPECT_TRUE(line_of_sight(at(2, 2), at(5, 3), false));
    EXPECT_TRUE(line_of_sight(at(2, 2), at(4, 2), false));
    EXPECT_FALSE(line_of_sight(at(2, 2), at(4, 2), true));
}

TEST_F(MonsterBehaviour, DeadEndTurnsRoundPausesThenWalksBack) {
    const int end = at(3, 3);
    wall_between(end, 0);
    wall_between(end, 1);
    wall_between(end, 3);
    monster& m = put_monster(0, end, 0, MS_WALK);
    random_seed(77);
    const int expected = 223 + random(32);
    random_seed(77);
    monster_step(0);
    EXPECT_EQ(m.walk_data, expected);
    EXPECT_EQ(m.direction, 2);
    const int pause = 256 - expected;
    for (int tick = 0; tick < pause; ++tick) monster_step(0);
    EXPECT_EQ(m.walk_data, 0);
    EXPECT_EQ(m.sector, end);
    monster_step(0);
    EXPECT_EQ(m.goal_y, exit_goal_y[2]);  // back the way it came
    EXPECT_GT(m.pos_y, 128);
}

TEST_F(MonsterBehaviour, TwoMonstersSharingASectorStandSideBySide) {
    const int corridor = at(4, 2);
    monster& first = put_monster(0, corridor, 0, 0);  // stands still, facing north
    monster& second = put_monster(1, at(4, 3), 0, MS_WALK);
    set_monster_path(1, {static_cast<uint16_t>(corridor)});
    for (int tick = 0; tick < 40 && second.sector != corridor; ++tick) monsters_tick();
    ASSERT_EQ(second.sector, corridor);
    EXPECT_EQ(first.next_in_sector, 2);
    // Engaged in a battle, both stop facing north, side by side across the corridor.
    monster_battle.battle = true;
    second.direction = 0;
    first.state |= MST_BATTLE;
    second.state |= MST_BATTLE;
    decide_move(0);
    decide_move(1);
    EXPECT_EQ(first.goal_x, 104);
    EXPECT_EQ(second.goal_x, 152);
    EXPECT_EQ(first.goal_y, stand_y[0]);
    // A third one may not come in, nor a BIG one into a sector with one monster.
    monster& third = put_monster(2, at(4, 1), 2, MS_WALK);
    EXPECT_EQ(can_enter(third, at(4, 1), 2), ENTER_BLOCKED);
    monster& big = put_monster(3, at(6, 6), 0, MS_BIG);
    put_monster(4, at(6, 5), 0, 0);
    EXPECT_EQ(can_enter(big, at(6, 6), 0), ENTER_BLOCKED);
}

TEST_F(MonsterBehaviour, MobMonsterBlocksNothing) {
    monster& mob = put_monster(0, at(1, 1), 0, 0);
    leave_occupancy(0);
    mob.state |= MST_MOB;
    rebuild_occupancy();
    EXPECT_FALSE(monster_in(at(1, 1)));
    EXPECT_TRUE(monster_allows_step(at(1, 1)));
    monster& walker = put_monster(1, at(1, 2), 0, MS_WALK);
    EXPECT_EQ(can_enter(walker, at(1, 2), 0), ENTER_FREE);
    // A real monster there stops the party's step; a PASSABLE one does not.
    monster& solid = put_monster(2, at(5, 5), 0, 0);
    EXPECT_FALSE(monster_allows_step(at(5, 5)));
    solid.state |= MST_PASSABLE;
    EXPECT_TRUE(monster_allows_step(at(5, 5)));
}

TEST_F(MonsterBehaviour, RespawnEveryTenthTickAtAFreeHomeOnly) {
    monster& ghost = put_monster(3, at(6, 6), 0, 0);
    ghost.state = MST_RESPWN;  // dead
    leave_occupancy(3);
    ghost.hp = 0;
    ghost.sector = at(1, 1);
    monster_table[5].anim_set = -1;  // never placed: never comes back
    monster_table[5].state = MST_RESPWN;
    for (int tick = 0; tick < 9; ++tick) respawn_tick();
    EXPECT_FALSE(ghost.alive());
    respawn_tick();
    ASSERT_TRUE(ghost.alive());
    EXPECT_EQ(ghost.sector, at(6, 6));
    EXPECT_EQ(ghost.hp, 20);
    EXPECT_EQ(first_monster_in(at(6, 6)), 4);
    EXPECT_FALSE(monster_table[5].alive());
    // Killed again, with its home taken: it waits.
    leave_occupancy(3);
    ghost.state = MST_RESPWN;
    put_monster(7, at(6, 6), 0, 0);
    for (int tick = 0; tick < 40; ++tick) respawn_tick();
    EXPECT_FALSE(ghost.alive());
}

TEST_F(MonsterBehaviour, StoredPathsRoundTripAndBadRecordsAreRefused) {
    put_monster(2, at(1, 1), 1, 0);
    set_monster_path(2, {static_cast<uint16_t>(at(2, 1)), static_cast<uint16_t>(at(3, 1))});
    std::vector<uint8_t> saved;
    write_monster_paths(saved);
    ASSERT_EQ(saved.size(), 2u + 4u + 3u * 2u + 2u);
    drop_monster_path(2);
    size_t used = 0;
    ASSERT_TRUE(read_monster_paths(saved, &used));
    EXPECT_EQ(used, saved.size());
    ASSERT_TRUE(has_monster_path(2));
    monster_step(0 + 2);
    EXPECT_EQ(monster_table[2].goal_x, exit_goal_x[1]);

    auto refused = [&](std::vector<uint8_t> bytes) {
        set_monster_path(2, {static_cast<uint16_t>(at(2, 1))});
        return !read_monster_paths(bytes) && !has_monster_path(2);
    };
    std::vector<uint8_t> bad = saved;
    bad[0] = 0xFF;  // slot 255
    EXPECT_TRUE(refused(bad));
    bad = saved;
    bad[2] = 0xF0;  // a count far past the bytes
    EXPECT_TRUE(refused(bad));
    bad = saved;
    bad[6] = 0xFF;  // a sector outside the map
    bad[7] = 0x7F;
    EXPECT_TRUE(refused(bad));
    EXPECT_TRUE(refused(std::vector<uint8_t>(saved.begin(), saved.end() - 3)));
}

TEST_F(MonsterBehaviour, MapQuestionsAndCallsReachMonsters) {
    put_monster(0, at(1, 1), 0, 0);
    EXPECT_TRUE(monster_on_map());
    EXPECT_TRUE(monster_near(at(4, 2), 4));
    EXPECT_FALSE(monster_near(at(6, 6), 4));
    call_monsters(at(1, 1), at(3, 1));
    EXPECT_TRUE(has_monster_path(0));
    EXPECT_EQ(monster_table[0].direction, 1);
    // The alarm turns listeners toward it, not through sound-proof sides.
    monster& listener = put_monster(1, at(5, 5), 0, MS_LISTEN);
    monster& deaf = put_monster(2, at(5, 6), 0, 0);
    monster_alarm(at(5, 3));
    EXPECT_EQ(listener.direction, 0);
    EXPECT_TRUE(listener.strategy & MS_WALK);
    EXPECT_FALSE(deaf.strategy & MS_WALK);
    listener.strategy = MS_LISTEN;
    listener.direction = 2;
    for (int d = 0; d < 4; ++d)
        current_map.sides[static_cast<size_t>(at(5, 5) * 4 + d)].flags |= SIDE_NOSOUND;
    current_map.sides[static_cast<size_t>(at(5, 4) * 4 + 2)].flags |= SIDE_NOSOUND;
    current_map.sides[static_cast<size_t>(at(4, 5) * 4 + 1)].flags |= SIDE_NOSOUND;
    current_map.sides[static_cast<size_t>(at(6, 5) * 4 + 3)].flags |= SIDE_NOSOUND;
    current_map.sides[static_cast<size_t>(at(5, 6) * 4 + 0)].flags |= SIDE_NOSOUND;
    monster_alarm(at(5, 3));
    EXPECT_EQ(listener.direction, 2);
}

}  // namespace
