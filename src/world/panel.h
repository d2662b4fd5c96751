#pragma once
// The bottom panel: a picture drawn on demand by the decoder of handle 66
// (640 x 104 pixels, pitch 640) according to the panel mode: the party bar,
// a message, the note panel or rune information. Dropping the handle's data
// makes the next use draw it again.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/handles.h"

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
// The flute's note panel, for 500 ticks.
void show_note_panel();
// What the rune information shows: the rune's name, its level and cost with
// their labels ("%s %d, %s %d"), and its glyph, cut out of the rune sheet by
// the colour key.
struct rune_panel_info {
    std::string name;
    std::string level_label;
    int level = 0;
    std::string cost_label;
    int cost = 0;
    handle_id sheet = 0;  // an 8-bit picture
    int glyph_x = 0, glyph_y = 0, glyph_width = 0, glyph_height = 0;
    uint8_t colour_key = 0;  // sheet pixels of this index are not the glyph
};
// The rune information, for 500 ticks.
void show_rune_info(const rune_panel_info& rune);

// What the party bar needs of a battle. The battle is not built yet: until it
// installs its own, no battle runs and the battle-only lines stay hidden.
class panel_battle {
  public:
    virtual ~panel_battle() = default;
    virtual bool running() const { return false; }
    // The battle's game state (5: a member walks, 7: the walk ends).
    virtual int state() const { return 0; }
    // The slot of the member walking in state 5, -1 none.
    virtual int walking_member() const { return -1; }
};
panel_battle& battle_on_panel();
void set_battle_on_panel(panel_battle* installed);  // null: no battle

// The colour of a group's names: white for the active group outside battle.
uint16_t group_colour(int group);

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
