// The whole program on the headless display with the demo's keep and its
// monsters, on a seeded random: the wandering goblin walks the corridors, the
// grey goblin by the great hall turns toward the party, comes up and strikes,
// the skeleton archer engages from the far end of the south corridor, and the
// rat runs when it is hurt. The party is put beside each monster with the
// world's own placing; frames are compared with golden pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/events.h"
#include "core/handles.h"
#include "core/random.h"
#include "demo_places.h"
#include "demo_session.h"
#include "monsters/monsters.h"
#include "rules/monster_fight/monster_fight.h"
#include "rules/monsters_ai/monster_ai.h"
#include "rules/party.h"
#include "support/golden.h"
#include "support/scripted_run.h"
#include "world/game_screen.h"
#include "world/map.h"
#include "world/movement.h"
#include "world/party_standin.h"

using namespace demo_places;

namespace {

const std::string demo_dir = VORTHAN_DEMO_DIR;
const std::string golden_dir = VORTHAN_SOURCE_DIR "/tests/story/golden/";

constexpr uint16_t KEY_UP = 0x4800;
constexpr int NORTH = 0, EAST = 1, SOUTH = 2, WEST = 3;

// The hit points of the living members standing in the sector, added up.
int party_hit_points_on(int sector) {
    int total = 0;
    for (const party_member& m : party_members)
        if (m.name[0] && m.sector == sector) total += m.hp;
    return total;
}
// A battle round as the battle will run it: the monster's turn, then the
// animation timer until its action is played out. (The game's own round
// stand-in also runs the engaged monsters' turns every few seconds.)
void battle_round(int slot) {
    grant_round_actions();
    monster_turn(slot);
    for (int tick = 0; tick < 20; ++tick) monsters_tick();
}

struct where {
    int sector = 0, x = 0, y = 0, direction = 0;
    bool operator==(const where&) const = default;
};
where where_is(int slot) {
    const monster& m = monster_table[static_cast<size_t>(slot)];
    return {m.sector, m.pos_x, m.pos_y, m.direction};
}

}  // namespace

