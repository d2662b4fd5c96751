// Effects: what the code does to its target, and what ending it gives back.
#include "spell_fixture.h"

using namespace spell_test;

namespace {

// +10 strength (or `amount`), a wait of `ticks` game ticks, the end.
code strength_buff(int amount = 10, int ticks = 3) {
    return code()
        .op(OP_STAT_INDEX, STAT_STRENGTH)
        .op(OP_STAT_ADD, amount)
        .op(OP_WAIT_TICKS, ticks)
        .op(OP_END);
}

}  // namespace

TEST_F(SpellTest, StrengthBuffEndsAtItsTickAndGivesBackExactlyItsAmountAfterALevelUp) {
    spell_file file;
    file.add(1, strength_buff());
    file.install();
    party_member& hero = member(0);

    ASSERT_GE(start_effect(1, 1, 0, false), 0);
    EXPECT_EQ(hero.base_stats[STAT_STRENGTH], 30);
    EXPECT_EQ(hero.stats[STAT_STRENGTH], 30);
    EXPECT_EQ(hero.under_spell, 1);

    effects_game_tick();
    // A level-up and a point spent on strength while the buff lasts.
    add_experience(hero, experience_table[0]);
    hero.base_stats[STAT_STRENGTH] += 3;
    const int raised = hero.base_stats[STAT_STRENGTH];
    effects_game_tick();
    EXPECT_EQ(active_effects(), 1);
    effects_game_tick();

    EXPECT_EQ(active_effects(), 0);
    EXPECT_EQ(hero.base_stats[STAT_STRENGTH], raised - 10);
    EXPECT_EQ(hero.stats[STAT_STRENGTH], raised - 10);
    EXPECT_EQ(hero.under_spell, 0);
}

TEST_F(SpellTest, UndoGivesBackOnlyWhatTheMonsterLostNotWhatWasAskedFor) {
    spell_file file;
    file.add(1, strength_buff(-10));
    file.install();
    monster& goblin = foe(0, 4, 30);

    const int slot = start_effect(1, -1, CASTER_OBJECT, false);
    EXPECT_EQ(goblin.stats[STAT_STRENGTH], 0);  // 5, not below 0
    end_effect(slot);
    EXPECT_EQ(goblin.stats[STAT_STRENGTH], 5);
}

TEST_F(SpellTest, GroupKeyMinusFourRefusesASecondCopyAndPlusFourReplacesTheFirst) {
    spell_file file;
    file.add(1, strength_buff(10, 50)).group = -4;
    file.add(2, strength_buff(7, 50)).group = 4;
    file.install();
    party_member& hero = member(0);

    EXPECT_GE(start_effect(1, 1, 0, false), 0);
    EXPECT_EQ(start_effect(1, 1, 0, false), -1);
    EXPECT_EQ(hero.base_stats[STAT_STRENGTH], 30);
    EXPECT_EQ(active_effects(), 1);
    // Another member is not blocked by the first one's copy.
    member(1);
    EXPECT_GE(start_effect(1, 2, 0, false), 0);

    clear_effects();
    hero.base_stats[STAT_STRENGTH] = 20;
    EXPECT_GE(start_effect(2, 1, 0, false), 0);
    EXPECT_GE(start_effect(2, 1, 0, false), 0);
    EXPECT_EQ(active_effects(), 1);
    EXPECT_EQ(hero.base_stats[STAT_STRENGTH], 27);
}

