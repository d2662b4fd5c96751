#pragma once
// The bottom panel: a picture drawn on demand by the decoder of handle 66
// (640 x 104 pixels, pitch 640) according to the panel mode: the party bar,
// a message, the note panel or rune information. Dropping the handle's data
// makes the next use draw it again.
#include <cstdint>
#include <string>
#include <string_view>

enum panel_mode_t : int { PANEL_PARTY = 0, PANEL_MESSAGE = 1, PANEL_NOTES = 2, PANEL_RUNE = 3 };

constexpr int PANEL_BUFFER_ROWS = 104;
constexpr int PANEL_MESSAGE_TICKS = 500;
constexpr int PARTY_BAR_FIRST_X = 54;
constexpr int PARTY_SLOT_WIDTH = 74;  // without "okno.pcx", the slot's width

extern int panel_mode;
extern std::string panel_message;

// Registers the panel decoder for handle 66.
void register_panel_decoder();
// The decoder itself (builds the panel from the current state).
void* draw_panel_picture(void* data, int32_t* length, uint16_t id);
// Shows the text for 500 ticks (a null text shows "Chybi popisek!!").
void show_panel_message(const char* text);
inline void show_panel_message(const std::string& text) {
    show_panel_message(text.c_str());
}
// Back to the party bar (with force: ends a message at once); in any case the
// panel is drawn again at its next use.
void panel_back_to_party(bool force);
// Draws the panel again and shows it on the screen (through the hook below).
void refresh_panel();
// How the screen that holds the panel draws and shows it again: the game
// screen sets it while it runs; null while no screen shows the panel.
extern void (*show_panel_on_screen)();
// The x of a party-bar slot by display position.
int party_slot_x(int position);
