#pragma once
// The message and question window: wrapped text over a row of buttons.
#include <string>
#include <vector>

// Shows the text with one button per caption and returns the number of the
// button chosen (0 .. count - 1; 0 when none). Enter chooses button `enter`,
// Escape and a right click button `escape`; a letter (either case) chooses
// the button at its place in hot_letters (one letter per button, from the
// string table so that they follow the language; null: none).
int message_box(int enter, int escape, const char* hot_letters, const std::string& text,
                const std::vector<std::string>& buttons);

// Interface texts of the leave question: the hot letters, the question and
// its two buttons.
constexpr int TEXT_LEAVE_HOT_LETTERS = 118, TEXT_LEAVE_QUESTION = 76, TEXT_LEAVE_YES = 77, TEXT_LEAVE_NO = 78;
// Asks whether to leave the game; true for the first button.
bool ask_leave_question();
