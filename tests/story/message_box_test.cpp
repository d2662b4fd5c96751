// The message box and the text entry answering keys and clicks.
#include <cstring>

#include "core/events.h"
#include "story/message_box.h"
#include "story/text_entry.h"
#include "ui/toolkit.h"
#include "window_harness.h"

namespace {

using MessageBox = WindowTest;
using TextEntry = WindowTest;

// The screen centre of an object of the top window.
void centre_of(int id, int& x, int& y) {
    ui_object* object = find_object(0, id);
    ASSERT_NE(object, nullptr);
    x = object->screen_x + object->w / 2;
    y = object->screen_y + object->h / 2;
}

TEST_F(MessageBox, OneButtonWithEnterAndEscapeBothZeroAnswersZeroForEitherKey) {
    key(3, KEY_ENTER);
    EXPECT_EQ(message_box(0, 0, nullptr, "Saved.", {"OK"}), 0);
    key(polls() + 3, KEY_ESCAPE);
    EXPECT_EQ(message_box(0, 0, nullptr, "Saved.", {"OK"}), 0);
    EXPECT_EQ(top_window, first_window);  // closed again, only the base window left
}

TEST_F(MessageBox, EnterAndEscapeChooseTheirButtons) {
    key(3, KEY_ENTER);
    EXPECT_EQ(message_box(1, 2, nullptr, "Which?", {"A", "B", "C"}), 1);
    key(polls() + 3, KEY_ESCAPE);
    EXPECT_EQ(message_box(1, 2, nullptr, "Which?", {"A", "B", "C"}), 2);
}

TEST_F(MessageBox, HotLettersInEitherCaseChooseTheirButtonOtherKeysDoNothing) {
    key(2, 'x');     // not a hot letter: ignored
    key(3, 0x1579);  // 'y' in lower case, like Enter
    EXPECT_EQ(message_box(0, 1, "YN", "Leave the game?", {"Yes", "No"}), 0);
    EXPECT_GE(polls(), 3);
    key(polls() + 2, 0x314E);  // 'N'
    EXPECT_EQ(message_box(0, 1, "yn", "Leave the game?", {"Yes", "No"}), 1);
}

TEST_F(MessageBox, RightClickAnswersLikeEscape) {
    mouse(3, 10, 10, MOUSE_EV_RIGHT_DOWN, false, true);
    EXPECT_EQ(message_box(0, 1, "YN", "Leave the game?", {"Yes", "No"}), 1);
}

TEST_F(MessageBox, WindowCloseRequestAnswersLikeEscapeInsteadOfBeingSwallowed) {
    key(3, 0xFFFF);
    EXPECT_EQ(message_box(0, 1, "YN", "Leave the game?", {"Yes", "No"}), 1);
    char name[8] = "old";
    key(polls() + 2, 0xFFFF);
    EXPECT_EQ(text_entry(name, sizeof name, false), TEXT_ENTRY_CANCEL);
}

TEST_F(MessageBox, ClickOnAButtonChoosesIt) {
    at(2, [] {
        int x = 0, y = 0;
        centre_of(1, x, y);
        click(3, x, y);
    });
    EXPECT_EQ(message_box(0, 0, nullptr, "Which?", {"A", "B"}), 1);
}

TEST_F(TextEntry, TypedTextWithEnterIsOkAndReplacesTheOfferedName) {
    char name[8] = "old";
    key(2, 0x316E);  // the first character typed replaces the whole text
    key(3, 0x1265);
    key(4, 0x1177);
    key(6, KEY_ENTER);
    EXPECT_EQ(text_entry(name, sizeof name, false), TEXT_ENTRY_OK);
    EXPECT_STREQ(name, "new");
}

TEST_F(TextEntry, RightClickAndEscapeCancel) {
    char name[8] = "old";
    mouse(3, 10, 10, MOUSE_EV_RIGHT_DOWN, false, true);
    mouse(4, 10, 10, MOUSE_EV_RIGHT_UP, false, false);
    EXPECT_EQ(text_entry(name, sizeof name, true), TEXT_ENTRY_CANCEL);
    EXPECT_STREQ(name, "old");
    key(polls() + 2, KEY_ESCAPE);
    EXPECT_EQ(text_entry(name, sizeof name, true), TEXT_ENTRY_CANCEL);
}

TEST_F(TextEntry, DeleteButtonAnswersDeleteAndTheTextNeverPassesTheBuffer) {
    char name[4] = {'a', 'b', 'c', 'd'};  // no terminating NUL: read no further than the buffer
    at(2, [] {
        int x = 0, y = 0;
        centre_of(40, x, y);
        click(3, x, y);
    });
    EXPECT_EQ(text_entry(name, sizeof name, true), TEXT_ENTRY_DELETE);
    EXPECT_STREQ(name, "abc");
}

}  // namespace