TEST_F(SpellTest, UnknownOpcodeEndsTheEffectWithTheMessageAndTheGameGoesOn) {
    spell_file file;
    file.add(90, code().op(OP_STAT_INDEX, STAT_STRENGTH).op(OP_STAT_ADD, 10).op(144).op(OP_END));
    file.add(91, strength_buff());
    file.install();
    party_member& hero = member(0);

    start_effect(90, 1, 0, false);
    ASSERT_EQ(spells_seen.errors.size(), 1u);
    EXPECT_EQ(spells_seen.errors[0],
              "Chyba v popisu kouzel: Program narazil na neznamou instrukci 144 (90) pri zpracovani kouzla s "
              "cislem 90. Kouzlo bylo ukon\x87"
              "eno");
    EXPECT_EQ(active_effects(), 0);
    EXPECT_EQ(hero.base_stats[STAT_STRENGTH], 20);  // what it did is taken back

    start_effect(91, 1, 0, false);
    EXPECT_EQ(hero.base_stats[STAT_STRENGTH], 30);
}

TEST_F(SpellTest, CodeCutShortEndsWithTheMessageAndNeverReadsPastTheFile) {
    party_member& hero = member(0);
    const std::vector<std::vector<uint8_t>> tails = {
        {OP_STAT_INDEX, 0, 0, OP_STAT_ADD, 10},  // an operand cut in half
        {OP_ANIMATION, 'b', 'o', 'o', 'm'},      // a name without its end
        {OP_STAT_INDEX, 0, 0},                   // no end instruction
    };
    const int opcodes[] = {OP_STAT_ADD, OP_ANIMATION, 0};
    for (size_t i = 0; i < tails.size(); ++i) {
        spells_seen.errors.clear();
        spell_file file;
        file.add(3, code().raw(tails[i]));
        file.install();
        start_effect(3, 1, 0, false);
        ASSERT_EQ(spells_seen.errors.size(), 1u) << i;
        char expected[32];
        std::snprintf(expected, sizeof expected, "instrukci %d (%02X)", opcodes[i], opcodes[i]);
        EXPECT_NE(spells_seen.errors[0].find(expected), std::string::npos) << spells_seen.errors[0];
        EXPECT_EQ(active_effects(), 0);
    }
    EXPECT_EQ(hero.base_stats[STAT_STRENGTH], 20);
}

TEST_F(SpellTest, StatisticIndexOutsideTheTwentyFourAndElementOutsideTheFiveDoNothing) {
    spell_file file;
    file.add(4, code()
                    .op(OP_STAT_INDEX, 24)
                    .op(OP_STAT_ADD, 10)
                    .op(OP_STAT_INDEX, 0xFFFF)
                    .op(OP_STAT_PERCENT, 50)
                    .op(OP_ELEMENT, 7)
                    .op(OP_ELEMENT, 2)
                    .op(OP_END));
    file.install();
    party_member& hero = member(0);
    const party_member before = hero;

    start_effect(4, 1, 0, false);
    EXPECT_EQ(std::memcmp(hero.base_stats, before.base_stats, sizeof before.base_stats), 0);
    EXPECT_EQ(world.events, std::vector<int>{26});  // only element 2 raises its hook
    EXPECT_TRUE(spells_seen.errors.empty());
}

TEST_F(SpellTest, HealingBringsADeadMemberBackOnTheViewSectorWithTenToTwentyPoints) {
    spell_file file;
    file.add(5, code().op(OP_HIT_A, -20 & 0xFFFF).op(OP_HIT_B, -10 & 0xFFFF).op(OP_END));
    file.install();
    party_state.current_group = 2;
    for (uint32_t seed = 0; seed < 40; ++seed) {
        party_member& fallen = member(1, 6);
        fallen.hp = 0;
        fallen.group = 0;
        random_seed(seed);
        start_effect(5, 2, 0, false);
        EXPECT_GE(fallen.hp, 10);
        EXPECT_LE(fallen.hp, 20);
        EXPECT_EQ(fallen.group, 2);
        EXPECT_EQ(fallen.sector, 3);
    }
}

