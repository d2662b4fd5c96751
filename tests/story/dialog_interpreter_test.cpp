// The dialog interpreter run on small scripts: choices, redirects, word
// forms, chances, money, selection, jumps, and failures that end a dialog.
#include <gtest/gtest.h>

#include "core/random.h"
#include "dialog_script.h"
#include "monsters/monsters.h"
#include "rules/monsters_ai/monster_ai.h"

namespace {

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog_test_party();
        set_dialog_world(&world);
    }
    void TearDown() override {
        set_dialog_world(nullptr);
        game_dialogs() = dialog_file{};
    }
    std::vector<std::string> lines(char marker) const {
        std::vector<std::string> out;
        for (const history_line& l : dialog.history)
            if (l.marker == marker) out.push_back(l.text);
        return out;
    }
    recording_world world;
};

TEST_F(DialogTest, ChoiceOnceIsOfferedOnlyUntilItsParagraphWasEntered) {
    dialog_script s;
    s.para(0).op(DOP_CHOICE_ONCE).num(1).text("Who are you?").op(DOP_CHOICE).num(2).text("Bye").op(DOP_ASK);
    s.para(1).op(DOP_SAY).text("A guard.").op(DOP_GOTO).num(0);
    s.para(2).op(DOP_END);
    s.install();
    ASSERT_TRUE(dialog_start(0, -1));
    EXPECT_EQ(dialog.waiting, dialog_wait::ask);
    EXPECT_EQ(dialog.choice_count, 2);
    dialog_pick(0);
    EXPECT_EQ(dialog.choice_count, 1);
    EXPECT_EQ(lines('0'), std::vector<std::string>{"Bye"});
    EXPECT_EQ(lines('M'), (std::vector<std::string>{"Who are you?", "A guard."}));
    dialog_pick(0);
    EXPECT_FALSE(dialog.running);
}

TEST_F(DialogTest, RedirectIsUsedFromTheSecondVisitOnAndCyclesAreCut) {
    dialog_script s;
    s.para(0, 2).op(DOP_SAY).text("first").op(DOP_WAIT).op(DOP_END);
    s.para(2).op(DOP_SAY).text("again").op(DOP_WAIT).op(DOP_END);
    s.para(5, 6).op(DOP_SAY).text("five").op(DOP_WAIT).op(DOP_END);
    s.para(6, 5).op(DOP_SAY).text("six").op(DOP_WAIT).op(DOP_END);
    s.install();
    ASSERT_TRUE(dialog_start(0, -1));
    EXPECT_EQ(lines('M'), std::vector<std::string>{"first"});
    dialog_pick(0);
    ASSERT_TRUE(dialog_start(0, -1));
    EXPECT_EQ(lines('M'), std::vector<std::string>{"again"});
    EXPECT_TRUE(game_dialogs().paragraphs[0].reentered());
    dialog_pick(0);

    // 5 and 6 once visited redirect to each other: the chain is cut.
    game_dialogs().paragraphs[2].word |= PARAGRAPH_VISITED;
    game_dialogs().paragraphs[3].word |= PARAGRAPH_VISITED;
    world.logs.clear();
    dialog_start(5, -1);
    EXPECT_EQ(dialog.waiting, dialog_wait::wait);
    ASSERT_EQ(world.logs.size(), 1u);
    EXPECT_NE(world.logs.front().find("circle"), std::string::npos);
}

TEST_F(DialogTest, WordFormsFollowTheSelectedMembersGender) {
    dialog_script s;
    s.para(0).op(DOP_SELECT_FACE).num(1).op(DOP_SAY).text("%n: [on,ona] %a%%");
    s.op(DOP_SELECT_FACE).num(2).op(DOP_SAY).text("%n: [on,ona]").op(DOP_WAIT);
    s.op(DOP_SAY).text("[jen]").op(DOP_END);
    s.install();
    ASSERT_TRUE(dialog_start(0, -1));
    EXPECT_EQ(lines('M'), (std::vector<std::string>{"Borin: on '%", "Lenka: ona"}));
    // A single form for a female selection is an authoring error naming the text.
    dialog_pick(0);
    EXPECT_FALSE(dialog.running);
    ASSERT_EQ(world.fatals.size(), 1u);
    EXPECT_EQ(world.fatals[0], "[jen]\r\nChybny rod nebo maly pocet tvaru od jednoho slova");
}

// CHANCE n; flag into variable 0; END.
int chance_hits(int n, int runs) {
    dialog_script s;
    s.para(0).op(DOP_CHANCE).num(n).op(DOP_STORE_FLAG).num(0).op(DOP_END);
    s.install();
    int hits = 0;
    for (int i = 0; i < runs; ++i) {
        dialog_start(0, -1);
        hits += dialog.variables[0];
    }
    return hits;
}

TEST_F(DialogTest, ChanceComparesUnsignedSoNinetyNineAndMinusOneAlwaysHit) {
    random_seed(7);
    EXPECT_EQ(chance_hits(99, 300), 300);
    EXPECT_EQ(chance_hits(-1, 300), 300);
    const int rare = chance_hits(0, 3000);
    EXPECT_GT(rare, 5);
    EXPECT_LT(rare, 80);
}

