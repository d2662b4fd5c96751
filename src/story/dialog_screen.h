#pragma once
// The dialog screen: the speaker's picture at the upper left, the description
// beside it, and below them the conversation's history with the offered
// choices. It takes the screen over from the game screen while a dialog runs
// and gives it back when the dialog ends. It never waits in a loop of its
// own: it draws, installs its key and mouse handlers and returns to the event
// loop; the handlers hand the player's pick to the interpreter.
#include <cstdint>
#include <vector>

#include "core/handle_ids.h"

// Where everything sits (the background covers the view, rows 17..376).
constexpr int DIALOG_BACKGROUND_X = 0, DIALOG_BACKGROUND_Y = 17;
constexpr int DIALOG_PICTURE_X = 17, DIALOG_PICTURE_Y = 34;
constexpr int DIALOG_TEXT_X = 382, DIALOG_TEXT_Y = 34;
constexpr int HISTORY_X = 17, HISTORY_Y = 270, HISTORY_WIDTH = 606, HISTORY_HEIGHT = 94,
              HISTORY_LINE_HEIGHT = 11;
constexpr int HISTORY_VISIBLE_LINES = HISTORY_HEIGHT / HISTORY_LINE_HEIGHT;

// Colours (font colour specs): the description, the narrator's notes, and
// bit 15 over the background's palette entries 254 (lines) and 255 (the
// selected choice).
constexpr int32_t DIALOG_TEXT_COLOUR = 29589;
constexpr int32_t DIALOG_NOTE_COLOUR = 0x8000;
constexpr int DIALOG_LINE_INDEX = 254, DIALOG_SELECTED_INDEX = 255;

// Every text of a dialog is written and wrapped in this font.
constexpr handle_id DIALOG_FONT = FONT_SADA16;

// The captured view: the 640 x 360 view scaled into 340 x 200.
constexpr int CAPTURE_WIDTH = 340, CAPTURE_HEIGHT = 200;
// The source column (row) of a column (row) of the captured view.
int capture_source_column(int column);
int capture_source_row(int row);
// A 16-bit picture record (header and pixels) of the view in frame_buffer.
std::vector<uint16_t> capture_view();

// What the interpreter tells the screen (through the game's dialog world):
// a dialog starts (the view is captured and the game screen stopped), waits
// for the player (everything drawn, the handlers installed), or ends (the
// game screen comes back).
void dialog_screen_started();
void dialog_screen_show();
void dialog_screen_ended();
bool dialog_screen_running();

// The choice whose line lies under a point of the history, -1 none.
int dialog_choice_at(int x, int y);
