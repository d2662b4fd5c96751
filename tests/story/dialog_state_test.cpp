// What outlives a dialog: the visited marks and flags in saved games, and
// the story flags that other parts of the game read and change.
#include <gtest/gtest.h>

#include "dialog_script.h"
#include "world/map_scripts.h"

namespace {

dialog_script five_paragraphs() {
    dialog_script s;
    for (int p = 0; p < 5; ++p) s.para(p).op(DOP_END);
    return s;
}

class DialogStateTest : public ::testing::Test {
  protected:
    void SetUp() override { dialog_test_party(); }
    void TearDown() override { game_dialogs() = dialog_file{}; }
};

TEST_F(DialogStateTest, SavedStateHoldsTwoBitsAParagraphThenTheFlags) {
    five_paragraphs().install();
    auto& table = game_dialogs().paragraphs;
    table[0].word |= PARAGRAPH_VISITED;
    table[1].word |= PARAGRAPH_VISITED | PARAGRAPH_REENTERED;
    table[4].word |= PARAGRAPH_REENTERED;
    dialog_flag_change(17, 1);
    dialog_flag_change(255, 2);
    std::vector<uint8_t> saved;
    dialog_save_state(saved);
    ASSERT_EQ(saved.size(), 4u + 2u + 32u);
    EXPECT_EQ(saved[0], 5);
    EXPECT_EQ(saved[4], 0x01 | 0x0C);
    EXPECT_EQ(saved[5], 0x02);
    EXPECT_EQ(saved[6 + 2], 0x02);
    EXPECT_EQ(saved[6 + 31], 0x80);

    five_paragraphs().install();
    dialog = dialog_state{};
    dialog_flag_bytes().fill(0);
    size_t used = 0;
    ASSERT_TRUE(dialog_load_state(saved, &used));
    EXPECT_EQ(used, saved.size());
    EXPECT_TRUE(game_dialogs().paragraphs[1].reentered());
    EXPECT_FALSE(game_dialogs().paragraphs[2].visited());
    EXPECT_TRUE(dialog_flag_test(17));
    EXPECT_TRUE(dialog_flag_test(255));
    // Cut short: refused.
    saved.pop_back();
    EXPECT_FALSE(dialog_load_state(saved));
}

TEST_F(DialogStateTest, StateSavedWithOtherDialogsKeepsTheMarksAndFlagsAsTheyWere) {
    dialog_script other;
    for (int p = 0; p < 9; ++p) other.para(p).op(DOP_END);
    other.install();
    dialog_flag_change(40, 1);
    std::vector<uint8_t> saved;
    dialog_save_state(saved);
    saved.push_back(0xAB);  // what follows in the stream

    five_paragraphs().install();
    game_dialogs().paragraphs[3].word |= PARAGRAPH_VISITED;
    dialog_flag_change(40, 0);
    dialog_flag_change(20, 1);
    size_t used = 0;
    ASSERT_TRUE(dialog_load_state(saved, &used));
    EXPECT_EQ(used, saved.size() - 1);
    EXPECT_TRUE(game_dialogs().paragraphs[3].visited());
    EXPECT_FALSE(dialog_flag_test(40));
    EXPECT_TRUE(dialog_flag_test(20));
}

TEST_F(DialogStateTest, FilesThatDoNotFitAreRefusedAndAnEmptyTableStartsNothing) {
    dialog_script s = five_paragraphs();
    std::vector<uint8_t> bytes = s.bytes();
    dialog_file file;
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 20);
    EXPECT_FALSE(read_dialog_file(cut, file));
    std::vector<uint8_t> far = bytes;
    far[12] = 0xFF;  // the first entry's code offset
    EXPECT_FALSE(read_dialog_file(far, file));
    std::vector<uint8_t> empty = {0, 0, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(read_dialog_file(empty, game_dialogs()));
    EXPECT_FALSE(dialog_start(0, -1));
    EXPECT_FALSE(dialog.running);
    EXPECT_FALSE(dialog_reset_paragraph(0));
}

}  // namespace

TEST_F(DialogStateTest, AStoryFlagAMapScriptSetsIsTheFlagADialogTests) {
    set_story_flag(40, 1);
    EXPECT_TRUE(dialog_flag_test(40));
    dialog_flag_change(41, 1);
    EXPECT_TRUE(story_flag(41));
    dialog_flag_change(40, 0);
    EXPECT_FALSE(story_flag(40));
}
