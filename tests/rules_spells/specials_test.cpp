// The special effects that can go wrong: a summon with nowhere to go, a
// transformation given back, a wave stopped by a wall, teleports refused on
// protected sectors.
#include "rules/spells/specials.h"

#include "spell_fixture.h"
#include "world/party_standin.h"

using namespace spell_test;

namespace {

class Specials : public SpellTest {
  protected:
    void TearDown() override {
        spell_detail::clear_spell_waves();
        SpellTest::TearDown();
    }
    void install_special(int k, std::vector<uint8_t> before = {}) {
        spell_file file;
        file.add(0, code().raw(before).op(OP_SPECIAL, k).op(OP_WAIT_TICKS, 100).op(OP_END));
        file.install();
    }
};

TEST_F(Specials, SummonWithoutFreeSlotOrCandidateDrawsNothing) {
    member(0, 2);
    install_special(13);
    // Every slot is alive or waiting to respawn.
    for (int i = 0; i < MONSTER_SLOTS; ++i) {
        monster& m = monster_table[size_t(i)];
        m.state = i % 2 ? MST_LIVE : MST_RESPWN;
        m.strategy = MS_WALK | MS_WATCH;
    }
    const uint32_t seed = random_state();
    start_effect(0, 1, 0, true);
    EXPECT_EQ(random_state(), seed);
    EXPECT_FALSE(monster_table[0].alive());
    // A free slot but nobody that walks and watches: still nothing.
    for (monster& m : monster_table) m = monster{};
    foe(1, 6, 30).strategy = MS_WALK;
    start_effect(0, 1, 0, true);
    EXPECT_EQ(random_state(), seed);
    EXPECT_FALSE(monster_table[0].alive());
}

TEST_F(Specials, SummonedCopyStandsBesideTheTargetFacingItWithoutLoot) {
    for (map_sector& s : current_map.sectors) s.sector_type = 1;  // plain places
    member(0, 2);
    install_special(13);
    monster& model = foe(4, 7, 30);
    model.strategy = MS_WALK | MS_WATCH;
    model.anim_set = 1;
    model.carried[0] = 12;
    model.state |= MST_BATTLE;
    start_effect(0, 1, 0, true);
    const monster& summoned = monster_table[0];
    ASSERT_TRUE(summoned.alive());
    EXPECT_EQ(summoned.sector, 3);     // the member's own sector is taken
    EXPECT_EQ(summoned.direction, 3);  // facing west, toward the member
    EXPECT_EQ(summoned.carried[0], 0);
    EXPECT_FALSE(summoned.state & MST_BATTLE);
    EXPECT_EQ(first_monster_in(3), 1);
}

TEST_F(Specials, TransformationAndItsCancelGiveTheOwnRecordBack) {
    party_member& hero = member(0, 2);
    party_member& shape = character_definitions[3];
    shape = party_member{};
    shape.used = 1;
    std::snprintf(shape.name, sizeof shape.name, "wolf");
    shape.base_stats[STAT_STRENGTH] = 70;
    shape.base_stats[STAT_HP_MAX] = 90;
    shape.hp = 90;
    install_special(20);
    start_effect(0, 1, 0, true);
    EXPECT_STREQ(hero.name, "wolf");
    EXPECT_EQ(hero.sector, 2);
    EXPECT_EQ(hero.group, 1);
    EXPECT_TRUE(hero.base_stats[STAT_FLAGS] & CF_TRANSFORMED);
    ASSERT_NE(hero.saved_self, nullptr);
    // A second transformation is refused and its effect ends at once.
    EXPECT_EQ(active_effects(), 1);
    start_effect(0, 1, 0, true);
    EXPECT_EQ(active_effects(), 1);
    EXPECT_STREQ(hero.name, "wolf");
    // The shape walked on; the hero comes back where it stands.
    hero.sector = 5;
    cancel_transform(0);
    EXPECT_STREQ(hero.name, "hero 0");
    EXPECT_EQ(hero.sector, 5);
    EXPECT_EQ(hero.base_stats[STAT_STRENGTH], 20);
    EXPECT_EQ(hero.hp, 50);
    EXPECT_FALSE(hero.base_stats[STAT_FLAGS] & CF_TRANSFORMED);
    EXPECT_EQ(hero.saved_self, nullptr);
    EXPECT_EQ(active_effects(), 0);
}

TEST_F(Specials, WaveWidensAndStopsAtAWall) {
    // Sectors 1..3 and 6..8 form a room, 4, 5, 9, 10 lie behind its east wall.
    view_test::build_grid_map({"########", "#...#..#", "#...#..#", "########"});
    clear_monster_table();
    party_state.map_hash = current_map.hash;
    member(0, 1);  // facing east
    monster& ahead = foe(1, 3, 100);
    monster& widened = foe(2, 8, 100);
    monster& too_early = foe(3, 7, 100);  // beside the first step, before it widened
    monster& behind = foe(4, 4, 100);
    install_special(24, code().op(OP_AREA_A, 12).op(OP_AREA_B, 12).bytes);
    start_effect(0, 1, 0, true);
    int guard = 0;
    while (spell_detail::advance_spell_waves() > 0 && ++guard < 10) {
    }
    EXPECT_EQ(ahead.hp, 88);
    EXPECT_EQ(widened.hp, 88);
    EXPECT_EQ(too_early.hp, 100);
    EXPECT_EQ(behind.hp, 100);
    EXPECT_EQ(party_members[0].hp, 50);
}

TEST_F(Specials, TeleportIsRefusedOnAProtectedSector) {
    party_member& hero = member(0, 2);
    party.sector = 2;
    install_special(12);
    current_map.coords[2].coord_flags |= MC_NOSUMMON;
    start_effect(0, 1, 0, true, 5);
    EXPECT_EQ(hero.sector, 2);
    EXPECT_EQ(active_effects(), 0);
    ASSERT_EQ(spells_seen.texts.size(), 1u);
    EXPECT_EQ(spells_seen.texts[0], "85 hero 0");
    // Nor may it land on one.
    current_map.coords[2].coord_flags = 0;
    current_map.coords[5].coord_flags |= MC_NOSUMMON;
    start_effect(0, 1, 0, true, 5);
    EXPECT_EQ(hero.sector, 2);
    EXPECT_EQ(spells_seen.texts.back(), "88 hero 0");
    // Unprotected, the member goes and the view with it.
    current_map.coords[5].coord_flags = 0;
    start_effect(0, 1, 0, true, 5);
    EXPECT_EQ(hero.sector, 5);
    EXPECT_EQ(party.sector, 5);
}

TEST_F(Specials, MappingMarksTheCircleOnTheLayerSkippingUnmappable) {
    member(0, 1);
    current_map.coords[4].coord_flags |= MC_NOAUTOMAP;
    current_map.coords[5].layer = 1;
    install_special(1);
    start_effect(0, 1, 0, true);
    for (int s : {1, 2, 3}) EXPECT_TRUE(current_map.coords[size_t(s)].coord_flags & MC_MAPPED) << s;
    for (int s : {4, 5, 6}) EXPECT_FALSE(current_map.coords[size_t(s)].coord_flags & MC_MAPPED) << s;
}

}  // namespace