TEST(MonstersEndToEnd, WandererWalksGuardStrikesArcherEngagesAndTheRatFlees) {
    if (!std::filesystem::exists(demo_dir + "/maps/KEEP.MAP")) GTEST_SKIP() << "the demo is not built";
    random_seed(2024);
    demo_session s;
    int wanderer = -1, guard = -1, archer = -1, rat = -1;
    where wanderer_before;
    s.wait(500);
    s.probe([&] {
        restart_random_after_startup(2024);
        wanderer = placed_at("GOBLIN", 13, 10);
        guard = placed_at("GOBLIN", 16, 7);
        archer = placed_at("ARCHER", 16, 17);
        rat = placed_at("RATLIN", 4, 5);
        ASSERT_GE(wanderer, 0);
        ASSERT_GE(guard, 0);
        ASSERT_GE(archer, 0);
        ASSERT_GE(rat, 0);
        EXPECT_FALSE(monster_battle.battle);
        wanderer_before = where_is(wanderer);
    });
    s.wait(1500);
    s.probe([&] {
        EXPECT_NE(where_is(wanderer), wanderer_before);  // it walked on its own
        EXPECT_FALSE(monster_battle.battle);
    });

    // The skeleton archer looks west along the south corridor: the party
    // comes in four sectors from it, facing it, and it engages from there.
    s.probe([&] {
        put_party(12, 17, EAST);
        const monster& a = monster_table[static_cast<size_t>(archer)];
        EXPECT_TRUE(a.state & MST_BATTLE);
        EXPECT_EQ(a.target_sector, party.sector);
        EXPECT_EQ(cell_of(a.sector), std::make_pair(16, 17));  // from where it stands
        EXPECT_TRUE(monster_battle.battle);
        EXPECT_FALSE(monster_battle.ambush);  // the party faced it
    });
    s.wait(300);
    const size_t archer_engaged = s.probe([&] {
        // Its arrow belongs to the battle rounds; they would end this battle
        // when the party leaves, as happens here.
        monster_table[static_cast<size_t>(archer)].state &= static_cast<uint8_t>(~MST_BATTLE);
        monster_battle.battle = false;
        put_party(5, 18, NORTH);
    });

    // The grey goblin keeps the doorway of the great hall, looking south;
    // the party comes in two sectors east of it, level with it.
    s.probe([&] {
        EXPECT_EQ(where_is(guard).direction, SOUTH);
        put_party(18, 7, WEST);
        EXPECT_EQ(where_is(guard).direction, EAST);  // it turned toward the party
        EXPECT_FALSE(monster_table[static_cast<size_t>(guard)].state & MST_BATTLE);  // not yet within reach
    });
    s.wait(8000);
    int hit_points_before = 0;
    const size_t guard_adjacent = s.probe([&] {
        const monster& g = monster_table[static_cast<size_t>(guard)];
        EXPECT_EQ(cell_of(g.sector), std::make_pair(17, 7));  // came up beside the party
        EXPECT_EQ(g.direction, EAST);
        EXPECT_TRUE(g.state & MST_BATTLE);
        EXPECT_TRUE(monster_battle.battle);
        EXPECT_EQ(g.target_sector, party.sector);
        hit_points_before = party_hit_points_on(party.sector);
        // It strikes at its hit frame; a round whose blow misses brings another.
        for (int round = 0; round < 8 && party_hit_points_on(party.sector) == hit_points_before; ++round)
            battle_round(guard);
        EXPECT_LT(party_hit_points_on(party.sector), hit_points_before);  // a member lost hit points
        redraw_scene();
    });
    s.wait(200);
    const size_t guard_struck = s.probe([&] {
        monster& g = monster_table[static_cast<size_t>(guard)];
        g.state &= static_cast<uint8_t>(~MST_BATTLE);
        monster_battle.battle = false;
    });

    // The giant rat in the courtyard, wounded, runs from the party beside it.
    int rat_sector = 0;
    s.probe([&] {
        const monster& r = monster_table[static_cast<size_t>(rat)];
        rat_sector = r.sector;
        for (int d = 0; d < 4; ++d) {
            const int next = current_map.sectors[static_cast<size_t>(r.sector)].exits[static_cast<size_t>(d)];
            if (next == 0 || sector_has_monster(next)) continue;
            const auto [x, y] = cell_of(next);
            put_party(x, y, (d + 2) & 3);
            break;
        }
        ASSERT_NE(party.sector, 0);
        hit_monster(rat, 6);
        EXPECT_TRUE(monster_battle.battle);
        EXPECT_TRUE(monster_turn(rat));  // its turn is over at once: it flees
        EXPECT_EQ(r.intent, MI_FLEE);
        EXPECT_TRUE(has_monster_path(rat));
        for (int tick = 0; tick < 60; ++tick) monsters_tick();
        redraw_scene();
    });
    s.wait(200);
    const size_t rat_fled = s.probe([&] {
        const monster& r = monster_table[static_cast<size_t>(rat)];
        const auto [px, py] = cell_of(party.sector);
        const auto [rx, ry] = cell_of(r.sector);
        const auto [ox, oy] = cell_of(rat_sector);
        EXPECT_GT(std::max(std::abs(rx - px), std::abs(ry - py)),
                  std::max(std::abs(ox - px), std::abs(oy - py)));
        EXPECT_GT(r.hp, 0);
    });

    const scripted_run_result run = s.run();
    ASSERT_FALSE(run.fatal_message) << *run.fatal_message;
    EXPECT_EQ(run.exit_code, 0);
    ASSERT_EQ(run.checkpoints.size(), s.probes.size());
    const std::pair<size_t, const char*> goldens[] = {{archer_engaged, "monsters_archer_engaged"},
                                                      {guard_adjacent, "monsters_guard_adjacent"},
                                                      {guard_struck, "monsters_guard_struck"},
                                                      {rat_fled, "monsters_rat_fled"}};
    for (const auto& [index, name] : goldens)
        EXPECT_TRUE(golden::matches(golden_dir + name + ".png", run.checkpoints[index].frame_buffer.data()))
            << name;
}