TEST_F(SpellTest, EffectSavedMidWaitEndsAtItsTickAndRestoresTheRightMember) {
    spell_file file;
    file.add(1, strength_buff(10, 3));
    file.install();
    party_member& first = member(0);
    party_member& second = member(1);
    start_effect(1, 2, 0, false);
    effects_game_tick();

    std::vector<uint8_t> saved, extras;
    save_effects(saved);
    save_effect_extras(extras);
    ASSERT_EQ(saved.size(), 4u + 56 + 48 + 4);

    clear_effects();                           // a new game ...
    ASSERT_TRUE(load_effects(saved, extras));  // ... and the save loaded
    EXPECT_EQ(second.under_spell, 1);
    effects_game_tick();
    EXPECT_EQ(second.base_stats[STAT_STRENGTH], 30);
    effects_game_tick();
    EXPECT_EQ(active_effects(), 0);
    EXPECT_EQ(second.base_stats[STAT_STRENGTH], 20);
    EXPECT_EQ(first.base_stats[STAT_STRENGTH], 20);

    // A record cut short or a count beyond the slots loads nothing.
    start_effect(1, 1, 0, false);
    saved.clear();
    save_effects(saved);
    std::vector<uint8_t> cut(saved.begin(), saved.end() - 1);
    EXPECT_FALSE(load_effects(cut));
    EXPECT_EQ(active_effects(), 0);
    std::vector<uint8_t> wrong_extras(extras.begin(), extras.end() - 2);
    EXPECT_FALSE(load_effects(saved, wrong_extras));
    EXPECT_EQ(active_effects(), 0);
    // Without the extras the target is unknown: the effect ends at its tick
    // without touching anybody.
    first.base_stats[STAT_STRENGTH] = 20;
    ASSERT_TRUE(load_effects(saved));
    for (int i = 0; i < 3; ++i) effects_game_tick();
    EXPECT_EQ(active_effects(), 0);
    EXPECT_EQ(first.base_stats[STAT_STRENGTH], 20);
}

TEST_F(SpellTest, FinishingEffectsRunsMembersCodeToItsEndAndEndsMonsterEffectsAtOnce) {
    spell_file file;
    // On a member: +10 strength, a long tick wait, +5 more, a long redraw
    // wait, then 7 magic points before the end.
    file.add(1, code()
                    .op(OP_STAT_INDEX, STAT_STRENGTH)
                    .op(OP_STAT_ADD, 10)
                    .op(OP_WAIT_TICKS, 1000)
                    .op(OP_STAT_INDEX, STAT_STRENGTH)
                    .op(OP_STAT_ADD, 5)
                    .op(OP_WAIT_REDRAWS, 500)
                    .op(OP_MAGIC, 7)
                    .op(OP_END));
    // On a monster: -3 strength, a wait, then a blow it never takes.
    file.add(2, code()
                    .op(OP_STAT_INDEX, STAT_STRENGTH)
                    .op(OP_STAT_ADD, -3 & 0xFFFF)
                    .op(OP_WAIT_TICKS, 50)
                    .op(OP_HIT_A, 5)
                    .op(OP_HIT_B, 6)
                    .op(OP_END));
    file.install();
    party_member& hero = member(0);
    monster& goblin = foe(0, 4, 30);

    ASSERT_GE(start_effect(1, 1, 0, false), 0);
    ASSERT_GE(start_effect(2, -1, 0, false), 0);
    EXPECT_EQ(hero.base_stats[STAT_STRENGTH], 30);
    EXPECT_EQ(goblin.stats[STAT_STRENGTH], 2);

    finish_effects();
    EXPECT_EQ(active_effects(), 0);
    EXPECT_EQ(hero.mp, 57);  // both waits passed: the code ran to its end
    EXPECT_EQ(hero.base_stats[STAT_STRENGTH], 20);
    EXPECT_EQ(hero.stats[STAT_STRENGTH], 20);
    EXPECT_EQ(hero.under_spell, 0);
    EXPECT_EQ(goblin.stats[STAT_STRENGTH], 5);  // given back
    EXPECT_EQ(goblin.hp, 30);                   // and the rest never ran
    EXPECT_FALSE(true_seeing());
}