TEST_F(DialogTest, PayTakesMoneyOnlyWhenThereIsEnough) {
    dialog_script s;
    s.para(0).op(DOP_SET_FLAG).num(0).op(DOP_PAY).num(30).op(DOP_STORE_FLAG).num(0);
    s.op(DOP_PAY).num(30).op(DOP_STORE_FLAG).num(1).op(DOP_END);
    s.install();
    party_state.gold = 50;
    dialog_start(0, -1);
    EXPECT_EQ(dialog.variables[0], 0);
    EXPECT_EQ(dialog.variables[1], 1);
    EXPECT_EQ(party_state.gold, 20);
}

TEST_F(DialogTest, SelectionByStrengthBeyondReachPicksTheStrongestPresentMember) {
    party_members[0].base_stats[STAT_STRENGTH] = 120;  // the strongest stands elsewhere
    recompute_stats(party_members[0]);
    party_members[0].sector = 2;
    dialog_script s;
    s.para(0).op(DOP_SELECT_BY_STAT_0).num(150).num(0).op(DOP_WAIT).op(DOP_END);
    s.install();
    dialog_start(0, -1);
    EXPECT_TRUE(dialog.flag);
    EXPECT_EQ(dialog.slots[0].position, 2);  // Lenka and Dag tie: the later one
    EXPECT_EQ(dialog.slots[0].name, "Dag");
}

TEST_F(DialogTest, JumpZeroContinuesWithTheNextInstruction) {
    dialog_script s;
    s.para(0).op(DOP_JUMP).num(0).op(DOP_SAY).text("next").op(DOP_SET_FLAG).num(1);
    s.op(DOP_JUMP_IF).num(9).op(DOP_SAY).text("skip").op(DOP_SAY).text("after").op(DOP_WAIT).op(DOP_END);
    s.install();
    dialog_start(0, -1);
    EXPECT_EQ(lines('M'), (std::vector<std::string>{"next", "after"}));
}

TEST_F(DialogTest, TwelveChoicesWarnOnceAndTheTwelfthJoinsTheEleventh) {
    dialog_script s;
    s.para(0);
    for (int i = 1; i <= 12; ++i) s.op(DOP_CHOICE).num(i).text("choice " + std::to_string(i));
    s.op(DOP_ASK);
    for (int i = 1; i <= 12; ++i) s.para(i).op(DOP_SET_VAR).num(0).num(i).op(DOP_END);
    s.install();
    dialog_start(0, -1);
    EXPECT_EQ(dialog.choice_count, DIALOG_CHOICES);
    EXPECT_EQ(lines(char('0' + 10)), (std::vector<std::string>{"choice 11", "choice 12"}));
    int warnings = 0;
    for (const std::string& l : world.logs) warnings += l.find("POZOR! Je priliz mnoho voleb") == 0;
    EXPECT_EQ(warnings, 1);
    dialog_pick(10);
    EXPECT_EQ(dialog.variables[0], 11);
}

TEST_F(DialogTest, FaultsEndTheDialogWithTheTraceAndTheGameGoesOn) {
    dialog_script s;
    s.para(0).op(DOP_NOP).raw({7, 0, 0});  // a tag that is neither 2 nor 3
    s.para(128).op(DOP_SET_VAR).num(20).num(1);
    s.para(129).op(DOP_SET_RUNE).num(58);
    s.para(130).op(DOP_TEST_FLAG).num(256);
    s.para(131).op(DOP_SAVE_SELECTION).num(20);
    s.para(132).op(DOP_SAY).raw({1, 'c', 'u', 't'});  // no terminator before the end
    s.install();
    dialog_start(0, -1);
    EXPECT_FALSE(dialog.running);
    ASSERT_EQ(world.logs.size(), 1u);
    EXPECT_EQ(world.logs[0],
              "O\xEF\xBF\xBD"
              "ek\xEF\xBF\xBDv\xEF\xBF\xBD se \xEF\xBF\xBD\xEF\xBF\xBDslo paragraph 0\r\n"
              "Local_pgf=0 / DIALOG : 0 / SENTENCE : 0\r\n");
    for (int p = 128; p <= 132; ++p) {
        world.logs.clear();
        dialog_start(p, -1);
        EXPECT_FALSE(dialog.running) << p;
        EXPECT_EQ(world.logs.size(), 1u) << p << (world.logs.empty() ? "" : world.logs[0]);
    }
    EXPECT_TRUE(world.fatals.empty());
    EXPECT_EQ(party_state.runes[5 % RUNE_GROUPS], 0);
}

TEST_F(DialogTest, EndMarksTheSpeakerAndOpensTheShopUnlessABattleIsPending) {
    dialog_script s;
    s.para(0).op(DOP_SHOP).num(3).op(DOP_END);
    s.para(1).op(DOP_SHOP).num(4).op(DOP_FIGHT).op(DOP_END);
    s.install();
    dialog_start(0, -1);
    EXPECT_TRUE(dialog_flag_test(0));
    EXPECT_EQ(world.shops, std::vector<int>{3});
    EXPECT_EQ(dialog.shop_after, -1);

    // The speaker's two flag bytes come in and go back with bit 0 set.
    clear_monster_table();
    monster& m = monster_table[0];
    m.state = MST_LIVE;
    m.reserved378[1] = 0x80;
    dialog_flag_bytes()[0] = 0;
    world.shops.clear();
    dialog_start(1, 0);
    EXPECT_EQ(m.reserved378[0], 1);
    EXPECT_EQ(m.reserved378[1], 0x80);
    EXPECT_TRUE(m.state & MST_BATTLE);
    EXPECT_TRUE(monster_battle.battle);
    EXPECT_TRUE(world.shops.empty());
    monster_battle = monster_battle_state{};
}

}  // namespace
