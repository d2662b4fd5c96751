#pragma once
// A corridor built in memory with a party and monsters placed on it, the
// random generator seeded, and the world's answers recorded.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "../world/view_test_map.h"
#include "core/random.h"
#include "rules/battle/battle.h"
#include "rules/flight/flight.h"
#include "rules/floor/floor_items.h"
#include "rules/items.h"
#include "rules/monster_fight/monster_fight.h"
#include "world/map.h"
#include "world/monster_hooks.h"
#include "world/party_standin.h"

namespace battle_test {

// Sectors 1..8 from west to east.
inline const std::vector<std::string> corridor = {
    "##########",  //
    "#........#",  //
    "##########",  //
};

struct recording_party_world : party_world {
    std::vector<int> events;
    int view_sector() const override { return party.sector; }
    int view_direction() const override { return party.direction; }
    bool raise_global_event(int event, int, int) override {
        events.push_back(event);
        return false;
    }
    bool raised(int event) const {
        for (int e : events)
            if (e == event) return true;
        return false;
    }
};

struct recording_battle_world : battle_world {
    std::vector<std::string> errors;
    int autosaves = 0;
    void report_error(const char* text) override { errors.push_back(text); }
    void autosave() override { ++autosaves; }
};

class BattleTest : public ::testing::Test {
  protected:
    recording_party_world world;
    recording_battle_world hooks;

    void SetUp() override {
        view_test::build_grid_map(corridor);
        clear_monster_table();
        reset_monster_ai();
        reset_party();
        lost_items().clear();
        game_items().set_definitions({});
        random_seed(1234);
        set_party_world(&world);
        set_battle_world(&hooks);
        install_monster_fight();  // the game's fight: it reaches the battle
        install_battle();
        party.sector = 2;
        party.direction = 1;
    }
    void TearDown() override {
        reset_battle();
        clear_flying_objects();
        world_monsters = {};
        fight_battle = {};
        set_monster_fight_world(nullptr);
        set_battle_world(nullptr);
        set_party_world(nullptr);
        reset_monster_ai();
        game_held().clear();
    }

    // A member facing east, one action per 15 of speed.
    party_member& member(int slot, int sector, int speed = 15) {
        party_member& p = party_members[slot];
        p.used = 1;
        p.group = 1;
        p.sector = int16_t(sector);
        p.direction = 1;
        p.hp = 50;
        p.stats[STAT_HP_MAX] = 50;
        p.vp = p.stats[STAT_VP_MAX] = 50;
        p.stats[STAT_SPEED] = int16_t(speed);
        p.level = 1;
        std::snprintf(p.name, sizeof p.name, "hero %d", slot);
        current_map.coords[size_t(sector)].coord_flags |= MC_PLAYER;
        return p;
    }
    // An engaged monster facing west, at the centre of its sector.
    monster& foe(int slot, int sector, int hp, int speed = 0) {
        monster& m = monster_table[size_t(slot)];
        std::snprintf(m.name, sizeof m.name, "goblin %d", slot);
        m.state = MST_LIVE | MST_BATTLE;
        m.sector = m.home_sector = int16_t(sector);
        m.direction = 3;
        m.pos_x = m.pos_y = m.goal_x = m.goal_y = 128;
        m.anim_frame = -1;
        m.hp = m.stats[STAT_HP_MAX] = int16_t(hp);
        m.stats[STAT_SPEED] = int16_t(speed);
        m.speed = 8;
        m.sight = 4;
        m.reach = 1;
        enter_occupancy(slot);
        monster_battle.battle = true;
        return m;
    }
    // Monster-timer runs until the battle is over (at most `limit`).
    int run_until_over(int limit = 2000) {
        int ticks = 0;
        while (monster_battle.battle && ticks < limit) {
            battle_monsters_tick();
            flight_tick();
            if (battle.phase == BATTLE_PLANNING) end_planning();
            ++ticks;
        }
        return ticks;
    }
};

}  // namespace battle_test
