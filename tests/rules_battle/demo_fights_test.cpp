// The demo's fights, rules only: the four who start the game, with the gear
// they start with, against the demo's own monsters. The goblins and the rat
// are fights the starting party wins; the ogre is the one it should walk
// around. Each fight runs whole rounds through the monster timer with the
// automatic plans (every member attacks what stands in reach) until it ends.
#include <fstream>
#include <iterator>
#include <string>

#include "battle_fixture.h"
#include "forge/character_source.h"
#include "forge/item_source.h"
#include "forge/monster_source.h"
#include "rules/party_definitions.h"

using namespace battle_test;

namespace {

const std::string demo_sources = VORTHAN_SOURCE_DIR "/content/demo/";

std::string read_source(const std::string& name) {
    std::ifstream in(demo_sources + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct demo_data {
    forge::compiled_items items;
    forge::compiled_monsters monsters;
    party_member starting[CHARACTER_DEFINITIONS] = {};
    int starting_count = 0;
};

const demo_data& demo() {
    static const demo_data data = [] {
        demo_data d;
        d.items = forge::compile_item_source(read_source("items/items.src"), "items.src");
        d.monsters =
            forge::compile_monster_source(read_source("monsters/monsters.src"), "monsters.src", d.items);
        const std::string postavy =
            forge::compile_character_source(read_source("items/characters.src"), "characters.src", d.items);
        uint8_t runes[RUNE_GROUPS] = {};
        const definitions_result r =
            parse_character_definitions(postavy.data(), postavy.size(), d.starting, runes);
        // A new game takes the used definitions of 0..5; the others join later.
        for (int i = 0; r.line == 0 && i < r.count && i < PARTY_SLOTS; ++i) d.starting_count += d.starting[i].used;
        return d;
    }();
    return data;
}

struct outcome {
    bool monster_dead = false;
    int members_dead = 0;
    int hp_before = 0, hp_after = 0;
    int monster_hp = 0, monster_hp_max = 0, ticks = 0;
    bool over = false;
    // Killed, or beaten so badly that it ran and the battle ended.
    bool party_won() const { return monster_dead || (over && monster_hp * 2 <= monster_hp_max); }
};

class DemoFight : public BattleTest {
  protected:
    // The starting party in sector 2 facing east, the named monster engaged
    // in sector 3 facing it; the fight runs to its end.
    outcome fight(const std::string& name, uint32_t seed) {
        const demo_data& d = demo();
        game_items().set_definitions(d.items.file.definitions);
        random_seed(seed);
        outcome o;
        for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
            party_member& p = party_members[slot];
            p = d.starting[slot];
            if (!p.used) continue;
            p.group = 1;
            p.sector = 2;
            p.direction = 1;
            o.hp_before += p.hp;
        }
        current_map.coords[2].coord_flags |= MC_PLAYER;
        const monster& definition = d.monsters.definitions.at(size_t(d.monsters.numbers.at(name) - 1));
        monster& m = monster_table[0];
        m = definition;
        m.sector = m.home_sector = 3;
        m.direction = 3;
        m.next_in_sector = 0;
        m.pos_x = m.pos_y = m.goal_x = m.goal_y = 128;
        m.anim_frame = -1;
        m.state |= MST_LIVE | MST_BATTLE;
        enter_occupancy(0);
        monster_battle.battle = true;

        o.ticks = run_until_over(6000);
        o.monster_hp = m.hp;
        o.monster_hp_max = m.stats[STAT_HP_MAX];
        o.over = !monster_battle.battle;
        o.monster_dead = !m.alive() || m.hp <= 0;
        for (int slot = 0; slot < PARTY_SLOTS; ++slot) {
            const party_member& p = party_members[slot];
            if (!p.used) continue;
            o.members_dead += p.hp <= 0;
            o.hp_after += std::max<int>(p.hp, 0);
        }
        return o;
    }
};

}  // namespace

TEST_F(DemoFight, StartingPartyBeatsTheGoblinsAndTheRatAndTheOgreNearlyKillsIt) {
    // A hurt goblin or rat may run before it dies (its morale): the party has
    // won that fight too.
    ASSERT_EQ(demo().starting_count, 4);
    for (const char* name : {"goblin", "goblin_grey", "goblin_red", "rat"}) {
        for (uint32_t seed : {11u, 222u, 3333u}) {
            TearDown();
            SetUp();
            const outcome o = fight(name, seed);
            EXPECT_TRUE(o.party_won()) << name << " seed " << seed << " hp " << o.monster_hp << " ticks "
                                       << o.ticks << " party " << o.hp_before << " -> " << o.hp_after;
            EXPECT_EQ(o.members_dead, 0) << name << " seed " << seed;
            // Won, and not at the cost of half the party's blood.
            EXPECT_GT(o.hp_after * 2, o.hp_before) << name << " seed " << seed;
        }
    }
    // The ogre: the party loses, loses a member, or comes out of it with
    // less than half its hit points.
    for (uint32_t seed : {11u, 222u, 3333u}) {
        TearDown();
        SetUp();
        const outcome o = fight("ogre", seed);
        const bool dangerous = !o.party_won() || o.members_dead > 0 || o.hp_after * 2 < o.hp_before;
        EXPECT_TRUE(dangerous) << "seed " << seed << ": hp " << o.hp_before << " -> " << o.hp_after
                               << ", dead " << o.members_dead << ", ogre dead " << o.monster_dead;
    }
}
