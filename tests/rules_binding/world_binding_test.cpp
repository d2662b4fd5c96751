// The rules bound into the world: the party's records as the world's roster,
// the map's places and scripts acting through the party's rules, a new game
// from the definitions, and the game tick.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/timers.h"
#include "rules/binding/world_binding.h"
#include "rules/party.h"
#include "rules/party_definitions.h"
#include "world/map.h"
#include "world/map_scripts.h"
#include "world/map_services.h"
#include "world/party_roster.h"
#include "world/party_rules.h"
#include "world/party_standin.h"

namespace {

constexpr uint32_t HASH = 0x1234;

class WorldBinding : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_party();
        reset_game_state();
        current_map = loaded_map{};
        current_map.hash = HASH;
        current_map.sector_count = 10;
        current_map.sectors.resize(10);
        current_map.sides.resize(40);
        current_map.coords.resize(10);
        party_state.map_hash = HASH;
        party = standin_party{};
        install_rules_into_world();
    }
    void TearDown() override {
        remove_rules_from_world();
        current_map = loaded_map{};
        reset_party();
    }
    party_member& member(int slot, int sector, int hp = 30) {
        party_member& m = party_members[slot];
        m = party_member{};
        m.used = 1;
        std::strcpy(m.name, "Hero");
        m.base_stats[STAT_HP_MAX] = int16_t(hp);
        m.base_stats[STAT_VP_MAX] = 40;
        m.base_stats[STAT_MP_MAX] = 20;
        recompute_stats(m);
        m.hp = int16_t(hp);
        m.vp = 40;
        m.mp = 20;
        m.food = m.water = 1000;
        m.group = 1;
        m.sector = int16_t(sector);
        m.map_hash = HASH;
        return m;
    }
};

}  // namespace

TEST_F(WorldBinding, TheActiveGroupMovesWithThePartyAndTheOthersStay) {
    member(0, 3);
    member(1, 3);
    member(2, 7).group = 2;         // another group elsewhere
    member(3, 3).map_hash = 0x999;  // on another map
    party_members[3].sector = -3;
    party.sector = 3;
    party_state.current_group = 1;

    place_party(4, 1);
    EXPECT_EQ(party_members[0].sector, 4);
    EXPECT_EQ(party_members[0].direction, 1);
    EXPECT_EQ(party_members[1].sector, 4);
    EXPECT_EQ(party_members[2].sector, 7);
    EXPECT_EQ(party_members[3].sector, -3);

    const roster_member seen = roster().member(3);
    EXPECT_FALSE(seen.on_this_map);
    EXPECT_TRUE(roster().member(1).on_this_map);
    EXPECT_FALSE(roster().member(5).used);

    // Gathering in the party's sector: the loner walks over and joins.
    party_members[2].sector = 4;
    roster().gather(4, 1);
    EXPECT_EQ(party_members[2].group, party_members[0].group);
    EXPECT_EQ(roster().active_group(), party_members[0].group);
}

TEST_F(WorldBinding, TheMapsPlacesHurtThroughTheRulesWithTheMagicShield) {
    party_member& shielded = member(0, 3);
    shielded.mp = 5;
    shielded.stats[STAT_FLAGS] = CF_MAGIC_SHIELD;
    party_rules.hurt(0, 8);
    EXPECT_EQ(shielded.hp, 30);
    EXPECT_EQ(shielded.mp, 0);
    EXPECT_EQ(shielded.stats[STAT_FLAGS] & CF_MAGIC_SHIELD, 0);

    // A script's hit and a harmful place go the same way.
    map_services.hurt_member(0, 10);
    EXPECT_EQ(shielded.hp, 20);
    party_rules.harm(0, 10);
    EXPECT_EQ(shielded.hp, 17);

    // Drowning and falling to certain death go through the death check: the
    // dead leave their group and their sector shows a body.
    party_member& wader = member(1, 5);
    wader.vp = 2;
    party_rules.tire(1, false);
    EXPECT_EQ(wader.hp, 0);
    EXPECT_EQ(wader.group, 0);
    EXPECT_TRUE(current_map.coords[5].coord_flags & MC_DEAD_PLAYER);
    party_rules.kill(0);
    EXPECT_EQ(shielded.hp, 0);
    EXPECT_FALSE(roster().member(0).alive());

    // Slots outside the party or empty are left alone.
    party_rules.hurt(4, 10);
    party_rules.kill(-1);
    map_services.hurt_member(9, 10);
}

