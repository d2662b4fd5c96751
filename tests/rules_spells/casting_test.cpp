// Casting by a member: the power rule with its fizzle and backfire ranges.
#include "spell_fixture.h"

using namespace spell_test;

namespace {

constexpr int WORKS = 10, BACKFIRE = 11;

// The spell works: +100 magic points; the backfire spell: +7.
spell_file power_test_spells(bool with_backfire) {
    spell_file file;
    spell_def& def = file.add(WORKS, code().op(OP_MAGIC_UNCAPPED, 100).op(OP_END));
    def.power = 50;
    def.cost = 10;
    def.backfire = with_backfire ? BACKFIRE : 0;
    file.add(BACKFIRE, code().op(OP_MAGIC_UNCAPPED, 7).op(OP_END));
    return file;
}

// The roll h = random(64) that cast_spell draws first for this seed.
int roll_for(uint32_t seed) {
    random_seed(seed);
    return random(64);
}

}  // namespace

TEST_F(SpellTest, MagicFortyAgainstPowerFiftyWorksFizzlesAndBackfiresByTheRoll) {
    for (bool with_backfire : {true, false}) {
        power_test_spells(with_backfire).install();
        bool seen[64] = {};
        for (uint32_t seed = 0; seed < 3000; ++seed) {
            const int h = roll_for(seed);
            party_member& caster = member(0);
            random_seed(seed);
            cast_spell(WORKS, 0);
            seen[h] = true;
            // s = (40 - 25) x 128 / 50 = 38.
            if (h <= 38) {
                EXPECT_EQ(caster.mp, 50 + 100 - 10) << h;
            } else if (h >= 52 && with_backfire) {
                EXPECT_EQ(caster.mp, 50 - 10 + 7) << h;
            } else {
                EXPECT_EQ(caster.mp, 50 - 5) << h << (with_backfire ? " with backfire" : " without");
            }
        }
        for (int h = 0; h < 64; ++h) EXPECT_TRUE(seen[h]) << h;
    }
}

TEST_F(SpellTest, CasterBelowHalfThePowerCastsNothingAndSpendsNothing) {
    power_test_spells(true).install();
    party_member& caster = member(0);
    caster.base_stats[STAT_MAGIC_POWER] = 20;
    recompute_stats(caster);
    for (uint32_t seed = 0; seed < 20; ++seed) {
        random_seed(seed);
        cast_spell(WORKS, 0);
    }
    EXPECT_EQ(caster.mp, 50);
    EXPECT_EQ(caster.experience, 0);
    EXPECT_TRUE(world.events.empty());
    EXPECT_EQ(can_cast(caster, WORKS), 1);
}

TEST_F(SpellTest, WorkingCastRaisesItsEventsSpendsTheCostAndGivesExperience) {
    power_test_spells(false).install();
    party_member& caster = member(0);
    caster.base_stats[STAT_MAGIC_POWER] = 50;
    recompute_stats(caster);
    caster.mp_cap = 80;
    EXPECT_EQ(can_cast(caster, WORKS), 0);

    cast_spell(WORKS, 0);
    EXPECT_EQ(caster.mp, 80);  // 50 + 100 - 10, capped by the cap of the moment
    EXPECT_EQ(caster.mp_cap, INT16_MAX);
    EXPECT_EQ(caster.experience, 10);
    EXPECT_EQ(world.events, (std::vector<int>{5, 6}));
}

TEST_F(SpellTest, ChosenTargetTooFarGetsTheTextAndNothingElse) {
    view_test::build_grid_map({"##############", "#............#", "##############"});
    party_state.map_hash = current_map.hash;
    spell_file file;
    file.add(12, code().op(OP_MAGIC_UNCAPPED, 100).op(OP_END)).target_kind = ST_CHOSEN;
    file.add(13, code().op(OP_MAGIC_UNCAPPED, 100).op(OP_END)).target_kind = ST_CHOSEN_ANYWHERE;
    file.install();
    member(0, 1);
    party_member& far = member(1, 12);
    far.female = 1;

    cast_spell(12 + SPELL_TARGET_CHOSEN * 2, 0);
    EXPECT_EQ(far.mp, 50);
    EXPECT_EQ(spells_seen.texts, std::vector<std::string>{"38 hero 1"});
    cast_spell(13 + SPELL_TARGET_CHOSEN * 2, 0);
    EXPECT_EQ(far.mp, 150);
}

TEST_F(SpellTest, SectorSpellThatReachesNobodyCostsNothingAndRaisesSpellDone) {
    spell_file file;
    spell_def& def = file.add(14, code().op(OP_ELEMENTAL_A, 5).op(OP_ELEMENTAL_B, 6).op(OP_END));
    def.target_kind = ST_AHEAD_ONE_MEMBER;
    def.cost = 10;
    file.install();
    party_member& caster = member(0, 2);
    caster.base_stats[STAT_MAGIC_POWER] = 50;
    recompute_stats(caster);

    cast_spell(14, 0);
    EXPECT_EQ(caster.mp, 50);
    EXPECT_EQ(world.events, (std::vector<int>{5, 6}));

    monster& goblin = foe(0, 3, 30);
    cast_spell(14, 0);
    EXPECT_EQ(caster.mp, 40);
    EXPECT_EQ(goblin.hp, 25);
}
