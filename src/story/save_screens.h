#pragma once
// The save and load screens. Each shows ten rows of saved games on one half
// of the view and, on the other, the end of the story log kept in the save
// under the pointer. The save screen lists this game's own saves (without
// autosaves) under an empty row for a new save; picking a row names the save
// in the text entry. The load screen lists every save of this game, or of
// every game when none is running, and loads the row picked.
#include <string>
#include <vector>

// The layout (screen pixels). The list half (saveload.pcx) and the story
// half (svitek.pcx) lie over the view, side by side in swapped order: the
// list on the left of the save screen and on the right of the load screen.
constexpr int SAVE_HALF_Y = 17, SAVE_HALF_H = 360;
constexpr int LIST_HALF_W = 270, STORY_HALF_W = 370;
constexpr int SAVE_ROWS = 10, SAVE_ROW_H = 33, SAVE_ROWS_Y = 38, SAVE_ROW_W = 222;
constexpr int SAVE_LIST_X = 34, LOAD_LIST_X = 406;
constexpr int SAVE_DESCRIPTION_MAX_W = 210;  // wider descriptions are squeezed
constexpr int STORY_PANEL_Y = 67, STORY_PANEL_W = 241, STORY_PANEL_H = 252;
constexpr int SAVE_STORY_X = 331, LOAD_STORY_X = 57;
// Description colours: the row under the pointer and the others.
constexpr int SAVE_ROW_SELECTED = 0x7FFF, SAVE_ROW_COLOUR = 17392;

// Run until left (Esc, a right click, a save or a load). The game screen is
// stopped meanwhile when it runs; the view comes back as it was.
void save_screen();
void load_screen();
// The save screen as F2 opens it on the game screen and in the options
// window: refused during a battle (text 81 in the bottom panel) and when the
// map's hook before saving forbids it.
void open_save_screen();
// F5: an autosave, whatever the autosave switch says; nothing in a battle.
void quick_save();
// Puts the screens on the game screen's keys (F2, F3, F5) and into the
// options window (F2, F3).
void install_save_screens();

// What the running screen shows (for tests).
struct save_screen_row {
    std::string name;  // the file; empty for the save screen's new-save row
    std::string description;
    bool autosave = false;
};
bool save_screen_running();
std::vector<save_screen_row> save_screen_rows_shown();
// The list index of the selected row (-1 for none) and of the first row shown.
int save_screen_selected();
int save_screen_first_row();
// The story panel's lines as shown.
std::vector<std::string> save_screen_story_shown();