TEST_F(WorldBinding, AHitIsMarkedOnThePortraitUntilItsTimeRunsOut) {
    member(0, 3);
    member(1, 3);
    map_services.hurt_member(0, 7);
    EXPECT_EQ(roster().member(0).hit_shown, 7);
    EXPECT_EQ(roster().member(1).hit_shown, 0);
    run_timers(200);  // at most 199 ticks
    EXPECT_EQ(roster().member(0).hit_shown, 0);

    // A new hit while one is shown takes its place and starts the time again.
    party_world& world = party_world_hooks();
    party_members[0].last_damage = 4;
    world.show_damage_later(0, 50);
    run_timers(49);
    party_members[0].last_damage = 5;
    world.show_damage_later(0, 50);
    run_timers(49);
    EXPECT_EQ(roster().member(0).hit_shown, 5);
    run_timers(1);
    EXPECT_EQ(roster().member(0).hit_shown, 0);

    // A hit that took nothing shows no mark; leaving the game takes the marks away.
    world.show_damage_later(1, 50);
    EXPECT_EQ(roster().member(1).hit_shown, 0);
    map_services.hurt_member(1, 3);
    remove_rules_from_world();
    install_rules_into_world();
    EXPECT_EQ(roster().member(1).hit_shown, 0);
    EXPECT_EQ(timer_count(), 0);
}

TEST_F(WorldBinding, ANewGameLeavesEmptyDefinitionsFreeForThoseWhoJoinLater) {
    // Alda, two empty records, Bret, then three empty ones and Cato as 7.
    const std::string text =
        "128\r\n Alda\r\n4\r\n50\r\n\r\n\r\n\r\n128\r\n Bret\r\n\r\n\r\n\r\n\r\n"
        "128\r\n Cato\r\n4\r\n20\r\n";
    uint8_t runes[RUNE_GROUPS] = {};
    ASSERT_EQ(parse_character_definitions(text.data(), text.size(), character_definitions, runes).count, 8);

    new_party_from_definitions();
    EXPECT_STREQ(party_members[0].name, "Alda");
    EXPECT_FALSE(party_members[1].used);
    EXPECT_FALSE(party_members[2].used);
    EXPECT_STREQ(party_members[3].name, "Bret");
    for (int slot = 4; slot < PARTY_SLOTS; ++slot) EXPECT_FALSE(party_members[slot].used) << slot;

    EXPECT_TRUE(join_from_definition(5));  // nobody stands in an empty record
    EXPECT_FALSE(party_members[1].used);
    EXPECT_FALSE(join_from_definition(7));
    EXPECT_STREQ(party_members[1].name, "Cato");
    EXPECT_EQ(party_members[1].hp, 20);
}

TEST_F(WorldBinding, ANewGameFillsThePartyFromTheDefinitions) {
    const std::string text =
        "128\r\n Alda\r\n4\r\n50\r\n5\r\n30\r\n\r\n"
        "128\r\n Bret\r\n129\r\n1\r\n4\r\n20\r\n\r\n";
    uint8_t runes[RUNE_GROUPS] = {};
    ASSERT_EQ(parse_character_definitions(text.data(), text.size(), character_definitions, runes).count, 2);

    new_party_from_definitions();
    party_enters_map();
    place_party(6, 2);
    regroup();

    EXPECT_STREQ(party_members[0].name, "Alda");
    EXPECT_STREQ(party_members[1].name, "Bret");
    EXPECT_FALSE(party_members[2].used);
    for (int slot = 0; slot < 2; ++slot) {
        EXPECT_EQ(party_members[slot].sector, 6);
        EXPECT_EQ(party_members[slot].direction, 2);
        EXPECT_EQ(party_members[slot].map_hash, HASH);
        EXPECT_EQ(party_members[slot].group, 1);
    }
    EXPECT_EQ(party_members[0].hp, 50);
    for (uint8_t known : party_state.runes) EXPECT_EQ(known, 0x7F);
    EXPECT_EQ(roster().active_group(), 1);
    EXPECT_EQ(roster().member(1).hp_max, 20);
    EXPECT_TRUE(roster().member(1).female);

    // One stays behind when the group travels: its sector waits, negated,
    // until its map is loaded again.
    party_members[1].sector = 2;
    regroup();
    party_leaves_map();
    EXPECT_EQ(party_members[1].sector, -2);
    current_map.hash = 0x5555;
    party_enters_map();
    place_party(4, 0);
    EXPECT_EQ(party_members[0].map_hash, 0x5555u);
    EXPECT_EQ(party_members[0].sector, 4);
    EXPECT_FALSE(roster().member(1).on_this_map);
    party_leaves_map();
    current_map.hash = HASH;
    party_enters_map();
    EXPECT_EQ(party_members[1].sector, 2);
    EXPECT_TRUE(roster().member(1).on_this_map);
}

TEST_F(WorldBinding, TheGameTickFeedsOnTheMembersReserves) {
    party_member& m = member(0, 3);
    game_tick();
    EXPECT_EQ(m.food, 999);
    EXPECT_EQ(m.water, 999);
    EXPECT_EQ(game_time, 1);
    // Without water a member loses a hit point a tick.
    m.water = 0;
    game_tick();
    EXPECT_EQ(m.hp, 29);
}
