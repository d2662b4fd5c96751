// The monsters' side of a battle kept going by the round stand-in, driven
// only through the world's monster timer and look, on a corridor built in
// memory with the random generator seeded.
#include <gtest/gtest.h>

#include <cstdio>

#include "../world/view_test_map.h"
#include "core/clock.h"
#include "core/random.h"
#include "rules/binding/world_binding.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/monster_fight/rounds_standin.h"
#include "rules/party.h"
#include "world/map.h"
#include "world/monster_hooks.h"

namespace {

// Sectors 1..8 from west to east.
const std::vector<std::string> corridor = {
    "##########",  //
    "#........#",  //
    "##########",  //
};

void move_hero(party_member& hero, int sector) {
    current_map.coords[size_t(hero.sector)].coord_flags &= uint8_t(~MC_PLAYER);
    hero.sector = int16_t(sector);
    current_map.coords[size_t(sector)].coord_flags |= MC_PLAYER;
}

}  // namespace

TEST(BattleStandin, EngagedGuardStrikesOnItsOwnAndTheBattleEndsWhenThePartyLeavesItsSight) {
    view_test::build_grid_map(corridor);
    clear_monster_table();
    reset_monster_ai();
    reset_party();
    random_seed(4242);
    install_rules_into_world();
    install_monster_fight();
    monster_fight_world quiet;  // no sounds, views or log
    set_monster_fight_world(&quiet);
    install_battle_standin();

    party_member& hero = party_members[0];
    hero.used = 1;
    hero.group = 1;
    hero.hp = 50;
    hero.stats[STAT_HP_MAX] = 50;
    hero.stats[STAT_SPEED] = 30;
    std::snprintf(hero.name, sizeof hero.name, "hero");
    hero.sector = 2;
    move_hero(hero, 2);

    monster& guard = monster_table[0];
    std::snprintf(guard.name, sizeof guard.name, "guard");
    guard.state = MST_LIVE;
    guard.strategy = MS_WATCH | MS_GUARD;
    guard.sector = guard.home_sector = 3;
    guard.direction = 3;  // looking west, at the party
    guard.pos_x = guard.pos_y = guard.goal_x = guard.goal_y = 128;
    guard.anim_frame = -1;
    guard.hp = guard.stats[STAT_HP_MAX] = 30;
    guard.stats[STAT_SPEED] = 20;  // one action a round
    guard.stats[STAT_ATTACK_MIN] = guard.stats[STAT_ATTACK_MAX] = 9;
    guard.speed = 8;
    guard.sight = 4;
    guard.reach = 1;
    guard.frame_count[4] = 3;
    guard.hit_frame = 2;
    enter_occupancy(0);

    world_monsters.look();  // as after the party's step
    ASSERT_TRUE(guard.state & MST_BATTLE);
    ASSERT_TRUE(monster_battle.battle);

    // No round before the first one is due; then the guard strikes by itself.
    const int ticks_per_round = STANDIN_ROUND_MS / (monster_timer_period() * tick_length());
    for (int tick = 0; tick + 1 < ticks_per_round; ++tick) world_monsters.tick();
    EXPECT_EQ(hero.hp, 50);
    EXPECT_EQ(guard.intent, MI_NONE);
    int ticks = 0;
    for (; ticks < 5 * ticks_per_round && hero.hp == 50; ++ticks) world_monsters.tick();
    EXPECT_EQ(hero.hp, 50 - 9) << "after " << ticks << " ticks";
    EXPECT_EQ(hero.last_damage, 9);
    EXPECT_EQ(guard.sector, 3);  // it struck from where it stood
    EXPECT_TRUE(monster_battle.battle);

    // Rounds go on while it is engaged: it strikes again.
    for (ticks = 0; ticks < 5 * ticks_per_round && hero.hp == 50 - 9; ++ticks) world_monsters.tick();
    EXPECT_EQ(hero.hp, 50 - 18);

    // The party goes behind it, out of its sight: the next round ends the battle.
    move_hero(hero, 7);
    world_monsters.look();
    for (ticks = 0; ticks < 5 * ticks_per_round && monster_battle.battle; ++ticks) world_monsters.tick();
    EXPECT_FALSE(monster_battle.battle);
    EXPECT_FALSE(guard.state & MST_BATTLE);
    EXPECT_EQ(hero.hp, 50 - 18);

    // Back to normal time: the timer walks it by its own rules again.
    const int x = guard.pos_x, y = guard.pos_y, sector = guard.sector;
    for (int tick = 0; tick < 20; ++tick) world_monsters.tick();
    EXPECT_TRUE(guard.pos_x != x || guard.pos_y != y || guard.sector != sector);

    world_monsters = {};
    set_monster_fight_world(nullptr);
    remove_rules_from_world();
    reset_monster_ai();
}
